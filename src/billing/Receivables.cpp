#include "billing/Receivables.h"

#include "common/DisplayFormat.h"
#include "data/Engine.h"

#include <algorithm>

namespace Receivables {

QList<CustomerBalance> balances(TEngineDatabase &db, const QDate &asOf)
{
    Q_UNUSED(db);
    Q_UNUSED(asOf);
    return {};
}

CustomerBalance total(const QList<CustomerBalance> &rows)
{
    CustomerBalance t;
    t.name = QStringLiteral("合計");
    for (const CustomerBalance &r : rows) {
        t.previousInvoice += r.previousInvoice;
        t.payments += r.payments;
        t.unbilledSales += r.unbilledSales;
        t.balance += r.balance;
        if (r.daysUnpaid && (!t.daysUnpaid || *r.daysUnpaid > *t.daysUnpaid))
            t.daysUnpaid = r.daysUnpaid;
    }
    return t;
}

QList<Month> months(TEngineDatabase &db, const QDate &asOf, qint64 balanceAtAsOf)
{
    Q_UNUSED(db);
    QList<Month> list;
    const QDate last(asOf.year(), asOf.month(), 1);
    for (int i = 11; i >= 0; --i)
        list.append({last.addMonths(-i), 0, 0, balanceAtAsOf});
    return list;
}

QList<QStringList> csvRows(const QList<CustomerBalance> &rows)
{
    QList<QStringList> out{{QStringLiteral("取引先コード"), QStringLiteral("取引先名"),
                            QStringLiteral("前回請求額"), QStringLiteral("入金額"),
                            QStringLiteral("未請求売上"), QStringLiteral("残高"),
                            QStringLiteral("最終締日")}};
    for (const CustomerBalance &r : rows)
        out.append({r.code, r.name, QString::number(r.previousInvoice), QString::number(r.payments),
                    QString::number(r.unbilledSales), QString::number(r.balance),
                    r.lastClosing.isValid() ? formatDate(DisplayFormat::kDate, r.lastClosing) : QString()});
    return out;
}

} // namespace Receivables
