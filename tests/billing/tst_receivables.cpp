// What each customer owes on a day and the months before it, against figures worked out by hand,
// and the promise behind the balance: the next invoice run bills exactly it. On both engines.
#include "billing/InvoiceRun.h"
#include "billing/Receivables.h"
#include "ReceivablesFixture.h"
#include "TestDatabase.h"

#include <QTest>

using Receivables::CustomerBalance;

namespace {

QStringList described(const QList<CustomerBalance> &rows)
{
    QStringList out;
    for (const CustomerBalance &r : rows)
        out << QStringLiteral("%1 %2 %3/%4/%5/%6 %7 %8")
                   .arg(r.code, r.name)
                   .arg(r.previousInvoice)
                   .arg(r.payments)
                   .arg(r.unbilledSales)
                   .arg(r.balance)
                   .arg(r.lastClosing.toString(Qt::ISODate))
                   .arg(r.daysUnpaid ? QString::number(*r.daysUnpaid) : QStringLiteral("-"));
    return out;
}

QStringList described(const QList<ReceivablesFixture::Expected> &rows)
{
    QList<CustomerBalance> list;
    for (const ReceivablesFixture::Expected &e : rows)
        list.append({0, e.code, e.name, e.previousInvoice, e.payments, e.unbilledSales, e.balance,
                     e.lastClosing, e.daysUnpaid});
    return described(list);
}

} // namespace

class tst_Receivables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixtureOnTheAsOfDay();
    void aPastDayCountsLaterInvoicesAsUnbilled();
    void nextRunBillsTheBalance_data();
    void nextRunBillsTheBalance();
    void twelveMonthsStepBackFromTheTotal();
};

void tst_Receivables::fixtureOnTheAsOfDay()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    ReceivablesFixture::build(t);
    const QList<CustomerBalance> rows = Receivables::balances(t.db(), ReceivablesFixture::kAsOf);
    QCOMPARE(described(rows), described(ReceivablesFixture::expected()));

    const CustomerBalance total = Receivables::total(rows);
    QCOMPARE(total.name, QStringLiteral("合計"));
    QCOMPARE(total.previousInvoice, 59000);
    QCOMPARE(total.payments, 32000);
    QCOMPARE(total.unbilledSales, 28473);
    QCOMPARE(total.balance, 55473);
    QVERIFY(!total.daysUnpaid); // days are no sum
}

// Before the March run: the March invoices' notes and payments were still unbilled, the previous
// amount is what those invoices started from.
void tst_Receivables::aPastDayCountsLaterInvoicesAsUnbilled()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    ReceivablesFixture::build(t);
    const QList<CustomerBalance> rows = Receivables::balances(t.db(), {2024, 3, 15});
    QCOMPARE(described(rows),
             described(QList<ReceivablesFixture::Expected>{
                 {QStringLiteral("101"), QStringLiteral("青葉商事"), 50000, 30000, 12000, 32000, {}, {}},
                 {QStringLiteral("102"), QStringLiteral("海山物産"), 0, 0, 10000, 10000, {}, {}},
                 {QStringLiteral("104"), QStringLiteral("森田食品"), 7000, 0, 0, 7000, {}, {}},
                 {QStringLiteral("106"), QStringLiteral("日向精機"), 6000, 0, 4000, 10000, {2024, 2, 20}, 24},
             }));
}

void tst_Receivables::nextRunBillsTheBalance_data()
{
    QTest::addColumn<QString>("taxOption"); // TekikakuKBN, ZeiKomiKBN, ZeiHasuuKBN; empty: never set
    QTest::addColumn<qint64>("keigenUnbilled");
    QTest::newRow("without the tax option") << QString() << qint64(3473);
    QTest::newRow("tax option off") << QStringLiteral("0, 0, 0") << qint64(3473);
    QTest::newRow("prices without tax, 切り捨て") << QStringLiteral("1, 0, 0") << qint64(3473 + 100 + 197);
    QTest::newRow("prices without tax, 切り上げ") << QStringLiteral("1, 0, 2") << qint64(3473 + 101 + 198);
    QTest::newRow("prices with tax") << QStringLiteral("1, 1, 0") << qint64(3473);
}

// The balance is what an invoice run closing on the as-of day bills, customer by customer.
void tst_Receivables::nextRunBillsTheBalance()
{
    QFETCH(QString, taxOption);
    QFETCH(qint64, keigenUnbilled);
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    ReceivablesFixture::build(t);
    if (!taxOption.isEmpty()) {
        const QStringList v = taxOption.split(QStringLiteral(", "));
        t.exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = %1, ZeiKomiKBN = %2, ZeiHasuuKBN = %3")
                   .arg(v[0], v[1], v[2]));
    }
    const QList<CustomerBalance> rows = Receivables::balances(t.db(), ReceivablesFixture::kAsOf);
    QCOMPARE(rows.last().code, QStringLiteral("107"));
    QCOMPARE(rows.last().unbilledSales, keigenUnbilled);

    QList<int> customers;
    for (int key = 1; key <= 7; ++key)
        customers.append(key);
    InvoiceRun(t.db()).run(customers, ReceivablesFixture::kAsOf);
    for (const CustomerBalance &r : rows) {
        const qint64 carried =
            t.scalar(QStringLiteral("select ZenkaiSeikyuGaku from Torihikisaki where key = %1").arg(r.key))
                .toLongLong();
        QVERIFY2(
            carried == r.balance,
            qPrintable(QStringLiteral("%1: run %2, balance %3").arg(r.code).arg(carried).arg(r.balance)));
    }
    // Nothing is left unbilled on that day, and only what was dated after it remains.
    const QList<CustomerBalance> after = Receivables::balances(t.db(), ReceivablesFixture::kAsOf);
    for (const CustomerBalance &r : after)
        QCOMPARE(r.unbilledSales + r.payments, 0);
}

void tst_Receivables::twelveMonthsStepBackFromTheTotal()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    ReceivablesFixture::build(t);
    const QList<Receivables::Month> months = Receivables::months(t.db(), ReceivablesFixture::kAsOf, 55473);
    QCOMPARE(months.size(), 12);
    QCOMPARE(months.first().first, QDate(2023, 5, 1));
    QCOMPARE(months.last().first, QDate(2024, 4, 1));
    const auto figures = [&](int i) {
        return QList<qint64>{months[i].sales, months[i].payments, months[i].balance};
    };
    QCOMPARE(figures(11), (QList<qint64>{28473, 32000, 55473})); // May's documents left out
    QCOMPARE(figures(10), (QList<qint64>{26000, 30000, 59000}));
    QCOMPARE(figures(9), (QList<qint64>{6000, 0, 63000}));
    QCOMPARE(figures(8), (QList<qint64>{0, 0, 57000})); // the opening amounts
    QCOMPARE(figures(0), (QList<qint64>{0, 0, 57000}));
    // The end of March is the day's own total on the 31st.
    QCOMPARE(Receivables::total(Receivables::balances(t.db(), {2024, 3, 31})).balance, 59000);
}

QTEST_GUILESS_MAIN(tst_Receivables)
#include "tst_receivables.moc"
