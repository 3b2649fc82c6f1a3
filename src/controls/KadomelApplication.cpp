#include "controls/KadomelApplication.h"

#include "controls/Messages.h"

KadomelApplication::KadomelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool KadomelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        // The box stands in front of the window the user was working in.
        QWidget *parent = activeModalWidget();
        if (!parent)
            parent = activeWindow();
        Messages::showException(parent, e);
        // The event has had its answer: it goes to no other receiver.
        event->accept();
        return true;
    }
}
