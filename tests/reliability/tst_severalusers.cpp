// Four copies of the program entering estimates, delivery notes with lines and payments at the same
// moment, and registering customers on the way, on one database: nothing that a copy was told is
// stored is missing, no key or number is drawn twice, every document has all its lines, and a copy
// that was refused got the lock message and stored nothing. Estimates are numbered by the running
// number, delivery notes and receipts by the monthly running number (with year and month in front);
// on both engines.
#include "data/Engine.h"
#include "documents/DocumentSettings.h"
#include "Programs.h"
#include "SaveRounds.h"

#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kCopies = 4;
constexpr int kRounds = 250;

// What the copies reported: per kind, the tag of each save told done with its key and line count,
// and the refused saves.
struct Reports
{
    struct Done
    {
        int key = 0;
        int lines = 0;
    };
    QHash<QString, QHash<QString, Done>> done; // kind -> tag -> key, lines
    QStringList refusals;                      // "<kind> <tag> <message>"

    void read(const QString &output)
    {
        for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char(' '));
            if (f[0] == QLatin1String("error"))
                refusals.append(line.mid(6));
            else if (f.size() >= 3 && f[0] != QLatin1String("end"))
                done[f[0]][f[2]] = Done{f[1].toInt(), f.value(3).toInt()};
        }
    }
};

struct KindTable
{
    const char *kind;   // as the copies report it
    const char *table;  // header table
    const char *tag;    // the column that holds the tag
    const char *number; // number column, none for customers
    const char *lines;  // line table, none for customers and payments
    const char *year;   // the period columns of a monthly running number
    const char *month;
    bool monthly; // numbered by the monthly running number
};

const KindTable kKinds[] = {
    {"mitumori", "Mitumori", "Title", "MitumoriNo", "MitumoriMesai", "HidukeY", "HidukeM", false},
    {"nohin", "Nohin", "UkewatasiBasyo", "NohinNo", "NohinMesai", "HidukeY", "HidukeM", true},
    {"nyukin", "Nyukin", "Tadasigaki", "RyosyuNo", nullptr, "NyukinY", "NyukinM", true},
    {"customer", "Torihikisaki", "TorihikisakiNM", nullptr, nullptr, nullptr, nullptr, false},
};

} // namespace

class TestSeveralUsers : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    // The stored rows of a kind: tag -> key.
    QHash<QString, int> storedTags(const KindTable &k)
    {
        QHash<QString, int> tags;
        TEngineQuery q(&t->db());
        q.setSql(
            {QStringLiteral("select %1, key from %2").arg(QLatin1String(k.tag), QLatin1String(k.table))});
        for (q.Open(); !q.Eof(); q.Next())
            tags.insert(q.Field(0).AsString(), q.Field(1).AsInteger());
        return tags;
    }

    // Statements whose every row names a fault, with the fault's description.
    QStringList faults(const KindTable &k)
    {
        const QString table = QLatin1String(k.table);
        QStringList checks{QStringLiteral("select 'key ' || key || ' twice' from %1 group by key "
                                          "having count(*) > 1")
                               .arg(table)};
        if (k.number) {
            const QString period =
                k.monthly ? QStringLiteral("%1, %2").arg(QLatin1String(k.year), QLatin1String(k.month))
                          : QString();
            checks << QStringLiteral("select 'number ' || %1 || ' twice' from %2 group by %1 "
                                     "having count(*) > 1")
                          .arg(QLatin1String(k.number), table)
                   // Running numbers 1, 2, … in each period: none drawn twice, none skipped.
                   << QStringLiteral("select 'running numbers ' || min(Seq) || '-' || max(Seq) || ' for ' "
                                     "|| count(*) || ' documents' from %1 %2 having count(distinct Seq) <> "
                                     "count(*) or max(Seq) <> count(*) or min(Seq) <> 1")
                          .arg(table, period.isEmpty() ? QString() : QStringLiteral("group by ") + period);
        }
        if (k.lines)
            checks << QStringLiteral(
                          "select 'lines of ' || h.key || ' add up to ' || coalesce(sum(m.Kingaku), 0) "
                          "|| ', not ' || h.Kingaku from %1 h left join %2 m on m.Key = h.key "
                          "group by h.key, h.Kingaku having coalesce(sum(m.Kingaku), 0) <> h.Kingaku")
                          .arg(table, QLatin1String(k.lines));
        QStringList found;
        for (const QString &sql : checks) {
            TEngineQuery q(&t->db());
            q.setSql({sql});
            for (q.Open(); !q.Eof(); q.Next())
                found << QStringLiteral("%1: %2").arg(table, q.Field(0).AsString());
        }
        return found;
    }

    int lineCount(const KindTable &k, int key)
    {
        return t
            ->scalar(
                QStringLiteral("select count(*) from %1 where Key = %2").arg(QLatin1String(k.lines)).arg(key))
            .toInt();
    }

    void useNumbering()
    {
        for (Numbering::Kind kind :
             {Numbering::Kind::Mitumori, Numbering::Kind::Nohin, Numbering::Kind::Ryosyusyou}) {
            const bool monthly = kind != Numbering::Kind::Mitumori;
            DocumentSettings::Record r = DocumentSettings::loadOrCreate(t->db(), kind, {});
            r.SaibanHouhou = monthly ? Numbering::kTukiRenban : Numbering::kRenban;
            r.Fuka1 = monthly ? QStringLiteral("年月（年２桁）") : QString();
            r.Fuka2 = monthly ? QStringLiteral("-") : QString();
            r.Fuka3.clear();
            DocumentSettings::save(t->db(), kind, r);
        }
    }

