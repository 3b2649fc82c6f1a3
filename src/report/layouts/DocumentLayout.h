#pragma once
// The page shared by the estimate, the delivery note and the invoice: a header with the customer,
// the document's particulars, the company block with the seal over it (and, with the own company's
// qualified-invoice option, its registration number and the document's sums and tax per rate in the
// free place the layout names "ZeiUtiwake"); a table of 20 detail lines
// under its column headings, rows tinted alternately and closed at the bottom by rounded corners;
// and the remarks at the foot. A document with more lines goes on over further pages, each
// repeating header and remarks; the master moves to the next document once its lines are done.
#include "common/ConsumptionTax.h"
#include "report/layouts/LayoutRecords.h"
#include "report/layouts/ReportLayout.h"

#include <optional>

class TEngineField;

// Rows of the column headings and detail cells of the document tables, 28 units high.
namespace DocumentRows {

// Column headings: pale cells with text in the theme colour, the outer top corners rounded.
constexpr LRItemRow heading(const char *name, LRKind kind, int x, int width, quint8 lines, quint8 corners,
                            const char16_t *text)
{
    return {.name = name,
            .kind = kind,
            .rect = {x, 0, width, 28},
            .font = {12, false, LRInk::Theme},
            .fill = LRInk::Pale,
            .lines = lines,
            .lineInk = LRInk::Theme,
            .align = TAlignment::taCenter,
            .vMargin = 7,
            .roundSize = kind == LRKind::ItemR ? 5 : 0,
            .corners = corners,
            .text = text};
}

// Detail cells, filled with the row's colour.
constexpr LRItemRow cell(const char *name, LRKind kind, int x, int width, TAlignment align, quint8 lines)
{
    return {.name = name,
            .kind = kind,
            .rect = {x, 0, width, 28},
            .fill = LRInk::White,
            .lines = lines,
            .lineInk = LRInk::Theme,
            .align = align,
            .hMargin = 7,
            .vMargin = 7,
            .roundSize = kind == LRKind::ItemR ? 5 : 0};
}

// The remarks panel of the estimate and the delivery note (and the seal test sheet): an empty
// rounded frame with the remarks inside it.
inline constexpr LRItemRow kRemarks[] = {
    {.name = "LRItem22",
     .kind = LRKind::ItemR,
     .rect = {0, 21, 677, 100},
     .lines = LRLine::All,
     .lineInk = LRInk::Theme,
     .roundSize = 5,
     .corners = LRCorner::All},
    {.name = "Bikou", .kind = LRKind::VariableText, .rect = {5, 27, 667, 89}},
};

} // namespace DocumentRows

class TLRGridPanel;
class TLRItemR;
class TLRLayoutPanel;

class DocumentLayout : public ReportLayout
{
    Q_OBJECT
public:
    struct Design
    {
        QString title;
        LRPalette palette;
        QString detailTable;   // the lines' table, read in the order of Gyo
        QString settingsTable; // the seal's place and the remarks
        QString nameSeparator; // between the customer's name and honorific
        bool sealSizeFromSettings = false;
    };

    TEngineQuery *Qmesai; // the detail lines of the master's current document

    void FormShow() override;
    void beforePrepare() override;
    void afterPrepare() override;

protected:
    DocumentLayout(TLightRep &root, TEngineDatabase &db, const Design &design, QObject *parent);

    // The header's items: the title band, the customer block, `particulars`, the company block.
    void buildHeader(std::span<const LRItemRow> particulars, const QString &titleText);
    // The column headings and the detail cells, each drawn in the rows' order; the leftmost and
    // rightmost cells close the table's bottom row with their rounded corners.
    void buildTable(std::span<const LRItemRow> headings, std::span<const LRItemRow> cells);
    void buildRemarks(std::span<const LRItemRow> rows);

    // Fills the particulars from the master's current record, before each page.
    virtual void fillParticulars() = 0;
    // Fills the cells from the current detail line.
    virtual void fillRow() = 0;
    // After the detail grid of each page.
    virtual void detailPageDone() {}
    // The settings row read at show time.
    virtual void applySettings(const LayoutSettings &settings);

    // The product name of the current line, marked "※" when it is taxed at the reduced rate and the
    // qualified-invoice option is on.
    QString lineName() const;
    // The document's sums per rate with the option on; nothing for a document made without it.
    std::optional<ConsumptionTax::RateSums> documentTaxSums() const;

    QString masterText(const char *field) const;
    TEngineField masterField(const char *field) const;
    TEngineField detailField(const char *field) const;
    bool detailEnd() const;

    TLRLayoutPanel *m_header;
    TLRLayoutPanel *m_remarks;
    TLRGridPanel *m_detail;
    TLRLayoutPanel *m_headings;
    LayoutCompany m_company;

private:
    void printRow(int row, TPrintStatus &status);
    void fillCustomer();
    void fillCompany();
    void fillTaxSummary();

    Design m_design;
    LRTableStyle m_style;
    QList<TLRItem *> m_cells;
    TLRItemR *m_firstCell = nullptr;
    TLRItemR *m_lastCell = nullptr;
};

// The amount patterns of the printed documents, through the program's one number formatter.
QString quantityText(const TEngineField &field); // "#,##.##", empty when null
QString amountText(const TEngineField &field);   // "#,#", empty when null or zero
QString japaneseDateText(const TEngineField &field);
