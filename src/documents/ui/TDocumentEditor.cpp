#include "documents/ui/TDocumentEditor.h"

#include "common/Clock.h"
#include "common/ui/AddressLookup.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "documents/BilledDocuments.h"
#include "documents/ui/TMesaiGrid.h"
#include "masters/CustomerStore.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ProductStore.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

using FieldKind = EntryFields::Kind;
const QString kCustomers = QStringLiteral("Torihikisaki");

TEngineDatabase &db()
{
    return *DMdata->DataDB;
}

// Calls back on the focus events of one field (the window's own filter already sees every event of
// the application, so the fields get a watcher of their own).
class FocusWatcher : public QObject
{
public:
    FocusWatcher(QWidget *field, std::function<void(QFocusEvent *)> onFocus)
        : QObject(field), m_onFocus(std::move(onFocus))
    {
        field->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            m_onFocus(static_cast<QFocusEvent *>(event));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QFocusEvent *)> m_onFocus;
};

QString configuredStaff()
{
    return IniFile(AppPaths::iniPath()).readString(QStringLiteral("Tanto"), QStringLiteral("Name"));
}

} // namespace

TDocumentEditor::TDocumentEditor(Numbering::Kind kind, const Names &names, QWidget *parent)
    : TForm1(names.window, parent), m_kind(kind)
{
    setWindowTitle(names.caption);
    setAsksBeforeDiscarding(true);
    auto *top = new QHBoxLayout;
    TorihikisakiKensakuBTN = new TFlatButton(QStringLiteral("取引先検索"), this);
    TorihikisakiKensakuBTN->setObjectName(QStringLiteral("TorihikisakiKensakuBTN"));
    SinkiTorihikisakiBTN = new TFlatButton(QStringLiteral("新規取引先"), this);
    SinkiTorihikisakiBTN->setObjectName(QStringLiteral("SinkiTorihikisakiBTN"));
    for (TFlatButton *b : {TorihikisakiKensakuBTN, SinkiTorihikisakiBTN}) {
        b->setFocusPolicy(Qt::NoFocus);
        top->addWidget(b);
    }
    top->addStretch(1);
    DateField = new TDateEdit(names.date, this);
    DateField->edit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    top->addWidget(new QLabel(names.dateLabel, this));
    top->addWidget(DateField);
    NumberField = new QLineEdit(this);
    NumberField->setObjectName(names.number);
    EntryFields::setUp(NumberField, FieldKind::Text, Numbering::info(kind).headerTable,
                       Numbering::info(kind).numberColumn);
    NumberField->setAttribute(Qt::WA_InputMethodEnabled, false);
    new FocusWatcher(NumberField, [this](QFocusEvent *e) {
        if (e->gotFocus() && e->reason() == Qt::MouseFocusReason)
            NumberEnter();
    });
    top->addWidget(new QLabel(names.numberLabel, this));
    top->addWidget(NumberField);
    bodyLayout()->addLayout(top);

    m_fields = new QGridLayout;
    bodyLayout()->addLayout(m_fields);
    buildCustomerBlock();

    MesaiGrid = new TMesaiGrid(names.shade, this);
    MesaiGrid->beforeSelectCell = [this](int column, int row) { return MesaiGridSelectCell(column, row); };
    connect(MesaiGrid, &TMesaiGrid::cellCommitted, this, [this](int column, int row) {
        if (column == 1 || column == 3) {
            followAmount(row);
            GokeiKeisan();
        } else if (column == kRateColumn) {
            GokeiKeisan();
        }
    });
    bodyLayout()->addWidget(MesaiGrid, 1);
    buildBottomBar();

    connect(TorihikisakiKensakuBTN, &QPushButton::clicked, this,
            &TDocumentEditor::TorihikisakiKensakuBTNClick);
    connect(SinkiTorihikisakiBTN, &QPushButton::clicked, this, &TDocumentEditor::SinkiTorihikisakiBTNClick);
    connect(YubinBTN, &QToolButton::clicked, this, &TDocumentEditor::YubinBTNClick);
    connect(OkBTN, &QPushButton::clicked, this, &TDocumentEditor::OkBTNClick);
    connect(CanBTN, &QPushButton::clicked, this, &QDialog::reject);
    resize(582, 641);
}

// The dialog hides itself only after this class's part is gone; a grid cell still open then hands
// its text back on losing the focus. That must no longer reach this editor's totals or cell rules.
TDocumentEditor::~TDocumentEditor()
{
    MesaiGrid->beforeSelectCell = nullptr;
    MesaiGrid->disconnect(this);
}

