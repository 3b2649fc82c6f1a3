#include "common/ui/TFtorihikisakiKensaku.h"

#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/CustomerSearch.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

TFtorihikisakiKensaku::TFtorihikisakiKensaku(QWidget *parent)
    : TForm1(QStringLiteral("FtorihikisakiKensaku"), parent)
{
    setWindowTitle(QStringLiteral("取引先検索"));
    Query1 = new TEngineQuery(DMdata->DataDB, this);
    CustomerSearch::setUpAll(*Query1);
    buildControls();
    resize(560, 420);
}

void TFtorihikisakiKensaku::buildControls()
{
    bodyLayout()->addLayout(buildSearchRow());
    DBGrid1 = new TDBGridEx(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setQuery(Query1);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFtorihikisakiKensaku::OkBTNClick);
    bodyLayout()->addWidget(DBGrid1, 1);
    bodyLayout()->addLayout(buildButtonRow());
}

QLayout *TFtorihikisakiKensaku::buildSearchRow()
{
    auto *row = new QHBoxLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    EntryFields::setUp(Edit1, EntryFields::Kind::Text, QStringLiteral("Torihikisaki"),
                       QStringLiteral("TorihikisakiNM"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("抽出"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TFtorihikisakiKensaku::SpeedButton1Click);
    row->addWidget(new QLabel(QStringLiteral("取引先名の一部"), this));
    row->addWidget(Edit1, 1);
    row->addWidget(SpeedButton1);
    return row;
}

QLayout *TFtorihikisakiKensaku::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    OkBTN = new TFlatButton(QStringLiteral("O　K"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    connect(OkBTN, &QPushButton::clicked, this, &TFtorihikisakiKensaku::OkBTNClick);
    CanBTN = new TFlatButton(QStringLiteral("キャンセル"), this);
    CanBTN->setObjectName(QStringLiteral("CanBTN"));
    connect(CanBTN, &QPushButton::clicked, this, &TFtorihikisakiKensaku::CanBTNClick);
    row->addStretch(1);
    row->addWidget(OkBTN);
    row->addWidget(CanBTN);
    return row;
}

void TFtorihikisakiKensaku::FormShow()
{
    TForm1::FormShow();
    if (!Query1->Active())
        Query1->Open();
}

void TFtorihikisakiKensaku::SpeedButton1Click()
{
    Messages::guarded(this, [this] {
        CustomerSearch::setUpByName(*Query1, Edit1->text());
        Query1->Open();
    });
}

void TFtorihikisakiKensaku::OkBTNClick()
{
    m_key =
        Query1->Active() && !Query1->IsEmpty() ? Query1->FieldByName(QStringLiteral("key")).AsInteger() : 0;
    accept();
}

void TFtorihikisakiKensaku::CanBTNClick()
{
    m_key = 0;
    reject();
}
