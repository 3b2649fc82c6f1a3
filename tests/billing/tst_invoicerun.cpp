// The invoice run: amounts, lines and marks, the closing days and dates, a failure in the middle of a
// run, two computers running at once; and deleting an invoice. On both engines.
#include "billing/ClosingDays.h"
#include "billing/InvoiceBatch.h"
#include "billing/InvoiceDeletion.h"
#include "billing/InvoiceRun.h"
#include "BillingFixture.h"
#include "common/Clock.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "OtherComputer.h"

#include <QTest>
#include <QThread>

namespace {

const QDate kClosing{2024, 3, 20};

QList<int> runFor(TEngineDatabase &db, const QList<int> &customers, const QDate &closing = kClosing)
{
    InvoiceRun run(db);
    return run.run(customers, closing);
}

} // namespace

class tst_InvoiceRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::setFixed(QDateTime(QDate(2024, 3, 25), QTime(10, 30))); }
    void cleanup() { Clock::reset(); }

    void workedExample();
    void taxOncePerRateOnTheInvoiceLines_data();
    void taxOncePerRateOnTheInvoiceLines();
    void onlyPaymentsOrOnlyDeliveries();
    void linesInDateKeyLineOrder();
    void defaultClosingDate_data();
    void defaultClosingDate();
    void closingDaySelection();
    void offeredDays();
    void amountBeyond32BitsRefused();
    void closingDateBeforeLatestInvoiceRefused();
    void failureRollsBackThatCustomerOnly();
    void twoComputersAtOnce();
    void waitsForADeletionAtAnotherComputer();
    void batchSelection();
    void deletionLatestFirst();
};

void tst_InvoiceRun::workedExample()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int c = f.addCustomer(QStringLiteral("例題商店"), 20, 50000);
    const int pay = f.addPayment(c, 30000, QDate(2024, 3, 1));
    const int n1 = f.addNote(c, 12000, QDate(2024, 3, 5), 2);
    const int n2 = f.addNote(c, 8000, kClosing);
    const int later = f.addNote(c, 5000, kClosing.addDays(1));
    const int laterPay = f.addPayment(c, 1000, kClosing.addDays(1));

    const QList<int> made = runFor(t.db(), {c});
    QCOMPARE(made.size(), 1);
    const int inv = made.first();
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("ZenkaiSeikyu")), 50000);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Nyukingaku")), 30000);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Tyoseigaku")), 0);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Hanbaigaku")), 20000);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Seikyugaku")), 40000);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("HakkoM")), 3);
    QCOMPARE(t.scalar(QStringLiteral("select HakkoY from Seikyu")).toString(), QStringLiteral("2024"));
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from Seikyu where JisyaTanto = ''")).toInt(), 1);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where Key = %1").arg(inv)).toInt(), 3);
    QCOMPARE(f.zenkai(c), 40000);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nyukin"), pay), inv);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), n1), inv);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), n2), inv);
    // Dated after the closing date: left for a later invoice.
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), later), 0);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nyukin"), laterPay), 0);

    // Everything up to the date is marked: a second run makes nothing.
    QVERIFY(runFor(t.db(), {c}).isEmpty());
    QCOMPARE(f.invoiceCount(), 1);

    // The next closing date continues from the carried-over amount.
    const QList<int> next = runFor(t.db(), {c}, kClosing.addMonths(1));
    QCOMPARE(next.size(), 1);
    QCOMPARE(f.invoiceValue(next.first(), QStringLiteral("ZenkaiSeikyu")), 40000);
    QCOMPARE(f.invoiceValue(next.first(), QStringLiteral("Seikyugaku")), 44000);
    QCOMPARE(f.invariantViolations({{c, 50000}}), QString());
}

void tst_InvoiceRun::taxOncePerRateOnTheInvoiceLines_data()
{
    QTest::addColumn<int>("tekikaku"); // -1: a row that never had the option (NULL)
    QTest::addColumn<int>("zeiKomi");
    QTest::addColumn<int>("hasuu");
    QTest::addColumn<QVariant>("zei10");
    QTest::addColumn<QVariant>("zei8");
    QTest::addColumn<int>("seikyu");
    // 1,005 at 10% and 2,468 at 8% over two notes: per note the tax would be 67 + 33 and 98 + 98.
    QTest::addRow("without tax, 切り捨て") << 1 << 0 << 0 << QVariant(100) << QVariant(197) << 3473 + 297;
    QTest::addRow("without tax, 四捨五入") << 1 << 0 << 1 << QVariant(101) << QVariant(197) << 3473 + 298;
    QTest::addRow("without tax, 切り上げ") << 1 << 0 << 2 << QVariant(101) << QVariant(198) << 3473 + 299;
    QTest::addRow("prices with tax") << 1 << 1 << 0 << QVariant(91) << QVariant(182) << 3473;
    QTest::addRow("option off") << 0 << 0 << 0 << QVariant() << QVariant() << 3473;
    QTest::addRow("never had the option") << -1 << 0 << 0 << QVariant() << QVariant() << 3473;
}

