#include "report/layouts/ReceivablesLayout.h"

#include "common/DisplayFormat.h"
#include "report/engine/LRNullDevice.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRDataSource.h"
#include "report/engine/TLRItem.h"
#include "report/engine/TLRPanels.h"
#include "report/layouts/DocumentOutput.h"

#include <algorithm>
#include <array>
#include <QFontMetricsF>
#include <utility>

namespace {

using enum LRInk;
using enum TAlignment;

constexpr int kRowHeight = 22;
constexpr int kSmallestFont = 8; // layout units: the smallest size a text is shrunk to

// The page within the margins of 36: x 37–757, y 37–1086. The detail grid takes exactly its 40 rows
// of 22 between the headings and the foot.
constexpr LRPanelRow kPanels[] = {
    {"Head", LRPanelKind::Layout, TLRAlign::laTop, {37, 37, 720, 88}},
    {"Headings", LRPanelKind::Layout, TLRAlign::laTop, {37, 125, 720, 26}},
    {"Foot", LRPanelKind::Layout, TLRAlign::laBottom, {37, 1031, 720, 55}},
    {"Detail",
     LRPanelKind::Grid,
     TLRAlign::laClient,
     {37, 151, 720, 880},
     1,
     ReceivablesLayout::kRowsPerPage},
};

constexpr LRItemRow kHead[] = {
    {.name = "Title",
     .rect = {220, 0, 280, 38},
     .font = {24, true},
     .lines = LRLine::Bottom,
     .lineStyle = TLineStyle::lsDouble,
     .align = taCenter,
     .vMargin = 4,
     .text = u"売掛金残高一覧"},
    {.name = "AsOf", .rect = {0, 60, 340, 22}, .font = {15}},
    {.name = "Company", .rect = {360, 60, 360, 22}, .font = {15}, .align = taRightJustify},
};

constexpr LRItemRow kFoot[] = {
    {.name = "PageNo", .rect = {260, 24, 200, 20}, .align = taCenter},
};

// One column of the table: its heading and its cell share x and width.
struct Column
{
    const char *heading;
    const char *cell;
    int x;
    int width;
    TAlignment align;
    const char16_t *title;
};

constexpr Column kColumns[] = {
    {"HCode", "Code", 0, 72, taLeftJustify, u"取引先コード"},
    {"HName", "Name", 72, 180, taLeftJustify, u"取引先名"},
    {"HPrevious", "Previous", 252, 84, taRightJustify, u"前回請求額"},
    {"HPayments", "Payments", 336, 84, taRightJustify, u"入金額"},
    {"HUnbilled", "Unbilled", 420, 84, taRightJustify, u"未請求売上"},
    {"HBalance", "Balance", 504, 84, taRightJustify, u"残高"},
    {"HClosing", "Closing", 588, 72, taCenter, u"最終締日"},
    {"HDays", "Days", 660, 60, taRightJustify, u"経過日数"},
};

constexpr LRItemRow heading(const Column &c)
{
    return {.name = c.heading,
            .rect = {c.x, 0, c.width, 26},
            .font = {12, true},
            .fill = Pale,
            .lines = LRLine::All,
            .align = taCenter,
            .vMargin = 5,
            .text = c.title};
}

constexpr LRItemRow cell(const Column &c)
{
    return {.name = c.cell,
            .rect = {c.x, 0, c.width, kRowHeight},
            .lines = LRLine::Left | LRLine::Right | LRLine::Bottom,
            .align = c.align,
            .hMargin = 4,
            .vMargin = 4};
}

template<std::size_t... I> constexpr auto headingRows(std::index_sequence<I...>)
{
    return std::array<LRItemRow, sizeof...(I)>{heading(kColumns[I])...};
}

template<std::size_t... I> constexpr auto cellRows(std::index_sequence<I...>)
{
    return std::array<LRItemRow, sizeof...(I)>{cell(kColumns[I])...};
}

constexpr auto kColumnIndexes = std::make_index_sequence<std::size(kColumns)>{};
constexpr auto kHeadings = headingRows(kColumnIndexes);
constexpr auto kCells = cellRows(kColumnIndexes);

const QColor kHeadingFill(226, 226, 226);
const QColor kTotalFill(240, 240, 240);

QString amount(qint64 value)
{
    return formatNumber(DisplayFormat::kInteger, double(value));
}

// Walks the layout's pages for a report window.
class SheetPages : public TLRMasterData
{
public:
    explicit SheetPages(ReceivablesLayout &layout) : m_layout(layout) {}
    bool Active() const override { return true; }
    void Open() override { m_layout.first(); }
    void First() override { m_layout.first(); }
    bool Eof() const override { return m_layout.dataEnd(); }

private:
    ReceivablesLayout &m_layout;
};

} // namespace

