#include "ReceivablesFixture.h"

#include "billing/InvoiceRun.h"
#include "data/Engine.h"
#include "TestDatabase.h"

namespace ReceivablesFixture {

namespace {

struct Line
{
    int amount;
    std::optional<int> rate;
};

int nextKey(TEngineDatabase &db, const QString &table)
{
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("select max(key) from %1").arg(table)});
    q.Open();
    return q.Field(0).AsInteger() + 1;
}

int addCustomer(TEngineDatabase &db, const QString &code, const QString &name, int opening)
{
    const int key = nextKey(db, QStringLiteral("Torihikisaki"));
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Keisyo, "
                             "SeikyuSimebi, ZenkaiSeikyuGaku)"),
              QStringLiteral("values (:key, :cd, :nm, '御中', 20, :opening)")});
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("cd")).setAsString(code);
    q.ParamByName(QStringLiteral("nm")).setAsString(name);
    q.ParamByName(QStringLiteral("opening")).setAsInteger(opening);
    q.ExecSQL();
    return key;
}

void addNote(TEngineDatabase &db, int customer, const QDate &date, const QList<Line> &lines)
{
    const int key = nextKey(db, QStringLiteral("Nohin"));
    int total = 0;
    for (const Line &l : lines)
        total += l.amount;
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, "
                             "TorihikisakiKey, Kingaku, JisyaTanto, SeikyuKey)"),
              QStringLiteral("values (:key, :no, :date, :y, :m, :key2, :customer, :total, '', 0)")});
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("key2")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(QStringLiteral("N-%1").arg(key));
    q.ParamByName(QStringLiteral("date")).setAsDate(date);
    q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
    q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("total")).setAsInteger(total);
    q.ExecSQL();
    TEngineQuery line(&db);
    line.setSql({QStringLiteral("insert into NohinMesai (Key, Gyo, SyohinNM, Kingaku, ZeiRitu)"),
                 QStringLiteral("values (:key, :gyo, '品', :amount, :rate)")});
    for (int i = 0; i < lines.size(); ++i) {
        line.ParamByName(QStringLiteral("key")).setAsInteger(key);
        line.ParamByName(QStringLiteral("gyo")).setAsInteger(i + 1);
        line.ParamByName(QStringLiteral("amount")).setAsInteger(lines[i].amount);
        if (lines[i].rate)
            line.ParamByName(QStringLiteral("rate")).setAsInteger(*lines[i].rate);
        else
            line.ParamByName(QStringLiteral("rate")).setNullInteger();
        line.ExecSQL();
    }
}

void addNote(TEngineDatabase &db, int customer, const QDate &date, int amount)
{
    addNote(db, customer, date, QList<Line>{{amount, std::nullopt}});
}

void addPayment(TEngineDatabase &db, int customer, const QDate &date, int amount)
{
    const int key = nextKey(db, QStringLiteral("Nyukin"));
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, "
                             "TorihikisakiKey, Nyukingaku, NyukinHouhou, Tadasigaki, SeikyuKey)"),
              QStringLiteral("values (:key, :no, :date, :y, :m, :key2, :customer, :amount, '振込', '', 0)")});
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.ParamByName(QStringLiteral("key2")).setAsInteger(key);
    q.ParamByName(QStringLiteral("no")).setAsString(QStringLiteral("R-%1").arg(key));
    q.ParamByName(QStringLiteral("date")).setAsDate(date);
    q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
    q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    q.ParamByName(QStringLiteral("customer")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("amount")).setAsInteger(amount);
    q.ExecSQL();
}

} // namespace

void build(TestDatabase &t)
{
    TEngineDatabase &db = t.db();
    t.exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM) "
                          "values (0, 'テスト商会', 20, 4)"));
    // Billed in March; this month a payment, a note, and a note and a payment after the as-of day.
    const int aoba = addCustomer(db, QStringLiteral("101"), QStringLiteral("青葉商事"), 50000);
    addNote(db, aoba, {2024, 3, 5}, 12000);
    addPayment(db, aoba, {2024, 3, 10}, 30000);
    addNote(db, aoba, {2024, 4, 5}, 8000);
    addPayment(db, aoba, {2024, 4, 10}, 10000);
    addPayment(db, aoba, {2024, 5, 1}, 1000);
    addNote(db, aoba, {2024, 5, 2}, 5000);
    // Paid more than the invoice asked.
    const int umiyama = addCustomer(db, QStringLiteral("102"), QStringLiteral("海山物産"), 0);
    addNote(db, umiyama, {2024, 3, 1}, 10000);
    addPayment(db, umiyama, {2024, 4, 15}, 15000);
    // No invoice yet; a return.
    const int kawabe = addCustomer(db, QStringLiteral("103"), QStringLiteral("川辺工務店"), 0);
    addNote(db, kawabe, {2024, 4, 2}, 20000);
    addNote(db, kawabe, {2024, 4, 12}, -3000);
    // An opening amount and a payment, no invoice.
    const int morita = addCustomer(db, QStringLiteral("104"), QStringLiteral("森田食品"), 7000);
    addPayment(db, morita, {2024, 4, 20}, 2000);
    // Only a note after the as-of day: owes nothing on it.
    const int sorano = addCustomer(db, QStringLiteral("105"), QStringLiteral("空野電機"), 0);
    addNote(db, sorano, {2024, 5, 10}, 9000);
    // Two invoices, the older one still partly unpaid.
    const int hinata = addCustomer(db, QStringLiteral("106"), QStringLiteral("日向精機"), 0);
    addNote(db, hinata, {2024, 2, 10}, 6000);
    addNote(db, hinata, {2024, 3, 10}, 4000);
    addPayment(db, hinata, {2024, 4, 5}, 5000);
    // Lines at both rates over two notes (per note the tax would add up to ¥296, per rate ¥297).
    const int keigen = addCustomer(db, QStringLiteral("107"), QStringLiteral("軽減商店"), 0);
    addNote(db, keigen, {2024, 4, 8}, QList<Line>{{335, 10}, {1234, 8}});
    addNote(db, keigen, {2024, 4, 9}, QList<Line>{{670, std::nullopt}, {1234, 8}});

    const QList<int> everyone{aoba, umiyama, kawabe, morita, sorano, hinata, keigen};
    InvoiceRun(db).run(everyone, {2024, 2, 20});
    InvoiceRun(db).run(everyone, {2024, 3, 20});
}

QList<Expected> expected()
{
    return {
        {QStringLiteral("101"), QStringLiteral("青葉商事"), 32000, 10000, 8000, 30000, {2024, 3, 20}, 41},
        {QStringLiteral("102"), QStringLiteral("海山物産"), 10000, 15000, 0, -5000, {2024, 3, 20}, {}},
        {QStringLiteral("103"), QStringLiteral("川辺工務店"), 0, 0, 17000, 17000, {}, {}},
        {QStringLiteral("104"), QStringLiteral("森田食品"), 7000, 2000, 0, 5000, {}, {}},
        {QStringLiteral("106"), QStringLiteral("日向精機"), 10000, 5000, 0, 5000, {2024, 3, 20}, 70},
        {QStringLiteral("107"), QStringLiteral("軽減商店"), 0, 0, 3473, 3473, {}, {}},
    };
}

} // namespace ReceivablesFixture
