// Loading the postal-code file into Address, on SQLite and on PostgreSQL.
#include "masters/PostalLoader.h"
#include "masters/PostalLookup.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <atomic>
#include <QTest>
#include <QThread>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(KADOMEL_TEST_DATA "/postal/") + name;
}

} // namespace

class TestPostalLoader : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;

    qint64 rowCount(const QString &where = {})
    {
        return t->scalar(QStringLiteral("select count(*) from Address ") + where).toLongLong();
    }
    bool addressIndexExists()
    {
        return t->scalar(
                    t->isPostgres()
                        ? QStringLiteral(
                              "select count(*) from pg_indexes where indexname = 'address_ixyubin'")
                        : QStringLiteral("select count(*) from sqlite_master where name = 'Address_IxYubin'"))
                   .toInt() == 1;
    }
    void putOneAddress()
    {
        t->db().ExecDirect(
            QStringLiteral("insert into Address (Yubin, Jyusyo) values (1000001, '東京都千代田区千代田')"));
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void loadsTheSample()
    {
        putOneAddress();
        PostalLoader loader(t->db());
        QCOMPARE(loader.load(fixture(QStringLiteral("ken_all_sample.csv"))), 1484);
        QCOMPARE(rowCount(), 1484); // a replacement: the row put in before is gone
        QCOMPARE(rowCount(QStringLiteral("where Yubin = 1000001")), 0);
        QCOMPARE(rowCount(QStringLiteral("where Yubin = 4520961")), 66);
        QVERIFY(addressIndexExists());

        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Address"));
        q.addSql(QStringLiteral("where Yubin = :Yubin"));
        q.ParamByName(QStringLiteral("Yubin")).setAsInteger(600000); // 0600000 without its leading zero
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("Jyusyo")).AsString(),
                 QStringLiteral("北海道札幌市中央区")); // no placeholder for the town
        q.Close();
        q.ParamByName(QStringLiteral("Yubin")).setAsInteger(4070311);
        q.Open();
        QVERIFY(q.FieldByName(QStringLiteral("Jyusyo")).AsString().contains(QChar(0xFF0D)));
    }

    void longAddressesAreKeptWhole()
    {
        PostalLoader loader(t->db());
        loader.load(fixture(QStringLiteral("ken_all_sample.csv")));
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select Jyusyo from Address"));
        q.Open();
        int longest = 0;
        for (; !q.Eof(); q.Next())
            longest = qMax(longest, int(q.FieldByName(QStringLiteral("Jyusyo")).AsString().size()));
        QCOMPARE(longest, 41); // 82 Shift-JIS bytes
    }

    void loadingTwiceGivesTheSameRows()
    {
        PostalLoader loader(t->db());
        loader.load(fixture(QStringLiteral("ken_all_sample.csv")));
        loader.load(fixture(QStringLiteral("ken_all_sample.csv")));
        QCOMPARE(rowCount(), 1484);
    }

    void badFileLeavesAddressAsItWas_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addRow("short line")
            << "short_line.csv"
            << "郵便番号データの4行目が正しくありません。\r\n項目が9個ありません（5個）。";
        QTest::addRow("bytes that are no CP932") << "bad_bytes.csv"
                                                 << "郵便番号データの3行目が正しくありません。";
        QTest::addRow("NUL inside a quoted address") << "nul_in_address.csv"
                                                     << "郵便番号データの2行目が正しくありません。";
        QTest::addRow("empty file") << "empty.csv"
                                    << "郵便番号データが1行もありません。";
        QTest::addRow("missing file") << "no_such_file.csv"
                                      << "を開けません。";
    }
    void badFileLeavesAddressAsItWas()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        putOneAddress();
        PostalLoader loader(t->db());
        try {
            loader.load(fixture(file));
            QFAIL("the file was loaded");
        } catch (const PostalFileError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(rowCount(), 1);
        QCOMPARE(rowCount(QStringLiteral("where Yubin = 1000001")), 1);
        QVERIFY(addressIndexExists());
        QVERIFY(!t->db().InTransaction());
    }

    // Another computer looks codes up while this one loads the file again and again: each lookup
    // finds the rows of one whole load, never an empty or half-filled table.
    void lookupsDuringLoadsFindEveryAddress()
    {
        const QString sample = fixture(QStringLiteral("ken_all_sample.csv"));
        PostalLoader loader(t->db());
        loader.load(sample);
        std::atomic<bool> loading{true};
        int lookups = 0, wrong = 0;
        QString error;
        std::unique_ptr<QThread> otherComputer(QThread::create([&] {
            try {
                TEngineSession session;
                TEngineDatabase db(&session, QStringLiteral("OtherComputer"));
                t->configure(session, db);
                db.Open();
                while (loading) {
                    ++lookups;
                    if (PostalLookup::addresses(db, 600000).size() != 1 ||
                        PostalLookup::countAddresses(db, 4520961) != 66)
                        ++wrong;
                }
            } catch (const AppError &e) {
                error = e.message();
            }
        }));
        otherComputer->start();
        for (int i = 0; i < 20 && error.isEmpty(); ++i)
            loader.load(sample);
        loading = false;
        otherComputer->wait();
        QCOMPARE(error, QString());
        QVERIFY(lookups > 0);
        QCOMPARE(wrong, 0);
    }

    // Two computers load at the same moment: the later load waits for the earlier one and then
    // replaces its rows, rather than adding to them.
    void loadsAtTwoComputersReplaceEachOther()
    {
        const QString sample = fixture(QStringLiteral("ken_all_sample.csv"));
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &otherDb) { PostalLoader(otherDb).load(sample); });
        PostalLoader(t->db()).load(sample);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(rowCount(), 1484);
    }

    void reportsProgress()
    {
        PostalLoader loader(t->db());
        QList<PostalLoader::Phase> phases;
        qint64 lastDone = -1, total = 0;
        loader.setProgress([&](PostalLoader::Phase phase, qint64 done, qint64 all) {
            if (phases.isEmpty() || phases.last() != phase)
                phases.append(phase);
            QVERIFY(done >= lastDone || phase == PostalLoader::Phase::Registering);
            lastDone = done;
            total = all;
        });
        loader.load(fixture(QStringLiteral("ken_all_sample.csv")));
        QCOMPARE(phases, QList<PostalLoader::Phase>(
                             {PostalLoader::Phase::Reading, PostalLoader::Phase::Registering}));
        QCOMPARE(total, QFileInfo(fixture(QStringLiteral("ken_all_sample.csv"))).size());
        QCOMPARE(lastDone, total);
    }
};

QTEST_MAIN(TestPostalLoader)
#include "tst_postalloader.moc"
