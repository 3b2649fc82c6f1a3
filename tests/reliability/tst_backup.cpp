// Backups and restoring them while other copies of the program work: a backup taken during another
// process's saves is whole and holds every save reported before it began; restoring a backup brings
// the state it was taken in back, and is refused while another copy is connected. On SQLite and on
// PostgreSQL. Also the daily backup of the local database.
#include "billing/InvoiceRun.h"
#include "BillingFixture.h"
#include "data/AppPaths.h"
#include "data/Backup.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "masters/CustomerStore.h"
#include "TestDatabase.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

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
        QProcess saver;
        saver.setProcessEnvironment([] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KADOMEL_SAVE_LOOP"), QStringLiteral("1"));
            return env;
        }());
        saver.start(QCoreApplication::applicationFilePath(), {});
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

        const QString kept = Backup::restore(t->db(), file);
        QCOMPARE(t->fingerprint(), before);
        QVERIFY(t->db().Connected());
        // The replaced database was kept: restoring it brings the invoice back.
        QVERIFY(QFile::exists(kept));
        Backup::restore(t->db(), kept);
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
                Backup::restore(t->db(), file);
                QFAIL("restored while another copy was connected");
            } catch (const AppError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("接続しているため、復元できません")),
                         qPrintable(e.message()));
            }
            QVERIFY(t->db().Connected());
            QCOMPARE(t->fingerprint(), before);
        }
        Backup::restore(t->db(), file);
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
        QVERIFY_THROWS_EXCEPTION(AppError, Backup::restore(t->db(), file));
        QCOMPARE(t->fingerprint(), before);
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
    if (qEnvironmentVariableIsSet("KADOMEL_SAVE_LOOP"))
        return saveLoop();
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
