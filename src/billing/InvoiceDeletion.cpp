#include "billing/InvoiceDeletion.h"

#include "data/Engine.h"

namespace InvoiceDeletion {
namespace {

struct Invoice
{
    int customer = 0;
    int zenkai = 0;
    int latestOfCustomer = 0;
    QString customerName;
};

Invoice read(TEngineDatabase &db, int key)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select s.TorihikisakiKey, s.ZenkaiSeikyu, t.TorihikisakiNM,"));
    q.addSql(
        QStringLiteral(" (select MAX(KEY) from Seikyu where TorihikisakiKey = s.TorihikisakiKey) latest"));
    q.addSql(QStringLiteral("from Seikyu s left join Torihikisaki t on t.key = s.TorihikisakiKey"));
    q.addSql(QStringLiteral("where s.key = :key"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.Open();
    if (q.IsEmpty())
        throw EngineError(QStringLiteral("請求書（key %1）はほかのコンピュータで削除されています").arg(key));
    return {q.FieldByName(QStringLiteral("TorihikisakiKey")).AsInteger(),
            q.FieldByName(QStringLiteral("ZenkaiSeikyu")).AsInteger(),
            q.FieldByName(QStringLiteral("latest")).AsInteger(),
            q.FieldByName(QStringLiteral("TorihikisakiNM")).AsString()};
}

// Runs one statement with the key and returns the rows it changed.
int exec(TEngineDatabase &db, const QStringList &sql, const QString &param, int value)
{
    TEngineQuery q(&db);
    q.setSql(sql);
    q.ParamByName(param).setAsInteger(value);
    q.ExecSQL();
    return q.RowsAffected();
}

} // namespace

QString notLatestMessage(const QString &customerName)
{
    return customerName + QStringLiteral("の最後の請求ではありません") + QStringLiteral("\r\n") +
           QStringLiteral("最後の請求から削除してください");
}

Result remove(TEngineDatabase &db, int key)
{
    TEngineTransaction transaction(db);
    db.LockForNumbering(QStringLiteral("Torihikisaki"));
    db.LockForNumbering(QStringLiteral("Seikyu"));
    const Invoice invoice = read(db, key);
    if (invoice.latestOfCustomer != key)
        return {false, notLatestMessage(invoice.customerName)};
    exec(db, {QStringLiteral("Delete from SeikyuMesai"), QStringLiteral("Where Key = :KEY")},
         QStringLiteral("KEY"), key);
    if (exec(db, {QStringLiteral("Delete from Seikyu"), QStringLiteral("Where Key = :KEY")},
             QStringLiteral("KEY"), key) != 1)
        throw EngineError(QStringLiteral("請求書（key %1）はほかのコンピュータで削除されています").arg(key));
    exec(db,
         {QStringLiteral("Update Nohin"), QStringLiteral("Set SeikyuKey = 0"),
          QStringLiteral("Where SeikyuKey = :SeikyuKey")},
         QStringLiteral("SeikyuKey"), key);
    exec(db,
         {QStringLiteral("Update Nyukin"), QStringLiteral("Set SeikyuKey = 0"),
          QStringLiteral("Where SeikyuKey = :SeikyuKey")},
         QStringLiteral("SeikyuKey"), key);
    TEngineQuery carry(&db);
    carry.setSql({QStringLiteral("Update Torihikisaki"),
                  QStringLiteral("Set ZenkaiSeikyuGaku = :ZenkaiSeikyuGaku"),
                  QStringLiteral("Where Key = :TorihikisakiKey")});
    carry.ParamByName(QStringLiteral("ZenkaiSeikyuGaku")).setAsInteger(invoice.zenkai);
    carry.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(invoice.customer);
    carry.ExecSQL();
    transaction.commit();
    return {true, {}};
}

} // namespace InvoiceDeletion
