#include "common/ui/TFyubinSel.h"

#include "common/DisplayFormat.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/PostalLookup.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

TFyubinSel::TFyubinSel(QWidget *parent) : TForm1(QStringLiteral("FyubinSel"), parent)
{
    setWindowTitle(QStringLiteral("住所選択"));
    buildControls();
    resize(420, 300);
}

void TFyubinSel::buildControls()
{
    YubinBangoLBL = new QLabel(QStringLiteral("郵便番号"), this);
    YubinBangoLBL->setObjectName(QStringLiteral("YubinBangoLBL"));
    bodyLayout()->addWidget(YubinBangoLBL);

    jyusyoLB = new QListWidget(this);
    jyusyoLB->setObjectName(QStringLiteral("jyusyoLB"));
    connect(jyusyoLB, &QListWidget::itemDoubleClicked, this, &TFyubinSel::OkBTNClick);
    bodyLayout()->addWidget(jyusyoLB, 1);

    OkBTN = new TFlatButton(QStringLiteral("O　K"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    connect(OkBTN, &QPushButton::clicked, this, &TFyubinSel::OkBTNClick);
    CanBTN = new TFlatButton(QStringLiteral("キャンセル"), this);
    CanBTN->setObjectName(QStringLiteral("CanBTN"));
    connect(CanBTN, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBTN);
    buttons->addWidget(CanBTN);
    bodyLayout()->addLayout(buttons);
}

void TFyubinSel::FormShow()
{
    TForm1::FormShow();
    YubinBangoLBL->setText(DisplayFormat::formatPostalCode(m_code));
    jyusyoLB->clear();
    jyusyoLB->addItems(PostalLookup::addresses(*DMdata->DataDB, m_code));
    if (jyusyoLB->count() > 0)
        jyusyoLB->setCurrentRow(0);
    jyusyoLB->setFocus();
}

void TFyubinSel::OkBTNClick()
{
    const QListWidgetItem *item = jyusyoLB->currentItem();
    if (!item) {
        reject();
        return;
    }
    m_jyusyo = item->text();
    accept();
}
