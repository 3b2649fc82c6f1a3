// Backups and restoring them while other copies of the program work: a backup taken during another
// process's saves is whole and holds every save reported before it began; restoring a backup brings
// the state it was taken in back, loses no save of a copy that connects meanwhile, and is refused
// while another copy is connected; only this program's backups are restored, an earlier version's
// in the current layout; a damaged database is kept as it is and restored; what killed or failed
// backups leave is removed. On SQLite and on PostgreSQL. Also the daily backup of the local database.
#include "billing/InvoiceRun.h"
#include "BillingFixture.h"
#include "data/AppPaths.h"
#include "data/Backup.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "data/Schema.h"
#include "masters/CustomerStore.h"
#include "TestDatabase.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Run as a child process: saves one customer after another on the database the configuration
// names, printing each key once its save is committed, until it is killed.
int saveLoop()
{
    TEngineSession session;
    TEngineDatabase db(&session, QStringLiteral("SaveLoop"));
    ConnectionSettings::read(IniFile(AppPaths::iniPath())).applyTo(session, db);
    db.Open();
    for (int i = 1;; ++i) {
        CustomerRecord c;
        c.TorihikisakiCD = i;
        c.TorihikisakiNM = QStringLiteral("並行保存 %1").arg(i);
        const int key = CustomerStore::insert(db, c);
        std::printf("%d\n", key);
        std::fflush(stdout);
    }
}

// Run as a child process: a copy of the program that starts, saves one customer and ends, again and
// again (as kadomel-cli or a short session does), until it is killed. Prints "saved <n>" once the
// save is committed, or "refused <n> <message>" when it could not connect or save.
int connectSaveLoop()
{
    const ConnectionSettings settings = ConnectionSettings::read(IniFile(AppPaths::iniPath()));
    for (int i = 1;; ++i) {
        try {
            TEngineSession session;
            TEngineDatabase db(&session, QStringLiteral("ShortSession"));
            settings.applyTo(session, db);
            db.Open();
            CustomerRecord c;
            c.TorihikisakiCD = 1000 + i;
            c.TorihikisakiNM = QStringLiteral("並行保存 %1").arg(i);
            CustomerStore::insert(db, c);
            std::printf("saved %d\n", i);
        } catch (const AppError &e) {
            std::printf("refused %d %s\n", i, qPrintable(e.message().simplified()));
        }
        std::fflush(stdout);
        QThread::msleep(15);
    }
}

// The numbers n of the customers "並行保存 n" in a text.
QSet<int> savedNumbersIn(const QString &text)
{
    static const QRegularExpression saved(QStringLiteral("並行保存 (\\d+)"));
    QSet<int> numbers;
    for (const QRegularExpressionMatch &m : saved.globalMatch(text))
        numbers.insert(m.captured(1).toInt());
    return numbers;
}

// The names of the customers in a backup file of either engine.
QString customerNamesIn(const QString &backup, bool postgres)
{
    if (postgres) {
        QProcess p;
        p.start(QStringLiteral("pg_restore"),
                {QStringLiteral("--data-only"), QStringLiteral("--table=torihikisaki"),
                 QStringLiteral("--file=-"), backup});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QString names;
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kept"));
        file.setDatabaseName(backup);
        file.open();
        QSqlQuery q(QStringLiteral("select TorihikisakiNM from Torihikisaki"), file);
        while (q.next())
            names += q.value(0).toString() + QLatin1Char('\n');
    }
    QSqlDatabase::removeDatabase(QStringLiteral("kept"));
    return names;
}