void fitText(TLRItem &item, const QString &text, const TLRFont &font)
{
    item.Text = text;
    item.setFont(font);
    // The margin on both sides and one unit more, for the printer's own rounding of the glyphs.
    const double room = item.Width() - 2 * item.HMargin() - 1;
    static const LRNullDevice page; // measures at 96 dpi, in layout units
    auto widthIn = [&](const QFont &f) { return QFontMetricsF(f, &page).horizontalAdvance(text); };
    if (text.isEmpty() || room <= 0 || widthIn(font.font) <= room)
        return;
    TLRFont smaller = font;
    const double smallest = kSmallestFont * 72.0 / 96.0;
    double size = font.font.pointSizeF();
    do {
        size = std::max(smallest, size * 0.95);
        smaller.font.setPointSizeF(size);
    } while (size > smallest && widthIn(smaller.font) > room);
    item.setFont(smaller);
    if (widthIn(smaller.font) > room)
        item.Text = QFontMetricsF(smaller.font, &page).elidedText(text, Qt::ElideRight, room);
}

ReceivablesLayout::ReceivablesLayout(TLightRep &root, QObject *parent)
    : QObject(parent),
      m_root(root), m_style{{QColor(), kHeadingFill, QColor()}, QStringLiteral("ＭＳ ゴシック")}
{
    m_root.Title = title();
    m_root.setFont(TLRFont(m_style.family, 12));
    const QList<TCustomLRPanel *> panels = buildPanels(m_root, kPanels);
    auto *head = static_cast<TLRLayoutPanel *>(panels[0]);
    buildItems(head, kHead, m_style, m_items);
    buildItems(panels[1], kHeadings, m_style, m_items);
    buildItems(panels[2], kFoot, m_style, m_items);
    auto *detail = static_cast<TLRGridPanel *>(panels[3]);
    buildItems(detail, kCells, m_style, m_items);
    for (const Column &c : kColumns) {
        TLRItem *heading = m_items.item(c.heading);
        fitText(*heading, heading->Text, heading->Font());
        TLRItem *cell = m_items.item(c.cell);
        cell->Layout = TTextLayout::tlCenter;
        cell->LineColor = QColor(96, 96, 96);
        m_cells.append(cell);
    }

    head->BeforePrint = [this](TLRControl *, const TLRRect &, TPrintStatus &) { fillHead(); };
    detail->OnPrintPanel = [this](TLRControl *, int, int row, const TLRRect &, TPrintStatus &status) {
        printRow(row, status);
    };
    detail->AfterPrint = [this](TLRControl *) { ++m_page; };
}

ReceivablesLayout::~ReceivablesLayout() = default;

QString ReceivablesLayout::title()
{
    return QStringLiteral("売掛金残高一覧");
}

void ReceivablesLayout::setSheet(ReceivablesSheet sheet)
{
    m_sheet = std::move(sheet);
    m_page = 0;
}

int ReceivablesLayout::pageCount() const
{
    const int lines = int(m_sheet.rows.size()) + 1; // the total row
    return (lines + kRowsPerPage - 1) / kRowsPerPage;
}

std::unique_ptr<TLRMasterData> ReceivablesLayout::masterData()
{
    return std::make_unique<SheetPages>(*this);
}

void ReceivablesLayout::fillHead()
{
    m_items.setText("AsOf", formatDate(u"yyyy'年'm'月'd'日現在'", m_sheet.asOf));
    TLRItem *company = m_items.item("Company");
    fitText(*company, m_sheet.company, TLRFont(m_style.family, 15));
    m_items.setText("PageNo", QStringLiteral("%1 / %2").arg(m_page + 1).arg(pageCount()));
}

// The customers of this page, then the total row after the last one; the rest of the last page
// stays blank.
void ReceivablesLayout::printRow(int row, TPrintStatus &status)
{
    const qsizetype index = qsizetype(m_page) * kRowsPerPage + row;
    if (index < m_sheet.rows.size())
        fillCells(m_sheet.rows.at(index), false);
    else if (index == m_sheet.rows.size())
        fillCells(m_sheet.total, true);
    else
        status = TPrintStatus::stSkip;
}

// The total row is bold on grey, set off from the customers by a double line above it.
void ReceivablesLayout::fillCells(const ReceivablesSheet::Row &row, bool isTotal)
{
    const QString texts[] = {row.code,
                             row.name,
                             amount(row.previousInvoice),
                             amount(row.payments),
                             amount(row.unbilledSales),
                             amount(row.balance),
                             formatDate(DisplayFormat::kDate, row.lastClosing),
                             row.daysUnpaid ? QString::number(*row.daysUnpaid) : QString()};
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        TLRItem *cell = m_cells[i];
        // The proportional face fits more of a long name.
        const QString family = i == 1 ? QStringLiteral("ＭＳ Ｐゴシック") : m_style.family;
        fitText(*cell, texts[i], TLRFont(family, 12, isTotal));
        cell->Transparent = !isTotal;
        cell->setColor(kTotalFill);
        cell->LineTop = isTotal ? TLineStyle::lsDouble : TLineStyle::lsNone;
    }
}

QList<QImage> ReceivablesLayout::renderPages()
{
    first();
    return DocumentOutput::previewPages(m_root, [this] { return dataEnd(); });
}

void ReceivablesLayout::printPdf(const QString &path, int resolution)
{
    first();
    DocumentOutput::printPdf(m_root, title(), path, resolution, [this] { return dataEnd(); });
}
