// kadomel-cli's invoice run killed outright (SIGKILL) at ten moments spread over a clean run's time:
// afterwards every customer is billed completely or not at all, and running it again finishes the
// work with the same invoices as the clean run. On both engines.
#include "data/Engine.h"
#include "Programs.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QMap>
#include <QMultiMap>
#include <QTest>

namespace {

constexpr int kCustomers = 200;
constexpr int kNotesEach = 5;
constexpr int kLinesEach = 3;
const QStringList kRunArguments{QStringLiteral("invoice-run"), QStringLiteral("--closing"),
                                QStringLiteral("2024/03/31"), QStringLiteral("--day"), QStringLiteral("99")};

// The previous invoice amount each customer starts with.
int openingAmount(int customer)
{
    return customer * 100;
}

} // namespace

class TestKilledInvoiceRun : public QObject
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

    // The rows of a statement grouped by their first column (a key), each row's other columns joined.
    QMultiMap<int, QString> rowsBy(const QString &sql)
    {
        QMultiMap<int, QString> grouped;
        for (const QString &row : rows(sql))
            grouped.insert(row.section(u'|', 0, 0).toInt(), row.section(u'|', 1));
        return grouped;
    }

    // Per customer what the run made of it, without the keys it generated: "untouched" while nothing is
    // billed; else its invoice's amounts, its lines, the notes and payments marked with it and the
    // previous invoice amount carried over. Anything else (a part billed, two invoices) reads so.
    QMap<int, QString> customerStates()
    {
        const QMultiMap<int, QString> invoices = rowsBy(
            QStringLiteral("select TorihikisakiKey, key, Seq, Simebi, ZenkaiSeikyu, Nyukingaku, Tyoseigaku, "
                           "Hanbaigaku, Seikyugaku from Seikyu"));
        const QMultiMap<int, QString> lines = rowsBy(QStringLiteral(
            "select Key, Gyo, NohinYMD, NohinNo, SyohinNM, Suryo, Tani, Tanka, Kingaku from SeikyuMesai"));
        const QMultiMap<int, QString> taken = rowsBy(QStringLiteral(
            "select TorihikisakiKey, SeikyuKey, NohinNo from Nohin where SeikyuKey <> 0 union all "
            "select TorihikisakiKey, SeikyuKey, RyosyuNo from Nyukin where SeikyuKey <> 0"));
        const QMultiMap<int, QString> zenkai =
            rowsBy(QStringLiteral("select key, ZenkaiSeikyuGaku from Torihikisaki"));
        QMap<int, QString> states;
        for (int c = 1; c <= kCustomers; ++c) {
            const QStringList invoice = invoices.values(c);
            QStringList documents = taken.values(c);
            if (invoice.isEmpty() && documents.isEmpty() && zenkai.value(c).toInt() == openingAmount(c)) {
                states[c] = QStringLiteral("untouched");
                continue;
            }
            if (invoice.size() != 1) {
                states[c] = QStringLiteral("%1 invoices, %2 notes and payments billed, previous amount %3")
                                .arg(invoice.size())
                                .arg(documents.size())
                                .arg(zenkai.value(c));
                continue;
            }
            const QString key = invoice[0].section(u'|', 0, 0);
            QStringList lineRows = lines.values(key.toInt());
            std::sort(lineRows.begin(), lineRows.end(), [](const QString &a, const QString &b) {
                return a.section(u'|', 0, 0).toInt() < b.section(u'|', 0, 0).toInt();
            });
            for (QString &d : documents) // the number of the document, and whether this invoice took it
                d = d.section(u'|', 1) +
                    (d.section(u'|', 0, 0) == key ? QString() : QStringLiteral("(other)"));
            documents.sort();
            states[c] = QStringLiteral("invoice %1; lines %2; took %3; previous amount %4")
                            .arg(invoice[0].section(u'|', 1), lineRows.join(u';'), documents.join(u','),
                                 zenkai.value(c));
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

private Q_SLOTS:
    void init()
    {
        t = databaseForCli();
        KADOMEL_REQUIRE_DB(*t);
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
            waitForOtherConnections(*t);
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
};

QTEST_GUILESS_MAIN(TestKilledInvoiceRun)
#include "tst_killedinvoicerun.moc"