QProcess *startChild(const QString &mode)
{
    auto *child = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KADOMEL_SAVE_LOOP"), mode);
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), {});
    return child;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    QString backupPath(const QString &name) const
    {
        return QDir(t->folder())
            .filePath(name + (t->isPostgres() ? QStringLiteral(".dump") : QStringLiteral(".sqlite3")));
    }

    // Drops every table of the test database: the program's and any other.
    void dropEveryTable()
    {
        const QString sql =
            t->isPostgres()
                ? QStringLiteral("select tablename from pg_tables where schemaname = current_schema()")
                : QStringLiteral("select name from sqlite_master where type = 'table'");
        QStringList tables;
        {
            QSqlQuery q(sql, t->db().connection());
            while (q.next())
                tables.append(q.value(0).toString());
        }
        for (const QString &table : tables)
            t->exec(QStringLiteral("DROP TABLE %1").arg(table));
    }

    // Closes the local database and overwrites a page in the middle of its file; returns the file.
    QString damageLocalDatabase()
    {
        t->db().Close();
        const QString database = Backup::localDatabaseFile(t->db());
        QFile damage(database);
        if (!damage.open(QIODevice::ReadWrite) || damage.size() < 8192)
            qFatal("no database file to damage");
        damage.seek(damage.size() / 2);
        damage.write(QByteArray(4096, '\xAB'));
        return database;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void backupDuringSavesHoldsEverySaveReportedBefore()
    {
        t->writeConnectionSettings();
        const std::unique_ptr<QProcess> child(startChild(QStringLiteral("1")));
        QProcess &saver = *child;
        QVERIFY(saver.waitForStarted());
        QByteArray reported;
        auto savedSoFar = [&] {
            reported += saver.readAllStandardOutput();
            return int(reported.count('\n'));
        };
        QTRY_VERIFY_WITH_TIMEOUT(savedSoFar() >= 30, 30000);
        const int before = savedSoFar();
        const QString file = backupPath(QStringLiteral("during-saves"));
        Backup::take(t->db(), file);
        saver.kill();
        saver.waitForFinished();
        const Backup::Summary summary = Backup::describe(t->db(), file); // integrity checked again
        QVERIFY2(summary.customers >= before,
                 qPrintable(QStringLiteral("%1 < %2").arg(summary.customers).arg(before)));
    }

    void restoreBringsBackTheStateBeforeAnInvoiceRun()
    {
        BillingFixture f(*t);
        const int c = f.addCustomer(QStringLiteral("復元商店"), 20, 5000);
        f.addNote(c, 12000, QDate(2024, 3, 5), 2);
        f.addPayment(c, 3000, QDate(2024, 3, 10));
        const QStringList before = t->fingerprint();
        const QString file = backupPath(QStringLiteral("before-run"));
        Backup::take(t->db(), file);

        InvoiceRun run(t->db());
        QCOMPARE(run.run({c}, QDate(2024, 3, 20)).size(), 1);
        QVERIFY(t->fingerprint() != before);
        const QStringList afterRun = t->fingerprint();

        const Backup::Summary summary = Backup::describe(t->db(), file);
        QCOMPARE(summary.customers, 1);
        QCOMPARE(summary.deliveryNotes, 1);
        QCOMPARE(summary.payments, 1);
        QCOMPARE(summary.invoices, 0);
        QVERIFY(Backup::restoreQuestion(summary).contains(QStringLiteral("取引先 1 件、帳票 2 件")));

        const QString kept = Backup::restore(t->module(), file);
        QCOMPARE(t->fingerprint(), before);
        QVERIFY(t->db().Connected());
        // The replaced database was kept: restoring it brings the invoice back.
        QVERIFY(QFile::exists(kept));
        Backup::restore(t->module(), kept);
        QCOMPARE(t->fingerprint(), afterRun);
    }

    void restoreIsRefusedWhileAnotherCopyIsConnected()
    {
        BillingFixture f(*t);
        f.addCustomer(QStringLiteral("接続中"));
        const QString file = backupPath(QStringLiteral("refused"));
        Backup::take(t->db(), file);
        f.addCustomer(QStringLiteral("後から"));
        const QStringList before = t->fingerprint();
        {
            TEngineSession session;
            TEngineDatabase other(&session, QStringLiteral("OtherComputer"));
            t->configure(session, other);
            other.Open();
            try {
                Backup::restore(t->module(), file);
                QFAIL("restored while another copy was connected");
            } catch (const AppError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("接続しているため、復元できません")),
                         qPrintable(e.message()));
            }
            QVERIFY(t->db().Connected());
            QCOMPARE(t->fingerprint(), before);
        }
        Backup::restore(t->module(), file);
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(), 1);
    }

    void aBadBackupFileChangesNothing()
    {
        BillingFixture f(*t);
        f.addCustomer(QStringLiteral("そのまま"));
        const QStringList before = t->fingerprint();
        const QString file = backupPath(QStringLiteral("garbage"));
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QVERIFY_THROWS_EXCEPTION(AppError, Backup::describe(t->db(), file));
        QVERIFY_THROWS_EXCEPTION(AppError, Backup::restore(t->module(), file));
        QCOMPARE(t->fingerprint(), before);
    }

    // Another copy starts, saves and ends, again and again, while the backup is restored three times.
    // By design a save either lands before the restore, in the database that the restore keeps, or
    // after it, in the restored database: a copy connecting meanwhile waits until the restore has
    // ended, or gives up with "復元中" and the save is refused (reported, nothing lost). A save
    // reported done that is in neither is lost.
    void restoreDuringSavesOfShortSessionsLosesNone()
    {
        BillingFixture f(*t);
        f.addCustomer(QStringLiteral("復元前から"));
        const QString file = backupPath(QStringLiteral("racing"));
        Backup::take(t->db(), file);
        t->writeConnectionSettings();
        const std::unique_ptr<QProcess> child(startChild(QStringLiteral("reconnect")));
        QVERIFY(child->waitForStarted());
        QString reported;
        auto reportedSaves = [&] {
            reported += QString::fromUtf8(child->readAllStandardOutput());
            return int(reported.count(QStringLiteral("saved ")));
        };
        QStringList kept;
        int refusedRestores = 0;
        while (kept.size() < 3 && refusedRestores < 20) {
            const int before = reportedSaves();
            QTRY_VERIFY_WITH_TIMEOUT(reportedSaves() >= before + 10, 60000);
            try {
                kept.append(Backup::restore(t->module(), file));
            } catch (const AppError &e) {
                // Refused, nothing replaced: a save held its connection for the whole wait, or held
                // the write lock when the restore wanted it.
                QVERIFY2(e.message().contains(QStringLiteral("接続しているため")) ||
                             e.message().contains(QStringLiteral("更新中のため")),
                         qPrintable(e.message()));
                ++refusedRestores;
            }
        }
        QCOMPARE(kept.size(), 3);
        const int before = reportedSaves();
        QTRY_VERIFY_WITH_TIMEOUT(reportedSaves() >= before + 10, 60000); // it saves after the restores
        child->kill();
        child->waitForFinished();
        reportedSaves();

        QString names;
        {
            QSqlQuery q(QStringLiteral("select TorihikisakiNM from Torihikisaki"), t->db().connection());
            while (q.next())
                names += q.value(0).toString() + QLatin1Char('\n');
        }
        QSet<int> stored = savedNumbersIn(names);
        const int inRestoredState = int(stored.size());
        for (const QString &k : kept)
            stored.unite(savedNumbersIn(customerNamesIn(k, t->isPostgres())));
        const QSet<int> saved =
            savedNumbersIn(reported.replace(QStringLiteral("saved "), QStringLiteral("並行保存 ")));
        QStringList lost;
        for (int n : saved)
            if (!stored.contains(n))
                lost.append(QString::number(n));
        const QStringList refusals = reported.split(QLatin1Char('\n')).filter(QStringLiteral("refused "));
        for (const QString &refusal : refusals)
            QVERIFY2(refusal.contains(QStringLiteral("復元中")), qPrintable(refusal));
        qInfo("%d saves reported, %d refused while restoring, %d in the final restored state, %d restores "
              "refused while a save was connected",
              int(saved.size()), int(refusals.size()), inRestoredState, refusedRestores);
        QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("lost saves: ") + lost.join(u' ')));
    }

    void backupLayouts_data()
    {
        QTest::addColumn<bool>("dropProgramTables");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<bool>("accepted");
        const QString five = QStringLiteral("CREATE TABLE %1 (key integer)");
        QTest::addRow("the five counted tables, nothing else")
            << true
            << QStringList{five.arg(QStringLiteral("Torihikisaki")), five.arg(QStringLiteral("Mitumori")),
                           five.arg(QStringLiteral("Nohin")), five.arg(QStringLiteral("Seikyu")),
                           five.arg(QStringLiteral("Nyukin"))}
            << false;
        QTest::addRow("another program's tables")
            << true
            << QStringList{QStringLiteral("CREATE TABLE orders (id integer, item varchar(20))"),
                           QStringLiteral("CREATE TABLE customers (id integer, name varchar(20))")}
            << false;
        QTest::addRow("a column missing")
            << false << QStringList{QStringLiteral("ALTER TABLE Torihikisaki DROP COLUMN Yubin")} << false;
        // An earlier version: no honorific column, none of the tax columns of the own company.
        QTest::addRow("an earlier version's layout")
            << false
            << QStringList{QStringLiteral("ALTER TABLE Torihikisaki DROP COLUMN Keisyo"),
                           QStringLiteral("ALTER TABLE JisyaJyoho DROP COLUMN TekikakuKBN"),
                           QStringLiteral("ALTER TABLE JisyaJyoho DROP COLUMN TourokuNo")}
            << true;
    }
    // A backup that holds another database than this program's is refused before anything changes
    // (afterwards every start would fail, and so would restoring the kept copy); an earlier version's
    // backup is restored and brought to the current layout at once, as a start does.
    void backupLayouts()
    {
        QFETCH(bool, dropProgramTables);
        QFETCH(QStringList, statements);
        QFETCH(bool, accepted);
        BillingFixture f(*t);
        f.addCustomer(QStringLiteral("レイアウト"));
        if (dropProgramTables)
            dropEveryTable();
        for (const QString &statement : statements)
            t->exec(statement);
        const QString file = backupPath(QStringLiteral("layout"));
        Backup::take(t->db(), file);
        dropEveryTable();
        t->module().CheckTables();
        f.addCustomer(QStringLiteral("現在"));
        const QStringList before = t->fingerprint();
        if (!accepted) {
            try {
                Backup::restore(t->module(), file);
                QFAIL("a backup of another database was restored");
            } catch (const AppError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("このプログラムのバックアップではない")),
                         qPrintable(e.message()));
            }
            QCOMPARE(t->fingerprint(), before);
            QVERIFY(!QDir(Backup::backupFolder(t->db())).exists() ||
                    QDir(Backup::backupFolder(t->db())).isEmpty());
            return;
        }
        Backup::restore(t->module(), file);
        const QStringList customerColumns = t->db().TableFieldNames(QStringLiteral("Torihikisaki"));
        QVERIFY(customerColumns.contains(QStringLiteral("keisyo"), Qt::CaseInsensitive));
        QVERIFY(t->db()
                    .TableFieldNames(QStringLiteral("JisyaJyoho"))
                    .contains(QStringLiteral("tekikakukbn"), Qt::CaseInsensitive));
        QCOMPARE(t->scalar(QStringLiteral("select Keisyo from Torihikisaki")).toString(),
                 QStringLiteral("御中"));
        t->fingerprint(); // every table reads in the current layout
    }

    void damagedDatabaseIsKeptAsItIsAndRestored()
    {
        if (t->isPostgres())
            QSKIP("a damaged file is the local database's");
        BillingFixture f(*t);
        for (int i = 0; i < 200; ++i)
            f.addCustomer(QStringLiteral("壊れる前 %1").arg(i));
        const QString file = backupPath(QStringLiteral("before-damage"));
        Backup::take(t->db(), file);
        const QStringList backedUp = t->fingerprint();
        f.addCustomer(QStringLiteral("後から"));
        const QString database = damageLocalDatabase();
        QFile read(database);
        QVERIFY(read.open(QIODevice::ReadOnly));
        const QByteArray damaged = read.readAll();
        read.close();
        QVERIFY_THROWS_EXCEPTION(AppError, Backup::checkIntegrity(database));

        const QString kept = Backup::restore(t->module(), file);
        QCOMPARE(t->fingerprint(), backedUp);
        QVERIFY2(kept.endsWith(QStringLiteral("-damaged.sqlite3")), qPrintable(kept));
        QFile keptFile(kept);
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QVERIFY(keptFile.readAll() == damaged);
        QCOMPARE(QDir(Backup::backupFolder(t->db())).entryList({QStringLiteral("*.part-*")}, QDir::Files),
                 QStringList());
    }

    // A killed backup leaves its part file (and SQLite's journal) beside the target: the next backup
    // into that folder removes them, but not the part file that a running backup holds, nor other
    // files. A failed backup names its target and leaves nothing beside it.
    void leftoversOfKilledAndFailedBackupsAreRemoved()
    {
        const QString target = backupPath(QStringLiteral("leftovers"));
        const QDir folder(t->folder());
        const QStringList left{QFileInfo(target).fileName() + QStringLiteral(".part-999999"),
                               QFileInfo(target).fileName() + QStringLiteral(".part-999999-journal"),
                               QStringLiteral("other.sqlite3.part-888888"),
                               QStringLiteral("orphan.dump.part-777777-journal")};
        const QStringList untouched{QStringLiteral("notes.txt.part-5"),
                                    QStringLiteral("running.sqlite3.part-666666")};
        for (const QString &name : left + untouched) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1000, 'x'));
        }
        const int running =
            ::open(QFile::encodeName(folder.filePath(untouched.last())).constData(), O_RDONLY);
        QVERIFY(running >= 0);
        QCOMPARE(flock(running, LOCK_EX | LOCK_NB), 0); // a backup writing it at another computer
        Backup::take(t->db(), target);
        ::close(running);
        QStringList parts = folder.entryList({QStringLiteral("*.part-*")}, QDir::Files);
        parts.sort();
        QCOMPARE(parts, untouched);

        if (t->isPostgres())
            return; // a failing dump: see the daily backup
        // A backup of a damaged database fails its check.
        BillingFixture f(*t);
        for (int i = 0; i < 200; ++i)
            f.addCustomer(QStringLiteral("大きく %1").arg(i));
        const QString database = damageLocalDatabase();
        const QString failing = folder.filePath(QStringLiteral("failing.sqlite3"));
        try {
            Backup::copyLocalFile(database, failing);
            QFAIL("a damaged database was backed up");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(failing)) &&
                         !e.message().contains(QStringLiteral(".part-")),
                     qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(failing));
        QCOMPARE(folder.entryList({QStringLiteral("failing*")}, QDir::Files), QStringList());
    }

    void dailyBackupOncePerDayKeepingTheNewest()
    {
        if (t->isPostgres())
            QSKIP("the daily backup is of the local database");
        const QString database = Backup::localDatabaseFile(t->db());
        const QString folder = Backup::backupFolder(t->db());
        QDir().mkpath(folder);
        for (int day = 1; day <= 15; ++day)
            Backup::copyLocalFile(
                database, QDir(folder).filePath(
                              QStringLiteral("kadomel-202401%1.sqlite3").arg(day, 2, 10, QLatin1Char('0'))));
        const QDate today(2024, 2, 1);
        // Two copies starting at once: neither fails, one file is written.
        QStringList written{QString(), QString()};
        QString failure;
        auto start = [&](int i) {
            return QThread::create([&, i] {
                try {
                    written[i] = Backup::takeDaily(database, folder, today, 14);
                } catch (const AppError &e) {
                    failure = e.message();
                }
            });
        };
        std::unique_ptr<QThread> a(start(0)), b(start(1));
        a->start();
        b->start();
        a->wait();
        b->wait();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(written.count(QString()), 1);
        QVERIFY(Backup::takeDaily(database, folder, today, 14).isEmpty()); // once a day
        const QStringList kept =
            QDir(folder).entryList({QStringLiteral("kadomel-*.sqlite3")}, QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), 14);
        QCOMPARE(kept.first(), QStringLiteral("kadomel-20240103.sqlite3"));
        QCOMPARE(kept.last(), QStringLiteral("kadomel-20240201.sqlite3"));
        Backup::checkIntegrity(QDir(folder).filePath(kept.last()));
        QVERIFY(Backup::takeDaily(database, folder, today.addDays(1), 0).isEmpty()); // turned off
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariable("KADOMEL_SAVE_LOOP") == QLatin1String("reconnect"))
        return connectSaveLoop();
    if (qEnvironmentVariableIsSet("KADOMEL_SAVE_LOOP"))
        return saveLoop();
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
