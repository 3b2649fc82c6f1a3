#include "masters/CustomerStore.h"

#include "masters/PostalLookup.h"

#include "common/Clock.h"
#include "data/Engine.h"
#include "data/RowStatements.h"

namespace CustomerStore {
namespace {

TFieldDef column(const char *name, const QString &label = {})
{
    return TFieldDef{QLatin1String(name), label, {}, -1, true};
}

CustomerRecord readRow(const TEngineQuery &q)
{
    CustomerRecord c;
    c.key = q.integer("key");
    c.TorihikisakiCD = q.integer("TorihikisakiCD");
    c.TorihikisakiNM = q.text("TorihikisakiNM");
    c.Keisyo = q.text("Keisyo");
    c.Yubin = q.text("Yubin");
    c.Jyusyo1 = q.text("Jyusyo1");
    c.Jyusyo2 = q.text("Jyusyo2");
    c.Tel = q.text("Tel");
    c.Fax = q.text("Fax");
    c.Busyo = q.text("Busyo");
    c.Tantosya = q.text("Tantosya");
    c.Mail = q.text("Mail");
    c.Kisyuzan = q.integer("Kisyuzan");
    c.ZenkaiSeikyuGaku = q.integer("ZenkaiSeikyuGaku");
    c.SeikyuSimebi = q.integer("SeikyuSimebi");
    c.TorokuYMD = q.dateTime("TorokuYMD");
    return c;
}

const QString kTable = QStringLiteral("Torihikisaki");

// The columns that adding and changing write alike: all but the key and the registration time,
// which only adding writes.
QStringList changedColumns()
{
    return RowStatements::schemaColumns(kTable, {QStringLiteral("key"), QStringLiteral("TorokuYMD")});
}

void bindFields(TEngineQuery &q, const CustomerRecord &c)
{
    q.ParamByName(QStringLiteral("TorihikisakiCD")).setAsInteger(c.TorihikisakiCD);
    q.ParamByName(QStringLiteral("TorihikisakiNM")).setAsString(c.TorihikisakiNM);
    q.ParamByName(QStringLiteral("Keisyo")).setAsString(c.Keisyo);
    q.ParamByName(QStringLiteral("Yubin")).setAsString(PostalLookup::storedCode(c.Yubin));
    q.ParamByName(QStringLiteral("Jyusyo1")).setAsString(c.Jyusyo1);
    q.ParamByName(QStringLiteral("Jyusyo2")).setAsString(c.Jyusyo2);
    q.ParamByName(QStringLiteral("Tel")).setAsString(c.Tel);
    q.ParamByName(QStringLiteral("Fax")).setAsString(c.Fax);
    q.ParamByName(QStringLiteral("Busyo")).setAsString(c.Busyo);
    q.ParamByName(QStringLiteral("Tantosya")).setAsString(c.Tantosya);
    q.ParamByName(QStringLiteral("Mail")).setAsString(c.Mail);
    q.ParamByName(QStringLiteral("KisyuZan")).setAsInteger(c.Kisyuzan);
    q.ParamByName(QStringLiteral("ZenkaiSeikyuGaku")).setAsInteger(c.ZenkaiSeikyuGaku);
    q.ParamByName(QStringLiteral("SeikyuSimebi")).setAsInteger(c.SeikyuSimebi);
}

// Opens "<select> where <column> = :Key" with the customer's key.
void openByKey(TEngineQuery &q, const QString &select, const char *column, int key)
{
    q.addSql(select);
    q.addSql(QStringLiteral("where %1 = :Key").arg(QLatin1String(column)));
    q.ParamByName(QStringLiteral("Key")).setAsInteger(key);
    q.Open();
}

int countWhere(TEngineDatabase &db, const QString &table, const char *column, int key)
{
    TEngineQuery q(&db);
    openByKey(q, QStringLiteral("select count(*) from %1").arg(table), column, key);
    return q.Field(0).AsInteger();
}

int countReferences(TEngineDatabase &db, const QString &table, int key)
{
    return countWhere(db, table, "TorihikisakiKey", key);
}

// Runs an UPDATE or DELETE of one customer; a statement that found no row (the customer was deleted
// at another computer, perhaps a moment ago while this statement waited for its lock) raises.
void execOnExisting(TEngineQuery &q, const QString &notFound)
{
    q.ExecSQL();
    if (q.RowsAffected() == 0)
        throw EngineError(notFound);
}

} // namespace

QStringList honorifics()
{
    return {QStringLiteral("御中"), QStringLiteral("様")};
}

QString shownHonorific(const QString &stored)
{
    return honorifics().contains(stored) ? stored : honorifics().first();
}

void setUpList(TEngineQuery &q)
{
    q.setSql({QStringLiteral("SELECT * FROM Torihikisaki"), QStringLiteral("order By Key")});
    q.FieldDefs() = {column("key"),
                     column("TorihikisakiCD", QStringLiteral("取引先CD")),
                     column("TorihikisakiNM", QStringLiteral("取引先名")),
                     column("Yubin", QStringLiteral("〒")),
                     column("Jyusyo1", QStringLiteral("住所１")),
                     column("Jyusyo2", QStringLiteral("住所２")),
                     column("Tel"),
                     column("Fax"),
                     column("Busyo", QStringLiteral("部署")),
                     column("Tantosya", QStringLiteral("担当者")),
                     column("Mail"),
                     column("Kisyuzan", QStringLiteral("期首売掛残")),
                     column("ZenkaiSeikyuGaku", QStringLiteral("前回請求額")),
                     column("TorokuYMD", QStringLiteral("登録日"))};
}

std::optional<CustomerRecord> load(TEngineDatabase &db, int key)
{
    TEngineQuery q(&db);
    openByKey(q, QStringLiteral("select * from Torihikisaki"), "Key", key);
    if (q.IsEmpty())
        return std::nullopt;
    return readRow(q);
}

std::optional<int> keyByCode(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("select key from Torihikisaki"),
              QStringLiteral("where TorihikisakiCD = :TorihikisakiCD")});
    q.ParamByName(QStringLiteral("TorihikisakiCD")).setAsInteger(code);
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return q.Field(0).AsInteger();
}

