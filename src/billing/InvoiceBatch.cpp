#include "billing/InvoiceBatch.h"

#include "data/Engine.h"

namespace InvoiceBatch {

QDate defaultClosingDate(TEngineDatabase &db, const QDate &today)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select max(simebi) simebi from Seikyu"));
    q.Open();
    const TEngineField latest = q.Field(0);
    return latest.IsNull() ? today : latest.AsDate();
}

void select(TEngineQuery &query, const QDate &closing, bool skipSettled)
{
    query.Close();
    QStringList sql{QStringLiteral("select * from seikyu where Simebi = :Simebi")};
    if (skipSettled)
        sql << QStringLiteral("and not (Nyukingaku <> 0 and SeikyuGaku = 0)");
    // The key after the running number keeps invoices of equal numbers (numbered per month or per
    // day) in one fixed order.
    sql << QStringLiteral("Order By Seq, key");
    query.setSql(sql);
    // A batch runs to thousands of invoices: read page by page, so that the first one shows at once.
    query.setPaged(true);
    query.ParamByName(QStringLiteral("Simebi")).setAsDate(closing);
}

} // namespace InvoiceBatch