// The run computes the tax on the invoice's own lines, once per rate, adds it to the invoice amount
// when prices are without tax, and the next invoice takes that amount as its previous one.
void tst_InvoiceRun::taxOncePerRateOnTheInvoiceLines()
{
    QFETCH(int, tekikaku);
    QFETCH(int, zeiKomi);
    QFETCH(int, hasuu);
    QFETCH(QVariant, zei10);
    QFETCH(QVariant, zei8);
    QFETCH(int, seikyu);
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    f.setCompanyDay(20);
    if (tekikaku >= 0)
        t.exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = %1, ZeiKomiKBN = %2, ZeiHasuuKBN = %3")
                   .arg(tekikaku)
                   .arg(zeiKomi)
                   .arg(hasuu));
    const int c = f.addCustomer(QStringLiteral("軽減税率商店"), 20, 0);
    const auto line = [](int amount) {
        return FixtureLine{QStringLiteral("品"), 1, QStringLiteral("個"), amount, amount, {}, {}};
    };
    const int n1 = f.docs().addDeliveryNote(c, {line(335), line(335), line(1234)}, 1904, QDate(2024, 3, 5));
    const int n2 = f.docs().addDeliveryNote(c, {line(1234), line(335)}, 1569, QDate(2024, 3, 6));
    t.exec(QStringLiteral(
               "update NohinMesai set ZeiRitu = 8 where (Key = %1 and Gyo = 3) or (Key = %2 and Gyo = 1)")
               .arg(n1)
               .arg(n2));
    t.exec(QStringLiteral("update NohinMesai set ZeiRitu = 10 where Key = %1 and Gyo = 2")
               .arg(n2)); // n1's stay NULL

    const int inv = runFor(t.db(), {c}).value(0);
    QVERIFY(inv > 0);
    const auto column = [&](const char *name) {
        return t.scalar(
            QStringLiteral("select %1 from Seikyu where key = %2").arg(QLatin1String(name)).arg(inv));
    };
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Hanbaigaku")), 3473);
    QCOMPARE(f.invoiceValue(inv, QStringLiteral("Seikyugaku")), seikyu);
    QCOMPARE(column("Zei10").isNull(), zei10.isNull());
    QCOMPARE(column("Zei10").toInt(), zei10.toInt());
    QCOMPARE(column("Zei8").toInt(), zei8.toInt());
    if (!zei10.isNull()) {
        QCOMPARE(column("Taisyo10").toInt(), 1005);
        QCOMPARE(column("Taisyo8").toInt(), 2468);
        QCOMPARE(column("Hikazei").toInt(), 0);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where ZeiRitu = 8")).toInt(), 2);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where ZeiRitu = 10")).toInt(), 3);
    } else {
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where ZeiRitu is null")).toInt(),
                 5);
    }
    QCOMPARE(f.zenkai(c), seikyu);

    // Next month: the previous amount is the one with the tax, and a payment settles it.
    f.addPayment(c, seikyu, QDate(2024, 4, 10));
    const int next = runFor(t.db(), {c}, kClosing.addMonths(1)).value(0);
    QCOMPARE(f.invoiceValue(next, QStringLiteral("ZenkaiSeikyu")), seikyu);
    QCOMPARE(f.invoiceValue(next, QStringLiteral("Seikyugaku")), 0);
    QCOMPARE(f.zenkai(c), 0);
}

