#include "report/layouts/MitumoriLayout.h"

#include "common/DisplayFormat.h"
#include "data/Engine.h"

namespace {

using enum LRKind;
using enum LRInk;
using enum TAlignment;
using DocumentRows::cell;
using DocumentRows::heading;

constexpr LRItemRow kEstimateParticulars[] = {
    {.name = "LRItem6", .rect = {0, 176, 361, 17}, .text = u"下記の通り御見積申し上げます。"},
    {.name = "Kenmei",
     .rect = {0, 192, 361, 25},
     .font = {16},
     .lines = LRLine::Bottom,
     .lineStyle = TLineStyle::lsDouble,
     .lineInk = Rule,
     .vMargin = 4},
    {.name = "YukoKigen", .rect = {0, 224, 281, 17}, .font = {13}},
    {.name = "Nouki", .rect = {0, 240, 281, 17}, .font = {13}},
    {.name = "Basyo", .rect = {0, 256, 281, 17}, .font = {13}},
    {.name = "SiharaiJyoken", .rect = {0, 272, 281, 17}, .font = {13}},
    {.name = "Gokei",
     .kind = ItemR,
     .rect = {0, 296, 361, 25},
     .font = {16},
     .fill = Pale,
     .lines = LRLine::All,
     .lineInk = Theme,
     .vMargin = 4,
     .roundSize = 5,
     .corners = LRCorner::All},
    {.name = "MitumoriYMD", .rect = {536, 56, 145, 17}, .lines = LRLine::Bottom, .lineInk = Theme},
    {.name = "MitumoriNo", .rect = {536, 72, 145, 17}, .lines = LRLine::Bottom, .lineInk = Theme},
    // The sums per rate of the qualified-invoice option, under the company block.
    {.name = "ZeiUtiwake", .kind = VariableText, .rect = {376, 262, 305, 66}},
};

constexpr LRItemRow kDeliveryParticulars[] = {
    {.name = "LRItem6", .rect = {0, 232, 361, 17}, .text = u"下記の通り納品いたしますのでご検証願います。"},
    {.name = "Basyo", .rect = {0, 256, 281, 17}, .font = {13}},
    {.name = "Gokei",
     .kind = ItemR,
     .rect = {0, 296, 361, 25},
     .font = {16},
     .fill = Pale,
     .lines = LRLine::All,
     .lineInk = Theme,
     .vMargin = 4,
     .roundSize = 5,
     .corners = LRCorner::All},
    {.name = "NohinYMD", .rect = {536, 56, 145, 17}, .lines = LRLine::Bottom, .lineInk = Theme},
    {.name = "NohinNo", .rect = {536, 72, 145, 17}, .lines = LRLine::Bottom, .lineInk = Theme},
    // The sums per rate of the qualified-invoice option, under the company block.
    {.name = "ZeiUtiwake", .kind = VariableText, .rect = {376, 262, 305, 66}},
};

constexpr LRItemRow kHeadings[] = {
    heading("LRItemR1", ItemR, 0, 361, LRLine::All, LRCorner::LeftTop, u"商　品　名"),
    heading("LRItem3", Item, 361, 73, LRLine::TopRightBottom, 0, u"数　量"),
    heading("LRItem4", Item, 434, 41, LRLine::TopRightBottom, 0, u"単位"),
    heading("LRItem5", Item, 475, 97, LRLine::TopRightBottom, 0, u"単　価"),
    heading("LRItemR2", ItemR, 572, 105, LRLine::TopRightBottom, LRCorner::RightTop, u"金　額"),
};

constexpr LRItemRow kCells[] = {
    cell("SyohinNM", ItemR, 0, 361, taLeftJustify, LRLine::Left | LRLine::Right),
    cell("Suryo", Item, 361, 73, taRightJustify, LRLine::Right),
    cell("Tani", Item, 434, 41, taCenter, LRLine::Right),
    cell("Tanka", Item, 475, 97, taRightJustify, LRLine::Right),
    cell("Kingaku", ItemR, 572, 105, taRightJustify, LRLine::Right),
};

DocumentLayout::Design designOf(MitumoriLayout::Kind kind)
{
    if (kind == MitumoriLayout::Kind::Estimate)
        return {QStringLiteral("見積書"),
                {QColor(91, 255, 36), QColor(220, 255, 208), QColor(153, 255, 119)},
                QStringLiteral("MITUMORIMESAI"),
                QStringLiteral("MitumoriSettei"),
                QStringLiteral("　"),
                true};
    return {QStringLiteral("納品書"),     {QColor(176, 0, 0), QColor(255, 234, 234), QColor()},
            QStringLiteral("NOHINMESAI"), QStringLiteral("NohinSettei"),
            QStringLiteral(" "),          false};
}

} // namespace

MitumoriLayout::MitumoriLayout(Kind kind, TLightRep &root, TEngineDatabase &db, QObject *parent)
    : DocumentLayout(root, db, designOf(kind), parent), m_kind(kind)
{
    if (kind == Kind::Estimate)
        buildHeader(kEstimateParticulars, QStringLiteral("御　見　積　書"));
    else
        buildHeader(kDeliveryParticulars, QStringLiteral("納　品　書"));
    buildTable(kHeadings, kCells);
    buildRemarks(DocumentRows::kRemarks);
}

void MitumoriLayout::fillParticulars()
{
    const bool estimate = m_kind == Kind::Estimate;
    if (estimate) {
        m_items.setText("Kenmei", QStringLiteral("件　名：") + masterText("Title"));
        m_items.setText("YukoKigen", QStringLiteral("有効期限：") + masterText("YukoKigen"));
        m_items.setText("Nouki", QStringLiteral("納　　期：") + masterText("Nouki"));
        m_items.setText("SiharaiJyoken", QStringLiteral("支払条件：") + masterText("SiharaiJyoken"));
    }
    m_items.setText("Basyo", QStringLiteral("受渡場所：") + masterText("UkewatasiBasyo"));
    m_items.setText("Gokei", totalText());
    const QString date = japaneseDateText(masterField("Hiduke"));
    if (estimate) {
        m_items.setText("MitumoriYMD", QStringLiteral("見積日：") + date);
        m_items.setText("MitumoriNo", QStringLiteral("見積№：") + masterText("MitumoriNo"));
    } else {
        m_items.setText("NohinYMD", QStringLiteral("納品日：") + date);
        m_items.setText("NohinNo", QStringLiteral("納品№：") + masterText("NohinNo"));
    }
}

// What the customer pays. With the qualified-invoice option it holds the tax, and says so, also when
// the lines are priced without it; the sums per rate beside it give the tax.
QString MitumoriLayout::totalText() const
{
    const std::optional<ConsumptionTax::RateSums> sums = documentTaxSums();
    const qint64 total =
        sums ? sums->total(m_company.tax.pricesIncludeTax) : masterField("Kingaku").AsLargeInt();
    return (sums ? QStringLiteral("合計金額（税込）：") : QStringLiteral("合計金額：")) +
           formatNumber(DisplayFormat::kYen, double(total)) + QStringLiteral("-");
}

void MitumoriLayout::fillRow()
{
    m_items.setText("SyohinNM", lineName());
    m_items.setText("Suryo", quantityText(detailField("Suryo")));
    m_items.setText("Tani", detailField("Tani").AsString());
    m_items.setText("Tanka", quantityText(detailField("Tanka")));
    m_items.setText("Kingaku", amountText(detailField("Kingaku")));
}
