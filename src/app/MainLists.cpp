#include "app/MainLists.h"

#include "data/Engine.h"

namespace MainLists {
namespace {

TFieldDef shown(const char *name, const QString &label, int width = -1, const QString &format = {})
{
    return TFieldDef{QLatin1String(name), label, format, width, true};
}

TFieldDef hidden(const char *name, const QString &label = {})
{
    return TFieldDef{QLatin1String(name), label, {}, -1, false};
}

const QString kAmount = QStringLiteral("#,#0");

// True when the title changed.
bool setLabel(TEngineQuery &q, const QString &field, const QString &label)
{
    bool changed = false;
    for (TFieldDef &def : q.FieldDefs())
        if (def.name.compare(field, Qt::CaseInsensitive) == 0 && def.label != label) {
            def.label = label;
            changed = true;
        }
    return changed;
}

} // namespace

void setUpEstimates(TEngineQuery &q)
{
    q.setPaged(true);
    q.setSql({QStringLiteral("select m.key, m.MitumoriNo, m.Hiduke, m.Title, t.TorihikisakiNM, m.Kingaku, "
                             "m.JisyaTanto, KosinYMD from mitumori m, Torihikisaki T"),
              QStringLiteral("where m.TorihikisakiKey = t.Key"),
              QStringLiteral("order by m.Hiduke, m.key ASC")});
    q.FieldDefs() = {shown("Hiduke", QStringLiteral("日付")),
                     shown("MitumoriNo", QStringLiteral("見積№"), 84),
                     shown("TorihikisakiNM", QStringLiteral("取引先"), 156),
                     shown("Title", QStringLiteral("件　名"), 167),
                     shown("Kingaku", QStringLiteral("金額"), -1, kAmount),
                     shown("JisyaTanto", QStringLiteral("自社担当")),
                     shown("KosinYMD", QStringLiteral("更新日")),
                     hidden("key")};
}

bool captionAmounts(TEngineQuery &estimates, TEngineQuery &notes, TEngineQuery &invoices,
                    const ConsumptionTax::Settings &tax)
{
    // A document's amount is the sum of its lines, entered with or without tax as the company says;
    // an invoice's amount includes the tax either way.
    const QString lines = !tax.enabled           ? QStringLiteral("金額")
                          : tax.pricesIncludeTax ? QStringLiteral("金額（税込）")
                                                 : QStringLiteral("金額（税抜）");
    const bool estimate = setLabel(estimates, QStringLiteral("Kingaku"), lines);
    const bool note = setLabel(notes, QStringLiteral("Kingaku"), lines);
    const bool invoice = setLabel(invoices, QStringLiteral("Seikyugaku"),
                                  tax.enabled ? QStringLiteral("請求額（税込）") : QStringLiteral("請求額"));
    return estimate || note || invoice;
}

void setUpDeliveryNotes(TEngineQuery &q)
{
    q.setPaged(true);
    q.setSql(
        {QStringLiteral("select n.key, n.NohinNo, n.Hiduke, n.TorihikisakiKey, t.TorihikisakiNM, n.Kingaku,"),
         QStringLiteral("       n.JisyaTanto, n.KosinYMD, n.SeikyuKey"),
         QStringLiteral("from nohin n, Torihikisaki T"), QStringLiteral("where n.TorihikisakiKey = t.Key"),
         QStringLiteral("Order by n.Hiduke, n.key")});
    q.FieldDefs() = {shown("Hiduke", QStringLiteral("日付")),
                     shown("NohinNo", QStringLiteral("納品№")),
                     shown("TorihikisakiNM", QStringLiteral("取引先"), 156),
                     shown("Kingaku", QStringLiteral("金額"), -1, kAmount),
                     shown("JisyaTanto", QStringLiteral("自社担当")),
                     hidden("key"),
                     hidden("KosinYMD", QStringLiteral("更新日")),
                     hidden("SeikyuKey"),
                     hidden("TorihikisakiKey")};
}

void setUpPayments(TEngineQuery &q)
{
    q.setPaged(true);
    q.setSql({QStringLiteral("select n.key, n.NyukinYMD, t.TorihikisakiNM, n.Nyukingaku,"),
              QStringLiteral("   n.NyukinHouhou, n.RyosyuNo, n.KosinYMD, n.SeikyuKey"),
              QStringLiteral("from nyukin n, Torihikisaki T"),
              QStringLiteral("where n.TorihikisakiKey = t.Key"),
              QStringLiteral("order by n.NyukinYMD, n.key;")});
    q.FieldDefs() = {shown("NyukinYMD", QStringLiteral("入金日")),
                     shown("TorihikisakiNM", QStringLiteral("取引先"), 156),
                     shown("Nyukingaku", QStringLiteral("入金額"), -1, kAmount),
                     shown("NyukinHouhou", QStringLiteral("入金方法")),
                     shown("RyosyuNo", QStringLiteral("領収№")),
                     hidden("key"),
                     hidden("KosinYMD", QStringLiteral("更新日")),
                     hidden("SeikyuKey")};
}

void setUpInvoices(TEngineQuery &q)
{
    q.setPaged(true);
    q.setSql({QStringLiteral(
                  "select S.key, S.SeikyuNo, S.Simebi, S.HakkoYMD, s.TorihikisakiKey, t.TorihikisakiNM, "
                  "S.ZenkaiSeikyu, S.Seikyugaku, KosinYMD from Seikyu s, Torihikisaki T"),
              QStringLiteral("where S.TorihikisakiKey = t.Key"),
              QStringLiteral("order by S.Simebi ASC, S.Key ASC")});
    q.FieldDefs() = {shown("SeikyuNo", QStringLiteral("請求№"), 98),
                     shown("Simebi", QStringLiteral("請求締日")),
                     shown("HakkoYMD", QStringLiteral("発行日")),
                     shown("TorihikisakiNM", QStringLiteral("取引先"), 138),
                     shown("Seikyugaku", QStringLiteral("請求額"), -1, kAmount),
                     shown("KosinYMD", QStringLiteral("更新日")),
                     hidden("key"),
                     hidden("TorihikisakiKey"),
                     hidden("ZenkaiSeikyu")};
}

void reopen(TEngineQuery &q)
{
    q.Close();
    q.Open();
}

void reopenAtKey(TEngineQuery &q, int key)
{
    reopen(q);
    if (!q.Locate(key))
        q.First();
}

void reopenAt(TEngineQuery &q, const TBookmark &mark)
{
    reopen(q);
    if (!q.IsEmpty())
        q.GotoBookmark(mark);
}

void reopenKeepingPlace(TEngineQuery &q)
{
    const TBookmark mark = q.GetBookmark();
    reopenAt(q, mark);
}

} // namespace MainLists
