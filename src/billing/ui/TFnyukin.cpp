#include "billing/ui/TFnyukin.h"

#include "billing/PaymentStore.h"
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/SjisLengthValidator.h"
#include "data/TDMdata.h"
#include "documents/BilledDocuments.h"
#include "report/ui/DocumentReports.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kTable = QStringLiteral("Nyukin");

TFlatButton *makeButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new TFlatButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit *makeField(const char *name, EntryFields::Kind kind, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    EntryFields::setUp(edit, kind, kTable, QLatin1String(name));
    return edit;
}

} // namespace

TFnyukin::TFnyukin(QWidget *parent) : TForm1(QStringLiteral("Fnyukin"), parent)
{
    setWindowTitle(QStringLiteral("入金登録"));
    setAsksBeforeDiscarding(true);
    setSizeable(false);
    buildControls();
    bodyLayout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFnyukin::buildControls()
{
    auto *grid = new QGridLayout;
    grid->setColumnMinimumWidth(1, 300);
    buildCustomerRows(grid);
    buildPaymentRows(grid);
    bodyLayout()->addLayout(grid);
    bodyLayout()->addLayout(buildButtonRow());
}

void TFnyukin::addRow(QGridLayout *grid, const QString &label, QWidget *field, QWidget *extra)
{
    const int row = grid->rowCount();
    auto *caption = new QLabel(label, this);
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    if (extra)
        grid->addWidget(extra, row, 2, Qt::AlignLeft);
}

void TFnyukin::buildCustomerRows(QGridLayout *grid)
{
    TorihikisakiKensakuBTN = makeButton("TorihikisakiKensakuBTN", QStringLiteral("取引先検索"), this);
    connect(TorihikisakiKensakuBTN, &QPushButton::clicked, this, &TFnyukin::TorihikisakiKensakuBTNClick);
    TorihikisakiKey = new QLabel(QStringLiteral("0"), this);
    TorihikisakiKey->setObjectName(QStringLiteral("TorihikisakiKey"));
    TorihikisakiKey->setStyleSheet(QStringLiteral("color: silver"));
    grid->addWidget(TorihikisakiKensakuBTN, 0, 0);
    grid->addWidget(TorihikisakiKey, 0, 1);

    Kaisyamei = new QLineEdit(this);
    Kaisyamei->setObjectName(QStringLiteral("Kaisyamei"));
    Kaisyamei->setReadOnly(true);
    Kaisyamei->setFocusPolicy(Qt::NoFocus);
    addRow(grid, QStringLiteral("会社名"), Kaisyamei);

    NyukinYMD = new TDateEdit(QStringLiteral("NyukinYMD"), this, QStringLiteral("NohinYMDBTN"));
    NyukinYMD->setFixedWidth(150);
    addRow(grid, QStringLiteral("入金日"), NyukinYMD);

    ZenkaiSeikyuGaku = new QLabel(this);
    ZenkaiSeikyuGaku->setObjectName(QStringLiteral("ZenkaiSeikyuGaku"));
    ZenkaiSeikyuGaku->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ZenkaiSeikyuGaku->setMinimumWidth(120);
    auto *previous = new QHBoxLayout;
    previous->addWidget(new QLabel(QStringLiteral("前回請求額："), this));
    previous->addWidget(ZenkaiSeikyuGaku);
    previous->addStretch(1);
    grid->addLayout(previous, grid->rowCount(), 1);

    KingakuCopyBTN = makeButton("KingakuCopyBTN", QStringLiteral("↓前回請求額を入金↓"), this);
    connect(KingakuCopyBTN, &QPushButton::clicked, this, &TFnyukin::KingakuCopyBTNClick);
    grid->addWidget(KingakuCopyBTN, grid->rowCount(), 1, Qt::AlignLeft);
}

void TFnyukin::buildPaymentRows(QGridLayout *grid)
{
    Nyukingaku = makeField("Nyukingaku", EntryFields::Kind::Digits, this);
    Nyukingaku->setAlignment(Qt::AlignRight);
    Nyukingaku->setFixedWidth(130);
    addRow(grid, QStringLiteral("入金額"), Nyukingaku);

    SiharaiHouHouCB = new QComboBox(this);
    SiharaiHouHouCB->setObjectName(QStringLiteral("SiharaiHouHouCB"));
    SiharaiHouHouCB->setEditable(true);
    SiharaiHouHouCB->setInsertPolicy(QComboBox::NoInsert);
    SiharaiHouHouCB->setValidator(
        new SjisLengthValidator(columnByteLength(kTable, QStringLiteral("NyukinHouhou")), SiharaiHouHouCB));
    SiharaiHouHouCB->setFixedWidth(200);
    addRow(grid, QStringLiteral("支払方法"), SiharaiHouHouCB);

    Tadasigaki = makeField("Tadasigaki", EntryFields::Kind::Text, this);
    addRow(grid, QStringLiteral("領収書但書"), Tadasigaki);

    RyosyuNo = makeField("RyosyuNo", EntryFields::Kind::Text, this);
    RyosyuNo->setFixedWidth(200);
    addRow(grid, QStringLiteral("領収書№"), RyosyuNo);
}

QLayout *TFnyukin::buildButtonRow()
{
    TorokuBTN = makeButton("TorokuBTN", QStringLiteral("登録"), this);
    connect(TorokuBTN, &QPushButton::clicked, this, &TFnyukin::TorokuBTNClick);
    TorokuInsatuBTN = makeButton("TorokuInsatuBTN", QStringLiteral("登録→領収書印刷"), this);
    connect(TorokuInsatuBTN, &QPushButton::clicked, this, &TFnyukin::TorokuInsatuBTNClick);
    MakatiButton4 = makeButton("MakatiButton4", QStringLiteral("キャンセル"), this);
    connect(MakatiButton4, &QPushButton::clicked, this, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (TFlatButton *b : {TorokuBTN, TorokuInsatuBTN, MakatiButton4}) {
        b->setMinimumSize(110, 33);
        row->addWidget(b);
    }
    return row;
}

void TFnyukin::FormShow()
{
    TForm1::FormShow();
    TEngineDatabase &db = *DMdata->DataDB;
    m_fiscalYearStart = Numbering::readFiscalYearStart(db);
    NyukinYMD->setDate(Clock::today());
    m_copyValue = 0;
    SiharaiHouHouCB->clear();
    SiharaiHouHouCB->addItems(PaymentStore::paymentMethods(db));
    SiharaiHouHouCB->setCurrentIndex(0);
    const std::optional<PaymentRecord> payment =
        NyukinKey != 0 ? PaymentStore::load(db, NyukinKey) : std::nullopt;
    if (NyukinKey != 0) {
        setWindowTitle(QStringLiteral("入金修正"));
        if (!payment)
            Messages::error(this, QStringLiteral("入金（Key %1）が見つかりません。ほかのコンピュータで"
                                                 "削除された可能性があります")
                                      .arg(NyukinKey));
    } else {
        setWindowTitle(QStringLiteral("入金登録"));
    }
    readNumberingSettings();
    if (payment)
        showPayment(*payment);
    else
        NyukinYMD->setFocus();
    if (payment && payment->SeikyuKey != 0)
        Messages::information(this, BilledDocuments::openedNotice(BilledDocuments::Kind::Payment));
}

// Under "手入力" the user types the receipt number; otherwise it is taken when a new payment is saved
// and stays as it is afterwards.
void TFnyukin::readNumberingSettings()
{
    m_numbering = Numbering::readSettings(*DMdata->DataDB, Numbering::Kind::Ryosyusyou);
    const bool typed = m_numbering.SaibanHouhou == Numbering::kTenyuryoku;
    RyosyuNo->setReadOnly(!typed);
    RyosyuNo->setFocusPolicy(typed ? Qt::StrongFocus : Qt::NoFocus);
    RyosyuNo->setPlaceholderText(typed || NyukinKey != 0 ? QString()
                                                         : QStringLiteral("登録時に自動で付番します"));
}

void TFnyukin::showPayment(const PaymentRecord &p)
{
    m_opened = p;
    NyukinYMD->setDate(p.NyukinYMD);
    loadCustomer(p.TorihikisakiKey);
    Nyukingaku->setText(QString::number(p.Nyukingaku));
    selectMethod(p.NyukinHouhou);
    Tadasigaki->setText(p.Tadasigaki);
    RyosyuNo->setText(p.RyosyuNo);
}

// A stored method that is no longer offered leaves the field empty.
void TFnyukin::selectMethod(const QString &method)
{
    SiharaiHouHouCB->setCurrentIndex(SiharaiHouHouCB->findText(method, Qt::MatchExactly));
    if (SiharaiHouHouCB->currentIndex() < 0)
        SiharaiHouHouCB->setEditText(QString());
}

// A key that finds no customer changes nothing.
void TFnyukin::loadCustomer(int key)
{
    const std::optional<PaymentCustomer> customer = PaymentStore::customer(*DMdata->DataDB, key);
    if (!customer)
        return;
    m_customerKey = customer->key;
    TorihikisakiKey->setText(QString::number(customer->key));
    Kaisyamei->setText(customer->TorihikisakiNM);
    ZenkaiSeikyuGaku->setText(customer->shownAmount());
    m_copyValue = customer->ZenkaiSeikyuGaku;
    Nyukingaku->setFocus();
}

void TFnyukin::TorihikisakiKensakuBTNClick()
{
    TFtorihikisakiKensaku search(this);
    search.exec();
    if (search.torihikisakiKey() == 0)
        return;
    loadCustomer(search.torihikisakiKey());
    setModified(true); // the customer the user chose
}

void TFnyukin::KingakuCopyBTNClick()
{
    Nyukingaku->setText(QString::number(m_copyValue));
    Nyukingaku->setFocus();
}

// Throws ConvertError for an amount that is no whole number or too large.
PaymentRecord TFnyukin::readFields() const
{
    PaymentRecord p;
    p.key = NyukinKey;
    p.TorihikisakiKey = m_customerKey;
    p.NyukinYMD = NyukinYMD->date();
    p.Nyukingaku = PaymentStore::amountFromText(Nyukingaku->text());
    p.NyukinHouhou = SiharaiHouHouCB->currentText();
    p.Tadasigaki = Tadasigaki->text();
    p.RyosyuNo = RyosyuNo->text();
    p.SeikyuKey = m_opened ? m_opened->SeikyuKey : 0;
    return p;
}

// A change of the amount, customer or date of a billed payment does not reach its invoice: the user
// is asked first.
bool TFnyukin::confirmBilledChange(const PaymentRecord &edited)
{
    return !m_opened || !PaymentStore::changesBilled(*m_opened, edited) ||
           Messages::confirmYesNo(this, BilledDocuments::changeQuestion(BilledDocuments::Kind::Payment));
}

// A refused save says why and leaves the window open with everything typed.
bool TFnyukin::save()
{
    if (!NyukinYMD->normalize())
        return false;
    bool declined = false;
    const bool stored = Messages::guarded(this, [this, &declined] {
        const PaymentRecord payment = readFields();
        declined = !confirmBilledChange(payment);
        if (declined)
            return;
        try {
            m_savedKey = PaymentStore::save(*DMdata->DataDB, payment, m_numbering, m_fiscalYearStart);
        } catch (const BilledDocuments::ChangedMeanwhile &e) {
            if (m_opened)
                m_opened->SeikyuKey = e.storedSeikyuKey();
            throw;
        }
    });
    return stored && !declined;
}

void TFnyukin::TorokuBTNClick()
{
    if (save())
        accept();
}

void TFnyukin::TorokuInsatuBTNClick()
{
    if (!save())
        return;
    accept();
    QWidget *opener = parentWidget();
    Messages::guarded(opener, [opener, key = m_savedKey] { showReceipt(opener, key); });
}

void TFnyukin::showReceipt(QWidget *parent, int paymentKey)
{
    DocumentReports::show(parent, DocumentOutput::Kind::Ryosyusyou, {paymentKey});
}
