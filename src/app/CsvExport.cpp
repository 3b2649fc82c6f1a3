#include "app/CsvExport.h"

#include "app/MainLists.h"
#include "data/Engine.h"
#include "data/ListCsv.h"
#include "masters/CustomerStore.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ProductStore.h"

#include <QHash>

namespace CsvExport {
namespace {

struct KindName
{
    Kind kind;
    const char *name;
};
const KindName kKinds[] = {{Kind::Customers, "customers"}, {Kind::Products, "products"},
                           {Kind::Estimates, "estimates"}, {Kind::Deliveries, "deliveries"},
                           {Kind::Invoices, "invoices"},   {Kind::Payments, "payments"}};

TFieldDef column(const char *name, const char *label)
{
    return TFieldDef{QLatin1String(name), QString::fromUtf8(label), {}, -1, true};
}

// The lines of estimates and delivery notes, after their document's columns.
QList<TFieldDef> lineColumns()
{
    return {column("Gyo", "行"),
            column("SyohinNM", "商品名"),
            column("Kikaku", "規格"),
            column("Suryo", "数量"),
            column("Tani", "単位"),
            column("Tanka", "単価"),
            column("LineKingaku", "明細金額")};
}

// The list's statement made into one for the export: its select list (and the lines' columns), its
// tables (and the lines joined), a date range, its order (and the line number).
struct Statement
{
    QString select;
    QString from;
    QString where;
    QString dateColumn;
    QString order;
};

QList<QStringList> documents(TEngineDatabase &db, const Statement &s, const QList<TFieldDef> &columns,
                             const QDate &from, const QDate &to)
{
    TEngineQuery q(&db);
    q.addSql(s.select);
    q.addSql(s.from);
    q.addSql(s.where);
    if (from.isValid())
        q.addSql(QStringLiteral("and %1 >= :DateFrom").arg(s.dateColumn));
    if (to.isValid())
        q.addSql(QStringLiteral("and %1 <= :DateTo").arg(s.dateColumn));
    q.addSql(s.order);
    if (from.isValid())
        q.ParamByName(QStringLiteral("DateFrom")).setAsDate(from);
    if (to.isValid())
        q.ParamByName(QStringLiteral("DateTo")).setAsDate(to);
    q.Open();
    return ListCsv::collect(q, columns);
}

QList<TFieldDef> listColumns(void (*setUp)(TEngineQuery &), TEngineDatabase &db)
{
    TEngineQuery list(&db);
    setUp(list);
    return ListCsv::shownColumns(list.FieldDefs());
}

QList<TFieldDef> customerColumns(TEngineDatabase &db)
{
    // The list's columns, with the two fields the list leaves out where the edit window has them.
    QList<TFieldDef> columns = listColumns(&CustomerStore::setUpList, db);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).name == QLatin1String("TorihikisakiNM"))
            columns.insert(++i, column("Keisyo", "敬称"));
        else if (columns.at(i).name == QLatin1String("ZenkaiSeikyuGaku"))
            columns.insert(++i, column("SeikyuSimebi", "締日"));
    }
    return columns;
}

QList<QStringList> lineDocuments(TEngineDatabase &db, const char *table, void (*setUp)(TEngineQuery &),
                                 const QDate &from, const QDate &to)
{
    const QString t = QLatin1String(table);
    const QList<TFieldDef> columns = listColumns(setUp, db) + lineColumns();
    QStringList select;
    for (const TFieldDef &c : columns.mid(0, columns.size() - lineColumns().size()))
        select.append(c.name == QLatin1String("TorihikisakiNM") ? QStringLiteral("t.TorihikisakiNM")
                                                                : QStringLiteral("d.") + c.name);
    const Statement s{
        QStringLiteral(
            "select %1, l.Gyo, l.SyohinNM, l.Kikaku, l.Suryo, l.Tani, l.Tanka, l.Kingaku as LineKingaku")
            .arg(select.join(QStringLiteral(", "))),
        QStringLiteral("from %1 d inner join Torihikisaki t on d.TorihikisakiKey = t.Key "
                       "left join %1Mesai l on l.Key = d.key")
            .arg(t),
        QStringLiteral("where 1 = 1"), QStringLiteral("d.Hiduke"),
        QStringLiteral("order by d.Hiduke, d.key, l.Gyo")};
    return documents(db, s, columns, from, to);
}

