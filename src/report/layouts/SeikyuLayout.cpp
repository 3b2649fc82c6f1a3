#include "report/layouts/SeikyuLayout.h"

#include "common/DisplayFormat.h"
#include "data/Engine.h"

namespace {

using enum LRKind;
using enum LRInk;
using enum TAlignment;
using DocumentRows::cell;
using DocumentRows::heading;

constexpr quint8 kTRB = LRLine::TopRightBottom;

// Headings of the amounts row: pale cells with navy text.
constexpr LRItemRow amountHeading(const char *name, LRKind kind, int x, int width, quint8 lines,
                                  quint8 corners, const char16_t *text)
{
    return {.name = name,
            .kind = kind,
            .rect = {x, 264, width, 28},
            .font = {12, false, Theme},
            .fill = Pale,
            .lines = lines,
            .lineInk = Theme,
            .align = taCenter,
            .vMargin = 8,
            .roundSize = kind == ItemR ? 4 : 0,
            .corners = corners,
            .text = text};
}

constexpr LRItemRow amountValue(const char *name, LRKind kind, int x, int width, quint8 lines, quint8 corners)
{
    return {.name = name,
            .kind = kind,
            .rect = {x, 291, width, 28},
            .lines = lines,
            .lineInk = Theme,
            .align = taRightJustify,
            .hMargin = 3,
            .vMargin = 8,
            .roundSize = kind == ItemR ? 4 : 0,
            .corners = corners};
}

constexpr LRItemRow kParticulars[] = {
    {.name = "SeikyuNo", .rect = {544, 45, 137, 17}, .align = taRightJustify},
    {.name = "Simebi",
     .rect = {504, 62, 177, 18},
     .font = {15},
     .lines = LRLine::Bottom,
     .lineInk = Theme,
     .align = taCenter,
     .hMargin = 3},
    // The sums per rate of the qualified-invoice option, in the free place above the greeting.
    {.name = "ZeiUtiwake", .kind = VariableText, .rect = {0, 172, 361, 66}},
    {.name = "LRItem6", .rect = {0, 240, 361, 17}, .text = u"下記の通り御請求申し上げます"},
    amountHeading("LRItemR3", ItemR, 0, 113, LRLine::All, LRCorner::LeftTop, u"前回御請求額"),
    amountHeading("LRItem7", Item, 113, 113, kTRB, 0, u"御 入 金 額"),
    amountHeading("LRItem8", Item, 226, 113, kTRB, 0, u"繰 越 金 額"),
    amountHeading("LRItem9", Item, 339, 112, kTRB, 0, nullptr),
    amountHeading("LRItemR5", ItemR, 451, 113, kTRB, LRCorner::RightTop, u"今回御買上額"),
    {.name = "LRItemR4",
     .kind = ItemR,
     .rect = {564, 264, 113, 28},
     .font = {12, true, White},
     .fill = Theme,
     .lines = LRLine::All,
     .lineInk = Theme,
     .align = taCenter,
     .vMargin = 8,
     .roundSize = 4,
     .corners = LRCorner::LeftTop | LRCorner::RightTop,
     .text = u"今回御請求額"},
    amountValue("ZenkaiSeikyuGaku", ItemR, 0, 113, LRLine::Left | LRLine::Right | LRLine::Bottom,
                LRCorner::LeftBottom),
    amountValue("NyukinGaku", Item, 113, 113, LRLine::Right | LRLine::Bottom, 0),
    amountValue("KurikosiGaku", Item, 226, 113, LRLine::Right | LRLine::Bottom, 0),
    amountValue("TyoseiGaku", Item, 339, 112, LRLine::Right | LRLine::Bottom, 0),
    amountValue("Hanbaigaku", ItemR, 451, 113, LRLine::Right | LRLine::Bottom, LRCorner::RightBottom),
    amountValue("KonkaiSeikyuGaku", ItemR, 564, 113, LRLine::Left | LRLine::Right | LRLine::Bottom,
                LRCorner::LeftBottom | LRCorner::RightBottom),
};

// The date column overlaps the name column by one unit, the line between them. The name's cell is
// filled and has no left line, so it is drawn first and the date's cell after it: the other way
// round its fill would cover that line, leaving only a dot of it at each row's edge.
constexpr LRItemRow kHeadings[] = {
    heading("LRItemR1", ItemR, 72, 336, kTRB, 0, u"商　品　名"),
    heading("LRItemR6", ItemR, 0, 73, LRLine::All, LRCorner::LeftTop, u"日　付"),
    heading("LRItem3", Item, 408, 50, kTRB, 0, u"数 量"),
    heading("LRItem4", Item, 458, 41, kTRB, 0, u"単位"),
    heading("LRItem5", Item, 499, 85, kTRB, 0, u"単　価"),
    heading("LRItemR2", ItemR, 584, 93, kTRB, LRCorner::RightTop, u"金　額"),
};

constexpr LRItemRow kCells[] = {
    cell("SyohinNM", ItemR, 72, 336, taLeftJustify, LRLine::Right),
    cell("Hiduke", ItemR, 0, 73, taCenter, LRLine::Left | LRLine::Right),
    cell("Suryo", Item, 408, 50, taRightJustify, LRLine::Right),
    cell("Tani", Item, 458, 41, taCenter, LRLine::Right),
    cell("Tanka", Item, 499, 85, taRightJustify, LRLine::Right),
    cell("Kingaku", ItemR, 584, 93, taRightJustify, LRLine::Right),
};

// The remarks in a smaller rounded frame, the bank accounts below it.
constexpr LRItemRow kRemarks[] = {
    {.name = "LRItem22",
     .kind = ItemR,
     .rect = {0, 5, 677, 68},
     .lines = LRLine::All,
     .lineInk = Theme,
     .roundSize = 5,
     .corners = LRCorner::All},
    {.name = "Bikou", .kind = VariableText, .rect = {5, 10, 667, 58}},
    {.name = "FurikomisakiKoza", .kind = VariableText, .rect = {5, 75, 665, 52}},
};

const DocumentLayout::Design kDesign{
    QStringLiteral("請求書"),      {QColor(0, 0, 160), QColor(234, 234, 255), QColor()},
    QStringLiteral("SeikyuMesai"), QStringLiteral("SeikyuSettei"),
    QStringLiteral(" "),           false};

QString integerText(qint64 value)
{
    return formatNumber(DisplayFormat::kInteger, double(value));
}

} // namespace