private Q_SLOTS:
    void cleanup() { t.reset(); }

    void copiesSavingAtOnce()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        useNumbering();

        QTemporaryDir work;
        const QString go = work.filePath(QStringLiteral("go"));
        std::vector<std::unique_ptr<QProcess>> copies;
        Reports reports;
        QString before;
        for (int copy = 1; copy <= kCopies; ++copy) {
            copies.push_back(std::make_unique<QProcess>());
            startDriver(*copies.back(), {QStringLiteral("save"), driverWhere(*t), QString::number(copy),
                                         QString::number(kRounds), go});
            QVERIFY2(waitUntilReady(*copies.back(), before), qPrintable(before));
        }
        QFile(go).open(QIODevice::WriteOnly); // all four start at the same moment
        for (auto &copy : copies) {
            const Finished f = finish(*copy);
            QVERIFY2(f.exitCode == 0, qPrintable(f.out.right(2000) + f.err));
            QVERIFY2(f.out.contains(QStringLiteral("\nend ")), qPrintable(f.out.right(2000)));
            reports.read(f.out);
        }

        int saves = 0;
        for (const KindTable &k : kKinds) {
            const QHash<QString, int> stored = storedTags(k);
            const QHash<QString, Reports::Done> &done = reports.done.value(QLatin1String(k.kind));
            saves += int(done.size());
            for (auto d = done.begin(); d != done.end(); ++d) {
                QVERIFY2(stored.value(d.key()) == d->key,
                         qPrintable(QStringLiteral("%1 %2 (key %3) told stored, but missing")
                                        .arg(QLatin1String(k.kind), d.key())
                                        .arg(d->key)));
                if (k.lines)
                    QCOMPARE(lineCount(k, d->key), d->lines);
            }
            // Nothing but what the copies were told is stored.
            QCOMPARE(stored.size(), done.size());
            const QStringList wrong = faults(k);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        }
        // Each copy tried every round's note, estimate and payment once: done or refused.
        for (const char *kind : {"mitumori", "nohin", "nyukin"}) {
            const QString name = QLatin1String(kind);
            const qsizetype refused =
                std::count_if(reports.refusals.begin(), reports.refusals.end(),
                              [&](const QString &r) { return r.startsWith(name + u' '); });
            QCOMPARE(reports.done.value(name).size() + refused, qsizetype(kCopies * kRounds));
        }
        QVERIFY(reports.done.value(QStringLiteral("customer")).size() >= kCopies);
        for (const QString &refusal : reports.refusals) {
            QVERIFY2(refusal.contains(kLockMessage.simplified()), qPrintable(refusal));
            const QString tag = refusal.section(u' ', 1, 1);
            for (const KindTable &k : kKinds) {
                const QHash<QString, int> stored = storedTags(k);
                QVERIFY2(!stored.contains(tag) && !stored.contains(tag + QStringLiteral("-c")),
                         qPrintable(QStringLiteral("refused but stored: ") + refusal));
            }
        }
        qInfo("%lld saves, %lld refused with the lock message", qlonglong(saves),
              qlonglong(reports.refusals.size()));
    }
};

QTEST_GUILESS_MAIN(TestSeveralUsers)
#include "tst_severalusers.moc"
