#include "controls/HelpCommand.h"

#include "controls/Messages.h"
#include "data/AppDocuments.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace HelpCommand {

const char *const kNoManualMessage = "ヘルプ（マニュアル）が見つかりません。\r\n"
                                     "メニュー「ﾍﾙﾌﾟ」の「お読みください」をご覧ください。";

void showHelp(QWidget *parent)
{
    const QString manual = AppDocuments::manualPath();
    if (manual.isEmpty()) {
        Messages::information(parent, QString::fromUtf8(kNoManualMessage));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(manual)))
        Messages::information(parent, QStringLiteral("マニュアルを表示するブラウザが見つかりません。\r\n"
                                                     "マニュアルは次の場所にあります：\r\n%1")
                                          .arg(QDir::toNativeSeparators(manual)));
}

} // namespace HelpCommand