void tst_InvoiceRun::onlyPaymentsOrOnlyDeliveries()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int paysOnly = f.addCustomer(QStringLiteral("入金のみ"), 0, 10000);
    const int notesOnly = f.addCustomer(QStringLiteral("納品のみ"), 0, 0);
    const int nothing = f.addCustomer(QStringLiteral("取引なし"), 0, 3000);
    f.addPayment(paysOnly, 12000, QDate(2024, 3, 2));
    f.addNote(notesOnly, 7000, QDate(2024, 3, 2), 3);

    const QList<int> made = runFor(t.db(), {paysOnly, notesOnly, nothing});
    QCOMPARE(made.size(), 2);
    QCOMPARE(f.invoiceValue(made[0], QStringLiteral("Hanbaigaku")), 0);
    QCOMPARE(f.invoiceValue(made[0], QStringLiteral("Seikyugaku")), -2000); // overpaid: a credit
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where Key = %1").arg(made[0])).toInt(),
             0);
    QCOMPARE(f.invoiceValue(made[1], QStringLiteral("Nyukingaku")), 0);
    QCOMPARE(f.invoiceValue(made[1], QStringLiteral("Seikyugaku")), 7000);
    QCOMPARE(f.zenkai(nothing), 3000);
    QCOMPARE(f.invariantViolations({{paysOnly, 10000}, {notesOnly, 0}, {nothing, 3000}}), QString());
}

void tst_InvoiceRun::linesInDateKeyLineOrder()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int c = f.addCustomer(QStringLiteral("順序商店"));
    const int late = f.addNote(c, 300, QDate(2024, 3, 10), 2);
    const int early = f.addNote(c, 100, QDate(2024, 3, 1), 1);
    const int sameDay = f.addNote(c, 200, QDate(2024, 3, 10), 1);
    const int inv = runFor(t.db(), {c}).value(0);
    QVERIFY(inv > 0);

    TEngineQuery q(&t.db());
    q.addSql(
        QStringLiteral("select Gyo, NohinNo, NohinYMD, SyohinNM, Kingaku from SeikyuMesai where Key = :k "
                       "order by Gyo"));
    q.ParamByName(QStringLiteral("k")).setAsInteger(inv);
    q.Open();
    const auto no = [](int key) { return QStringLiteral("N-%1").arg(key, 4, 10, QLatin1Char('0')); };
    const QList<std::pair<QString, QString>> expected{{no(early), QStringLiteral("商品1")},
                                                      {no(late), QStringLiteral("商品1")},
                                                      {no(late), QStringLiteral("商品2")},
                                                      {no(sameDay), QStringLiteral("商品1")}};
    int gyo = 0;
    for (q.First(); !q.Eof(); q.Next(), ++gyo) {
        QCOMPARE(q.FieldByName(QStringLiteral("Gyo")).AsInteger(), gyo + 1);
        QCOMPARE(q.FieldByName(QStringLiteral("NohinNo")).AsString(), expected[gyo].first);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinNM")).AsString(), expected[gyo].second);
    }
    QCOMPARE(gyo, 4);
    q.First();
    QCOMPARE(q.FieldByName(QStringLiteral("NohinYMD")).AsDate(), QDate(2024, 3, 1));
}

void tst_InvoiceRun::defaultClosingDate_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("expected");
    QTest::addRow("month end") << 99 << QDate(2024, 3, 15) << QDate(2024, 2, 29);
    QTest::addRow("31 in a short month") << 31 << QDate(2024, 3, 15) << QDate(2024, 2, 29);
    QTest::addRow("on the day") << 20 << QDate(2024, 3, 20) << QDate(2024, 3, 20);
    QTest::addRow("30 before the day") << 30 << QDate(2024, 2, 10) << QDate(2024, 1, 30);
    QTest::addRow("into last year") << 25 << QDate(2024, 1, 10) << QDate(2023, 12, 25);
    // The last day of the month is itself the closing date of the month end and of days beyond it.
    QTest::addRow("month end on the last day") << 99 << QDate(2024, 3, 31) << QDate(2024, 3, 31);
    QTest::addRow("31 on the 30th of April") << 31 << QDate(2024, 4, 30) << QDate(2024, 4, 30);
    QTest::addRow("30 on the 29th of February") << 30 << QDate(2024, 2, 29) << QDate(2024, 2, 29);
    QTest::addRow("30 on the 28th of February") << 30 << QDate(2023, 2, 28) << QDate(2023, 2, 28);
    QTest::addRow("no day: 0") << 0 << QDate(2024, 3, 15) << QDate();
    QTest::addRow("no day: 50") << 50 << QDate(2024, 3, 15) << QDate();
}

void tst_InvoiceRun::defaultClosingDate()
{
    QFETCH(int, day);
    QFETCH(QDate, today);
    QFETCH(QDate, expected);
    QCOMPARE(ClosingDays::defaultClosingDate(day, today).value_or(QDate()), expected);
}

