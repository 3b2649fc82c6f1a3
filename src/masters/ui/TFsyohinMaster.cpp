#include "masters/ui/TFsyohinMaster.h"

#include "common/Ukansu.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"
#include "masters/ProductStore.h"
#include "masters/ui/TFsyohinMaster2.h"

TFsyohinMaster::TFsyohinMaster(QWidget *parent)
    : TMasterListWindow(QStringLiteral("FsyohinMaster"), QStringLiteral("商品マスターメンテナンス"),
                        &ProductStore::setUpListWithRates, QSize(640, 420), parent)
{
    addCsvCommands(CsvExport::Kind::Products, CsvImport::Kind::Products, QStringLiteral("商品"));
}

void TFsyohinMaster::openEditor(const QString &codeText, bool modify)
{
    Messages::guarded(this, [&] {
        if (modify)
            TextToInteger(codeText); // an empty list has no product to modify
        TFsyohinMaster2 editor(this);
        editor.SyohinCD->setText(codeText);
        editor.SyohinCD->setReadOnly(modify);
        editor.exec();
    });
    reopenList();
}

void TFsyohinMaster::AddBTNClick()
{
    openEditor(QStringLiteral("0"), false);
}

void TFsyohinMaster::UpdBTNClick()
{
    openEditor(currentText("SyohinCD"), true);
}

void TFsyohinMaster::DelBTNClick()
{
    const QString codeText = currentText("SyohinCD");
    const QString question = codeText + QLatin1Char(' ') + currentText("SyohinNM") +
                             QStringLiteral("を削除してもよろしいですか？");
    Messages::guarded(this, [&] {
        // On an empty list the question names no product and Yes deletes nothing.
        if (Messages::confirmYesNo(this, question) && !codeText.isEmpty())
            ProductStore::remove(*DMdata->DataDB, TextToInteger(codeText));
    });
    reopenList();
}
