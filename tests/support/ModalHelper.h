#pragma once
// Test helpers of the master windows. onModal drives a modal window from inside its own event loop:
// the action runs once a visible modal window of the class is active.
#include <functional>
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

template<class W> void onModal(std::function<void(W *)> action, int triesLeft = 300)
{
    QTimer::singleShot(10, [action, triesLeft] {
        auto *w = qobject_cast<W *>(QApplication::activeModalWidget());
        if (w && w->isVisible()) {
            action(w);
            return;
        }
        if (triesLeft > 0)
            onModal<W>(action, triesLeft - 1);
    });
}

// Types the text key by key as the keyboard (or the input method) delivers it, Japanese included.
inline void typeKeys(QWidget *field, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// True when the window's frame, title bar included, lies inside the free part of its screen.
inline bool frameOnScreen(const QWidget *w)
{
    return w->screen() && w->screen()->availableGeometry().contains(w->frameGeometry());
}