void tst_InvoiceRun::closingDaySelection()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    f.setCompanyDay(20);
    const int zero = f.addCustomer(QStringLiteral("会社の締日"), 0);
    const int twenty = f.addCustomer(QStringLiteral("二十日締め"), 20);
    const int ten = f.addCustomer(QStringLiteral("十日締め"), 10);
    const int monthEnd = f.addCustomer(QStringLiteral("月末締め"), 99);
    const ClosingDays::CompanyDays company = ClosingDays::readCompany(t.db());
    QCOMPARE(company.companyDay, 20);
    QCOMPARE(ClosingDays::customersForDay(t.db(), 20, 20), (QList<int>{zero, twenty}));
    QCOMPARE(ClosingDays::customersForDay(t.db(), 10, 20), QList<int>{ten});
    QCOMPARE(ClosingDays::customersForDay(t.db(), 99, 20), QList<int>{monthEnd});
    QCOMPARE(ClosingDays::customersForDay(t.db(), 99, 99), (QList<int>{zero, monthEnd}));
}

void tst_InvoiceRun::offeredDays()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    QCOMPARE(ClosingDays::readCompany(t.db()).companyDay, 99); // no own-company row
    for (int day : {15, 0, 20, 5, 20, 99})
        f.addCustomer(QStringLiteral("取引先%1").arg(day), day);
    QCOMPARE(ClosingDays::offered(t.db(), 20), (QList<int>{20, 5, 15, 20, 99}));
    QCOMPARE(ClosingDays::offered(t.db(), 99), (QList<int>{99, 5, 15, 20}));
    QCOMPARE(ClosingDays::caption(99), QStringLiteral("月末"));
    QCOMPARE(ClosingDays::fromCaption(QStringLiteral("月末")), std::optional<int>(99));
}

void tst_InvoiceRun::amountBeyond32BitsRefused()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int c = f.addCustomer(QStringLiteral("大口商事"), 0, 2147483000);
    const int note = f.addNote(c, 1000, QDate(2024, 3, 1));
    try {
        runFor(t.db(), {c});
        QFAIL("the run went through");
    } catch (const InvoiceRunError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("大口商事")), qPrintable(e.message()));
        QCOMPARE(e.customerKey(), c);
    }
    QCOMPARE(f.invoiceCount(), 0);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), note), 0);
    QCOMPARE(f.zenkai(c), 2147483000);
}

// A closing date before the customer's latest invoice would carry the newer balance into an older
// invoice: that customer is skipped with the latest date named, the others are billed; the same
// date stays allowed.
void tst_InvoiceRun::closingDateBeforeLatestInvoiceRefused()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int billed = f.addCustomer(QStringLiteral("請求済商店"), 0, 1000);
    const int fresh = f.addCustomer(QStringLiteral("新規商店"), 0, 0);
    f.addNote(billed, 500, QDate(2024, 3, 5));
    QCOMPARE(runFor(t.db(), {billed}).size(), 1);
    const int early = f.addNote(billed, 300, QDate(2024, 2, 10));
    f.addNote(fresh, 200, QDate(2024, 2, 10));

    InvoiceRun run(t.db());
    const QList<int> made = run.run({billed, fresh}, QDate(2024, 2, 20));
    QCOMPARE(made.size(), 1);
    QCOMPARE(f.invoiceValue(made.first(), QStringLiteral("TorihikisakiKey")), fresh);
    QCOMPARE(run.refused().size(), 1);
    QCOMPARE(run.refused().first().customerKey, billed);
    const QString said = refusalReport(run.refused());
    QVERIFY2(said.contains(QStringLiteral("請求済商店")) && said.contains(QStringLiteral("2024/03/20")),
             qPrintable(said));
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), early), 0);
    QCOMPARE(f.zenkai(billed), 1500);

    // The same closing date as the latest invoice: billed.
    QCOMPARE(run.run({billed}, kClosing).size(), 1);
    QVERIFY(run.refused().isEmpty());
    QVERIFY(f.seikyuKeyOf(QStringLiteral("Nohin"), early) != 0);
    QCOMPARE(f.invariantViolations({{billed, 1000}, {fresh, 0}}), QString());
}