// A field of the customer block over its column of Torihikisaki (which limits its length).
QLineEdit *TDocumentEditor::addCustomerField(const char *name, const QString &label, EntryFields::Kind kind,
                                             int row, const char *column)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    EntryFields::setUp(edit, kind, kCustomers, QLatin1String(column ? column : name));
    m_fields->addWidget(new QLabel(label, this), row, 0);
    m_fields->addWidget(edit, row, 1);
    return edit;
}

void TDocumentEditor::buildCustomerBlock()
{
    Kaisyamei = addCustomerField("Kaisyamei", QStringLiteral("会社名"), FieldKind::Text, 0, "TorihikisakiNM");
    new FocusWatcher(Kaisyamei, [this](QFocusEvent *e) {
        if (e->lostFocus())
            KaisyameiExit();
    });
    Keisyo = new QComboBox(this);
    Keisyo->setObjectName(QStringLiteral("Keisyo"));
    Keisyo->addItems(CustomerStore::honorifics());
    Keisyo->setCurrentIndex(-1);
    Keisyo->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_fields->addWidget(Keisyo, 0, 2);
    Yubin = addCustomerField("Yubin", QStringLiteral("〒"), FieldKind::DigitsOrHyphen, 1);
    YubinBTN = new QToolButton(this);
    YubinBTN->setObjectName(QStringLiteral("YubinBTN"));
    YubinBTN->setText(QStringLiteral("〒"));
    YubinBTN->setToolTip(QStringLiteral("郵便番号から住所を検索"));
    YubinBTN->setFocusPolicy(Qt::NoFocus);
    m_fields->addWidget(YubinBTN, 1, 2, Qt::AlignLeft);
    Jyusyo1 = addCustomerField("Jyusyo1", QStringLiteral("住所１"), FieldKind::Text, 2);
    Jyusyo2 = addCustomerField("Jyusyo2", QStringLiteral("住所２"), FieldKind::Text, 3);
    Busyo = addCustomerField("Busyo", QStringLiteral("部　署"), FieldKind::Text, 4);
    Tantousya = addCustomerField("Tantousya", QStringLiteral("担当者"), FieldKind::Text, 5, "Tantosya");
    Tel = addCustomerField("Tel", QStringLiteral("Tel"), FieldKind::DigitsOrHyphen, 6);
    Fax = addCustomerField("Fax", QStringLiteral("Fax"), FieldKind::DigitsOrHyphen, 7);
    Mail = addCustomerField("Mail", QStringLiteral("Mail"), FieldKind::Text, 8);
    Mail->setAttribute(Qt::WA_InputMethodEnabled, false);
    TorihikisakiKey = new QLabel(QStringLiteral("0"), this);
    TorihikisakiKey->setObjectName(QStringLiteral("TorihikisakiKey"));
    TorihikisakiKey->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TorihikisakiKey->setStyleSheet(QStringLiteral("color: gray"));
    m_fields->addWidget(TorihikisakiKey, 8, 2);
    for (QWidget *field : customerFields())
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->setReadOnly(true); // a new document starts with an empty customer that the save registers
}

