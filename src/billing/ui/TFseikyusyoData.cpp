#include "billing/ui/TFseikyusyoData.h"

#include "billing/ClosingDays.h"
#include "billing/ui/InvoiceRunCommand.h"
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/CustomerStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

TFseikyusyoData::TFseikyusyoData(QWidget *parent) : TForm1(QStringLiteral("FseikyusyoData"), parent)
{
    setWindowTitle(QStringLiteral("請求書データ作成"));
    setSizeable(false);
    bodyLayout()->addWidget(buildTargets());
    bodyLayout()->addLayout(buildDateLine());
    bodyLayout()->addStretch(1);
    bodyLayout()->addLayout(buildButtonRow());
    m_companyDay = ClosingDays::readCompany(*DMdata->DataDB).companyDay;
    fillClosingDays();
    SimebiRB->setChecked(true);
    modeChanged();
    resize(420, 260);
}

QWidget *TFseikyusyoData::buildTargets()
{
    GroupBox1 = new QGroupBox(QStringLiteral("対象取引先"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    SimebiRB = new QRadioButton(QStringLiteral("請求締日で抽出"), GroupBox1);
    SimebiRB->setObjectName(QStringLiteral("SimebiRB"));
    SimebiCB = new QComboBox(GroupBox1);
    SimebiCB->setObjectName(QStringLiteral("SimebiCB"));
    KobetuRB = new QRadioButton(QStringLiteral("個別指定"), GroupBox1);
    KobetuRB->setObjectName(QStringLiteral("KobetuRB"));
    TorihikisakiKensakuBTN = new TFlatButton(QStringLiteral("取引先検索"), GroupBox1);
    TorihikisakiKensakuBTN->setObjectName(QStringLiteral("TorihikisakiKensakuBTN"));
    Kaisyamei = new QLineEdit(GroupBox1);
    Kaisyamei->setObjectName(QStringLiteral("Kaisyamei"));
    Kaisyamei->setReadOnly(true);
    auto *nameLabel = new QLabel(QStringLiteral("会社名"), GroupBox1);
    grid->addWidget(SimebiRB, 0, 0);
    grid->addWidget(SimebiCB, 0, 1);
    grid->addWidget(KobetuRB, 1, 0);
    grid->addWidget(TorihikisakiKensakuBTN, 1, 1);
    grid->addWidget(nameLabel, 2, 0);
    grid->addWidget(Kaisyamei, 2, 1, 1, 2);
    connect(SimebiRB, &QRadioButton::toggled, this, &TFseikyusyoData::modeChanged);
    connect(KobetuRB, &QRadioButton::toggled, this, &TFseikyusyoData::modeChanged);
    connect(SimebiCB, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            showDefaultDate(SimebiCB->itemData(index).toInt());
    });
    connect(TorihikisakiKensakuBTN, &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { TorihikisakiKensakuBTNClick(); }); });
    return GroupBox1;
}

QLayout *TFseikyusyoData::buildDateLine()
{
    auto *line = new QHBoxLayout;
    SeikyuSimebi = new TDateEdit(QStringLiteral("SeikyuSimebi"), this);
    SeikyuSimebi->setCalendarOnDoubleClick(true);
    line->addWidget(new QLabel(QStringLiteral("請求締日"), this));
    line->addWidget(SeikyuSimebi);
    line->addStretch(1);
    return line;
}

QLayout *TFseikyusyoData::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    DataSakuseiBTN = new TFlatButton(QStringLiteral("請求データ作成"), this);
    DataSakuseiBTN->setObjectName(QStringLiteral("DataSakuseiBTN"));
    MakatiButton1 = new TFlatButton(QStringLiteral("閉じる"), this);
    MakatiButton1->setObjectName(QStringLiteral("MakatiButton1"));
    connect(DataSakuseiBTN, &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { DataSakuseiBTNClick(); }); });
    connect(MakatiButton1, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(DataSakuseiBTN);
    row->addWidget(MakatiButton1);
    return row;
}

void TFseikyusyoData::fillClosingDays()
{
    for (int day : ClosingDays::offered(*DMdata->DataDB, m_companyDay))
        SimebiCB->addItem(ClosingDays::caption(day), day);
    SimebiCB->setCurrentIndex(0);
    showDefaultDate(m_companyDay);
}

void TFseikyusyoData::modeChanged()
{
    const bool byDay = SimebiRB->isChecked();
    SimebiCB->setEnabled(byDay);
    TorihikisakiKensakuBTN->setEnabled(!byDay);
    Kaisyamei->setEnabled(!byDay);
}

// A day without a closing date by the rule (32 to 98, or a company day of 0) leaves the field empty:
// the run then asks for a date instead of guessing one.
void TFseikyusyoData::showDefaultDate(int day)
{
    const std::optional<QDate> date = ClosingDays::defaultClosingDate(day, Clock::today());
    if (date)
        SeikyuSimebi->setDate(*date);
    else
        SeikyuSimebi->setText(QString());
}

void TFseikyusyoData::TorihikisakiKensakuBTNClick()
{
    TFtorihikisakiKensaku search(this);
    search.exec();
    if (search.torihikisakiKey() != 0)
        loadCustomer(search.torihikisakiKey());
}

void TFseikyusyoData::loadCustomer(int key)
{
    m_customerKey = key;
    const std::optional<CustomerRecord> customer = CustomerStore::load(*DMdata->DataDB, key);
    Kaisyamei->setText(customer ? customer->TorihikisakiNM : QString());
    const int day = customer ? customer->SeikyuSimebi : 0;
    showDefaultDate(ClosingDays::effectiveDay(day, m_companyDay));
}

QList<int> TFseikyusyoData::chosenCustomers()
{
    if (KobetuRB->isChecked())
        return m_customerKey != 0 ? QList<int>{m_customerKey} : QList<int>{};
    const int day = SimebiCB->currentData().toInt();
    return ClosingDays::customersForDay(*DMdata->DataDB, day, m_companyDay);
}

void TFseikyusyoData::DataSakuseiBTNClick()
{
    if (SeikyuSimebi->text().trimmed().isEmpty()) {
        Messages::warning(this, InvoiceRunCommand::kNoClosingDate);
        SeikyuSimebi->edit()->setFocus();
        return;
    }
    const QDate closing = SeikyuSimebi->date();
    m_created = InvoiceRunCommand::run(this, chosenCustomers(), closing, [this](int done, int total) {
        setStatusText(1, QStringLiteral("%1 / %2").arg(done).arg(total));
    });
    accept();
}
