#include "report/layouts/DocumentLayout.h"

#include "common/DisplayFormat.h"
#include "common/PictureBytes.h"
#include "data/Engine.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRItemR.h"
#include "report/engine/TLRPanels.h"

#include <algorithm>

namespace {

using enum LRKind;
using enum LRInk;
using enum TAlignment;

constexpr LRFontDef kPGothic12{12, false, Black, u"ＭＳ Ｐゴシック"};

// Page of the estimate, the delivery note and the invoice, in print order. Left margin 74, the
// others 36.
constexpr LRPanelRow kPanels[] = {
    {"Header", LRPanelKind::Layout, TLRAlign::laTop, {75, 37, 682, 332}},
    {"Remarks", LRPanelKind::Layout, TLRAlign::laBottom, {75, 957, 682, 129}},
    {"Detail", LRPanelKind::Grid, TLRAlign::laClient, {75, 397, 682, 560}, 1, 20},
    {"Headings", LRPanelKind::Layout, TLRAlign::laTop, {75, 369, 682, 28}},
};

// The seal first, under every text; the title band; the customer.
constexpr LRItemRow kHeaderStart[] = {
    {.name = "Inei", .kind = Image, .rect = {576, 96, 73, 73}},
    {.name = "LRItem2",
     .rect = {360, 0, 321, 41},
     .font = {24, true, White},
     .fill = Theme,
     .align = taCenter,
     .vMargin = 8},
    {.name = "Yubin", .rect = {24, 24, 65, 17}},
    {.name = "Jyusyo1", .rect = {24, 40, 321, 17}, .font = kPGothic12},
    {.name = "Jyusyo2", .rect = {24, 56, 321, 17}, .font = kPGothic12},
    {.name = "Kaisyamei", .rect = {24, 80, 321, 17}, .font = {15}},
    {.name = "Gotantou", .rect = {24, 104, 65, 17}},
    {.name = "Busyo", .rect = {32, 120, 313, 17}, .font = kPGothic12},
    {.name = "Tantousya", .rect = {40, 136, 305, 17}},
    {.name = "TorihikisakiKey",
     .rect = {280, 152, 65, 17},
     .font = {12, false, Silver},
     .align = taRightJustify},
};

constexpr LRItemRow kCompanyBlock[] = {
    {.name = "Jisyamei", .rect = {376, 104, 305, 22}, .font = {15}},
    {.name = "JYubin", .rect = {376, 136, 65, 17}},
    {.name = "JJyusyo1", .rect = {376, 152, 305, 17}},
    {.name = "JJyusyo2", .rect = {376, 168, 305, 17}},
    {.name = "JBusyo", .rect = {376, 184, 305, 17}},
    {.name = "JTel", .rect = {520, 200, 161, 17}},
    {.name = "JFax", .rect = {520, 216, 161, 17}},
    {.name = "JisyaTanto", .rect = {520, 240, 161, 17}},
    // The registration number of the qualified-invoice option, over the company's name: left of the
    // document's number and of the seal's place (the seal at its usual place, 576, 96, never covers
    // it whatever its size).
    {.name = "TourokuNo", .rect = {376, 86, 160, 17}},
};

} // namespace

DocumentLayout::DocumentLayout(TLightRep &root, TEngineDatabase &db, const Design &design, QObject *parent)
    : ReportLayout(root, db, design.title, parent), Qmesai(new TEngineQuery(&db, this)),
      m_design(design), m_style{design.palette, QStringLiteral("ＭＳ ゴシック")}
{
    m_root.setMarginLeft(74);
    m_root.setFont(TLRFont(m_style.family, 12));
    const QList<TCustomLRPanel *> panels = buildPanels(m_root, kPanels);
    m_header = static_cast<TLRLayoutPanel *>(panels[0]);
    m_remarks = static_cast<TLRLayoutPanel *>(panels[1]);
    m_detail = static_cast<TLRGridPanel *>(panels[2]);
    m_headings = static_cast<TLRLayoutPanel *>(panels[3]);

    Qmesai->addSql(QStringLiteral("SELECT * FROM ") + design.detailTable);
    Qmesai->addSql(QStringLiteral("WHERE Key = :Key"));
    Qmesai->addSql(QStringLiteral("Order by Gyo"));
    Qmesai->setDataSource(m_master);

    m_header->BeforePrint = [this](TLRControl *, const TLRRect &, TPrintStatus &) {
        fillParticulars();
        fillCustomer();
        fillCompany();
        fillTaxSummary();
    };
    m_detail->OnPrintPanel = [this](TLRControl *, int, int row, const TLRRect &, TPrintStatus &status) {
        printRow(row, status);
    };
    m_detail->AfterPrintPanel = [this](TLRControl *) {
        if (!detailEnd())
            Qmesai->Next();
    };
    m_detail->AfterPrint = [this](TLRControl *) {
        detailPageDone();
        if (detailEnd())
            m_master->Next();
    };
}

