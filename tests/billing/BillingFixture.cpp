#include "BillingFixture.h"

#include "data/Engine.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

void BillingFixture::setCompanyDay(int day)
{
    m_t.exec(QStringLiteral("delete from JisyaJyoho"));
    m_t.exec(
        QStringLiteral(
            "insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM) values (0, 'テスト', %1, 4)")
            .arg(day));
}

int BillingFixture::addCustomer(const QString &name, int closingDay, int zenkai)
{
    FixtureCustomer c;
    c.name = name;
    const int key = m_docs.addCustomer(c);
    m_t.exec(
        QStringLiteral("update Torihikisaki set SeikyuSimebi = %1, ZenkaiSeikyuGaku = %2, Kisyuzan = 777 "
                       "where key = %3")
            .arg(closingDay)
            .arg(zenkai)
            .arg(key));
    return key;
}

int BillingFixture::addNote(int customer, int amount, const QDate &date, int lines)
{
    QList<FixtureLine> list = DocumentFixture::lines(lines);
    int rest = amount;
    for (int i = 0; i < list.size() - 1; ++i)
        rest -= list[i].kingaku.toInt();
    list.last().kingaku = rest;
    return m_docs.addDeliveryNote(customer, list, amount, date);
}

int BillingFixture::addPayment(int customer, int amount, const QDate &date)
{
    return m_docs.addPayment(customer, amount, QStringLiteral("お品代として"), date);
}

int BillingFixture::invoiceCount()
{
    return m_t.scalar(QStringLiteral("select count(*) from Seikyu")).toInt();
}

int BillingFixture::seikyuKeyOf(const QString &table, int key)
{
    return m_t.scalar(QStringLiteral("select SeikyuKey from %1 where key = %2").arg(table).arg(key)).toInt();
}

int BillingFixture::zenkai(int customer)
{
    return m_t
        .scalar(QStringLiteral("select ZenkaiSeikyuGaku from Torihikisaki where key = %1").arg(customer))
        .toInt();
}

qint64 BillingFixture::invoiceValue(int invoice, const QString &column)
{
    return m_t.scalar(QStringLiteral("select %1 from Seikyu where key = %2").arg(column).arg(invoice))
        .toLongLong();
}

QString BillingFixture::invariantViolations(const QHash<int, int> &opening)
{
    QStringList wrong;
    TEngineQuery q(&m_t.db());
    q.addSql(QStringLiteral("select key, Hanbaigaku, Nyukingaku, ZenkaiSeikyu, Seikyugaku,"));
    q.addSql(QStringLiteral(" (select coalesce(sum(Kingaku), 0) from Nohin where SeikyuKey = s.key) notes,"));
    q.addSql(QStringLiteral(
        " (select coalesce(sum(Nyukingaku), 0) from Nyukin where SeikyuKey = s.key) payments"));
    q.addSql(QStringLiteral("from Seikyu s order by key"));
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
        const int key = q.FieldByName(QStringLiteral("key")).AsInteger();
        if (q.FieldByName(QStringLiteral("notes")).AsLargeInt() !=
            q.FieldByName(QStringLiteral("Hanbaigaku")).AsLargeInt())
            wrong << QStringLiteral("invoice %1: Hanbaigaku differs from its notes").arg(key);
        if (q.FieldByName(QStringLiteral("payments")).AsLargeInt() !=
            q.FieldByName(QStringLiteral("Nyukingaku")).AsLargeInt())
            wrong << QStringLiteral("invoice %1: Nyukingaku differs from its payments").arg(key);
        if (q.FieldByName(QStringLiteral("ZenkaiSeikyu")).AsLargeInt() -
                q.FieldByName(QStringLiteral("Nyukingaku")).AsLargeInt() +
                q.FieldByName(QStringLiteral("Hanbaigaku")).AsLargeInt() !=
            q.FieldByName(QStringLiteral("Seikyugaku")).AsLargeInt())
            wrong << QStringLiteral("invoice %1: Seikyugaku is not the sum").arg(key);
    }
    q.Close();
    q.clearSql();
    q.addSql(QStringLiteral("select key, ZenkaiSeikyuGaku,"));
    q.addSql(QStringLiteral(" (select Seikyugaku from Seikyu where key = (select max(key) from Seikyu"));
    q.addSql(QStringLiteral("   where TorihikisakiKey = t.key)) latest,"));
    q.addSql(QStringLiteral(" (select count(*) from Seikyu where TorihikisakiKey = t.key) invoices"));
    q.addSql(QStringLiteral("from Torihikisaki t order by key"));
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
        const int key = q.FieldByName(QStringLiteral("key")).AsInteger();
        const int expected = q.FieldByName(QStringLiteral("invoices")).AsInteger() > 0
                                 ? q.FieldByName(QStringLiteral("latest")).AsInteger()
                                 : opening.value(key);
        if (q.FieldByName(QStringLiteral("ZenkaiSeikyuGaku")).AsInteger() != expected)
            wrong << QStringLiteral("customer %1: ZenkaiSeikyuGaku %2, expected %3")
                         .arg(key)
                         .arg(q.FieldByName(QStringLiteral("ZenkaiSeikyuGaku")).AsInteger())
                         .arg(expected);
    }
    return wrong.join(QLatin1Char('\n'));
}

void BillingFixture::failCarryOverOf(int customer)
{
    QSqlQuery q(m_t.db().connection());
    bool ok = false;
    if (m_t.isPostgres()) {
        ok = q.exec(QStringLiteral("create or replace function kadomel_test_fail() returns trigger as "
                                   "$$ begin raise exception 'injected failure'; end $$ language plpgsql")) &&
             q.exec(QStringLiteral("create trigger fail_carry before update on Torihikisaki for each row "
                                   "when (new.key = %1) execute function kadomel_test_fail()")
                        .arg(customer));
    } else {
        ok =
            q.exec(QStringLiteral("create trigger fail_carry before update on Torihikisaki when new.key = %1 "
                                  "begin select raise(abort, 'injected failure'); end")
                       .arg(customer));
    }
    if (!ok)
        QFAIL(qPrintable(q.lastError().text()));
}

void BillingFixture::stopFailing()
{
    m_t.exec(QStringLiteral("drop trigger fail_carry%1")
                 .arg(m_t.isPostgres() ? QStringLiteral(" on Torihikisaki") : QString()));
}
