// Estimates and delivery notes without their windows: the line rules, and reading and saving on both
// engines, with a second computer saving at the same moment and a failure in the middle of a save.
#include "common/Clock.h"
#include "data/Engine.h"
#include "documents/DocumentStore.h"
#include "InvoiceChangedMeanwhile.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QTest>

using Kind = Numbering::Kind;

namespace {

DocumentLine line(int gyo, const QString &name, std::optional<double> quantity, std::optional<double> price,
                  std::optional<qint64> amount)
{
    DocumentLine l;
    l.Gyo = gyo;
    l.SyohinNM = name;
    l.Suryo = quantity;
    l.Tani = QStringLiteral("個");
    l.Tanka = price;
    l.Kingaku = amount;
    return l;
}

DocumentStore::SaveOptions options(const QString &method = Numbering::kTenyuryoku, const QString &f1 = {},
                                   const QString &f2 = {})
{
    DocumentStore::SaveOptions o;
    o.settings = {method, f1, f2, {}};
    o.newCustomer.TorihikisakiNM = QStringLiteral("新規商事"); // registered when a document names none
    return o;
}

} // namespace

class TestDocumentStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    TEngineDatabase &db() { return t->db(); }
    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    int addCustomer(const QString &name)
    {
        CustomerRecord c;
        c.TorihikisakiNM = name;
        return CustomerStore::insert(db(), c);
    }

    DocumentRecord document(int customer, const QDate &date = QDate(2024, 4, 9))
    {
        DocumentRecord d;
        d.Hiduke = date;
        d.TorihikisakiKey = customer;
        d.Title = QStringLiteral("事務机の件");
        d.UkewatasiBasyo = QStringLiteral("貴社指定場所");
        d.JisyaTanto = QStringLiteral("田中");
        d.lines = {line(1, QStringLiteral("事務机"), 2, 15000, 30000)};
        return d;
    }

    SavedDocument save(Kind kind, const DocumentRecord &d, const DocumentStore::SaveOptions &o = options())
    {
        return DocumentStore::save(db(), kind, d, o);
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(QDateTime(QDate(2024, 4, 10), QTime(9, 0)));
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    void lineAmounts_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<qint64>("amount"); // -1 for none
        QTest::addRow("3 x 33.3 cut") << "3"
                                      << "33.3" << qint64(99);
        QTest::addRow("toward zero") << "-1"
                                     << "2.5" << qint64(-2);
        QTest::addRow("binary 0.29") << "0.29"
                                     << "100" << qint64(28);
        QTest::addRow("beyond 32 bits") << "100000"
                                        << "100000" << qint64(10000000000);
        QTest::addRow("empty quantity") << ""
                                        << "100" << qint64(-1);
        QTest::addRow("no number") << "1.2.3"
                                   << "100" << qint64(-1);
    }
    void lineAmounts()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(qint64, amount);
        QCOMPARE(DocumentLines::lineAmount(quantity, price).value_or(-1), amount);
    }

    void totalCountsWholeAmountsOnly()
    {
        const QList<QString> cells{QStringLiteral("1000000"),
                                   QStringLiteral("234567"),
                                   QStringLiteral("1.5"),
                                   QStringLiteral("--3"),
                                   QString(),
                                   QStringLiteral("-")};
        QCOMPARE(DocumentLines::total(cells), qint64(1234567));
        QCOMPARE(DocumentLines::totalText(1234567), QStringLiteral("合計：1,234,567"));
        QCOMPARE(DocumentLines::totalText(0), QStringLiteral("合計：0"));
        const auto stored = DocumentLines::fromCells(
            4, {QStringLiteral("A"), QStringLiteral("x"), {}, QStringLiteral("2.5"), QStringLiteral("1.5")});
        QVERIFY(stored && !stored->Suryo && stored->Tanka == 2.5 && !stored->Kingaku);
        QVERIFY(!DocumentLines::fromCells(5, {}));
    }

    // Lines keep their grid rows, NULLs stay NULL, and a new estimate without a customer registers
    // an empty one that the estimate points to.
    void roundTripRegistersNewCustomer()
    {
        DocumentRecord d = document(0);
        d.lines = {line(2, QStringLiteral("椅子"), 1.5, std::nullopt, 700),
                   line(5, QString(), std::nullopt, 3, {})};
        DocumentStore::SaveOptions o = options(Numbering::kRenban);
        o.newCustomer.TorihikisakiNM = QStringLiteral("山田商事");
        const SavedDocument s = save(Kind::Mitumori, d, o);
        QCOMPARE(s.key, 1);
        QCOMPARE(s.number, QStringLiteral("1"));
        QCOMPARE(s.TorihikisakiKey, 1);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki where TorihikisakiCD = 0 "
                                      "and TorihikisakiNM = '山田商事'")),
                 1);
        const auto back = DocumentStore::load(db(), Kind::Mitumori, s.key);
        QVERIFY(back);
        QCOMPARE(back->TorihikisakiKey, 1);
        QCOMPARE(back->Title, d.Title);
        QCOMPARE(back->Hiduke, d.Hiduke);
        QCOMPARE(back->Kingaku, qint64(700));
        QCOMPARE(back->lines.size(), 2);
        QCOMPARE(back->lines[0].Gyo, 2);
        QCOMPARE(back->lines[0].Suryo, std::optional<double>(1.5));
        QVERIFY(!back->lines[0].Tanka);
        QCOMPARE(back->lines[1].Gyo, 5);
        QVERIFY(!back->lines[1].Kingaku);
        QCOMPARE(DocumentLines::toCells(back->lines[0])[1], QStringLiteral("1.5"));
    }

    // With the tax option the lines keep their rates (10 for a line without one) and the header the
    // sums per rate, the tax rounded once per rate; without it every tax column stays NULL.
    void taxSumsStoredWithTheOptionOnly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("enabled");
        QTest::addRow("estimate, option on") << int(Kind::Mitumori) << true;
        QTest::addRow("delivery note, option on") << int(Kind::Nohin) << true;
        QTest::addRow("estimate, option off") << int(Kind::Mitumori) << false;
        QTest::addRow("delivery note, option off") << int(Kind::Nohin) << false;
    }
    void taxSumsStoredWithTheOptionOnly()
    {
        QFETCH(int, kind);
        QFETCH(bool, enabled);
        const Kind k = Kind(kind);
        const QString header = k == Kind::Mitumori ? QStringLiteral("Mitumori") : QStringLiteral("Nohin");
        DocumentRecord d = document(addCustomer(QStringLiteral("山田商事")));
        d.lines = {line(1, QStringLiteral("文具"), 3, 335, 1005),
                   line(2, QStringLiteral("お茶"), 2, 1234, 2468),
                   line(3, QStringLiteral("切手"), 1, 500, 500)};
        d.lines[1].ZeiRitu = 8;
        d.lines[2].ZeiRitu = 0;
        DocumentStore::SaveOptions o = options();
        o.tax = {enabled, QStringLiteral("T8000012010038"), false, ConsumptionTax::Rounding::Down};
        const SavedDocument s = save(k, d, o);
        const auto back = DocumentStore::load(db(), k, s.key);
        QVERIFY(back);
        QCOMPARE(back->Kingaku, qint64(3973)); // the lines' sum, as without the option
        if (!enabled) {
            QVERIFY(!back->taxSums);
            QVERIFY(!back->lines[0].ZeiRitu);
            QCOMPARE(count(QStringLiteral("select count(*) from %1 where Taisyo10 is null and Zei10 is null "
                                          "and Taisyo8 is null and Zei8 is null and Hikazei is null")
                               .arg(header)),
                     1);
            return;
        }
        QVERIFY(back->taxSums);
        QCOMPARE(back->taxSums->Taisyo10, 1005);
        QCOMPARE(back->taxSums->Zei10, 100);
        QCOMPARE(back->taxSums->Taisyo8, 2468);
        QCOMPARE(back->taxSums->Zei8, 197);
        QCOMPARE(back->taxSums->Hikazei, 500);
        QCOMPARE(back->lines[0].ZeiRitu, std::optional<int>(10));
        QCOMPARE(back->lines[1].ZeiRitu, std::optional<int>(8));
        QCOMPARE(back->lines[2].ZeiRitu, std::optional<int>(0));
    }

    void existingEstimateKeepsKeyAndNumber()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        save(Kind::Mitumori, document(customer),
             options(Numbering::kTukiRenban, QStringLiteral("年月（年４桁）"), QStringLiteral("-")));
        DocumentRecord d = document(customer, QDate(2024, 5, 1));
        const SavedDocument first =
            save(Kind::Mitumori, d,
                 options(Numbering::kTukiRenban, QStringLiteral("年月（年４桁）"), QStringLiteral("-")));
        QCOMPARE(first.number, QStringLiteral("202405-1"));
        d.key = first.key;
        d.number = first.number;
        d.lines = {line(3, QStringLiteral("書庫"), 1, 50000, 50000)};
        const SavedDocument again =
            save(Kind::Mitumori, d,
                 options(Numbering::kTukiRenban, QStringLiteral("年月（年４桁）"), QStringLiteral("-")));
        QCOMPARE(again.key, first.key);
        QCOMPARE(again.number, first.number);
        QCOMPARE(count(QStringLiteral("select count(*) from MitumoriMesai where key = %1").arg(first.key)),
                 1);
        QCOMPARE(count(QStringLiteral("select Kingaku from Mitumori where key = %1").arg(first.key)), 50000);
        QCOMPARE(count(QStringLiteral("select count(*) from Mitumori")), 2);
    }

    void noteFromEstimateLeavesEstimateAlone()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        DocumentRecord e = document(customer);
        e.lines.append(line(4, QStringLiteral("椅子"), 4, 5000, 20000));
        const SavedDocument estimate = save(Kind::Mitumori, e);
        const auto note = DocumentStore::noteFromEstimate(db(), estimate.key, Clock::today());
        QVERIFY(note);
        QCOMPARE(note->key, 0);
        QVERIFY(note->number.isEmpty());
        QCOMPARE(note->Hiduke, Clock::today());
        QCOMPARE(note->TorihikisakiKey, customer);
        QCOMPARE(note->UkewatasiBasyo, e.UkewatasiBasyo);
        QCOMPARE(note->JisyaTanto, e.JisyaTanto);
        QCOMPARE(note->Kingaku, qint64(50000));
        QCOMPARE(note->lines.size(), 2);
        QCOMPARE(note->lines[1].Gyo, 4);
        const SavedDocument saved = save(Kind::Nohin, *note, options(Numbering::kRenban));
        QCOMPARE(saved.key, 1);
        QCOMPARE(count(QStringLiteral("select count(*) from NohinMesai where key = 1")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from MitumoriMesai where key = %1").arg(estimate.key)),
                 2);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 1);
        QVERIFY(!DocumentStore::noteFromEstimate(db(), 99, Clock::today()));
    }

    // A delivery note is numbered on every save: moved to another day, it takes that day's next
    // running number and a number made from its new date.
    void noteNumberedAnewOnChangedDate()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        const auto daily =
            options(Numbering::kNitiRenban, QStringLiteral("年月日（年２桁）"), QStringLiteral("-"));
        DocumentRecord first = document(customer, QDate(2024, 4, 9));
        first.number = QStringLiteral("typed");
        const SavedDocument a = save(Kind::Nohin, first, daily);
        save(Kind::Nohin, document(customer, QDate(2024, 4, 9)), daily);
        save(Kind::Nohin, document(customer, QDate(2024, 4, 12)), daily);
        QCOMPARE(a.number, QStringLiteral("240409-1"));
        first.key = a.key;
        first.number = a.number;
        first.Hiduke = QDate(2024, 4, 12);
        const SavedDocument moved = save(Kind::Nohin, first, daily);
        QCOMPARE(moved.key, a.key);
        QCOMPARE(moved.Seq, 2);
        QCOMPARE(moved.number, QStringLiteral("240412-2"));
        // Under "手入力" the typed number is stored as it stands.
        first.number = QStringLiteral("N-77");
        QCOMPARE(save(Kind::Nohin, first).number, QStringLiteral("N-77"));
        // Under "連番" the number becomes the bare key, whatever was typed before.
        first.number = QStringLiteral("N-77");
        QCOMPARE(save(Kind::Nohin, first, options(Numbering::kRenban, QStringLiteral("年４桁"))).number,
                 QString::number(a.key));
    }

    // Two computers save a delivery note of the same month at the same moment: the second waits for
    // the first and draws the next number.
    void twoComputersDrawDifferentNumbers()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        const auto monthly =
            options(Numbering::kTukiRenban, QStringLiteral("年月（年２桁）"), QStringLiteral("-"));
        SavedDocument theirs;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) {
            theirs = DocumentStore::save(otherDb, Kind::Nohin, document(customer), monthly);
        });
        const SavedDocument mine = save(Kind::Nohin, document(customer), monthly);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(theirs.number, QStringLiteral("2404-1"));
        QCOMPARE(mine.number, QStringLiteral("2404-2"));
        QCOMPARE(count(QStringLiteral("select count(distinct key) from Nohin")), 2);
    }

    // A statement that fails half-way (here the fifth line) leaves the stored estimate as it was and
    // registers no customer.
    void failureInTheMiddleStoresNothing()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        const SavedDocument stored = save(Kind::Mitumori, document(customer));
        if (t->isPostgres()) {
            db().ExecDirect(QStringLiteral(
                "CREATE OR REPLACE FUNCTION kadomel_test_fail() RETURNS trigger AS $$ "
                "BEGIN IF NEW.gyo = 5 THEN RAISE EXCEPTION 'injected'; END IF; RETURN NEW; END "
                "$$ LANGUAGE plpgsql"));
            db().ExecDirect(QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON MitumoriMesai FOR EACH ROW "
                                           "EXECUTE FUNCTION kadomel_test_fail()"));
        } else {
            db().ExecDirect(
                QStringLiteral("CREATE TRIGGER fail BEFORE INSERT ON MitumoriMesai WHEN NEW.Gyo = 5 "
                               "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        }
        DocumentRecord changed = document(customer);
        changed.key = stored.key;
        changed.lines = {line(1, QStringLiteral("A"), 1, 1, 1), line(5, QStringLiteral("B"), 1, 1, 1)};
        QVERIFY_THROWS_EXCEPTION(AppError, save(Kind::Mitumori, changed));
        DocumentRecord fresh = document(0);
        fresh.lines = changed.lines;
        QVERIFY_THROWS_EXCEPTION(AppError, save(Kind::Mitumori, fresh));
        QVERIFY(!db().InTransaction());
        const auto back = DocumentStore::load(db(), Kind::Mitumori, stored.key);
        QVERIFY(back);
        QCOMPARE(back->lines.size(), 1);
        QCOMPARE(back->lines[0].SyohinNM, QStringLiteral("事務机"));
        QCOMPARE(count(QStringLiteral("select count(*) from Mitumori")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 1);
    }

    // Saved again, a note keeps the invoice that holds it; a change of its amount, customer or date is
    // one its invoice does not follow.
    void invoicedNoteKeepsItsInvoice()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        DocumentRecord d = document(customer);
        d.key = save(Kind::Nohin, d).key;
        t->exec(QStringLiteral("update Nohin set SeikyuKey = 7 where key = %1").arg(d.key));
        const DocumentRecord opened = *DocumentStore::load(db(), Kind::Nohin, d.key);
        QCOMPARE(opened.SeikyuKey, 7);
        DocumentRecord edited = opened;
        edited.lines[0].SyohinNM = QStringLiteral("事務机（黒）");
        QVERIFY(!DocumentStore::changesBilledNote(opened, edited));
        edited.lines[0].Kingaku = 31000;
        QVERIFY(DocumentStore::changesBilledNote(opened, edited));
        save(Kind::Nohin, edited);
        QCOMPARE(count(QStringLiteral("select SeikyuKey from Nohin where key = %1").arg(d.key)), 7);
        QCOMPARE(count(QStringLiteral("select Kingaku from Nohin where key = %1").arg(d.key)), 31000);

        edited = opened;
        edited.Hiduke = opened.Hiduke.addDays(1);
        QVERIFY(DocumentStore::changesBilledNote(opened, edited));
        edited = opened;
        edited.TorihikisakiKey = addCustomer(QStringLiteral("鈴木工業"));
        QVERIFY(DocumentStore::changesBilledNote(opened, edited));
        edited = opened;
        edited.SeikyuKey = 0;
        edited.lines[0].Kingaku = 1;
        QVERIFY(!DocumentStore::changesBilledNote(edited, edited)); // not billed: nothing to ask
    }

    // An invoice run (or an invoice deletion) at another computer changes the note's invoice after the
    // editor read it, while this save waits for the row: the save stores nothing and says so.
    void invoiceChangedMeanwhileRefused_data() { invoiceChangedMeanwhileRows(); }
    void invoiceChangedMeanwhileRefused()
    {
        QFETCH(int, openedKey);
        QFETCH(int, otherKey);
        QFETCH(QString, message);
        DocumentRecord d = document(addCustomer(QStringLiteral("山田商事")));
        d.key = save(Kind::Nohin, d).key;
        t->exec(QStringLiteral("update Nohin set SeikyuKey = %1 where key = %2").arg(openedKey).arg(d.key));
        d = *DocumentStore::load(db(), Kind::Nohin, d.key);
        d.lines[0].Kingaku = 31000;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) {
            TEngineQuery q(&otherDb);
            q.addSql(
                QStringLiteral("update Nohin set SeikyuKey = %1 where key = %2").arg(otherKey).arg(d.key));
            q.ExecSQL();
        });
        QString error;
        try {
            save(Kind::Nohin, d);
        } catch (const AppError &e) {
            error = e.message();
        }
        QCOMPARE(other.finish(), QString());
        QVERIFY2(error.contains(message) && error.contains(QStringLiteral("保存していません")),
                 qPrintable(error));
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select SeikyuKey from Nohin where key = %1").arg(d.key)), otherKey);
        QCOMPARE(count(QStringLiteral("select Kingaku from Nohin where key = %1").arg(d.key)), 30000);
        QCOMPARE(count(QStringLiteral("select count(*) from NohinMesai where key = %1").arg(d.key)), 1);
    }

    void refusalsStoreNothing_data()
    {
        QTest::addColumn<QList<qint64>>("amounts");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message");
        QTest::addRow("line beyond 32 bits")
            << QList<qint64>{1, 2147483648LL} << QString() << "2行目の金額 2,147,483,648 は大きすぎる";
        QTest::addRow("total beyond 32 bits")
            << QList<qint64>{2147483647LL, 1} << QString() << "合計金額 2,147,483,648 は大きすぎる";
        QTest::addRow("number too long") << QList<qint64>{1} << "見積番号が長すぎる例です"
                                         << "バイトに収まりません";
    }
    void refusalsStoreNothing()
    {
        QFETCH(QList<qint64>, amounts);
        QFETCH(QString, number);
        QFETCH(QString, message);
        DocumentRecord d = document(0);
        d.number = number;
        d.lines.clear();
        for (qint64 amount : amounts)
            d.lines.append(line(int(d.lines.size()) + 1, QStringLiteral("品"), {}, {}, amount));
        try {
            save(Kind::Mitumori, d);
            QFAIL("saved");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(count(QStringLiteral("select count(*) from Mitumori")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);
    }

    // Texts beyond their columns, a missing date and a new customer without a name: the save says
    // why (naming the row), and neither the document nor a customer is stored.
    void badLinesAndHeaderStoreNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("message");
        const QString fits = QString(20, QChar(u'机'));
        const QDate day(2024, 4, 9);
        const QString co = QStringLiteral("山田商事");
        QTest::addRow("name 41 bytes") << fits + QStringLiteral("a") << QString() << day << co
                                       << "2行目の品名「" + fits + "a」が長すぎる";
        QTest::addRow("unit 11 bytes")
            << fits << QStringLiteral("ケースx1000") << day << co << "2行目の単位「ケースx1000」が長すぎる";
        QTest::addRow("zero date") << fits << QString() << kZeroDate << co << "日付がない";
        QTest::addRow("no date") << fits << QString() << QDate() << co << "日付がない";
        QTest::addRow("no customer name")
            << fits << QString() << day << QStringLiteral("　 ") << "取引先の会社名がありません";
    }
    void badLinesAndHeaderStoreNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, unit);
        QFETCH(QDate, date);
        QFETCH(QString, customer);
        QFETCH(QString, message);
        for (Kind kind : {Kind::Mitumori, Kind::Nohin}) {
            DocumentRecord d = document(0, date);
            d.lines.append(line(2, name, 1, 1, 1));
            d.lines.last().Tani = unit;
            DocumentStore::SaveOptions o = options();
            o.newCustomer.TorihikisakiNM = customer;
            try {
                save(kind, d, o);
                QFAIL("saved");
            } catch (const AppError &e) {
                QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            }
        }
        QCOMPARE(count(QStringLiteral("select count(*) from Mitumori")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Nohin")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);
    }

    // The document or its customer was deleted at another computer while the editor was open.
    void vanishedDocumentOrCustomerIsReported()
    {
        const int customer = addCustomer(QStringLiteral("山田商事"));
        DocumentRecord d = document(customer);
        d.key = save(Kind::Nohin, d).key;
        t->exec(QStringLiteral("delete from Nohin"));
        try {
            save(Kind::Nohin, d);
            QFAIL("saved");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("他のコンピュータで削除")), qPrintable(e.message()));
        }
        QCOMPARE(count(QStringLiteral("select count(*) from Nohin")), 0);
        QVERIFY_THROWS_EXCEPTION(AppError, save(Kind::Mitumori, document(customer + 1)));
    }
};

QTEST_GUILESS_MAIN(TestDocumentStore)
#include "tst_documentstore.moc"
