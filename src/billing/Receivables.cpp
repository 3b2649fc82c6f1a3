#include "billing/Receivables.h"

#include "common/ConsumptionTax.h"
#include "common/DisplayFormat.h"
#include "data/Engine.h"
#include "masters/OwnCompanyStore.h"

#include <QHash>

namespace Receivables {

namespace {

// Invoices read at first for a customer who owes more than its two latest; older ones only when
// those are unpaid too.
constexpr int kRecentInvoices = 12;

// One invoice of the customer `t` joined as `alias`: the first by `order` of those `condition`
// selects, after skipping `offset`. Found through the index of a customer's invoices by closing date,
// one look-up per customer: PostgreSQL is told so by a lateral join (joining by key, it would read
// every invoice into a hash), SQLite by a join on the key its subquery finds.
QStringList invoiceJoin(bool pg, const QString &alias, const QString &condition, const QString &order,
                        int offset)
{
    const QString where = QStringLiteral(" where s.TorihikisakiKey = t.key and %1").arg(condition);
    const QString limit = QStringLiteral(" order by %1 limit 1 offset %2").arg(order).arg(offset);
    if (pg)
        return {QStringLiteral("left join lateral (select s.* from Seikyu s") + where + limit +
                QStringLiteral(") %1 on true").arg(alias)};
    return {QStringLiteral("left join Seikyu %1 on %1.key = (select s.key from Seikyu s").arg(alias) + where +
            limit + QLatin1Char(')')};
}

// A customer with its two latest invoices closed by the as-of day (b, b2) and, for a past day, its
// first invoice closed after it (n).
QStringList customersSql(bool pg)
{
    const QString latestFirst = QStringLiteral("s.Simebi desc, s.key desc");
    return QStringList{
               QStringLiteral("select t.key, t.TorihikisakiCD, t.TorihikisakiNM, t.ZenkaiSeikyuGaku,"),
               QStringLiteral(" b.Simebi, b.Seikyugaku, n.key, n.ZenkaiSeikyu,"),
               QStringLiteral(" b.Nyukingaku, b2.Simebi, b2.Seikyugaku, b2.Nyukingaku"),
               QStringLiteral("from Torihikisaki t")} +
           invoiceJoin(pg, QStringLiteral("b"), QStringLiteral("s.Simebi <= :AsOf_b"), latestFirst, 0) +
           invoiceJoin(pg, QStringLiteral("b2"), QStringLiteral("s.Simebi <= :AsOf_b2"), latestFirst, 1) +
           invoiceJoin(pg, QStringLiteral("n"), QStringLiteral("s.Simebi > :AsOfN"),
                       QStringLiteral("s.Simebi, s.key"), 0) +
           QStringList{QStringLiteral("order by t.TorihikisakiCD, t.key")};
}

// Sums per customer (and whatever `groupExtra` adds) of the documents of `table` unbilled on the
// as-of day: those no invoice has taken, and those taken by an invoice closed after it. The columns
// and the date column are qualified by "d."; the invoices are "s.".
QStringList unbilledSumsSql(const QString &columns, const QString &from, const QString &dateColumn,
                            const QString &groupExtra)
{
    const QString group = QStringLiteral("group by d.TorihikisakiKey%1").arg(groupExtra);
    return {QStringLiteral("select d.TorihikisakiKey, %1 from %2").arg(columns, from),
            QStringLiteral("and d.SeikyuKey = 0 and %1 <= :AsOf1").arg(dateColumn),
            group,
            QStringLiteral("union all"),
            QStringLiteral("select d.TorihikisakiKey, %1 from %2").arg(columns, from),
            QStringLiteral("and d.SeikyuKey in (select s.key from Seikyu s where s.Simebi > :AsOf2)"),
            QStringLiteral("and %1 <= :AsOf3").arg(dateColumn),
            group,
            QStringLiteral("order by 1")}; // an order of its own: the engine's would follow the first group
}

void bindAsOf(TEngineQuery &q, const QDate &asOf, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        q.ParamByName(QLatin1String(name)).setAsDate(asOf);
}

// Customer key → the sum of the first column after the key, over both parts of unbilledSumsSql.
QHash<int, qint64> unbilledSums(TEngineDatabase &db, const QDate &asOf, const QString &amount,
                                const QString &table, const QString &dateColumn)
{
    TEngineQuery q(&db);
    q.setSql(unbilledSumsSql(QStringLiteral("sum(d.%1)").arg(amount),
                             QStringLiteral("%1 d where 1 = 1").arg(table), dateColumn, QString()));
    bindAsOf(q, asOf, {"AsOf1", "AsOf2", "AsOf3"});
    q.Open();
    QHash<int, qint64> sums;
    for (q.First(); !q.Eof(); q.Next())
        sums[q.Field(0).AsInteger()] += q.Field(1).AsLargeInt();
    return sums;
}

// Customer key → the tax the invoice run would add to its unbilled delivery notes: their lines'
// amounts per rate, the tax of each rate computed once.
QHash<int, qint64> unbilledTax(TEngineDatabase &db, const QDate &asOf, const ConsumptionTax::Settings &tax)
{
    TEngineQuery q(&db);
    q.setSql(unbilledSumsSql(QStringLiteral("m.ZeiRitu, sum(m.Kingaku)"),
                             QStringLiteral("Nohin d, NohinMesai m where m.Key = d.key"),
                             QStringLiteral("d.Hiduke"), QStringLiteral(", m.ZeiRitu")));
    bindAsOf(q, asOf, {"AsOf1", "AsOf2", "AsOf3"});
    q.Open();
    QHash<int, QList<ConsumptionTax::RatedAmount>> lines;
    for (q.First(); !q.Eof(); q.Next()) {
        const std::optional<int> rate =
            q.Field(1).IsNull() ? std::nullopt : std::optional<int>(q.Field(1).AsInteger());
        lines[q.Field(0).AsInteger()].append({ConsumptionTax::rateOf(rate), q.Field(2).AsLargeInt()});
    }
    QHash<int, qint64> taxes;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        taxes.insert(it.key(), ConsumptionTax::sumsOf(it.value(), tax).tax());
    return taxes;
}

// The closing date of the oldest invoice not yet paid, the payments counted against the oldest
// invoices first: walking back from the latest invoice, an invoice is unpaid while its amount
// exceeds the payments made after it (those it did not count, and the unbilled ones). The two latest
// invoices come with the customer; the others are read only for a customer who owes both.
class OldestUnpaid
{
public:
    struct Invoice
    {
        QDate closing;
        qint64 amount;   // Seikyugaku
        qint64 payments; // Nyukingaku: the payments it counted
    };

