// kadomel-cli's invoice run and postal-code load killed outright (SIGKILL) at ten moments spread over
// a clean run's time: afterwards every customer is billed completely or not at all and the Address
// table holds the old rows or the new ones, never a part; running the command again finishes the
// work, with the same result as the clean run. On both engines.
#include "data/Engine.h"
#include "masters/PostalLoader.h"
#include "Programs.h"
#include "SampleFile.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kCustomers = 200;
constexpr int kNotesEach = 5;
constexpr int kLinesEach = 3;
constexpr int kKills = 10;
constexpr int kPostalLines = 60000;
const QStringList kRunArguments{QStringLiteral("invoice-run"), QStringLiteral("--closing"),
                                QStringLiteral("2024/03/31"), QStringLiteral("--day"), QStringLiteral("99")};

// The previous invoice amount each customer starts with.
int openingAmount(int customer)
{
    return customer * 100;
}

// Where each kill fell: before the command wrote anything, during its work, or after it ended.
struct Kills
{
    int before = 0;
    int during = 0;
    int after = 0;
};

// Waits until a random moment of the k-th of kKills equal parts of `duration` and kills the command
// there; false when it ended by itself first.
bool killDuring(QProcess &p, int k, qint64 duration)
{
    const qint64 at = duration * (k * 1000 + QRandomGenerator::global()->bounded(1000)) / (kKills * 1000);
    if (p.waitForFinished(int(qMax<qint64>(at, 1))))
        return false;
    p.kill(); // SIGKILL
    p.waitForFinished();
    return true;
}

} // namespace

