#include "report/layouts/IneiLayouts.h"

#include "common/PictureBytes.h"
#include "data/AppPaths.h"
#include "data/Engine.h"
#include "data/IniFile.h"
#include "masters/OwnCompanyStore.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRPanels.h"
#include "report/layouts/DocumentLayout.h"

namespace {

using enum LRKind;

const LRTableStyle kEstimateStyle{{QColor(91, 255, 36), QColor(220, 255, 208), QColor()},
                                  QStringLiteral("ＭＳ ゴシック")};

// The seal alone at the header's corner, under the page's top margin of 74; the estimate's empty
// remarks frame at the foot.
constexpr LRPanelRow kTestPanels[] = {
    {"Header", LRPanelKind::Layout, TLRAlign::laTop, {75, 75, 682, 332}},
    {"Remarks", LRPanelKind::Layout, TLRAlign::laBottom, {75, 957, 682, 129}},
};

constexpr LRItemRow kTestHeader[] = {
    {.name = "Inei", .kind = Image, .rect = {0, 0, 73, 73}},
};

constexpr LRPanelRow kDataPanels[] = {
    {"Sheet", LRPanelKind::Layout, TLRAlign::laTop, {37, 37, 720, 1065}},
};

constexpr LRItemRow line(const char *name, int x, int y, int width, const char16_t *text = nullptr)
{
    return {.name = name, .rect = {x, y, width, 17}, .text = text};
}

// Every text in the sheet's base font, "ＭＳ 明朝" 12.
constexpr LRItemRow kDataSheet[] = {
    line("Yubin", 48, 32, 177),
    line("Jyusyo", 48, 64, 257),
    line("Kaisya", 48, 96, 249),
    line("Atena", 144, 120, 145),
    line(nullptr, 40, 224, 665, u"印影データはスキャナー等で取り込みJPEGデータで保存してください。"),
    line(nullptr, 40, 248, 665,
         u"印影の周りになるべく隙間が出来ないように加工してから当ソフトウェアに登録してください。"),
    line(nullptr, 40, 272, 665,
         u"「スキャナーがない」「方法がよくわからない」場合は弊社にてJPEGデータ化を承ります。"),
    line(nullptr, 40, 296, 665,
         u"この用紙を印刷して御社印を捺印し必要事項を記入の上、上記宛先まで郵送してください。"),
    line(nullptr, 40, 320, 665, u"作成した印影データをメールに添付して送信いたします。"),
    line(nullptr, 40, 344, 665, u"費用は¥2,100（税込み）になります。"),
    line(nullptr, 40, 366, 665, u"メール送信後に振込先を記載した請求書を送付させていただきます。"),
    {.name = "InsatuWaku",
     .rect = {224, 417, 265, 265},
     .lines = LRLine::All,
     .text = u"印影（折り目が付かないようご注意ください）"},
    line(nullptr, 40, 685, 65, u"御社御住所"),
    line(nullptr, 48, 709, 25, u"〒"),
    line(nullptr, 40, 797, 65, u"御社名"),
    line(nullptr, 40, 877, 113, u"御担当者部署："),
    line(nullptr, 384, 877, 113, u"御担当者名："),
    line(nullptr, 40, 917, 65, u"御電話番号："),
    line(nullptr, 40, 957, 105, u"メールアドレス："),
};

void openOwnCompany(TEngineQuery &master, OwnCompanyStore::Rows rows)
{
    master.Close();
    OwnCompanyStore::selectRows(master, rows);
    master.Open();
}

} // namespace

IneiTestLayout::IneiTestLayout(TLightRep &root, TEngineDatabase &db, QObject *parent)
    : ReportLayout(root, db, QStringLiteral("印影テスト印刷"), parent)
{
    m_root.setMarginLeft(74);
    m_root.setMarginTop(74);
    m_root.setFont(TLRFont(kEstimateStyle.family, 12));
    const QList<TCustomLRPanel *> panels = buildPanels(m_root, kTestPanels);
    buildItems(panels[0], kTestHeader, kEstimateStyle, m_items);
    buildItems(panels[1], DocumentRows::kRemarks, kEstimateStyle, m_items);
    static_cast<TLRLayoutPanel *>(panels[0])->AfterPrint = [this](TLRControl *) { m_master->Next(); };
}

void IneiTestLayout::setSeal(const QByteArray &picture, int height, int width)
{
    const PictureBytes::Decoded decoded = PictureBytes::decode(picture);
    if (decoded.unreadable)
        m_notices.append(PictureBytes::unreadableSealPrintMessage());
    TLRImage *seal = m_items.image("Inei");
    seal->setPicture(decoded.picture);
    seal->setHeight(height);
    seal->setWidth(width);
}

void IneiTestLayout::FormShow()
{
    openOwnCompany(*m_master, OwnCompanyStore::Rows::All);
}

IneiDataLayout::IneiDataLayout(TLightRep &root, TEngineDatabase &db, QObject *parent)
    : ReportLayout(root, db, QStringLiteral("印影データ作成方法"), parent)
{
    const LRTableStyle style{{}, QStringLiteral("ＭＳ 明朝")};
    m_root.setFont(TLRFont(style.family, 12));
    TCustomLRPanel *sheet = buildPanels(m_root, kDataPanels).front();
    buildItems(sheet, kDataSheet, style, m_items);
    static_cast<TLRLayoutPanel *>(sheet)->AfterPrint = [this](TLRControl *) { m_master->Next(); };
}

void IneiDataLayout::FormShow()
{
    openOwnCompany(*m_master, OwnCompanyStore::Rows::KeyZero);
    const QStringList address = ineiServiceAddress();
    const char *items[] = {"Yubin", "Jyusyo", "Kaisya", "Atena"};
    for (int i = 0; i < 4; ++i)
        m_items.setText(items[i], address[i]);
}

QStringList ineiServiceAddress()
{
    const IniFile ini(AppPaths::iniPath());
    QStringList lines;
    for (const char *key : {"Yubin", "Jyusyo", "Kaisya", "Atena"})
        lines.append(ini.readString(QStringLiteral("IneiService"), QLatin1String(key)));
    return lines;
}
