#include "app/Extraction.h"

#include "common/AppError.h"
#include "common/Clock.h"
#include "common/Ukansu.h"
#include "data/Engine.h"
#include "data/LikeFilter.h"

namespace Extraction {

namespace {

struct PageStatement
{
    const char *select;
    const char *join;
    const char *alias;      // of the document table, for the staff and date columns
    const char *dateColumn; // the date the days filter and the order go by
};

// The order goes by the date and then by the key, so that the list can be read page by page and
// rows of one date keep one order on both engines.
const PageStatement &statementOf(Page page)
{
    static const PageStatement estimates{
        "select m.key, m.MitumoriNo, m.Hiduke, m.Title, t.TorihikisakiNM, m.Kingaku, m.JisyaTanto, KosinYMD "
        "from mitumori m, Torihikisaki T",
        "where m.TorihikisakiKey = t.Key", "m", "Hiduke"};
    static const PageStatement deliveryNotes{
        "select n.key, n.nohinNo, n.Hiduke, n.TorihikisakiKey, t.TorihikisakiNM, n.Kingaku, n.JisyaTanto, "
        "KosinYMD, n.SeikyuKey from nohin n, Torihikisaki T",
        "where n.TorihikisakiKey = t.Key", "n", "Hiduke"};
    static const PageStatement payments{
        "select n.key, n.RyosyuNo, n.NyukinYMD, t.TorihikisakiNM, n.Nyukingaku, n.NyukinHouhou, n.KosinYMD, "
        "n.SeikyuKey from nyukin n, Torihikisaki T",
        "where n.TorihikisakiKey = t.Key", "n", "NyukinYMD"};
    static const PageStatement invoices{"select S.key, S.SeikyuNo, S.Simebi, S.HakkoYMD, S.TorihikisakiKey, "
                                        "t.TorihikisakiNM, S.ZenkaiSeikyu, "
                                        "S.Seikyugaku, KosinYMD from Seikyu s, Torihikisaki T",
                                        "where S.TorihikisakiKey = t.Key", "S", "Simebi"};
    switch (page) {
    case Page::Estimates:
        return estimates;
    case Page::DeliveryNotes:
        return deliveryNotes;
    case Page::Payments:
        return payments;
    case Page::Invoices:
        break;
    }
    return invoices;
}

// Today minus the days, kept within the years a date column holds.
QDate daysAgo(int days)
{
    const QDate date = Clock::today().addDays(-qint64(days));
    return qBound(QDate(1, 1, 1), date, QDate(9999, 12, 31));
}

} // namespace

void build(TEngineQuery &list, Page page, const Filter &filter)
{
    const bool byDays = !filter.days.isEmpty();
    const int days = byDays ? TextToInteger(filter.days) : 0;
    const PageStatement &s = statementOf(page);
    const QString alias = QLatin1String(s.alias);
    const QString dateColumn = QLatin1String(s.dateColumn);
    const TEngineDialect dialect = list.database()->dialect();

    list.Close();
    list.clearSql();
    list.addSql(QLatin1String(s.select));
    list.addSql(QLatin1String(s.join));
    const bool byName = filter.customerKey == 0 && !filter.customer.isEmpty();
    if (filter.customerKey != 0)
        list.addSql(QStringLiteral("and t.Key = :TorihikisakiKey"));
    if (byName)
        list.addSql(QStringLiteral("and ") + LikeFilter::containsCondition(dialect,
                                                                           QStringLiteral("t.TorihikisakiNM"),
                                                                           QStringLiteral("Torihikisaki")));
    const bool staff = page != Page::Payments && !filter.staff.isEmpty();
    if (staff)
        list.addSql(QStringLiteral("and ") +
                    LikeFilter::containsCondition(dialect, alias + QStringLiteral(".JisyaTanto"),
                                                  QStringLiteral("JisyaTanto")));
    if (byDays)
        list.addSql(QStringLiteral("and %1.%2 >= :%2").arg(alias, dateColumn));
    const QString direction = filter.descending ? QStringLiteral("DESC") : QStringLiteral("ASC");
    list.addSql(QStringLiteral("order by %1.%2 %3, %1.key %3").arg(alias, dateColumn, direction));

    if (filter.customerKey != 0)
        list.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(filter.customerKey);
    if (byName)
        list.ParamByName(QStringLiteral("Torihikisaki"))
            .setAsString(LikeFilter::containsPattern(dialect, filter.customer));
    if (staff)
        list.ParamByName(QStringLiteral("JisyaTanto"))
            .setAsString(LikeFilter::containsPattern(dialect, filter.staff));
    if (byDays)
        list.ParamByName(dateColumn).setAsDate(daysAgo(days));
}

void run(TEngineQuery &list, Page page, const Filter &filter)
{
    list.Close();
    build(list, page, filter);
    list.Open();
    list.First();
}

void moveToFirst(TEngineQuery &list)
{
    list.CheckActive();
    list.First();
}

void moveToLast(TEngineQuery &list)
{
    list.CheckActive();
    list.Last();
}

} // namespace Extraction
