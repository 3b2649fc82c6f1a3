#include "controls/HelpCommand.h"

#include "controls/Messages.h"
#include "data/AppDocuments.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>

namespace HelpCommand {
namespace {

QStringList &openCommand()
{
    static QStringList command{QStringLiteral("xdg-open")};
    return command;
}

// No browser showed the manual: says where it lies and offers to copy that place for pasting into
// a browser or a file manager.
void offerManualPlace(QWidget *parent, const QString &manual)
{
    const QString place = QDir::toNativeSeparators(manual);
    if (Messages::confirmYesNo(parent, QStringLiteral("マニュアルを表示するブラウザが見つかりません。\r\n"
                                                      "マニュアルは次の場所にあります：\r\n%1\r\n\r\n"
                                                      "この場所をクリップボードにコピーしますか？")
                                           .arg(place)))
        QGuiApplication::clipboard()->setText(place);
}

// Starts the browser on the manual; its outcome arrives through the event loop, so the window
// goes on working while the browser starts.
void openInBrowser(QWidget *parent, const QString &manual)
{
    // Owned by the application: the window may close before the browser has started.
    auto *opener = new QProcess(QCoreApplication::instance());
    opener->setObjectName(QStringLiteral("HelpOpener"));
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QPointer<QWidget> window(parent);
    QObject::connect(opener, &QProcess::finished, opener, [=](int exitCode, QProcess::ExitStatus status) {
        opener->deleteLater();
        if (status != QProcess::NormalExit || exitCode != 0)
            offerManualPlace(window, manual);
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [=](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // the end of a started opener comes through finished
        opener->deleteLater();
        offerManualPlace(window, manual);
    });
    const QStringList command = openCommand();
    opener->start(command.first(), command.mid(1) << manual);
}

} // namespace

const char *const kNoManualMessage = "ヘルプ（マニュアル）が見つかりません。\r\n"
                                     "メニュー「ﾍﾙﾌﾟ」の「お読みください」をご覧ください。";

void setOpenCommand(const QStringList &command)
{
    openCommand() = command;
}

void showHelp(QWidget *parent)
{
    const QString manual = AppDocuments::manualPath();
    if (manual.isEmpty()) {
        Messages::information(parent, QString::fromUtf8(kNoManualMessage));
        return;
    }
    openInBrowser(parent, manual);
}

} // namespace HelpCommand