// The list's shown columns, and its key last when `withKey`.
QList<TFieldDef> exportedColumns(TEngineQuery &list, bool withKey)
{
    QList<TFieldDef> columns = ListCsv::shownColumns(list.FieldDefs());
    if (withKey)
        columns.append(column("key", "key"));
    return columns;
}

QList<QStringList> plainDocuments(TEngineDatabase &db, void (*setUp)(TEngineQuery &), const char *dateColumn,
                                  const QDate &from, const QDate &to, bool withKey)
{
    TEngineQuery list(&db);
    setUp(list);
    // The list's own statement: "select … from … where … order by …".
    const QString text = list.SQL().join(QLatin1Char('\n')).remove(QLatin1Char(';'));
    const qsizetype order = text.lastIndexOf(QLatin1String("order by"), -1, Qt::CaseInsensitive);
    const Statement s{text.left(order), {}, {}, QLatin1String(dateColumn), text.mid(order)};
    return documents(db, s, exportedColumns(list, withKey), from, to);
}

// Rows whose last column is the invoice's key, with that column replaced by the invoice's tax
// columns. The amounts without tax are the sums less their tax when prices are entered with it.
QList<QStringList> withInvoiceTax(TEngineDatabase &db, QList<QStringList> rows)
{
    const bool pricesIncludeTax = OwnCompanyStore::taxSettings(db).pricesIncludeTax;
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("select key, Taisyo10, Zei10, Taisyo8, Zei8, Hikazei from Seikyu")});
    q.Open();
    QHash<int, QStringList> taxes;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.Field(1).IsNull())
            continue; // made without the option
        const auto v = [&q](int i) { return q.Field(i).AsLargeInt(); };
        const qint64 net10 = v(1) - (pricesIncludeTax ? v(2) : 0);
        const qint64 net8 = v(3) - (pricesIncludeTax ? v(4) : 0);
        taxes.insert(q.Field(0).AsInteger(),
                     {QString::number(net10), QString::number(v(2)), QString::number(net8),
                      QString::number(v(4)), QString::number(v(5))});
    }
    const QStringList titles{QStringLiteral("10%対象（税抜）"), QStringLiteral("10%消費税"),
                             QStringLiteral("8%対象（税抜）"), QStringLiteral("8%消費税"),
                             QStringLiteral("非課税")};
    rows.first().removeLast();
    rows.first() += titles;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const int key = rows[r].takeLast().toInt();
        rows[r] += taxes.value(key, QStringList(titles.size(), QString()));
    }
    return rows;
}

} // namespace

QStringList kindNames()
{
    QStringList names;
    for (const KindName &k : kKinds)
        names.append(QLatin1String(k.name));
    return names;
}

std::optional<Kind> kindFromName(const QString &name)
{
    for (const KindName &k : kKinds)
        if (name == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

QList<QStringList> rows(TEngineDatabase &db, Kind kind, const QDate &from, const QDate &to)
{
    switch (kind) {
    case Kind::Customers: {
        TEngineQuery q(&db);
        CustomerStore::setUpList(q);
        q.Open();
        return ListCsv::collect(q, customerColumns(db));
    }
    case Kind::Products: {
        TEngineQuery q(&db);
        ProductStore::setUpList(q);
        q.Open();
        return ListCsv::collect(q, ListCsv::shownColumns(q.FieldDefs()));
    }
    case Kind::Estimates:
        return lineDocuments(db, "Mitumori", &MainLists::setUpEstimates, from, to);
    case Kind::Deliveries:
        return lineDocuments(db, "Nohin", &MainLists::setUpDeliveryNotes, from, to);
    case Kind::Invoices:
        return withInvoiceTax(db, plainDocuments(db, &MainLists::setUpInvoices, "S.Simebi", from, to, true));
    case Kind::Payments:
        return plainDocuments(db, &MainLists::setUpPayments, "n.NyukinYMD", from, to, false);
    }
    return {};
}

QList<QStringList> invoiceListRows(TEngineQuery &list)
{
    return withInvoiceTax(*list.database(), ListCsv::listRows(list, exportedColumns(list, true)));
}

} // namespace CsvExport