    OldestUnpaid(TEngineDatabase &db, const QDate &asOf) : m_recent(&db), m_all(&db)
    {
        for (auto [q, limit] : {std::pair{&m_recent, QStringLiteral(" limit %1").arg(kRecentInvoices)},
                                std::pair{&m_all, QString()}}) {
            q->setSql({QStringLiteral("select Simebi, Seikyugaku, Nyukingaku from Seikyu"),
                       QStringLiteral("where TorihikisakiKey = :Customer and Simebi <= :AsOf"),
                       QStringLiteral("order by Simebi desc, key desc") + limit});
            q->ParamByName(QStringLiteral("AsOf")).setAsDate(asOf);
        }
    }

    std::optional<QDate> closingOf(int customer, qint64 unbilledPayments, const QList<Invoice> &latest)
    {
        Walk w{unbilledPayments, std::nullopt};
        for (const Invoice &invoice : latest)
            if (!w.step(invoice))
                return w.oldest;
        if (latest.size() < 2)
            return w.oldest;
        // Again from the latest: through the recent invoices, and all of them when those are unpaid too.
        for (TEngineQuery *q : {&m_recent, &m_all}) {
            w = Walk{unbilledPayments, std::nullopt};
            if (walk(*q, customer, w) < kRecentInvoices)
                break;
        }
        return w.oldest;
    }

private:
    struct Walk
    {
        qint64 laterPayments;
        std::optional<QDate> oldest;
        // False once the invoice is paid: the walk ends there.
        bool step(const Invoice &invoice)
        {
            if (invoice.amount <= laterPayments)
                return false;
            oldest = invoice.closing;
            laterPayments += invoice.payments;
            return true;
        }
    };

    // Walks the invoices of the statement; how many were read (all of them unpaid), or -1 once a
    // paid one ends the walk.
    static int walk(TEngineQuery &q, int customer, Walk &w)
    {
        q.ParamByName(QStringLiteral("Customer")).setAsInteger(customer);
        q.Open();
        int read = 0;
        for (q.First(); !q.Eof(); q.Next(), ++read)
            if (!w.step({q.Field(0).AsDate(), q.Field(1).AsLargeInt(), q.Field(2).AsLargeInt()}))
                return -1;
        return read;
    }

