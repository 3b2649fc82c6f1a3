// The storage engine layer and the table check, run on SQLite and on PostgreSQL.
#include "data/Schema.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

// A second copy of the program on the same database.
struct SecondConnection
{
    TEngineSession session;
    TEngineDatabase db{&session, QStringLiteral("Other")};
    explicit SecondConnection(const TestDatabase &t) { t.configure(session, db); }
    void exec(const QString &sql)
    {
        TEngineQuery q(&db);
        q.addSql(sql);
        q.ExecSQL();
    }
};

QList<int> keysOf(TEngineQuery &q, bool backward = false)
{
    QList<int> keys;
    if (backward) {
        for (q.Last(); !q.IsEmpty(); q.Prior()) {
            keys.prepend(q.FieldByName(QStringLiteral("key")).AsInteger());
            if (q.Bof())
                break;
        }
    } else {
        for (q.First(); !q.Eof(); q.Next())
            keys.append(q.FieldByName(QStringLiteral("key")).AsInteger());
    }
    return keys;
}

class TestEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void addCustomers(int count)
    {
        TEngineTransaction tr(t->db());
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (:key, :nm)"));
        for (int i = 1; i <= count; ++i) {
            q.ParamByName(QStringLiteral("key")).setAsInteger(i);
            q.ParamByName(QStringLiteral("nm")).setAsString(QStringLiteral("取引先%1").arg(i));
            q.ExecSQL();
        }
        tr.commit();
    }

    static QList<int> keysOfProducts(TEngineQuery &q)
    {
        QList<int> keys;
        for (; !q.Eof(); q.Next())
            keys << q.FieldByName(QStringLiteral("SyohinCD")).AsInteger();
        return keys;
    }

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
        // and the program's own indexes: lists, references, unbilled documents, running numbers, what
        // customers owe and the sums per day
        QCOMPARE(t->scalar(sql).toInt(), 18 + 17);
        // An existing database gets the program's own indexes at the next start.
        t->exec(QStringLiteral("drop index Mitumori_ListIDX"));
        t->module().CheckTables();
        QCOMPARE(t->scalar(sql).toInt(), 35);
        // A second check on a complete database changes nothing and does not fail.
        QStringList status;
        t->module().CheckTables([&](const QString &s) { status << s; });
        QCOMPARE(status.size(), 15);
        QCOMPARE(status.first(), QStringLiteral("自社情報テーブルのチェック"));
        QCOMPARE(status.last(), QStringLiteral("請求設定テーブルのチェック"));
    }

    // A start at another computer during an invoice run: the other copy holds a write transaction
    // open on every table. The check of a database in the current layout reads the catalogue and
    // runs no DDL, so it completes at once; any CREATE INDEX or ALTER TABLE would wait for that
    // transaction (on a server until the lock wait gives up, failing the start).
    void checkTablesOnACurrentDatabaseWaitsForNoWriter()
    {
        SecondConnection writer(*t);
        writer.db.Open();
        writer.db.StartTransaction();
        for (const Schema::Table &table : Schema::tables())
            writer.exec(
                t->isPostgres()
                    ? QStringLiteral("lock table %1 in row exclusive mode").arg(QLatin1String(table.name))
                    : QStringLiteral("delete from %1 where 1 = 0").arg(QLatin1String(table.name)));
        writer.exec(QStringLiteral("insert into Nohin (key, NohinNo) values (1, 'N-1')"));

        TDMdata starting;
        t->configure(starting.Session1, *starting.DataDB);
        starting.DataDB->Open();
        try {
            starting.CheckTables();
        } catch (const AppError &e) { // it waited for the writer in vain
            QFAIL(qPrintable(e.message()));
        }
        writer.db.Commit();
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Nohin")).toInt(), 1);
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

    void checkTablesAddsTaxColumnsToAnOlderDatabase()
    {
        // The tables as a database made before the tax columns has them, with a row in each (and
        // without the program's own indexes, one of which covers tax columns).
        for (const Schema::Table &table : Schema::tables()) {
            if (table.taxColumns.isEmpty())
                continue;
            Schema::Table old = table;
            old.taxColumns.clear();
            old.ownIndexes.clear();
            t->exec(QStringLiteral("drop table %1").arg(QLatin1String(table.name)));
            t->exec(Schema::creationScript(old, t->db().dialect()));
        }
        t->exec({QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')")});
        addProducts(2);
        t->exec({QStringLiteral("insert into Seikyu (key, SeikyuNo, Seikyugaku) values (3, 'S-3', 1200)")});
        const QStringList before = t->fingerprint();

        t->module().CheckTables();
        t->module().CheckTables(); // a second start finds them there
        const QString coveringIndex =
            t->isPostgres()
                ? QStringLiteral("select count(*) from pg_indexes where indexname = 'nohin_uriageidx'")
                : QStringLiteral("select count(*) from sqlite_master where name = 'Nohin_UriageIDX'");
        QCOMPARE(t->scalar(coveringIndex).toInt(), 1); // made after the columns it covers
        for (const Schema::Table &table : Schema::tables()) {
            const QStringList fields = t->db().TableFieldNames(QLatin1String(table.name));
            for (const Schema::Column &column : table.taxColumns)
                QVERIFY2(fields.contains(QLatin1String(column.name), Qt::CaseInsensitive), column.name);
        }
        // The rows keep their values and read as made without the option.
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin where ZeiRitu is null")).toInt(), 2);
        QVERIFY(t->scalar(QStringLiteral("select TekikakuKBN from JisyaJyoho")).isNull());
        QCOMPARE(t->scalar(QStringLiteral("select Seikyugaku from Seikyu where Zei10 is null")).toInt(),
                 1200);
        QCOMPARE(t->scalar(QStringLiteral("select sum(Tanka) from Syohin")).toDouble(), 4.5);
        QCOMPARE(t->fingerprint().size(), before.size());
        QCOMPARE(t->fingerprint().filter(QStringLiteral("Torihikisaki ")),
                 before.filter(QStringLiteral("Torihikisaki ")));
    }

    // Figures read in several statements add up although another computer commits in between: the
    // snapshot sees the database as its first statement saw it, and keeps the writer waiting not.
    void readSnapshotSeesOneMoment()
    {
        t->exec(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM) values (1, 'A')"));
        TEngineSession session;
        TEngineDatabase other(&session, QStringLiteral("OtherComputer"));
        t->configure(session, other);
        other.Open();
        const auto count = [&] { return t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(); };
        {
            const TEngineReadSnapshot snapshot(t->db());
            QCOMPARE(count(), 1);
            TEngineQuery insert(&other);
            insert.addSql(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM) values (2, 'B')"));
            insert.ExecSQL(); // committed at once
            QCOMPARE(count(), 1);
        }
        QCOMPARE(count(), 2);
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

    // A list whose rows were not all read must not stand in the way of writing after another
    // computer has written (SQLite kept the read snapshot of a half-read result).
    void halfReadListsDoNotBlockSaves()
    {
        addCustomers(2000);
        SecondConnection other(*t);
        TEngineQuery mine(&t->db()), theirs(&other.db);
        for (TEngineQuery *list : {&mine, &theirs}) {
            list->addSql(QStringLiteral("select key, TorihikisakiNM from Torihikisaki order by key"));
            list->setPaged(true);
            list->Open();
            list->Next();
        }
        auto save = [](TEngineDatabase &db) {
            TEngineTransaction tr(db);
            const int key = db.NewKey(QStringLiteral("Torihikisaki"));
            TEngineQuery q(&db);
            q.addSql(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (:key, '新規')"));
            q.ParamByName(QStringLiteral("key")).setAsInteger(key);
            q.ExecSQL();
            tr.commit();
            return key;
        };
        QCOMPARE(save(other.db), 2001);
        QCOMPARE(save(t->db()), 2002);
        QCOMPARE(save(other.db), 2003);
        mine.Next();
        QCOMPARE(mine.FieldByName(QStringLiteral("key")).AsInteger(), 3);

        // The same with a whole result read at open (no paging).
        TEngineQuery whole(&t->db());
        whole.addSql(QStringLiteral("select * from Torihikisaki"));
        whole.Open();
        QCOMPARE(save(other.db), 2004);
        QCOMPARE(save(t->db()), 2005);
    }

    // A failed statement inside a transaction: the commit raises on both engines, nothing is stored.
    void commitAfterAFailedStatementRaises()
    {
        TEngineDatabase &db = t->db();
        db.StartTransaction();
        addProducts(1);
        QVERIFY_THROWS_EXCEPTION(EngineError, addProducts(1)); // duplicate key, caught by the caller
        QVERIFY(db.TransactionFailed());
        QVERIFY_THROWS_EXCEPTION(EngineError, db.Commit());
        QVERIFY(db.InTransaction()); // the caller rolls back
        db.Rollback();
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 0);
        {
            TEngineTransaction tr(db); // the guard does the same
            addProducts(1);
            QVERIFY_THROWS_EXCEPTION(EngineError, t->exec(QStringLiteral("select nonsense from nowhere")));
            QVERIFY_THROWS_EXCEPTION(EngineError, tr.commit());
        }
        QVERIFY(!db.InTransaction());
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 0);
        TEngineTransaction tr(db); // a new transaction starts clean
        addProducts(1);
        tr.commit();
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 1);
    }

    // Another computer holding the numbering lock: the wait ends with the lock message.
    void lockWaitsEndWithTheLockMessage()
    {
        SecondConnection other(*t);
        TEngineTransaction holder(other.db);
        other.db.NewKey(QStringLiteral("Mitumori"));
        try {
            TEngineTransaction tr(t->db());
            t->db().NewKey(QStringLiteral("Mitumori"));
            QFAIL("the lock held by the other computer must not be given");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().startsWith(kLockMessage), qPrintable(e.message()));
        }
        QVERIFY(!t->db().InTransaction());
        holder.commit();
        TEngineTransaction tr(t->db()); // released: now it is given
        QCOMPARE(t->db().NewKey(QStringLiteral("Mitumori")), 1);
    }

    void transactionsJoinAndLockInOneOrder()
    {
        TEngineDatabase &db = t->db();
        {
            TEngineTransaction outer(db);
            {
                TEngineTransaction inner(db);
                QVERIFY(inner.joined());
                addProducts(1);
                inner.commit(); // the outer transaction decides
            }
            QVERIFY(db.InTransaction());
        } // rolled back with everything inside it
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 0);

        TEngineTransaction tr(db);
        db.NewKey(QStringLiteral("Torihikisaki"));
        db.NewKey(QStringLiteral("Mitumori"));
        QVERIFY_THROWS_EXCEPTION(EngineError, db.NewKey(QStringLiteral("Torihikisaki")));
    }

    // Keys 1-10 deleted by another computer under a bookmark on key 15: the list still knows
    // every row after it.
    void bookmarkAfterRowsWereDeleted()
    {
        addCustomers(20);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select key, TorihikisakiNM from Torihikisaki order by key"));
        q.setPaged(true);
        q.setPageSize(4);
        q.Open();
        QVERIFY(q.Locate(15));
        const TBookmark mark = q.GetBookmark();
        q.Close();
        SecondConnection(*t).exec(QStringLiteral("delete from Torihikisaki where key <= 10"));
        q.Open();
        q.GotoBookmark(mark);
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 15);
        QCOMPARE(q.RecordCount(), 10);
        q.Last();
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 20);

        // The bookmarked row itself gone: the next one takes its place; the last one gone: the
        // new last row.
        const TBookmark last = q.GetBookmark();
        q.GotoBookmark(mark);
        const TBookmark fifteen = q.GetBookmark();
        q.Close();
        t->exec(QStringLiteral("delete from Torihikisaki where key in (15, 20)"));
        q.Open();
        q.GotoBookmark(fifteen);
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 16);
        q.GotoBookmark(last);
        QCOMPARE(q.FieldByName(QStringLiteral("key")).AsInteger(), 19);
        QVERIFY(!q.Locate(15));
    }

    // Reading page by page gives the same rows in the same order as reading the whole result,
    // forwards and backwards, with ties, NULLs and either direction.
    void pagedListsReadEveryRowInOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addRow("date, key") << "Hiduke, key";
        QTest::addRow("date desc, key desc") << "Hiduke DESC, key DESC";
        QTest::addRow("mixed") << "Hiduke desc, Kingaku, key";
        QTest::addRow("text with nulls, key") << "JisyaTanto asc, key desc";
        QTest::addRow("key only") << "key";
    }
    void pagedListsReadEveryRowInOrder()
    {
        QFETCH(QString, order);
        for (int key = 1; key <= 23; ++key) {
            const QString date =
                key % 5 == 0 ? QStringLiteral("null") : QStringLiteral("'2026-0%1-01'").arg(1 + key % 3);
            const QString tanto =
                key % 4 == 0 ? QStringLiteral("null") : QStringLiteral("'担当%1'").arg(key % 2);
            t->exec(QStringLiteral("insert into Mitumori (key, Hiduke, Kingaku, JisyaTanto) "
                                   "values (%1, %2, %3, %4)")
                        .arg(key)
                        .arg(date)
                        .arg(key % 7 == 0 ? QStringLiteral("null") : QString::number(key % 3))
                        .arg(tanto));
        }
        const QString sql =
            QStringLiteral("select key, Hiduke, Kingaku, JisyaTanto from Mitumori order by ") + order;
        TEngineQuery whole(&t->db());
        whole.addSql(sql);
        whole.Open();
        const QList<int> expected = keysOf(whole);
        QCOMPARE(expected.size(), 23);

        TEngineQuery paged(&t->db());
        paged.addSql(sql);
        paged.setPaged(true);
        paged.setPageSize(3);
        paged.Open();
        QVERIFY(paged.windowed());
        QCOMPARE(keysOf(paged), expected);
        paged.Close();
        paged.Open();
        QCOMPARE(keysOf(paged, true), expected);
        QCOMPARE(paged.RecordCount(), 23);
        QCOMPARE(paged.FieldByName(QStringLiteral("Hiduke")).kind(), TEngineField::Kind::Date);

        // Locating a row far from the rows held reads the rows around it.
        paged.Last();
        const int target = expected.at(4);
        QVERIFY(paged.Locate(target));
        QCOMPARE(paged.FieldByName(QStringLiteral("key")).AsInteger(), target);
        paged.Prior();
        QCOMPARE(paged.FieldByName(QStringLiteral("key")).AsInteger(), expected.at(3));
    }

    // A sum beyond 32 bits is read whole as a large integer; as an integer it raises, never wraps.
    void largeSumsDoNotWrap()
    {
        t->exec(QStringLiteral("insert into Nohin (key, Kingaku) values (1, 2000000000)"));
        t->exec(QStringLiteral("insert into Nohin (key, Kingaku) values (2, 1000000000)"));
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select sum(Kingaku) total, max(Kingaku) top from Nohin"));
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("total")).AsLargeInt(), Q_INT64_C(3000000000));
        QVERIFY_THROWS_EXCEPTION(ConvertError, q.FieldByName(QStringLiteral("total")).AsInteger());
        QCOMPARE(q.FieldByName(QStringLiteral("top")).AsInteger(), 2000000000);
    }

    // A new statement starts without values; a parameter reference stays valid while others are added.
    void parametersBelongToTheirStatement()
    {
        addProducts(2);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Syohin where SyohinCD = :cd or SyohinNM = :nm"));
        TEngineParam &cd = q.ParamByName(QStringLiteral("cd"));
        for (int i = 0; i < 50; ++i)
            q.ParamByName(QStringLiteral("extra%1").arg(i)).setAsInteger(i);
        cd.setAsInteger(2);
        q.ParamByName(QStringLiteral("NM")).setAsString(QString());
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 2);
        q.Close();
        q.clearSql();
        q.addSql(QStringLiteral("select * from Syohin where SyohinCD = :cd"));
        QVERIFY_THROWS_EXCEPTION(EngineError, q.Open());
        q.setSql({QStringLiteral("delete from Syohin where SyohinCD = :cd")});
        QVERIFY_THROWS_EXCEPTION(EngineError, q.ExecSQL());
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 2);

        // The same statement again with new values, and after its table changed.
        q.ParamByName(QStringLiteral("cd")).setAsInteger(1);
        q.ExecSQL();
        QCOMPARE(q.RowsAffected(), 1);
        q.ExecSQL();
        QCOMPARE(q.RowsAffected(), 0);
        TEngineQuery read(&t->db());
        read.addSql(QStringLiteral("select * from Syohin where SyohinCD = :cd"));
        read.ParamByName(QStringLiteral("cd")).setAsInteger(2);
        read.Open();
        t->exec(QStringLiteral("alter table Syohin add Extra integer"));
        read.Open();
        QVERIFY(read.hasField(QStringLiteral("Extra")));
    }

    void memoAndBlobParameters()
    {
        QByteArray bytes("\xff\xd8\x00\x01jpeg\x00", 9);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into MitumoriSettei (key, Bikou) values (0, :memo)"));
        q.ParamByName(QStringLiteral("memo"))
            .setAsMemo({QStringLiteral("一行目"), QString(), QStringLiteral("三行目")});
        q.ExecSQL();
        q.setSql({QStringLiteral("insert into JisyaJyoho (key, inei) values (:key, :inei)")});
        q.ParamByName(QStringLiteral("key")).setAsInteger(0);
        q.ParamByName(QStringLiteral("inei")).setAsBlob(bytes);
        q.ExecSQL();
        q.ParamByName(QStringLiteral("key")).setAsInteger(1);
        q.ParamByName(QStringLiteral("inei")).setNullBlob();
        q.ExecSQL();

        TEngineQuery r(&t->db());
        r.addSql(QStringLiteral("select Bikou from MitumoriSettei"));
        r.Open();
        QCOMPARE(r.FieldByName(QStringLiteral("Bikou")).AsLines(),
                 QStringList({QStringLiteral("一行目"), QString(), QStringLiteral("三行目")}));
        r.setSql({QStringLiteral("select inei from JisyaJyoho order by key")});
        r.Open();
        QCOMPARE(r.FieldByName(QStringLiteral("inei")).AsBytes(), bytes);
        r.Next();
        QVERIFY(r.FieldByName(QStringLiteral("inei")).IsNull());
    }

    void groupsComeInAscendingOrder()
    {
        for (int key : {5, 1, 9, 3, 7, 2})
            t->exec(QStringLiteral("insert into Mitumori (key, HidukeY) values (%1, %2)")
                        .arg(key)
                        .arg(2030 - key));
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select HidukeY, count(*) n from Mitumori Group By HidukeY"));
        q.Open();
        QList<int> years;
        for (; !q.Eof(); q.Next())
            years << q.FieldByName(QStringLiteral("HidukeY")).AsInteger();
        QCOMPARE(years, QList<int>({2021, 2023, 2025, 2027, 2028, 2029}));
    }

    void filteredResultStartsAtItsFirstPassingRow()
    {
        addProducts(5);
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select * from Syohin order by SyohinCD"));
        q.setFilter([](const TEngineQuery &row) {
            return row.FieldByName(QStringLiteral("SyohinCD")).AsInteger() % 2 == 0;
        });
        q.Open();
        QCOMPARE(keysOfProducts(q), QList<int>({2, 4}));
        q.setFilter([](const TEngineQuery &) { return false; });
        q.Open();
        QVERIFY(q.IsEmpty());
    }

    // A clean close leaves everything in the database file itself (a copy of it is a backup).
    void closingCheckpointsTheJournal()
    {
        if (t->isPostgres())
            QSKIP("the journal belongs to the local database");
        QCOMPARE(t->db().journalMode(), QStringLiteral("wal"));
        addProducts(300);
        const QDir folder(t->localFolder());
        t->db().Close();
        const QFileInfo wal(folder.filePath(QLatin1String(kLocalDatabaseFile) + QStringLiteral("-wal")));
        QVERIFY(!wal.exists() || wal.size() == 0);
        QVERIFY(QFileInfo(folder.filePath(QLatin1String(kLocalDatabaseFile))).size() > 16 * 1024);
    }

    // On a folder of another machine SQLite's WAL is unsafe: the rollback journal is used there.
    void networkFoldersUseTheRollbackJournal()
    {
        if (t->isPostgres())
            QSKIP("the journal belongs to the local database");
        QVERIFY(isNetworkFileSystemType(0x6969));      // NFS
        QVERIFY(isNetworkFileSystemType(0xFF534D42));  // CIFS
        QVERIFY(isNetworkFileSystemType(0xFE534D42));  // SMB2
        QVERIFY(!isNetworkFileSystemType(0xEF53));     // ext4
        QVERIFY(!isNetworkFileSystemType(0x01021994)); // tmpfs
        t->db().Close();
        TEngineDatabase::setNetworkFolderProbe([](const QString &) { return true; });
        t->db().Open();
        TEngineDatabase::setNetworkFolderProbe({});
        QCOMPARE(t->db().journalMode(), QStringLiteral("delete"));
        QCOMPARE(t->scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
        addProducts(1);
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

    // A copy committing one short transaction after another (as the invoice run does, one per
    // customer) lets another copy's save in between: every save waits its turn and succeeds, well
    // within the wait for a lock.
    void savesGetATurnBetweenAnotherCopysTransactions()
    {
        struct Runner : QThread
        {
            const TestDatabase *t;
            QAtomicInt stop;
            int transactions = 0;
            QString error;
            void run() override
            {
                TEngineSession s;
                TEngineDatabase db(&s, QStringLiteral("Runner"));
                t->configure(s, db);
                try {
                    TEngineQuery q(&db);
                    q.addSql(QStringLiteral("update Syohin set Tanka = Tanka + 1"));
                    while (!stop.loadRelaxed()) {
                        TEngineTransaction tr(db);
                        db.LockForNumbering(QStringLiteral("Syohin"));
                        q.ExecSQL();
                        msleep(2);
                        tr.commit();
                        ++transactions;
                    }
                } catch (const AppError &e) {
                    error = e.message();
                }
            }
        };
        addProducts(1);
        Runner runner;
        runner.t = t.get();
        runner.start();
        QThread::msleep(100);
        QStringList failures;
        for (int i = 0; i < 20; ++i) {
            try {
                TEngineTransaction tr(t->db());
                t->db().NewKey(QStringLiteral("Mitumori"));
                tr.commit();
            } catch (const AppError &e) {
                failures << e.message();
            }
            QThread::msleep(20);
        }
        runner.stop.storeRelaxed(1);
        QVERIFY(runner.wait(10000));
        QVERIFY2(runner.error.isEmpty(), qPrintable(runner.error));
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QVERIFY(runner.transactions > 0);
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