class TestKilledRuns : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void exec(TEngineQuery &q, const QString &sql, const QVariantList &values)
    {
        q.setSql({sql});
        for (int i = 0; i < values.size(); ++i)
            q.ParamByName(QStringLiteral("p%1").arg(i)).setValue(values[i]);
        q.ExecSQL();
    }

    // Customers with closing day 99, each with unbilled delivery notes of several lines in March and
    // two payments, one of them after the closing date.
    void fill()
    {
        TEngineDatabase &db = t->db();
        TEngineTransaction transaction(db);
        TEngineQuery q(&db);
        exec(q,
             QStringLiteral(
                 "insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM) values (0, :p0, 99, 4)"),
             {QStringLiteral("カドメル商店")});
        int note = 0, payment = 0;
        for (int c = 1; c <= kCustomers; ++c) {
            exec(q,
                 QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM, Keisyo, SeikyuSimebi, "
                                "ZenkaiSeikyuGaku) values (:p0, :p1, '御中', 99, :p2)"),
                 {c, QStringLiteral("取引先%1").arg(c), openingAmount(c)});
            for (int n = 0; n < kNotesEach; ++n) {
                ++note;
                exec(q,
                     QStringLiteral("insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, "
                                    "TorihikisakiKey, Kingaku, JisyaTanto, SeikyuKey) "
                                    "values (:p0, :p1, :p2, 2024, 3, :p0, :p3, :p4, '山田', 0)"),
                     {note, QStringLiteral("N-%1").arg(note), QDate(2024, 3, 1 + (note * 7) % 31), c,
                      kLinesEach * (100 + note)});
                for (int gyo = 1; gyo <= kLinesEach; ++gyo)
                    exec(q,
                         QStringLiteral(
                             "insert into NohinMesai (Key, Gyo, SyohinNM, Suryo, Tani, Tanka, Kingaku) "
                             "values (:p0, :p1, :p2, 1, '個', :p3, :p3)"),
                         {note, gyo, QStringLiteral("品%1-%2").arg(note).arg(gyo), 100 + note});
            }
            for (const QDate &day : {QDate(2024, 3, 10), QDate(2024, 4, 2)}) {
                ++payment;
                exec(q,
                     QStringLiteral("insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, "
                                    "TorihikisakiKey, Nyukingaku, NyukinHouhou, SeikyuKey) "
                                    "values (:p0, :p1, :p2, :p3, :p4, :p0, :p5, :p6, '振込', 0)"),
                     {payment, QStringLiteral("R-%1").arg(payment), day, day.year(), day.month(), c,
                      50 * payment});
            }
        }
        transaction.commit();
    }

    // Back to the unbilled state that fill() made.
    void unbill()
    {
        for (const char *sql :
             {"delete from SeikyuMesai", "delete from Seikyu", "update Nohin set SeikyuKey = 0",
              "update Nyukin set SeikyuKey = 0", "update Torihikisaki set ZenkaiSeikyuGaku = key * 100"})
            t->exec(QLatin1String(sql));
    }

    QStringList rows(const QString &sql)
    {
        QStringList rows;
        TEngineQuery q(&t->db());
        q.setSql({sql});
        for (q.Open(); !q.Eof(); q.Next()) {
            QStringList fields;
            for (int i = 0; i < q.FieldCount(); ++i)
                fields << q.Field(i).AsString();
            rows << fields.join(u'|');
        }
        return rows;
    }

    // Per customer what the run made of it, without the keys it generated: "untouched" while nothing is
    // billed; else its invoice's amounts, its lines, the notes and payments marked with it and the
    // previous invoice amount carried over. Anything else (a part billed, two invoices) reads so.
    QMap<int, QString> customerStates()
    {
        QMap<int, QString> states;
        for (int c = 1; c <= kCustomers; ++c) {
            const QStringList invoices = rows(
                QStringLiteral("select key, Seq, Simebi, ZenkaiSeikyu, Nyukingaku, Tyoseigaku, Hanbaigaku, "
                               "Seikyugaku from Seikyu where TorihikisakiKey = %1")
                    .arg(c));
            const QStringList notes =
                rows(QStringLiteral(
                         "select NohinNo, SeikyuKey from Nohin where TorihikisakiKey = %1 and SeikyuKey <> 0 "
                         "order by NohinNo")
                         .arg(c));
            const QStringList payments =
                rows(QStringLiteral(
                         "select key, SeikyuKey from Nyukin where TorihikisakiKey = %1 and SeikyuKey <> 0 "
                         "order by key")
                         .arg(c));
            const int zenkai =
                t->scalar(QStringLiteral("select ZenkaiSeikyuGaku from Torihikisaki where key = %1").arg(c))
                    .toInt();
            if (invoices.isEmpty() && notes.isEmpty() && payments.isEmpty() && zenkai == openingAmount(c)) {
                states[c] = QStringLiteral("untouched");
                continue;
            }
            if (invoices.size() != 1) {
                states[c] = QStringLiteral("%1 invoices, %2 notes and %3 payments billed, previous amount %4")
                                .arg(invoices.size())
                                .arg(notes.size())
                                .arg(payments.size())
                                .arg(zenkai);
                continue;
            }
            const QString key = invoices[0].section(u'|', 0, 0);
            const QStringList lines =
                rows(QStringLiteral("select Gyo, NohinYMD, NohinNo, SyohinNM, Suryo, Tani, "
                                    "Tanka, Kingaku from SeikyuMesai where Key = %1 order by Gyo")
                         .arg(key));
            QStringList taken;
            for (const QString &row : notes + payments)
                taken << row.section(u'|', 0, 0) +
                             (row.section(u'|', 1, 1) == key ? QString() : QStringLiteral("(other)"));
            states[c] = QStringLiteral("invoice %1; lines %2; took %3; previous amount %4")
                            .arg(invoices[0].section(u'|', 1), lines.join(u';'), taken.join(u','))
                            .arg(zenkai);
        }
        return states;
    }

    // Every customer untouched or as the clean run left it; how many were billed.
    int checkWholeCustomers(const QMap<int, QString> &clean)
    {
        const QMap<int, QString> now = customerStates();
        int billed = 0;
        for (auto s = now.begin(); s != now.end(); ++s) {
            if (*s == QLatin1String("untouched"))
                continue;
            if (*s != clean.value(s.key())) {
                QTest::qFail(qPrintable(QStringLiteral("customer %1 after a kill: %2\nclean run: %3")
                                            .arg(s.key())
                                            .arg(*s, clean.value(s.key()))),
                             __FILE__, __LINE__);
                return -1;
            }
            ++billed;
        }
        return billed;
    }

    void loadPostalFile(const QString &path) { PostalLoader(t->db()).load(path); }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings(); // kadomel-cli works on the database the configuration names
    }
    void cleanup() { t.reset(); }

    void invoiceRunKilled()
    {
        fill();
        const QStringList unbilled = t->fingerprint();
        QElapsedTimer timer;
        timer.start();
        const Finished clean = runCli(*t, kRunArguments);
        const qint64 duration = timer.elapsed();
        QVERIFY2(clean.exitCode == 0, qPrintable(clean.err));
        QVERIFY(clean.out.contains(QStringLiteral("%1 件の請求書を作成しました").arg(kCustomers)));
        const QMap<int, QString> cleanStates = customerStates();

        Kills kills;
        for (int k = 0; k < kKills; ++k) {
            unbill();
            QCOMPARE(t->fingerprint(), unbilled);
            QProcess run;
            run.start(QStringLiteral(KADOMEL_CLI),
                      QStringList{QStringLiteral("--home"), t->folder()} + kRunArguments);
            const bool killed = killDuring(run, k, duration);
            const int billed = checkWholeCustomers(cleanStates);
            if (QTest::currentTestFailed())
                return;
            ++(!killed || billed == kCustomers ? kills.after : billed == 0 ? kills.before : kills.during);
            const Finished rerun = runCli(*t, kRunArguments);
            QVERIFY2(rerun.exitCode == 0, qPrintable(rerun.err));
            QCOMPARE(customerStates(), cleanStates);
        }
        qInfo("invoice run of %d customers (%lld ms) killed %d times: %d before billing, %d while billing, "
              "%d after",
              kCustomers, qlonglong(duration), kKills, kills.before, kills.during, kills.after);
        QVERIFY2(kills.during > 0, "no kill fell while the run was billing");
    }

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

QTEST_GUILESS_MAIN(TestKilledRuns)
#include "tst_killedruns.moc"