void TDocumentEditor::buildBottomBar()
{
    m_buttons = new QHBoxLayout;
    OkBTN = new TFlatButton(QStringLiteral("Ｏ　Ｋ"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    CanBTN = new TFlatButton(QStringLiteral("キャンセル"), this);
    CanBTN->setObjectName(QStringLiteral("CanBTN"));
    Gokei = new QLabel(DocumentLines::totalText(0), this);
    Gokei->setObjectName(QStringLiteral("Gokei"));
    Gokei->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Gokei->setMinimumWidth(200); // room for a total in the billions without the layout moving
    m_buttons->addWidget(OkBTN);
    m_buttons->addWidget(CanBTN);
    m_buttons->addStretch(1);
    Zeigaku = new QLabel(this);
    Zeigaku->setObjectName(QStringLiteral("Zeigaku"));
    Zeigaku->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Zeigaku->hide();
    m_buttons->addWidget(Zeigaku);
    m_buttons->addWidget(Gokei);
    bodyLayout()->addLayout(m_buttons);
}

QLineEdit *TDocumentEditor::addTextField(const char *name, const QString &label, const QString &table,
                                         const QString &column, bool inputMethod, int row, int gridColumn)
{
    if (row < 0)
        row = m_fields->rowCount();
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    EntryFields::setUp(edit, FieldKind::Text, table, column);
    edit->setAttribute(Qt::WA_InputMethodEnabled, inputMethod);
    m_fields->addWidget(new QLabel(label, this), row, gridColumn);
    m_fields->addWidget(edit, row, gridColumn + 1);
    return edit;
}

void TDocumentEditor::setTabChain(const QList<QWidget *> &fields)
{
    QWidget *previous = DateField->edit();
    for (QWidget *w : fields) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, MesaiGrid);
}

QList<QWidget *> TDocumentEditor::customerFields() const
{
    return {Kaisyamei, Yubin, Jyusyo1, Jyusyo2, Busyo, Tantousya, Tel, Fax, Mail};
}

void TDocumentEditor::FormShow()
{
    TForm1::FormShow();
    DateField->setDate(Clock::today());
    m_fiscalYearStart = Numbering::readFiscalYearStart(db());
    m_settings = Numbering::readSettings(db(), m_kind);
    m_tax = OwnCompanyStore::taxSettings(db());
    MesaiGrid->setRateColumnShown(m_tax.enabled);
    Zeigaku->setVisible(m_tax.enabled);
    applyNumberFieldRule();
    JisyaTanto->setText(configuredStaff());
    showDocument();
}

// Under "手入力" the number is typed; otherwise it is made at the save and the field only shows it.
void TDocumentEditor::applyNumberFieldRule()
{
    const bool typed = m_settings.SaibanHouhou == Numbering::kTenyuryoku;
    NumberField->setReadOnly(!typed);
    NumberField->setFocusPolicy(typed ? Qt::StrongFocus : Qt::ClickFocus);
}

void TDocumentEditor::reportMissing(const QString &documentName, int key)
{
    Messages::information(
        this, QStringLiteral("%1（Key %2）が見つかりません。他のコンピュータで削除された可能性があります。"
                             "新しい%1として入力できます")
                  .arg(documentName)
                  .arg(key));
}

void TDocumentEditor::fillFrom(const DocumentRecord &d)
{
    m_opened = d;
    NumberField->setText(d.number);
    DateField->setDate(d.Hiduke);
    TorihikisakiKey->setText(QString::number(d.TorihikisakiKey));
    Basyo->setText(d.UkewatasiBasyo);
    JisyaTanto->setText(d.JisyaTanto);
    MesaiGrid->clearCells();
    for (const DocumentLine &line : d.lines) {
        if (line.Gyo < 1 || line.Gyo > kMaxLines)
            continue;
        const LineCells cells = DocumentLines::toCells(line);
        for (int c = 0; c < kLineColumns; ++c)
            MesaiGrid->setCell(c, line.Gyo, cells[c]);
        if (m_tax.enabled)
            MesaiGrid->setCell(kRateColumn, line.Gyo,
                               DocumentLines::rateText(ConsumptionTax::rateOf(line.ZeiRitu)));
    }
    Gokei->setText(DocumentLines::totalText(d.Kingaku));
    if (m_tax.enabled)
        GokeiKeisan();
    TorihikisakiHyoji(d.TorihikisakiKey);
}

void TDocumentEditor::TorihikisakiHyoji(int customerKey)
{
    const std::optional<CustomerRecord> c = CustomerStore::load(db(), customerKey);
    if (!c)
        return;
    TorihikisakiKey->setText(QString::number(c->key));
    Yubin->setText(c->Yubin);
    Jyusyo1->setText(c->Jyusyo1);
    Jyusyo2->setText(c->Jyusyo2);
    Kaisyamei->setText(c->TorihikisakiNM);
    Keisyo->setCurrentText(CustomerStore::shownHonorific(c->Keisyo));
    Tel->setText(c->Tel);
    Fax->setText(c->Fax);
    Busyo->setText(c->Busyo);
    Tantousya->setText(c->Tantosya);
    Mail->setText(c->Mail);
    for (QWidget *field : customerFields())
        static_cast<QLineEdit *>(field)->setCursorPosition(0); // long texts show from their beginning
    // The page prints the stored customer's honorific, so the box shows it and cannot change it.
    Keisyo->setEnabled(false);
    afterCustomer()->setFocus();
}

void TDocumentEditor::disableCustomerBlock(bool)
{
    for (QWidget *field : customerFields())
        field->setEnabled(false);
    Keisyo->setEnabled(false); // the stored customer's honorific is what the page prints
}

void TDocumentEditor::TorihikisakiKensakuBTNClick()
{
    TFtorihikisakiKensaku search(this);
    search.exec();
    if (search.torihikisakiKey() == 0)
        return;
    TorihikisakiHyoji(search.torihikisakiKey());
    setModified(true); // the customer the user chose
    for (QWidget *field : customerFields()) {
        static_cast<QLineEdit *>(field)->setReadOnly(true);
        field->setFocusPolicy(Qt::ClickFocus);
    }
    Keisyo->setFocusPolicy(Qt::ClickFocus);
}

void TDocumentEditor::SinkiTorihikisakiBTNClick()
{
    TorihikisakiKey->setText(QStringLiteral("0"));
    for (QWidget *field : customerFields()) {
        auto *edit = static_cast<QLineEdit *>(field);
        edit->clear();
        edit->setReadOnly(false);
        edit->setEnabled(true);
        edit->setFocusPolicy(Qt::StrongFocus);
    }
    Keisyo->setCurrentIndex(0);
    Keisyo->setEnabled(true);
    Keisyo->setFocusPolicy(Qt::StrongFocus);
    Kaisyamei->setFocus();
}

// A name made of digits (and ".") is a customer code: the customer with that code is called up.
void TDocumentEditor::KaisyameiExit()
{
    const QString code = DocumentLines::halfWidthDigits(Kaisyamei->text());
    if (!IsDigitsOrPoint(code))
        return;
    Messages::guarded(this, [this, &code] {
        if (const std::optional<int> key = CustomerStore::keyByCode(db(), TextToInteger(code)))
            TorihikisakiHyoji(*key);
    });
}

void TDocumentEditor::YubinBTNClick()
{
    lookUpAddress(this, Yubin, Jyusyo1);
}

void TDocumentEditor::NumberEnter()
{
    if (m_settings.SaibanHouhou != Numbering::kTenyuryoku)
        Messages::information(this, automaticNumberMessage());
}

// The row of the cell being moved to: a product code in its name cell is called up (an unknown one
// cancels the move), its amount is formed from quantity and unit price, and the total follows.
bool TDocumentEditor::MesaiGridSelectCell(int, int row)
{
    if (!callUpProduct(row, QStringLiteral("商品がありません")))
        return false;
    followAmount(row);
    GokeiKeisan();
    return true;
}

// A product code (half- or full-width digits) in the name cell of the row becomes the product's
// name, unit and price. False, after saying `missing`, when no product has the code.
bool TDocumentEditor::callUpProduct(int row, const QString &missing)
{
    const QString name = DocumentLines::halfWidthDigits(MesaiGrid->cell(0, row));
    if (!IsDigitsOrPoint(name))
        return true;
    std::optional<ProductRecord> product;
    if (!Messages::guarded(this, [&] { product = ProductStore::load(db(), TextToInteger(name)); }))
        return false;
    if (!product) {
        Messages::information(this, missing);
        return false;
    }
    MesaiGrid->setCell(0, row, product->SyohinNM);
    MesaiGrid->setCell(2, row, product->Tani);
    MesaiGrid->setCell(3, row, product->Tanka ? DocumentLines::numberText(*product->Tanka) : QString());
    if (m_tax.enabled)
        MesaiGrid->setCell(kRateColumn, row,
                           DocumentLines::rateText(ConsumptionTax::rateOf(product->ZeiRitu)));
    return true;
}

// The row's amount follows its quantity and unit price when both are numbers.
void TDocumentEditor::followAmount(int row)
{
    if (const auto amount = DocumentLines::lineAmount(MesaiGrid->cell(1, row), MesaiGrid->cell(3, row)))
        MesaiGrid->setCell(4, row, QString::number(*amount));
}

// Before the save every row is brought up to date as if the cursor had passed it: codes still in a
// name cell are called up (an unknown one refuses the save naming its row) and amounts are formed.
bool TDocumentEditor::completeRows()
{
    for (int row = 1; row <= kMaxLines; ++row) {
        if (!callUpProduct(row,
                           QStringLiteral("%1行目の商品コード「%2」の商品がありません。保存できませんでした")
                               .arg(row)
                               .arg(MesaiGrid->cell(0, row))))
            return false;
        followAmount(row);
    }
    GokeiKeisan();
    return true;
}

void TDocumentEditor::GokeiKeisan()
{
    if (m_tax.enabled) {
        markUnratedRows();
        const ConsumptionTax::RateSums sums = ConsumptionTax::sumsOf(ratedAmounts(), m_tax);
        Zeigaku->setText(DocumentLines::taxText(sums, m_tax.pricesIncludeTax));
        Gokei->setText(DocumentLines::totalText(sums.total(m_tax.pricesIncludeTax)));
        return;
    }
    QList<QString> amounts;
    for (int row = 1; row <= kMaxLines; ++row)
        amounts.append(MesaiGrid->cell(4, row));
    Gokei->setText(DocumentLines::totalText(DocumentLines::total(amounts)));
}

// A row typed without a product counts at 10%; its rate cell says so.
void TDocumentEditor::markUnratedRows()
{
    for (int row = 1; row <= kMaxLines; ++row) {
        if (!MesaiGrid->cell(kRateColumn, row).isEmpty())
            continue;
        for (int c = 0; c < kLineColumns; ++c)
            if (!MesaiGrid->cell(c, row).isEmpty()) {
                MesaiGrid->setCell(kRateColumn, row, DocumentLines::rateText(ConsumptionTax::kStandardRate));
                break;
            }
    }
}

// The amounts that count, with their rows' rates.
QList<ConsumptionTax::RatedAmount> TDocumentEditor::ratedAmounts() const
{
    QList<ConsumptionTax::RatedAmount> amounts;
    for (int row = 1; row <= kMaxLines; ++row)
        if (const std::optional<qint64> amount = DocumentLines::amountOf(MesaiGrid->cell(4, row)))
            amounts.append({DocumentLines::rateFromText(MesaiGrid->cell(kRateColumn, row)), *amount});
    return amounts;
}

CustomerRecord TDocumentEditor::readCustomer() const
{
    CustomerRecord c;
    c.TorihikisakiNM = Kaisyamei->text();
    c.Keisyo = Keisyo->currentIndex() < 0 ? QString() : Keisyo->currentText();
    c.Yubin = Yubin->text();
    c.Jyusyo1 = Jyusyo1->text();
    c.Jyusyo2 = Jyusyo2->text();
    c.Tel = Tel->text();
    c.Fax = Fax->text();
    c.Busyo = Busyo->text();
    c.Tantosya = Tantousya->text();
    c.Mail = Mail->text();
    return c;
}

// Throws ConvertError for a date part that is not a whole number.
DocumentRecord TDocumentEditor::readDocument() const
{
    DocumentRecord d;
    d.key = m_savedKey;
    d.number = NumberField->text();
    d.Hiduke = DateField->date();
    d.TorihikisakiKey = TorihikisakiKey->text().toInt();
    d.UkewatasiBasyo = Basyo->text();
    d.JisyaTanto = JisyaTanto->text();
    d.SeikyuKey = m_opened.SeikyuKey;
    for (int row = 1; row <= kMaxLines; ++row) {
        LineCells cells;
        for (int c = 0; c < kLineColumns; ++c)
            cells[c] = MesaiGrid->cell(c, row);
        if (auto line = DocumentLines::fromCells(row, cells)) {
            if (m_tax.enabled)
                line->ZeiRitu = DocumentLines::rateFromText(MesaiGrid->cell(kRateColumn, row));
            d.lines.append(*line);
        }
    }
    readOwnFields(d);
    return d;
}

// A change of the amount, customer or date of a billed delivery note does not reach its invoice: the
// user is asked first.
bool TDocumentEditor::confirmBilledChange(const DocumentRecord &edited)
{
    return !DocumentStore::changesBilledNote(m_opened, edited) ||
           Messages::confirmYesNo(this, BilledDocuments::changeQuestion(BilledDocuments::Kind::DeliveryNote));
}

// The whole save is one transaction; when it fails, the message says why and the window stays open
// with everything typed.
void TDocumentEditor::OkBTNClick()
{
    if (!completeRows())
        return;
    SavedDocument result;
    bool declined = false;
    const bool stored = Messages::guarded(this, [&] {
        const DocumentRecord document = readDocument();
        if (!confirmBilledChange(document)) {
            declined = true;
            return;
        }
        DocumentStore::SaveOptions options;
        options.settings = m_settings;
        options.fiscalYearStart = m_fiscalYearStart;
        options.newCustomer = readCustomer();
        options.tax = m_tax;
        try {
            result = DocumentStore::save(db(), m_kind, document, options);
        } catch (const BilledDocuments::ChangedMeanwhile &e) {
            m_opened.SeikyuKey = e.storedSeikyuKey();
            throw;
        }
    });
    if (!stored || declined)
        return;
    NumberField->setText(result.number);
    TorihikisakiKey->setText(QString::number(result.TorihikisakiKey));
    m_savedKey = result.key;
    Messages::guarded(this, [&] { showReport(result.key); });
    saved(result.key);
    accept();
}
