// kadomel-cli's postal-code load killed outright (SIGKILL) at ten moments spread over a clean load's
// time: afterwards the Address table holds the old rows or the new ones, never none or a part, and
// loading again gives the new rows. On both engines.
#include "masters/PostalLoader.h"
#include "Programs.h"
#include "SampleFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A file of the national file's shape, smaller: the moments of the kills follow its load time.
constexpr int kPostalLines = 30000;

} // namespace

class TestKilledPostalLoad : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void loadPostalFile(const QString &path) { PostalLoader(t->db()).load(path); }

private Q_SLOTS:
    void init()
    {
        t = databaseForCli();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void postalImportKilled()
    {
        const QString oldFile = QStringLiteral(KADOMEL_TEST_DATA "/postal/ken_all_sample.csv");
        QTemporaryDir work;
        const QString newFile = work.filePath(QStringLiteral("ken_all.csv"));
        writeNationalSizedFile(oldFile, newFile, kPostalLines);
        loadPostalFile(oldFile);
        const QStringList oldRows = t->fingerprint();
        QElapsedTimer timer;
        timer.start();
        const Finished clean = runCli(*t, {QStringLiteral("import-postal"), newFile});
        const qint64 duration = timer.elapsed();
        QVERIFY2(clean.exitCode == 0, qPrintable(clean.err));
        const QStringList newRows = t->fingerprint();
        QVERIFY(newRows != oldRows);

        Kills kills;
        for (int k = 0; k < kKills; ++k) {
            loadPostalFile(oldFile);
            QCOMPARE(t->fingerprint(), oldRows);
            QProcess load;
            load.start(QStringLiteral(KADOMEL_CLI),
                       {QStringLiteral("--home"), t->folder(), QStringLiteral("import-postal"), newFile});
            const bool killed = killDuring(load, k, duration);
            waitForOtherConnections(*t);
            const QStringList after = t->fingerprint();
            QVERIFY2(after == oldRows || after == newRows, qPrintable(after.join(u'\n')));
            ++(!killed || after == newRows ? kills.after : kills.before);
            const Finished rerun = runCli(*t, {QStringLiteral("import-postal"), newFile});
            QVERIFY2(rerun.exitCode == 0, qPrintable(rerun.err));
            QCOMPARE(t->fingerprint(), newRows);
        }
        qInfo("postal load of %d lines (%lld ms) killed %d times: %d left the old rows, %d the new",
              kPostalLines, qlonglong(duration), kKills, kills.before, kills.after);
    }
};

QTEST_GUILESS_MAIN(TestKilledPostalLoad)
#include "tst_killedpostalload.moc"
