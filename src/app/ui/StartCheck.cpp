#include "app/ui/StartCheck.h"

#include "app/ui/TFmain.h"
#include "controls/Messages.h"

#include <cstdio>
#include <QApplication>
#include <QDialog>

namespace {

void tell(const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

StartCheck::StartCheck(TFmain &window) : m_window(window)
{
    // Messages are kept instead of shown; questions are answered "No".
    Messages::setTestMode(true, false);
    // The program ends here with the check's status, not when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(&window, &TFmain::startUpFinished, this, &StartCheck::finish);
    m_watch.callOnTimeout(this, &StartCheck::closeWindowInFront);
    m_watch.start(50);
}

void StartCheck::closeWindowInFront()
{
    QWidget *front = QApplication::activeModalWidget();
    if (!front || front == &m_window)
        return;
    tell(QStringLiteral("閉じた画面: ") + front->windowTitle());
    if (auto *dialog = qobject_cast<QDialog *>(front))
        dialog->reject();
    else
        front->close();
}

void StartCheck::finish(bool succeeded)
{
    m_watch.stop();
    bool errorTold = false;
    for (const Messages::Record &record : Messages::takeHistory()) {
        const bool isError = record.kind == Messages::Kind::Error;
        errorTold = errorTold || isError;
        tell((isError ? QStringLiteral("エラー: ") : QStringLiteral("メッセージ: ")) + record.text);
    }
    const bool ok = succeeded && !errorTold;
    tell(ok ? QStringLiteral("起動できました") : QStringLiteral("起動に失敗しました"));
    // Closing stores the window's placement and the settings, as at every end of the program.
    m_window.close();
    QCoreApplication::exit(ok ? 0 : 1);
}
