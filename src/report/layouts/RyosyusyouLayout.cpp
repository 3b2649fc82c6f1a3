#include "report/layouts/RyosyusyouLayout.h"

#include "common/DisplayFormat.h"
#include "common/PictureBytes.h"
#include "data/Engine.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRPanels.h"

namespace {

using enum LRKind;
using enum LRInk;
using enum TAlignment;

constexpr LRFontDef kPGothic13{13, false, Black, u"ＭＳ Ｐゴシック"};

// One sheet of two halves of 682 × 524.
constexpr LRPanelRow kPanels[] = {
    {"Sheet", LRPanelKind::Grid, TLRAlign::laTop, {75, 37, 682, 1049}, 1, 2},
};

// The half's items in print order: the border picture and the seal under everything, the title
// and the amount box filled white over the border.
constexpr LRItemRow kHalf[] = {
    {.name = "LRImage1", .kind = Image, .rect = {0, 17, 681, 493}},
    {.name = "Inei", .kind = Image, .rect = {488, 360, 73, 73}},
    {.name = "Yubin", .rect = {48, 144, 81, 20}, .font = {13}},
    {.name = "Jyusyo1", .rect = {48, 168, 321, 20}, .font = kPGothic13},
    {.name = "Jyusyo2", .rect = {48, 192, 321, 20}, .font = kPGothic13},
    {.name = "Kaisyamei", .rect = {48, 216, 409, 25}, .font = {21}, .lines = LRLine::Bottom},
    {.name = "NyukinYMD",
     .rect = {272, 120, 129, 20},
     .font = {16},
     .lines = LRLine::Bottom,
     .align = taCenter},
    {.name = "RyosyusyouNo", .rect = {520, 64, 121, 20}, .font = {16}, .lines = LRLine::Bottom},
    {.name = "Tadasigaki", .rect = {48, 304, 369, 25}, .font = {16}},
    {.name = "Title",
     .rect = {192, 72, 297, 41},
     .font = {29, true},
     .fill = White,
     .align = taCenter,
     .vMargin = 8},
    {.name = "Gokei",
     .kind = ItemR,
     .rect = {40, 256, 417, 41},
     .font = {32, true},
     .fill = White,
     .lines = LRLine::All,
     .lineInk = Grey,
     .align = taRightJustify,
     .vMargin = 4},
    {.name = "Jisyamei", .rect = {272, 376, 281, 22}, .font = {16}},
    {.name = "JYubin", .rect = {272, 408, 65, 17}},
    {.name = "JJyusyo1", .rect = {272, 424, 281, 17}},
    {.name = "JJyusyo2", .rect = {272, 440, 281, 17}},
    {.name = "JBusyo", .rect = {272, 456, 281, 17}},
    // The registration number of the qualified-invoice option, over the company's name: inside the
    // border (whose inner rule runs at 34, 52 – 647, 475) and clear of the seal's usual place.
    {.name = "TourokuNo", .rect = {272, 359, 213, 17}},
    {.name = "LRItem6", .rect = {48, 336, 369, 25}, .font = {16}, .text = u"上記正に領収いたしました"},
    {.name = "LRItem1",
     .rect = {56, 386, 65, 69},
     .lines = LRLine::All,
     .align = taCenter,
     .text = u"収入印紙"},
    {.name = "LRItem3", .rect = {51, 268, 65, 25}, .font = {16}, .text = u"金　額"},
    {.name = "LRItem2", .rect = {568, 386, 65, 69}, .lines = LRLine::All, .text = u"係"},
};

// The amount as the receipt prints it: the yen sign, thousands commas, then "- ".
constexpr auto kReceiptAmount = u"\\#,#0";

} // namespace

const QImage &receiptBorderPicture()
{
    static const QImage picture(QStringLiteral(":/report/receipt_border.jpg"));
    return picture;
}

RyosyusyouLayout::RyosyusyouLayout(TLightRep &root, TEngineDatabase &db, QObject *parent)
    : ReportLayout(root, db, QStringLiteral("領収証"), parent)
{
    const LRTableStyle style{{}, QStringLiteral("ＭＳ ゴシック")};
    m_root.setMarginLeft(74);
    m_root.setFont(TLRFont(style.family, 12));
    m_sheet = static_cast<TLRGridPanel *>(buildPanels(m_root, kPanels).front());
    buildItems(m_sheet, kHalf, style, m_items);
    m_items.image("LRImage1")->setPicture(receiptBorderPicture());

    m_sheet->BeforePrint = [this](TLRControl *, const TLRRect &, TPrintStatus &) { fillPayment(); };
    m_sheet->OnPrintPanel = [this](TLRControl *, int, int row, const TLRRect &, TPrintStatus &) {
        m_items.setText("Title",
                        row == 1 ? QStringLiteral("領　収　証（控）") : QStringLiteral("領　収　証"));
    };
    m_sheet->AfterPrint = [this](TLRControl *) { m_master->Next(); };
}

void RyosyusyouLayout::FormShow()
{
    m_company = readCompany(*Query1->database());
    if (m_company.sealUnreadable)
        m_notices.append(PictureBytes::unreadableSealPrintMessage());
    TLRImage *seal = m_items.image("Inei");
    seal->setPicture(m_company.seal);
    seal->setHeight(m_company.sealHeight);
    seal->setWidth(m_company.sealWidth);
    const LayoutSettings settings = readSettings(*Query1, QStringLiteral("RyosyusyouSettei"), false);
    seal->setTop(settings.top);
    seal->setLeft(settings.left);
}

// The customer's name always ends in " 様", whatever honorific the customer row holds.
void RyosyusyouLayout::fillPayment()
{
    auto field = [this](const char *name) { return m_master->FieldByName(QLatin1String(name)); };
    m_items.setText("RyosyusyouNo", QStringLiteral("№ ") + field("RyosyuNo").AsString());
    const TEngineField date = field("NyukinYMD");
    m_items.setText("NyukinYMD",
                    date.IsNull() ? QString() : formatDate(DisplayFormat::kDateJapanese, date.AsDate()));
    m_items.setText("Tadasigaki", QStringLiteral("但し、") + field("Tadasigaki").AsString());
    m_items.setText("Gokei",
                    formatNumber(kReceiptAmount, field("Nyukingaku").AsInteger()) + QStringLiteral("- "));
    const LayoutCustomer c = readCustomer(*Query1, field("TorihikisakiKey").AsInteger());
    m_items.setText("Yubin", QStringLiteral("〒") + c.yubin);
    m_items.setText("Jyusyo1", c.jyusyo1);
    m_items.setText("Jyusyo2", c.jyusyo2);
    m_items.setText("Kaisyamei", c.name + QStringLiteral(" 様"));
    m_items.setText("Jisyamei", m_company.name);
    m_items.setText("JYubin", QStringLiteral("〒") + m_company.yubin);
    m_items.setText("JJyusyo1", m_company.jyusyo1);
    m_items.setText("JJyusyo2", m_company.jyusyo2);
    m_items.setText("JBusyo", m_company.busyo);
    m_items.setText("TourokuNo", m_company.registrationLine);
}
