// Payments: storing and reading them, their receipt numbers, the refusals, and two computers at once,
// on both engines.
#include "billing/PaymentStore.h"
#include "common/Clock.h"
#include "data/Engine.h"
#include "InvoiceChangedMeanwhile.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QSqlQuery>
#include <QTest>

using Numbering::SaibanSettei;
Q_DECLARE_METATYPE(Numbering::SaibanSettei)

class TestPaymentStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    const QDateTime m_now{QDate(2024, 4, 1), QTime(9, 30)};

    TEngineDatabase &db() { return t->db(); }
    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    int addCustomer(const QString &name, int zenkai = 0)
    {
        const int key = count(QStringLiteral("select coalesce(max(key), 0) from Torihikisaki")) + 1;
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM, ZenkaiSeikyuGaku) "
                               "values (%1, '%2', %3)")
                    .arg(key)
                    .arg(name)
                    .arg(zenkai));
        return key;
    }

    static PaymentRecord payment(int customer, const QDate &date, int amount = 10000)
    {
        PaymentRecord p;
        p.TorihikisakiKey = customer;
        p.NyukinYMD = date;
        p.Nyukingaku = amount;
        p.NyukinHouhou = PaymentStore::kCash;
        p.Tadasigaki = QStringLiteral("お品代として");
        return p;
    }

    static SaibanSettei monthly()
    {
        return {Numbering::kTukiRenban, QStringLiteral("年月（年２桁）"), "-", {}};
    }

    static QString failureOf(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const AppError &e) {
            return e.message();
        }
        return {};
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(m_now);
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    // A new payment is numbered by the receipt settings; the typed number counts only under "手入力".
    void newPaymentIsNumbered_data()
    {
        QTest::addColumn<SaibanSettei>("settings");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("seq");
        // One payment of March 2006 and one of April are stored before; the methods without a period
        // count on from the highest running number of all.
        QTest::newRow("typed") << SaibanSettei{} << "R-77"
                               << "R-77" << 2;
        QTest::newRow("plain sequence: the key") << SaibanSettei{Numbering::kRenban, {}, {}, {}} << "R-77"
                                                 << "3" << 2;
        QTest::newRow("per month") << monthly() << "R-77"
                                   << "0604-2" << 2;
        QTest::newRow("per fiscal year")
            << SaibanSettei{Numbering::kNenRenban, QStringLiteral("年４桁"), {}, {}} << ""
            << "20062" << 2;
    }
    void newPaymentIsNumbered()
    {
        QFETCH(SaibanSettei, settings);
        QFETCH(QString, typed);
        const int customer = addCustomer(QStringLiteral("山田商事"));
        PaymentStore::save(db(), payment(customer, QDate(2006, 3, 31)), monthly(), 4);
        PaymentStore::save(db(), payment(customer, QDate(2006, 4, 2)), monthly(), 4);
        PaymentRecord p = payment(customer, QDate(2006, 4, 9), 123000);
        p.RyosyuNo = typed;
        p.SeikyuKey = 9; // a new payment is always unbilled
        const int key = PaymentStore::save(db(), p, settings, 4);
        QCOMPARE(key, 3);
        const auto stored = PaymentStore::load(db(), key);
        QVERIFY(stored);
        QTEST(stored->RyosyuNo, "number");
        QTEST(stored->Seq, "seq");
        QCOMPARE(stored->NyukinYMD, QDate(2006, 4, 9));
        QCOMPARE(stored->NyukinY, 2006);
        QCOMPARE(stored->NyukinM, 4);
        QCOMPARE(stored->TorihikisakiKey, customer);
        QCOMPARE(stored->Nyukingaku, 123000);
        QCOMPARE(stored->NyukinHouhou, QStringLiteral("現金"));
        QCOMPARE(stored->Tadasigaki, QStringLiteral("お品代として"));
        QCOMPARE(stored->SeikyuKey, 0);
        QCOMPARE(stored->TorokuYMD, m_now);
        QCOMPARE(stored->KosinYMD, kZeroDateTime);
        QVERIFY(!db().InTransaction());
    }

    // A change keeps the running number, year, month and the invoice that counted the payment; the
    // receipt number changes only when the user types it.
    void changeKeepsNumberingAndInvoice_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("storedNumber");
        QTest::newRow("typed number is stored") << Numbering::kTenyuryoku << "R-2";
        QTest::newRow("composed number stays") << Numbering::kTukiRenban << "0604-1";
    }
    void changeKeepsNumberingAndInvoice()
    {
        QFETCH(QString, method);
        const int yamada = addCustomer(QStringLiteral("山田商事"));
        const int suzuki = addCustomer(QStringLiteral("鈴木工業"));
        const int key = PaymentStore::save(db(), payment(yamada, QDate(2006, 4, 9)), monthly(), 4);
        t->exec(QStringLiteral("update Nyukin set SeikyuKey = 7 where key = %1").arg(key));
        const QDateTime later = m_now.addDays(3);
        Clock::setFixed(later);
        PaymentRecord changed = *PaymentStore::load(db(), key);
        changed.TorihikisakiKey = suzuki;
        changed.NyukinYMD = QDate(2006, 5, 20);
        changed.Nyukingaku = 5000;
        changed.NyukinHouhou = QStringLiteral("みずほ銀行");
        changed.Tadasigaki = QString();
        changed.RyosyuNo = QStringLiteral("R-2");
        QCOMPARE(PaymentStore::save(db(), changed, {method, "-", {}, {}}, 4), key);
        const auto stored = PaymentStore::load(db(), key);
        QTEST(stored->RyosyuNo, "storedNumber");
        QCOMPARE(stored->TorihikisakiKey, suzuki);
        QCOMPARE(stored->NyukinYMD, QDate(2006, 5, 20));
        QCOMPARE(stored->Nyukingaku, 5000);
        QCOMPARE(stored->NyukinHouhou, QStringLiteral("みずほ銀行"));
        QCOMPARE(stored->Tadasigaki, QString());
        QCOMPARE(stored->NyukinY, 2006);
        QCOMPARE(stored->NyukinM, 4);
        QCOMPARE(stored->Seq, 1);
        QCOMPARE(stored->SeikyuKey, 7);
        QCOMPARE(stored->TorokuYMD, m_now);
        QCOMPARE(stored->KosinYMD, later);
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin")), 1);
    }

    // Each refusal says why and stores nothing, neither a new payment nor a change.
    void refusedSavesStoreNothing_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("customer"); // 1 exists
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message"); // its beginning
        QTest::newRow("no customer") << false << 0 << "現金"
                                     << ""
                                     << "取引先が選択されていません";
        QTest::newRow("no customer, change") << true << 0 << "現金"
                                             << ""
                                             << "取引先が選択されていません";
        QTest::newRow("customer gone") << false << 5 << "現金"
                                       << ""
                                       << "取引先（Key 5）が見つかりません";
        QTest::newRow("method too long") << false << 1 << QString(11, QChar(u'振')) << ""
                                         << "支払方法は20バイト";
        QTest::newRow("typed number too long, change")
            << true << 1 << "現金" << QString(21, QChar(u'9')) << "領収書№は20バイト";
    }
    void refusedSavesStoreNothing()
    {
        QFETCH(bool, existing);
        QFETCH(int, customer);
        QFETCH(QString, method);
        QFETCH(QString, number);
        QFETCH(QString, message);
        addCustomer(QStringLiteral("山田商事"));
        PaymentRecord p = payment(1, QDate(2006, 4, 9));
        if (existing)
            p.key = PaymentStore::save(db(), p, SaibanSettei{}, 4);
        p.TorihikisakiKey = customer;
        p.NyukinHouhou = method;
        p.RyosyuNo = number;
        p.Nyukingaku = 777;
        const QString error = failureOf([&] { PaymentStore::save(db(), p, SaibanSettei{}, 4); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin")), existing ? 1 : 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin where Nyukingaku = 777")), 0);
    }

    void amountFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("amount");
        QTest::addColumn<QString>("message"); // its beginning; empty when the text is an amount
        QTest::newRow("amount") << "123000" << 123000 << "";
        QTest::newRow("largest") << "2147483647" << 2147483647 << "";
        QTest::newRow("blanks around") << " 5 " << 5 << "";
        QTest::newRow("one yen too many") << "2147483648" << 0 << "入金額が大きすぎます。2,147,483,647円まで";
        QTest::newRow("far too many digits") << QString(30, QChar(u'9')) << 0 << "入金額が大きすぎます";
        QTest::newRow("empty") << "" << 0 << "入金額に整数を入力してください";
        QTest::newRow("not a number") << "12a" << 0 << "入金額に整数を入力してください";
    }
    void amountFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, amount);
        QFETCH(QString, message);
        int got = 0;
        const QString error = failureOf([&] { got = PaymentStore::amountFromText(text); });
        QVERIFY2(message.isEmpty() ? error.isEmpty() : error.startsWith(message), qPrintable(error));
        QCOMPARE(got, amount);
    }

    // "現金", the bank names that are not empty, "小切手", "手形"; without an own-company row, the three.
    void paymentMethods()
    {
        QCOMPARE(PaymentStore::paymentMethods(db()),
                 QStringList({QStringLiteral("現金"), QStringLiteral("小切手"), QStringLiteral("手形")}));
        t->exec(QStringLiteral("insert into JisyaJyoho (key, KinyuKikan1, Tenpo1, KinyuKikan2, Kinyukikan3) "
                               "values (0, '', '本店', 'みずほ銀行', 'ゆうちょ銀行')"));
        QCOMPARE(
            PaymentStore::paymentMethods(db()),
            QStringList({QStringLiteral("現金"), QStringLiteral("みずほ銀行"), QStringLiteral("ゆうちょ銀行"),
                         QStringLiteral("小切手"), QStringLiteral("手形")}));
        t->exec(QStringLiteral("update JisyaJyoho set KinyuKikan1 = '三井住友銀行'"));
        QCOMPARE(PaymentStore::paymentMethods(db()).size(), 6);
    }

    void customerAsShown()
    {
        const int key = addCustomer(QStringLiteral("山田商事"), 1234567);
        const auto c = PaymentStore::customer(db(), key);
        QVERIFY(c);
        QCOMPARE(c->TorihikisakiNM, QStringLiteral("山田商事"));
        QCOMPARE(c->ZenkaiSeikyuGaku, 1234567);
        QCOMPARE(c->shownAmount(), QStringLiteral("1,234,567"));
        QCOMPARE(PaymentCustomer{}.shownAmount(), QStringLiteral("0"));
        QVERIFY(!PaymentStore::customer(db(), key + 1));
    }

    // Two computers storing payments of one month at once: the second waits for the first and draws
    // the next key and receipt number.
    void twoComputersDrawDifferentNumbers()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        int theirs = 0;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) {
            theirs = PaymentStore::save(otherDb, payment(customer, QDate(2006, 4, 1)), monthly(), 4);
        });
        const int mine = PaymentStore::save(db(), payment(customer, QDate(2006, 4, 2)), monthly(), 4);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(theirs, 1);
        QCOMPARE(mine, 2);
        QCOMPARE(PaymentStore::load(db(), theirs)->RyosyuNo, QStringLiteral("0604-1"));
        QCOMPARE(PaymentStore::load(db(), mine)->RyosyuNo, QStringLiteral("0604-2"));
    }

    // The row is refused after the number was taken: nothing stays, and the next save draws the
    // same key and number as if the failed one had never been.
    void failureInsideTheSaveLeavesNothing()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        // Straight through the connection: the trigger bodies hold semicolons.
        QSqlQuery sql(db().connection());
        if (t->isPostgres()) {
            QVERIFY(sql.exec(
                QStringLiteral("create or replace function refuse_payment() returns trigger language plpgsql "
                               "as $$ begin raise exception 'injected failure'; end $$")));
            QVERIFY(sql.exec(QStringLiteral("create trigger refuse after insert on Nyukin "
                                            "for each row execute function refuse_payment()")));
        } else {
            QVERIFY(sql.exec(QStringLiteral("create trigger refuse after insert on Nyukin "
                                            "begin select raise(abort, 'injected failure'); end")));
        }
        QVERIFY_THROWS_EXCEPTION(
            EngineError, PaymentStore::save(db(), payment(customer, QDate(2006, 4, 9)), monthly(), 4));
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin")), 0);
        t->exec(QStringLiteral("drop trigger refuse%1").arg(t->isPostgres() ? " on Nyukin" : ""));
        QCOMPARE(PaymentStore::save(db(), payment(customer, QDate(2006, 4, 9)), monthly(), 4), 1);
        QCOMPARE(PaymentStore::load(db(), 1)->RyosyuNo, QStringLiteral("0604-1"));
    }

    // A change of the amount, customer or date of a billed payment is one its invoice does not follow.
    void billedChangeIsAskedFor()
    {
        PaymentRecord opened = payment(1, QDate(2006, 4, 9));
        opened.SeikyuKey = 7;
        PaymentRecord edited = opened;
        edited.Tadasigaki = QStringLiteral("内金");
        QVERIFY(!PaymentStore::changesBilled(opened, edited));
        for (const auto &change : std::initializer_list<std::function<void(PaymentRecord &)>>{
                 [](PaymentRecord &p) { p.Nyukingaku += 1; }, [](PaymentRecord &p) { p.TorihikisakiKey = 2; },
                 [](PaymentRecord &p) { p.NyukinYMD = p.NyukinYMD.addDays(1); }}) {
            edited = opened;
            change(edited);
            QVERIFY(PaymentStore::changesBilled(opened, edited));
            opened.SeikyuKey = 0;
            QVERIFY(!PaymentStore::changesBilled(opened, edited));
            opened.SeikyuKey = 7;
        }
    }

    // An invoice run (or an invoice deletion) at another computer changes the payment's invoice after
    // the window read it, while this save waits: the save stores nothing and says so.
    void invoiceChangedMeanwhileRefused_data() { invoiceChangedMeanwhileRows(); }
    void invoiceChangedMeanwhileRefused()
    {
        QFETCH(int, openedKey);
        QFETCH(int, otherKey);
        QFETCH(QString, message);
        const int yamada = addCustomer(QStringLiteral("山田商事"));
        const int key = PaymentStore::save(db(), payment(yamada, QDate(2006, 4, 9)), monthly(), 4);
        t->exec(QStringLiteral("update Nyukin set SeikyuKey = %1 where key = %2").arg(openedKey).arg(key));
        PaymentRecord p = *PaymentStore::load(db(), key);
        p.Nyukingaku = 777;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) {
            // An invoice run marks payments under the customers' lock, as a payment save takes it.
            otherDb.LockForNumbering(QStringLiteral("Torihikisaki"));
            TEngineQuery q(&otherDb);
            q.addSql(
                QStringLiteral("update Nyukin set SeikyuKey = %1 where key = %2").arg(otherKey).arg(key));
            q.ExecSQL();
        });
        const QString error = failureOf([&] { PaymentStore::save(db(), p, monthly(), 4); });
        QCOMPARE(other.finish(), QString());
        QVERIFY2(error.contains(message) && error.contains(QStringLiteral("保存していません")),
                 qPrintable(error));
        QVERIFY(!db().InTransaction());
        QCOMPARE(PaymentStore::load(db(), key)->SeikyuKey, otherKey);
        QCOMPARE(PaymentStore::load(db(), key)->Nyukingaku, 10000);
    }

    // Another computer deletes the payment, or its customer, while this one saves a change: the save
    // waits for the delete, then says what is gone and stores nothing.
    void deletedAtAnotherComputer_data()
    {
        QTest::addColumn<QString>("deletion");
        QTest::addColumn<QString>("message"); // its beginning
        QTest::newRow("payment") << "delete from Nyukin where key = 1"
                                 << "入金（Key 1）が見つかりません";
        QTest::newRow("customer") << "delete from Torihikisaki where key = 2"
                                  << "取引先（Key 2）が見つかりません";
    }
    void deletedAtAnotherComputer()
    {
        QFETCH(QString, deletion);
        QFETCH(QString, message);
        const int yamada = addCustomer(QStringLiteral("山田商事"));
        const int suzuki = addCustomer(QStringLiteral("鈴木工業"));
        PaymentRecord p = payment(yamada, QDate(2006, 4, 9));
        p.key = PaymentStore::save(db(), p, monthly(), 4);
        p.TorihikisakiKey = suzuki;
        p.Nyukingaku = 777;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) {
            // The customer master deletes under the customers' lock, as a payment save takes it.
            otherDb.LockForNumbering(QStringLiteral("Torihikisaki"));
            TEngineQuery q(&otherDb);
            q.addSql(deletion);
            q.ExecSQL();
        });
        const QString error = failureOf([&] { PaymentStore::save(db(), p, monthly(), 4); });
        QCOMPARE(other.finish(), QString());
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin where Nyukingaku = 777")), 0);
    }
};

QTEST_GUILESS_MAIN(TestPaymentStore)
#include "tst_paymentstore.moc"