SeikyuLayout::SeikyuLayout(TLightRep &root, TEngineDatabase &db, QObject *parent)
    : DocumentLayout(root, db, kDesign, parent)
{
    buildHeader(kParticulars, QStringLiteral("請　求　書"));
    buildTable(kHeadings, kCells);
    buildRemarks(kRemarks);
}

void SeikyuLayout::FormShow()
{
    DocumentLayout::FormShow();
    m_items.setText("FurikomisakiKoza", transferAccountsText(m_company));
}

void SeikyuLayout::fillParticulars()
{
    m_items.setText("SeikyuNo", QStringLiteral("請求№：") + masterText("SeikyuNo"));
    m_items.setText("Simebi", japaneseDateText(masterField("Simebi")) + QStringLiteral(" 締切分"));
    const qint64 zenkai = masterField("ZenkaiSeikyu").AsLargeInt();
    const qint64 nyukin = masterField("Nyukingaku").AsLargeInt();
    m_items.setText("ZenkaiSeikyuGaku", integerText(zenkai));
    m_items.setText("NyukinGaku", integerText(nyukin));
    m_items.setText("KurikosiGaku", integerText(zenkai - nyukin));
    // The empty fourth cell of the amounts row carries the invoice's tax with the option on. Priced
    // without tax, the row adds up across (carried over + tax + sales = now invoiced); priced with
    // it, the sales hold the tax, which the cell says.
    const std::optional<ConsumptionTax::RateSums> sums = documentTaxSums();
    const QString taxCaption =
        m_company.tax.pricesIncludeTax ? QStringLiteral("内消費税額") : QStringLiteral("消 費 税 額");
    m_items.setText("LRItem9", sums ? taxCaption : QString());
    m_items.setText("TyoseiGaku", sums ? integerText(sums->tax()) : QString());
    m_items.setText("Hanbaigaku", integerText(masterField("Hanbaigaku").AsLargeInt()));
    m_items.setText("KonkaiSeikyuGaku", integerText(masterField("Seikyugaku").AsLargeInt()));
}

// A run of lines with one delivery date shows it on its first line, and every page's first line
// shows its date.
void SeikyuLayout::fillRow()
{
    const TEngineField dateField = detailField("NohinYMD");
    const QDate date = dateField.IsNull() ? QDate() : dateField.AsDate();
    m_items.setText("Hiduke", m_lastDate == date ? QString() : formatDate(DisplayFormat::kDate, date));
    m_lastDate = date;
    m_items.setText("SyohinNM", lineName());
    m_items.setText("Suryo", quantityText(detailField("Suryo")));
    m_items.setText("Tani", detailField("Tani").AsString());
    m_items.setText("Tanka", quantityText(detailField("Tanka")));
    m_items.setText("Kingaku", amountText(detailField("Kingaku")));
}

void SeikyuLayout::detailPageDone()
{
    m_lastDate.reset();
}

QString transferAccountsText(const LayoutCompany &company)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("振込先口座") + crlf + company.accounts[0].join(u' ') + crlf +
           company.accounts[1].join(u' ') + crlf + company.accounts[2].join(u' ');
}