    TEngineQuery m_recent, m_all;
};

bool allZero(const CustomerBalance &b)
{
    return b.previousInvoice == 0 && b.payments == 0 && b.unbilledSales == 0 && b.balance == 0;
}

} // namespace

QList<CustomerBalance> balances(TEngineDatabase &db, const QDate &asOf)
{
    const TEngineReadSnapshot snapshot(db); // the sums and the customers from one moment
    const ConsumptionTax::Settings tax = OwnCompanyStore::taxSettings(db);
    const QHash<int, qint64> payments = unbilledSums(db, asOf, QStringLiteral("Nyukingaku"),
                                                     QStringLiteral("Nyukin"), QStringLiteral("d.NyukinYMD"));
    const QHash<int, qint64> notes = unbilledSums(db, asOf, QStringLiteral("Kingaku"),
                                                  QStringLiteral("Nohin"), QStringLiteral("d.Hiduke"));
    const QHash<int, qint64> notesTax =
        tax.enabled && !tax.pricesIncludeTax ? unbilledTax(db, asOf, tax) : QHash<int, qint64>();

    TEngineQuery q(&db);
    q.setSql(customersSql(db.dialect() == TEngineDialect::PostgreSQL));
    bindAsOf(q, asOf, {"AsOf_b", "AsOf_b2", "AsOfN"});
    q.Open();
    OldestUnpaid oldestUnpaid(db, asOf);
    QList<CustomerBalance> rows;
    for (q.First(); !q.Eof(); q.Next()) {
        CustomerBalance b;
        b.key = q.Field(0).AsInteger();
        b.code = q.Field(1).AsString();
        b.name = q.Field(2).AsString();
        const bool closedLater = !q.Field(6).IsNull();
        if (!q.Field(4).IsNull()) {
            b.lastClosing = q.Field(4).AsDate();
            // For today the carry-over the next run takes; for a past day the invoice's own amount.
            b.previousInvoice = closedLater ? q.Field(5).AsLargeInt() : q.Field(3).AsLargeInt();
        } else {
            // No invoice yet on that day: the amount the first later invoice started from, or the
            // opening amount the customer was registered with.
            b.previousInvoice = closedLater ? q.Field(7).AsLargeInt() : q.Field(3).AsLargeInt();
        }
        b.payments = payments.value(b.key);
        b.unbilledSales = notes.value(b.key) + notesTax.value(b.key);
        b.balance = b.previousInvoice - b.payments + b.unbilledSales;
        if (allZero(b))
            continue;
        if (b.lastClosing.isValid() && b.previousInvoice - b.payments > 0) {
            QList<OldestUnpaid::Invoice> latest{
                {b.lastClosing, q.Field(5).AsLargeInt(), q.Field(8).AsLargeInt()}};
            if (!q.Field(9).IsNull())
                latest.append({q.Field(9).AsDate(), q.Field(10).AsLargeInt(), q.Field(11).AsLargeInt()});
            if (const std::optional<QDate> closing = oldestUnpaid.closingOf(b.key, b.payments, latest))
                b.daysUnpaid = int(closing->daysTo(asOf));
        }
        rows.append(b);
    }
    return rows;
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
    }
    return t;
}

namespace {

// Month (first day) → the sums per month of the documents dated from `from` to the as-of day, read
// as sums per day (`sql` selects the day and its sums, grouped by day) through an index that holds
// the amounts.
QHash<QDate, std::pair<qint64, qint64>> monthSums(TEngineDatabase &db, const QDate &from, const QDate &asOf,
                                                  const QStringList &sql)
{
    TEngineQuery q(&db);
    q.setSql(sql);
    q.ParamByName(QStringLiteral("From")).setAsDate(from);
    q.ParamByName(QStringLiteral("AsOf")).setAsDate(asOf);
    q.Open();
    QHash<QDate, std::pair<qint64, qint64>> sums;
    for (q.First(); !q.Eof(); q.Next()) {
        const QDate day = q.Field(0).AsDate();
        auto &[amount, tax] = sums[QDate(day.year(), day.month(), 1)];
        amount += q.Field(1).AsLargeInt();
        tax += q.FieldCount() > 2 ? q.Field(2).AsLargeInt() : 0;
    }
    return sums;
}

} // namespace

QList<Month> months(TEngineDatabase &db, const QDate &asOf, qint64 balanceAtAsOf)
{
    const TEngineReadSnapshot snapshot(db);
    const QDate last(asOf.year(), asOf.month(), 1);
    const QDate from = last.addMonths(-11);
    const ConsumptionTax::Settings tax = OwnCompanyStore::taxSettings(db);
    // The notes' own tax steps the balance back when the invoices add it to what is owed.
    const bool taxAdded = tax.enabled && !tax.pricesIncludeTax;
    const auto sales =
        monthSums(db, from, asOf,
                  {QStringLiteral("select Hiduke, sum(Kingaku), sum(coalesce(Zei10, 0) + coalesce(Zei8, 0))"),
                   QStringLiteral("from Nohin where Hiduke >= :From and Hiduke <= :AsOf"),
                   QStringLiteral("group by Hiduke")});
    const auto paid =
        monthSums(db, from, asOf,
                  {QStringLiteral("select NyukinYMD, sum(Nyukingaku)"),
                   QStringLiteral("from Nyukin where NyukinYMD >= :From and NyukinYMD <= :AsOf"),
                   QStringLiteral("group by NyukinYMD")});
    QList<Month> list(12);
    qint64 balance = balanceAtAsOf;
    for (int i = 11; i >= 0; --i) {
        Month &m = list[i];
        m.first = from.addMonths(i);
        m.sales = sales.value(m.first).first;
        m.payments = paid.value(m.first).first;
        m.balance = balance;
        balance -= m.sales + (taxAdded ? sales.value(m.first).second : 0) - m.payments;
    }
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