void DocumentLayout::buildHeader(std::span<const LRItemRow> particulars, const QString &titleText)
{
    buildItems(m_header, kHeaderStart, m_style, m_items);
    buildItems(m_header, particulars, m_style, m_items);
    buildItems(m_header, kCompanyBlock, m_style, m_items);
    m_items.item("LRItem2")->Text = titleText;
}

void DocumentLayout::buildTable(std::span<const LRItemRow> headings, std::span<const LRItemRow> cells)
{
    buildItems(m_headings, headings, m_style, m_items);
    buildItems(m_detail, cells, m_style, m_items);
    for (const LRItemRow &cell : cells)
        m_cells.append(m_items.item(cell.name));
    const auto byLeft = [](const LRItemRow &a, const LRItemRow &b) { return a.rect.x() < b.rect.x(); };
    m_firstCell = m_items.itemR(std::min_element(cells.begin(), cells.end(), byLeft)->name);
    m_lastCell = m_items.itemR(std::max_element(cells.begin(), cells.end(), byLeft)->name);
}

void DocumentLayout::buildRemarks(std::span<const LRItemRow> rows)
{
    buildItems(m_remarks, rows, m_style, m_items);
}

void DocumentLayout::FormShow()
{
    m_company = readCompany(*Query1->database());
    if (m_company.sealUnreadable)
        m_notices.append(PictureBytes::unreadableSealPrintMessage());
    TLRImage *seal = m_items.image("Inei");
    seal->setPicture(m_company.seal);
    seal->setHeight(m_company.sealHeight);
    seal->setWidth(m_company.sealWidth);
    applySettings(readSettings(*Query1, m_design.settingsTable, true));
}

void DocumentLayout::applySettings(const LayoutSettings &settings)
{
    TLRImage *seal = m_items.image("Inei");
    if (m_design.sealSizeFromSettings) {
        seal->setHeight(settings.height);
        seal->setWidth(settings.width);
    }
    seal->setTop(settings.top);
    seal->setLeft(settings.left);
    m_items.setText("Bikou", remarksText(settings.remarks));
}

void DocumentLayout::beforePrepare()
{
    ReportLayout::beforePrepare();
    Qmesai->Close();
}

void DocumentLayout::afterPrepare()
{
    if (!Qmesai->Active())
        Qmesai->Open();
}

bool DocumentLayout::detailEnd() const
{
    return !Qmesai->Active() || Qmesai->Eof();
}

TEngineField DocumentLayout::masterField(const char *field) const
{
    return m_master->FieldByName(QLatin1String(field));
}

QString DocumentLayout::masterText(const char *field) const
{
    return masterField(field).AsString();
}

TEngineField DocumentLayout::detailField(const char *field) const
{
    return Qmesai->FieldByName(QLatin1String(field));
}

// Rows alternate white and pale; the bottom row closes the table with a line and the two rounded
// corners. Rows without a line keep colour and frame but show no text.
void DocumentLayout::printRow(int row, TPrintStatus &status)
{
    const QColor color = row % 2 ? m_design.palette.pale : QColor(Qt::white);
    const bool bottom = row == m_detail->RowCount() - 1;
    for (TLRItem *cell : std::as_const(m_cells)) {
        cell->setColor(color);
        cell->LineBottom = bottom ? TLineStyle::lsSingle : TLineStyle::lsNone;
    }
    m_firstCell->RoundLeftBottom = bottom;
    m_lastCell->RoundRightBottom = bottom;
    if (detailEnd())
        status = TPrintStatus::stFrameOnly;
    else
        fillRow();
}