QList<int> keysByCode(TEngineDatabase &db, int code)
{
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("select key from Torihikisaki"),
              QStringLiteral("where TorihikisakiCD = :TorihikisakiCD"), QStringLiteral("order by key")});
    q.ParamByName(QStringLiteral("TorihikisakiCD")).setAsInteger(code);
    q.Open();
    QList<int> keys;
    for (q.First(); !q.Eof(); q.Next())
        keys.append(q.Field(0).AsInteger());
    return keys;
}

bool hasInvoice(TEngineDatabase &db, int key)
{
    return countReferences(db, QStringLiteral("Seikyu"), key) > 0;
}

int insert(TEngineDatabase &db, const CustomerRecord &customer)
{
    TEngineTransaction transaction(db);
    const int key = db.NewKey(kTable);
    TEngineQuery q(&db);
    q.setSql({RowStatements::insertSql(kTable, RowStatements::schemaColumns(kTable))});
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    bindFields(q, customer);
    q.ParamByName(QStringLiteral("TorokuYMD"))
        .setAsDateTime(customer.TorokuYMD.isValid() ? customer.TorokuYMD : Clock::now());
    q.ExecSQL();
    transaction.commit();
    return key;
}

void update(TEngineDatabase &db, const CustomerRecord &customer)
{
    // The customers' lock, which every writer of customers takes (the invoice run and the import
    // too): a change waits for a run or an import that has read the customer, and they for it.
    TEngineTransaction transaction(db);
    db.LockForNumbering(kTable);
    TEngineQuery q(&db);
    q.setSql({RowStatements::updateSql(kTable, changedColumns(), {QStringLiteral("Key")})});
    bindFields(q, customer);
    q.ParamByName(QStringLiteral("Key")).setAsInteger(customer.key);
    execOnExisting(q, QStringLiteral("取引先（Key %1）が見つかりません").arg(customer.key));
    transaction.commit();
}

DocumentReferences references(TEngineDatabase &db, int key)
{
    DocumentReferences r;
    r.estimates = countReferences(db, QStringLiteral("Mitumori"), key);
    r.deliveryNotes = countReferences(db, QStringLiteral("Nohin"), key);
    r.payments = countReferences(db, QStringLiteral("Nyukin"), key);
    r.invoices = countReferences(db, QStringLiteral("Seikyu"), key);
    return r;
}

DocumentReferences remove(TEngineDatabase &db, int key)
{
    TEngineTransaction transaction(db);
    // A document save takes the same lock before it stores a document for a customer, so no
    // document can appear between counting the references and deleting.
    db.LockForNumbering(QStringLiteral("Torihikisaki"));
    const DocumentReferences r = references(db, key);
    if (r.total() > 0)
        return r;
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("DELETE FROM Torihikisaki WHERE Key = :Key"));
    q.ParamByName(QStringLiteral("Key")).setAsInteger(key);
    execOnExisting(q, QStringLiteral("取引先（Key %1）は既に削除されています").arg(key));
    transaction.commit();
    return r;
}

QString referencesMessage(const DocumentReferences &r)
{
    return QStringLiteral("この取引先は%1件の伝票から参照されているため削除できません。\r\n"
                          "（見積書 %2件、納品書 %3件、入金 %4件、請求書 %5件）")
        .arg(r.total())
        .arg(r.estimates)
        .arg(r.deliveryNotes)
        .arg(r.payments)
        .arg(r.invoices);
}

} // namespace CustomerStore
