// The storage engine layer and the table check, run on SQLite and on PostgreSQL.
#include "data/Schema.h"
#include "TestDatabase.h"

#include <QSqlQuery>
#include <QTest>
#include <QThread>

class TestEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void addProducts(int count)
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM, Tanka) values (:CD, :nm, :Tanka)"));
        for (int i = 1; i <= count; ++i) {
            q.ParamByName(QStringLiteral("cd")).setAsInteger(i);
            q.ParamByName(QStringLiteral("NM")).setAsString(QStringLiteral("商品%1").arg(i));
            q.ParamByName(QStringLiteral("tanka")).setAsFloat(i * 1.5);
            q.ExecSQL();
        }
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void checkTablesCreatesEveryTableAndIndex()
    {
        for (const Schema::Table &table : Schema::tables())
            QVERIFY2(t->db().TableExists(QString::fromLatin1(table.name).toUpper()), table.name);
        const QString sql =
            t->isPostgres()
                ? QStringLiteral("select count(*) from pg_indexes where schemaname = current_schema() "
                                 "and indexname not like '%_pkey'")
                : QStringLiteral("select count(*) from sqlite_master where type = 'index' "
                                 "and name not like 'sqlite_autoindex%'");
        QCOMPARE(t->scalar(sql).toInt(), 18);
        // A second check on a complete database changes nothing and does not fail.
        QStringList status;
        t->module().CheckTables([&](const QString &s) { status << s; });
        QCOMPARE(status.size(), 15);
        QCOMPARE(status.first(), QStringLiteral("自社情報テーブルのチェック"));
        QCOMPARE(status.last(), QStringLiteral("請求設定テーブルのチェック"));
    }

    void checkTablesUpgradesOlderCustomerTable()
    {
        t->exec({QStringLiteral("drop table Torihikisaki")});
        t->exec(
            {QStringLiteral("create table Torihikisaki (key integer not null, TorihikisakiNM varchar(60), "
                            "primary key (key))")});
        t->exec({QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, 'A社')"),
                 QStringLiteral(";insert into Torihikisaki (key, TorihikisakiNM) values (2, 'B社')")});
        t->exec({QStringLiteral("delete from Syohin")});
        addProducts(1);
        t->module().CheckTables();
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select KEISYO from torihikisaki order by key"));
        q.Open();
        QCOMPARE(q.RecordCount(), 2);
        for (q.First(); !q.Eof(); q.Next())
            QCOMPARE(q.FieldByName(QStringLiteral("keisyo")).AsString(), QStringLiteral("御中"));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(),
                 1); // others keep their rows
    }

    void unsetParameterIsAnError()
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Mitumori where key = :key"));
        QVERIFY_THROWS_EXCEPTION(EngineError, q.Open());
    }

    void valuesRoundTrip()
    {
        TEngineQuery ins(&t->db());
        ins.addSql(QStringLiteral(
            "Insert Into Mitumori (key, MitumoriNo, Hiduke, HidukeY, Kingaku, Title, KosinYMD)"));
        ins.addSql(QStringLiteral("Values(:KEY, :No, :hiduke, 2010, :kingaku, 'it''s', :kosin)"));
        ins.ParamByName(QStringLiteral("key")).setAsInteger(1);
        ins.ParamByName(QStringLiteral("NO")).setAsString(QStringLiteral("見積-0001"));
        ins.ParamByName(QStringLiteral("Hiduke")).setAsDateTime(QDateTime(QDate(2010, 12, 25), QTime(0, 0)));
        ins.ParamByName(QStringLiteral("Kingaku")).setNullInteger();
        ins.ParamByName(QStringLiteral("Kosin")).setAsDateTime(QDateTime(QDate(2011, 1, 2), QTime(3, 4, 5)));
        ins.ExecSQL();
        addProducts(1);
        t->exec({QStringLiteral("update Syohin set Tanka = 1234.56789012345678, Kikaku = null")});

        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select m.key, m.MitumoriNo, m.Hiduke, m.Kingaku, m.Title, KosinYMD, m.Seq"));
        q.addSql(QStringLiteral("from mitumori m where m.Hiduke >= :d1 and m.Hiduke <= :D1;"));
        q.ParamByName(QStringLiteral("d1")).setAsDateTime(QDateTime(QDate(2010, 12, 25), QTime(0, 0)));
        q.Open();
        QVERIFY(!q.IsEmpty());
        QCOMPARE(q.FieldByName(QStringLiteral("KEY")).AsInteger(), 1);
        QCOMPARE(q.FieldByName(QStringLiteral("mitumorino")).AsString(), QStringLiteral("見積-0001"));
        QCOMPARE(q.FieldByName(QStringLiteral("Hiduke")).AsDate(), QDate(2010, 12, 25));
        QCOMPARE(q.FieldByName(QStringLiteral("Hiduke")).AsString(), QStringLiteral("2010/12/25"));
        QCOMPARE(q.FieldByName(QStringLiteral("kosinymd")).AsString(), QStringLiteral("2011/01/02 03:04:05"));
        QVERIFY(q.FieldByName(QStringLiteral("Kingaku")).IsNull());
        QCOMPARE(q.FieldByName(QStringLiteral("Kingaku")).AsInteger(), 0);
        QCOMPARE(q.FieldByName(QStringLiteral("Seq")).AsString(), QString());
        QCOMPARE(q.FieldByName(QStringLiteral("title")).AsString(), QStringLiteral("it's"));
        QVERIFY_THROWS_EXCEPTION(EngineError, q.FieldByName(QStringLiteral("nosuch")));

        q.Close();
        q.clearSql();
        q.addSql(QStringLiteral("select Tanka, Kikaku, Hiduke from Syohin, Mitumori"));
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("Tanka")).AsString(), QStringLiteral("1234.56789012346"));
        QCOMPARE(q.FieldByName(QStringLiteral("Kikaku")).AsString(), QString());
        q.Close();
        t->exec({QStringLiteral("update Mitumori set Hiduke = null")});
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("Hiduke")).AsDate(), kZeroDate);
    }

    void aggregatesOverNoRowsGiveNullAndNewKeyStartsAtOne()
    {
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Nohin")).toInt(), 0);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select max(KEY) key from nohin"));
        q.Open();
        QVERIFY(q.FieldByName(QStringLiteral("key")).IsNull());
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 0);

        TEngineTransaction tr(t->db());
        QCOMPARE(t->db().NewKey(QStringLiteral("Nohin")), 1);
        t->exec({QStringLiteral("insert into Nohin (key) values (1)")});
        t->exec({QStringLiteral("insert into Nohin (key) values (7)")});
        QCOMPARE(t->db().NewKey(QStringLiteral("Nohin")), 8);
        tr.commit();
        t->exec({QStringLiteral("delete from Nohin where key = 7")});
        TEngineTransaction tr2(t->db());
        QCOMPARE(t->db().NewKey(QStringLiteral("Nohin")), 2); // a deleted top key is given out again
    }

    void navigationAndEndOfData()
    {
        addProducts(3);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Syohin order by SyohinCD"));
        int scrolls = 0;
        connect(&q, &TEngineQuery::afterScroll, this, [&] { ++scrolls; });
        q.Open();
        QCOMPARE(scrolls, 1); // the move to the first row counts
        QStringList names;
        for (; !q.Eof(); q.Next())
            names << q.FieldByName(QStringLiteral("syohinnm")).AsString();
        QCOMPARE(names,
                 QStringList({QStringLiteral("商品1"), QStringLiteral("商品2"), QStringLiteral("商品3")}));
        q.First();
        QVERIFY(!q.Eof());
        q.Last();
        QVERIFY(q.Eof());
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 3);
        QCOMPARE(q.RecordCount(), 3);

        q.Close();
        q.clearSql();
        q.addSql(QStringLiteral("select * from Syohin where SyohinCD > 99"));
        q.Open();
        QVERIFY(q.IsEmpty());
        QVERIFY(q.Eof());
        q.Last();
        q.Next();
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinNM")).AsString(), QString());
    }

    void bookmarkSurvivesReopenAndLocate()
    {
        t->exec({QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, 'A')"),
                 QStringLiteral("; insert into Torihikisaki (key, TorihikisakiNM) values (2, 'B')"),
                 QStringLiteral("; insert into Torihikisaki (key, TorihikisakiNM) values (3, 'C')")});
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select key, TorihikisakiNM from Torihikisaki order by key"));
        q.Open();
        QVERIFY(q.Locate(2));
        const TBookmark mark = q.GetBookmark();
        q.Close();
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 1);
        q.GotoBookmark(mark);
        QCOMPARE(q.FieldByName(QStringLiteral("TorihikisakiNM")).AsString(), QStringLiteral("B"));

        // A row inserted before it moves the bookmarked row: the key still finds it.
        q.Close();
        t->exec({QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (0, 'Z')")});
        q.Open();
        q.GotoBookmark(mark);
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 2);
        QVERIFY(!q.Locate(42));
    }

    void transactionsAndTheirMessages()
    {
        TEngineDatabase &db = t->db();
        QVERIFY_THROWS_EXCEPTION(EngineError, db.Commit());
        try {
            db.Rollback();
            QFAIL("rollback without a transaction must fail");
        } catch (const EngineError &e) {
            QCOMPARE(e.message(), QStringLiteral("Database DataDB has no active transaction."));
        }
        db.StartTransaction();
        try {
            db.StartTransaction();
            QFAIL("a second transaction must fail");
        } catch (const EngineError &e) {
            QCOMPARE(e.message(), QStringLiteral("Database DataDB already has an active transaction."));
        }
        addProducts(2);
        db.Rollback();
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 0);
        {
            TEngineTransaction tr(db);
            addProducts(2);
        } // no commit: rolled back
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 0);
        {
            TEngineTransaction tr(db);
            addProducts(2);
            tr.commit();
        }
        // Committed data is seen by a second connection.
        TEngineSession s2;
        TEngineDatabase db2(&s2, QStringLiteral("Second"));
        t->configure(s2, db2);
        TEngineQuery q(&db2);
        q.addSql(QStringLiteral("select count(*) n from Syohin"));
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("N")).AsInteger(), 2);
    }

    void duplicateKeyAndBadStatementRaise()
    {
        addProducts(1);
        QVERIFY_THROWS_EXCEPTION(EngineError, addProducts(1));
        QVERIFY_THROWS_EXCEPTION(EngineError, t->exec({QStringLiteral("select nonsense from nowhere")}));
    }

    void openingOnClosedDatabaseConnectsAgain()
    {
        addProducts(1);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Syohin"));
        q.Open();
        t->db().Close();
        QVERIFY(!q.Active()); // closing the database closes its queries
        q.Open();
        QVERIFY(t->db().Connected());
        QCOMPARE(q.RecordCount(), 1);
    }

    void detailFollowsMaster()
    {
        t->exec(
            {QStringLiteral("insert into Mitumori (key) values (1); insert into Mitumori (key) values (2)"),
             QStringLiteral("; insert into MitumoriMesai (Key, Gyo, SyohinNM) values (1, 1, 'a')"),
             QStringLiteral("; insert into MitumoriMesai (Key, Gyo, SyohinNM) values (2, 1, 'b')"),
             QStringLiteral("; insert into MitumoriMesai (Key, Gyo, SyohinNM) values (2, 2, 'c')")});
        TEngineQuery master(&t->db());
        master.addSql(QStringLiteral("select key from Mitumori order by key"));
        TEngineQuery detail(&t->db());
        detail.addSql(QStringLiteral("select * from MitumoriMesai where Key = :key order by Gyo"));
        detail.setDataSource(&master);
        master.Open();
        QCOMPARE(detail.RecordCount(), 1);
        master.Next();
        QCOMPARE(detail.RecordCount(), 2);
        QCOMPARE(detail.FieldByName(QStringLiteral("SyohinNM")).AsString(), QStringLiteral("b"));
        master.Close();
        QVERIFY(!detail.Active()); // no lines of a document no longer shown
    }

    void serverLoginAsksWhenNoUserIsSet()
    {
        if (!t->isPostgres())
            QSKIP("a login belongs to the server mode");
        TEngineSession s;
        TEngineDatabase db(&s, QStringLiteral("Login"));
        t->configure(s, db);
        const QString user = s.RemoteUser, password = s.RemotePassword;
        s.RemoteUser.clear();
        int asked = 0;
        s.LoginPrompt = [&](QString &u, QString &p) {
            ++asked;
            u = user;
            p = password;
            return true;
        };
        db.Open();
        QCOMPARE(asked, 1);
        db.Close();
        s.LoginPrompt = [](QString &, QString &) { return false; };
        QVERIFY_THROWS_EXCEPTION(EngineError, db.Open());
        s.RemoteUser = user;
        s.RemotePassword = password + QStringLiteral("x");
        QVERIFY_THROWS_EXCEPTION(EngineError, db.Open()); // a wrong password is refused
        QVERIFY(!db.Connected());
    }

    // Two users saving new rows at once never draw the same key.
    void newKeysAreRaceFree()
    {
        struct Saver : QThread
        {
            const TestDatabase *t;
            int holdMs;
            int key = 0;
            QString error;
            void run() override
            {
                TEngineSession s;
                TEngineDatabase db(&s, QStringLiteral("Saver"));
                t->configure(s, db);
                try {
                    TEngineTransaction tr(db);
                    key = db.NewKey(QStringLiteral("Seikyu"));
                    msleep(holdMs);
                    TEngineQuery q(&db);
                    q.addSql(QStringLiteral("insert into Seikyu (key) values (:key)"));
                    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
                    q.ExecSQL();
                    tr.commit();
                } catch (const AppError &e) {
                    error = e.message();
                }
            }
        };
        Saver a, b;
        a.t = b.t = t.get();
        a.holdMs = 300;
        b.holdMs = 0;
        a.start();
        QThread::msleep(100);
        b.start();
        QVERIFY(a.wait(10000) && b.wait(10000));
        QVERIFY2(a.error.isEmpty(), qPrintable(a.error));
        QVERIFY2(b.error.isEmpty(), qPrintable(b.error));
        QCOMPARE(QSet<int>({a.key, b.key}), QSet<int>({1, 2}));
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
