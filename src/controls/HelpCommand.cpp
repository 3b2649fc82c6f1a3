#include "controls/HelpCommand.h"

#include "app/AppDocuments.h"
#include "controls/Messages.h"

#include <QDesktopServices>
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
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

} // namespace HelpCommand
