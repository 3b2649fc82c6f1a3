#include "billing/ui/TFseikyuIkkatuInsatu.h"

#include "billing/InvoiceBatch.h"
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "report/ui/DocumentReports.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TFseikyuIkkatuInsatu::TFseikyuIkkatuInsatu(QWidget *parent)
    : TForm1(QStringLiteral("FseikyuIkkatuInsatu"), parent)
{
    setWindowTitle(QStringLiteral("請求書一括印刷"));
    setSizeable(false);
    auto *dateLine = new QHBoxLayout;
    SeikyuSimebi = new TDateEdit(QStringLiteral("SeikyuSimebi"), this);
    SeikyuSimebi->setCalendarOnDoubleClick(true);
    dateLine->addWidget(new QLabel(QStringLiteral("請求締日"), this));
    dateLine->addWidget(SeikyuSimebi);
    dateLine->addStretch(1);
    bodyLayout()->addLayout(dateLine);
    CheckBox1 = new QCheckBox(QStringLiteral("入金があって残高０になった請求は印刷しない"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    bodyLayout()->addWidget(CheckBox1);
    bodyLayout()->addStretch(1);

    auto *row = new QHBoxLayout;
    DataSakuseiBTN = new TFlatButton(QStringLiteral("印　　刷"), this);
    DataSakuseiBTN->setObjectName(QStringLiteral("DataSakuseiBTN"));
    MakatiButton1 = new TFlatButton(QStringLiteral("キャンセル"), this);
    MakatiButton1->setObjectName(QStringLiteral("MakatiButton1"));
    connect(DataSakuseiBTN, &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { DataSakuseiBTNClick(); }); });
    connect(MakatiButton1, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(DataSakuseiBTN);
    row->addWidget(MakatiButton1);
    bodyLayout()->addLayout(row);
    resize(380, 180);
}

void TFseikyuIkkatuInsatu::FormShow()
{
    TForm1::FormShow();
    SeikyuSimebi->setDate(InvoiceBatch::defaultClosingDate(*DMdata->DataDB, Clock::today()));
}

void TFseikyuIkkatuInsatu::DataSakuseiBTNClick()
{
    if (!SeikyuSimebi->normalize())
        return;
    const QDate closing = SeikyuSimebi->date();
    const bool skipSettled = CheckBox1->isChecked();
    DocumentReports::show(this, DocumentOutput::Kind::Seikyu,
                          [&](TEngineQuery &master) { InvoiceBatch::select(master, closing, skipSettled); });
    accept();
}
