#include "masters/ui/TFtorihikisakiMaster.h"

#include "common/Ukansu.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"
#include "masters/CustomerStore.h"
#include "masters/ui/TFtorihikisakiMaster2.h"

TFtorihikisakiMaster::TFtorihikisakiMaster(QWidget *parent)
    : TMasterListWindow(QStringLiteral("FtorihikisakiMaster"), QStringLiteral("取引先マスター"),
                        &CustomerStore::setUpList, QSize(760, 460), parent)
{
    addCsvCommands(CsvExport::Kind::Customers, CsvImport::Kind::Customers, QStringLiteral("取引先"));
}

void TFtorihikisakiMaster::openEditor(const QString &keyText)
{
    Messages::guarded(this, [&] {
        if (keyText != QLatin1String("0"))
            TextToInteger(keyText); // an empty list has no customer to modify
        TFtorihikisakiMaster2 editor(this);
        editor.Key->setText(keyText);
        editor.exec();
    });
    reopenList();
}

void TFtorihikisakiMaster::AddBTNClick()
{
    openEditor(QStringLiteral("0"));
}

void TFtorihikisakiMaster::UpdBTNClick()
{
    openEditor(currentText("key"));
}

void TFtorihikisakiMaster::DelBTNClick()
{
    const QString keyText = currentText("key");
    const QString question = keyText + QLatin1Char(' ') + currentText("TorihikisakiNM") +
                             QStringLiteral("を削除してもよろしいですか？");
    Messages::guarded(this, [&] {
        // On an empty list the question names no customer and Yes deletes nothing.
        const std::optional<int> key =
            keyText.isEmpty() ? std::nullopt : std::optional(TextToInteger(keyText));
        if (key && refuseWhileReferenced(CustomerStore::references(*DMdata->DataDB, *key)))
            return;
        if (Messages::confirmYesNo(this, question) && key)
            refuseWhileReferenced(CustomerStore::remove(*DMdata->DataDB, *key));
    });
    reopenList();
}

// Documents refer to a customer by its key: deleting it would make them vanish from every list.
bool TFtorihikisakiMaster::refuseWhileReferenced(const DocumentReferences &references)
{
    if (references.total() == 0)
        return false;
    Messages::error(this, CustomerStore::referencesMessage(references));
    return true;
}
