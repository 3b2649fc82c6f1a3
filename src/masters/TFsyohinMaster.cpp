#include "masters/TFsyohinMaster.h"

#include "common/Ukansu.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/MasterListButtons.h"
#include "masters/ProductStore.h"
#include "masters/TFsyohinMaster2.h"

#include <QVBoxLayout>

TFsyohinMaster::TFsyohinMaster(QWidget *parent) : TForm1(QStringLiteral("FsyohinMaster"), parent)
{
    setWindowTitle(QStringLiteral("商品マスターメンテナンス"));
    Qsyohin = new TEngineQuery(DMdata->DataDB, this);
    ProductStore::setUpList(*Qsyohin);
    DBGrid1 = new TDBGridEx(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setQuery(Qsyohin);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFsyohinMaster::UpdBTNClick);
    bodyLayout()->addWidget(DBGrid1, 1);
    bodyLayout()->addLayout(buildButtonRow());
    resize(640, 420);
}

QLayout *TFsyohinMaster::buildButtonRow()
{
    MasterListButtons buttons;
    QLayout *row = buttons.build(this);
    AddBTN = buttons.AddBTN;
    UpdBTN = buttons.UpdBTN;
    DelBTN = buttons.DelBTN;
    CloseBTN = buttons.CloseBTN;
    connect(AddBTN, &QPushButton::clicked, this, &TFsyohinMaster::AddBTNClick);
    connect(UpdBTN, &QPushButton::clicked, this, &TFsyohinMaster::UpdBTNClick);
    connect(DelBTN, &QPushButton::clicked, this, &TFsyohinMaster::DelBTNClick);
    return row;
}

void TFsyohinMaster::FormShow()
{
    TForm1::FormShow();
    if (!Qsyohin->Active())
        Qsyohin->Open();
}

QString TFsyohinMaster::currentText(const char *field) const
{
    if (!Qsyohin->Active() || Qsyohin->IsEmpty())
        return {};
    return Qsyohin->FieldByName(QLatin1String(field)).AsString();
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

void TFsyohinMaster::reopenList()
{
    Messages::guarded(this, [this] {
        Qsyohin->Close();
        Qsyohin->Open();
    });
}