void tst_InvoiceRun::failureRollsBackThatCustomerOnly()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    QList<int> customers;
    QHash<int, int> opening;
    for (int i = 1; i <= 5; ++i) {
        const int c = f.addCustomer(QStringLiteral("取引先%1").arg(i), 0, i * 1000);
        f.addNote(c, i * 100, QDate(2024, 3, 1), 2);
        f.addPayment(c, i * 10, QDate(2024, 3, 2));
        customers << c;
        opening[c] = i * 1000;
    }
    f.failCarryOverOf(customers[2]);
    int reported = 0;
    InvoiceRun run(t.db());
    run.setProgress([&](int done, int) { reported = done; });
    try {
        run.run(customers, kClosing);
        QFAIL("the run went through");
    } catch (const InvoiceRunError &e) {
        QCOMPARE(e.customerKey(), customers[2]);
        QVERIFY2(e.message().contains(QStringLiteral("injected failure")), qPrintable(e.message()));
    }
    QCOMPARE(reported, 2);
    QCOMPARE(f.invoiceCount(), 2);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from Seikyu where TorihikisakiKey in (%1, %2)")
                          .arg(customers[0])
                          .arg(customers[1]))
                 .toInt(),
             2);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai")).toInt(), 4);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from Nohin where SeikyuKey <> 0")).toInt(), 2);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from Nyukin where SeikyuKey <> 0")).toInt(), 2);
    QCOMPARE(f.invariantViolations(opening), QString());

    // The connection is usable afterwards, and the run continues where it stopped.
    f.stopFailing();
    QCOMPARE(runFor(t.db(), customers).size(), 3);
    QCOMPARE(f.invariantViolations(opening), QString());
}

void tst_InvoiceRun::twoComputersAtOnce()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    QList<int> customers;
    QHash<int, int> opening;
    for (int i = 1; i <= 12; ++i) {
        const int c = f.addCustomer(QStringLiteral("取引先%1").arg(i), 0, 500);
        for (int n = 0; n < 3; ++n)
            f.addNote(c, 100 * (n + 1), QDate(2024, 3, 1 + n), 2);
        f.addPayment(c, 50, QDate(2024, 3, 4));
        customers << c;
        opening[c] = 500;
    }
    QString otherError;
    QList<int> otherMade;
    std::unique_ptr<QThread> other(QThread::create([&] {
        try {
            TEngineSession session;
            TEngineDatabase db(&session, QStringLiteral("OtherComputer"));
            t.configure(session, db);
            QStringList order;
            for (const Schema::Table &table : Schema::tables())
                order << QLatin1String(table.name);
            db.setLockOrder(order);
            db.Open();
            otherMade = runFor(db, customers);
        } catch (const AppError &e) {
            otherError = e.message();
        }
    }));
    other->start();
    const QList<int> made = runFor(t.db(), customers);
    other->wait();
    QCOMPARE(otherError, QString());
    QCOMPARE(made.size() + otherMade.size(), customers.size());
    QCOMPARE(f.invoiceCount(), customers.size());
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai")).toInt(), customers.size() * 6);
    QCOMPARE(t.scalar(QStringLiteral("select count(distinct Seq) from Seikyu")).toInt(), customers.size());
    QCOMPARE(f.invariantViolations(opening), QString());
}

// Another computer deletes a delivery note (under the notes' lock, as a deletion does) while the run
// starts: the run waits for it and bills what is left, the invoice matching its marked notes.
void tst_InvoiceRun::waitsForADeletionAtAnotherComputer()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int c = f.addCustomer(QStringLiteral("削除待ち商店"), 0, 0);
    f.addNote(c, 100, QDate(2024, 3, 1), 2);
    const int gone = f.addNote(c, 200, QDate(2024, 3, 2), 2);
    OtherComputer other(t);
    other.writeAndHold([gone](TEngineDatabase &db) {
        db.LockForNumbering(QStringLiteral("Nohin"));
        TEngineQuery q(&db);
        q.addSql(QStringLiteral("delete from NohinMesai where Key = %1; delete from Nohin where key = %1")
                     .arg(gone));
        q.ExecSQL();
    });
    const QList<int> made = runFor(t.db(), {c});
    QCOMPARE(other.finish(), QString());
    QCOMPARE(made.size(), 1);
    QCOMPARE(f.invoiceValue(made.first(), QStringLiteral("Hanbaigaku")), 100);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai")).toInt(), 2);
    QCOMPARE(f.invariantViolations({{c, 0}}), QString());
}