// A customer key without a customer row prints the block empty: the "〒" sign alone and the
// name line holding only the separator.
void DocumentLayout::fillCustomer()
{
    const LayoutCustomer c = readCustomer(*Query1, masterField("TorihikisakiKey").AsInteger());
    m_items.setText("Yubin", QStringLiteral("〒") + c.yubin);
    m_items.setText("Jyusyo1", c.jyusyo1);
    m_items.setText("Jyusyo2", c.jyusyo2);
    m_items.setText("Kaisyamei", c.name + m_design.nameSeparator + c.keisyo);
    const bool contact = !c.busyo.isEmpty() || !c.tantosya.isEmpty();
    m_items.setText("Gotantou", contact ? QStringLiteral("ご担当") : QString());
    m_items.setText("Busyo", c.busyo);
    m_items.setText("Tantousya", c.tantosya.isEmpty() ? QString() : c.tantosya + QStringLiteral(" 様"));
    m_items.setText("TorihikisakiKey", masterText("TorihikisakiKey"));
}

void DocumentLayout::fillCompany()
{
    m_items.setText("Jisyamei", m_company.name);
    m_items.setText("JYubin", QStringLiteral("〒") + m_company.yubin);
    m_items.setText("JJyusyo1", m_company.jyusyo1);
    m_items.setText("JJyusyo2", m_company.jyusyo2);
    m_items.setText("JBusyo", m_company.busyo);
    m_items.setText("JTel", QStringLiteral("TEL:") + m_company.tel);
    m_items.setText("JFax", QStringLiteral("FAX:") + m_company.fax);
    m_items.setText("JisyaTanto", QStringLiteral("担当者：") + masterText("JisyaTanto"));
    m_items.setText("TourokuNo", m_company.registrationLine);
}

// "10%対象（税抜）¥1,005 消費税 ¥100" (or with the tax in: "10%対象（税込）¥1,105 内消費税 ¥100"), one
// line per rate used, and the note on the mark of reduced-rate lines.
void DocumentLayout::fillTaxSummary()
{
    const std::optional<ConsumptionTax::RateSums> sums = documentTaxSums();
    QStringList lines;
    if (sums) {
        lines = ConsumptionTax::summaryLines(*sums, m_company.tax.pricesIncludeTax);
        if (sums->has8)
            lines << ConsumptionTax::kReducedNote;
    }
    m_items.setText("ZeiUtiwake", lines.isEmpty() ? QString() : remarksText(lines));
}

std::optional<ConsumptionTax::RateSums> DocumentLayout::documentTaxSums() const
{
    if (!m_company.tax.enabled || !m_master->hasField(QStringLiteral("Zei10")) ||
        masterField("Zei10").IsNull())
        return std::nullopt;
    ConsumptionTax::RateSums s;
    s.Taisyo10 = masterField("Taisyo10").AsLargeInt();
    s.Zei10 = masterField("Zei10").AsLargeInt();
    s.Taisyo8 = masterField("Taisyo8").AsLargeInt();
    s.Zei8 = masterField("Zei8").AsLargeInt();
    s.Hikazei = masterField("Hikazei").AsLargeInt();
    s.has8 = s.Taisyo8 != 0;
    s.hasUntaxed = s.Hikazei != 0;
    s.has10 = s.Taisyo10 != 0 || (!s.has8 && !s.hasUntaxed);
    return s;
}

QString DocumentLayout::lineName() const
{
    const QString name = detailField("SyohinNM").AsString();
    const bool reduced = m_company.tax.enabled && Qmesai->hasField(QStringLiteral("ZeiRitu")) &&
                         !detailField("ZeiRitu").IsNull() &&
                         detailField("ZeiRitu").AsInteger() == ConsumptionTax::kReducedRate;
    return reduced ? name + QStringLiteral(" ") + ConsumptionTax::kReducedMark : name;
}

QString quantityText(const TEngineField &field)
{
    return field.IsNull() ? QString() : formatNumber(DisplayFormat::kQuantity, field.AsFloat());
}

QString amountText(const TEngineField &field)
{
    return field.IsNull() ? QString() : formatNumber(DisplayFormat::kIntegerOrBlank, field.AsFloat());
}

QString japaneseDateText(const TEngineField &field)
{
    return field.IsNull() ? QString() : formatDate(DisplayFormat::kDateJapanese, field.AsDate());
}
