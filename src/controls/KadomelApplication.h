#pragma once
// The program's application object. Every event of the program is delivered through notify(), so
// this is the application's default handler for failures: a failure (an exception) that a command
// does not catch itself is shown with its message in an error box, the command is abandoned, and
// the program goes on.
#include <QApplication>

class KadomelApplication : public QApplication
{
    Q_OBJECT
public:
    KadomelApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
