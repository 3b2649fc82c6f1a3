#include "masters/TFtorihikisakiMaster.h"

#include "common/Ukansu.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/CustomerStore.h"
#include "masters/MasterListButtons.h"
#include "masters/TFtorihikisakiMaster2.h"

#include <QVBoxLayout>

TFtorihikisakiMaster::TFtorihikisakiMaster(QWidget *parent)
    : TForm1(QStringLiteral("FtorihikisakiMaster"), parent)
{
    setWindowTitle(QStringLiteral("取引先マスター"));
    Qtorihikisaki = new TEngineQuery(DMdata->DataDB, this);
    CustomerStore::setUpList(*Qtorihikisaki);
    DBGrid1 = new TDBGridEx(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setQuery(Qtorihikisaki);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFtorihikisakiMaster::UpdBTNClick);
    bodyLayout()->addWidget(DBGrid1, 1);
    bodyLayout()->addLayout(buildButtonRow());
    resize(760, 460);
}

QLayout *TFtorihikisakiMaster::buildButtonRow()
{
    MasterListButtons buttons;
    QLayout *row = buttons.build(this);
    AddBTN = buttons.AddBTN;
    UpdBTN = buttons.UpdBTN;
    DelBTN = buttons.DelBTN;
    CloseBTN = buttons.CloseBTN;
    connect(AddBTN, &QPushButton::clicked, this, &TFtorihikisakiMaster::AddBTNClick);
    connect(UpdBTN, &QPushButton::clicked, this, &TFtorihikisakiMaster::UpdBTNClick);
    connect(DelBTN, &QPushButton::clicked, this, &TFtorihikisakiMaster::DelBTNClick);
    return row;
}

void TFtorihikisakiMaster::FormShow()
{
    TForm1::FormShow();
    if (!Qtorihikisaki->Active())
        Qtorihikisaki->Open();
}

QString TFtorihikisakiMaster::currentText(const char *field) const
{
    if (!Qtorihikisaki->Active() || Qtorihikisaki->IsEmpty())
        return {};
    return Qtorihikisaki->FieldByName(QLatin1String(field)).AsString();
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

void TFtorihikisakiMaster::reopenList()
{
    Messages::guarded(this, [this] {
        Qtorihikisaki->Close();
        Qtorihikisaki->Open();
    });
}