// The batch of one closing date: ascending Seq whatever the customer, the settled ones (a payment and
// an amount of 0) skipped only when asked, other dates left out.
void tst_InvoiceRun::batchSelection()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    QCOMPARE(InvoiceBatch::defaultClosingDate(t.db(), QDate(2024, 3, 25)), QDate(2024, 3, 25));
    const int c = f.addCustomer(QStringLiteral("一括商店"));
    const auto add = [&](int seq, int nyukin, int seikyu, const QDate &simebi) {
        FixtureInvoice inv;
        inv.simebi = simebi;
        inv.nyukin = nyukin;
        inv.seikyu = seikyu;
        const int key = f.docs().addInvoice(c, inv, {});
        t.exec(QStringLiteral("update Seikyu set Seq = %1 where key = %2").arg(seq).arg(key));
        return key;
    };
    const int settled = add(1, 5000, 0, kClosing);
    const int nothingPaid = add(3, 0, 0, kClosing);
    const int partly = add(2, 5000, 1000, kClosing);
    add(4, 0, 100, kClosing.addDays(-20));
    QCOMPARE(InvoiceBatch::defaultClosingDate(t.db(), QDate(2024, 3, 25)), kClosing);

    const auto keys = [&](bool skipSettled) {
        TEngineQuery q(&t.db());
        InvoiceBatch::select(q, kClosing, skipSettled);
        q.Open();
        QList<int> list;
        for (q.First(); !q.Eof(); q.Next())
            list << q.FieldByName(QStringLiteral("key")).AsInteger();
        return list;
    };
    QCOMPARE(keys(true), (QList<int>{partly, nothingPaid}));
    QCOMPARE(keys(false), (QList<int>{settled, partly, nothingPaid}));
}

// Only the latest invoice of a customer goes; each deletion gives its notes and payments back and
// restores the previous invoice amount, so that the same documents can be billed again.
void tst_InvoiceRun::deletionLatestFirst()
{
    TestDatabase t;
    KADOMEL_REQUIRE_DB(t);
    BillingFixture f(t);
    const int c = f.addCustomer(QStringLiteral("削除商店"), 0, 1000);
    const int other = f.addCustomer(QStringLiteral("別の商店"), 0, 0);
    const int n1 = f.addNote(c, 500, QDate(2024, 2, 10), 2);
    const int p1 = f.addPayment(c, 1000, QDate(2024, 2, 11));
    const int n2 = f.addNote(c, 700, QDate(2024, 3, 10), 2);
    f.addNote(other, 100, QDate(2024, 3, 10));
    const int older = runFor(t.db(), {c}, QDate(2024, 2, 20)).value(0);
    const int latest = runFor(t.db(), {c, other}, kClosing).value(0);
    QCOMPARE(f.zenkai(c), 1200);

    const InvoiceDeletion::Result refused = InvoiceDeletion::remove(t.db(), older);
    QVERIFY(!refused.deleted);
    QCOMPARE(refused.refusal,
             QStringLiteral("削除商店の最後の請求ではありません\r\n最後の請求から削除してください"));
    QCOMPARE(f.invoiceCount(), 3);

    QVERIFY(InvoiceDeletion::remove(t.db(), latest).deleted);
    QCOMPARE(f.zenkai(c), 500);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), n2), 0);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), n1), older);
    QCOMPARE(t.scalar(QStringLiteral("select count(*) from SeikyuMesai where Key = %1").arg(latest)).toInt(),
             0);
    QVERIFY(InvoiceDeletion::remove(t.db(), older).deleted);
    QCOMPARE(f.zenkai(c), 1000);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nohin"), n1), 0);
    QCOMPARE(f.seikyuKeyOf(QStringLiteral("Nyukin"), p1), 0);
    QCOMPARE(f.invoiceCount(), 1); // the other customer's
    QCOMPARE(f.invariantViolations({{c, 1000}, {other, 0}}), QString());

    // Billed again from the same documents, to the same amount.
    const int again = runFor(t.db(), {c}, kClosing).value(0);
    QCOMPARE(f.invoiceValue(again, QStringLiteral("Seikyugaku")), 1200);
    // An invoice deleted meanwhile at another computer: a message, nothing changed.
    QVERIFY_THROWS_EXCEPTION(EngineError, InvoiceDeletion::remove(t.db(), latest + 100));
}

QTEST_GUILESS_MAIN(tst_InvoiceRun)
#include "tst_invoicerun.moc"
