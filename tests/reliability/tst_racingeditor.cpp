// An invoice run (kadomel-cli) while another copy of the program saves new delivery notes and changes
// the lines of unbilled ones for the same customers: no note is billed twice, none is marked billed
// without being on its invoice, every invoice's sales amount is the sum of its lines and of the notes
// it marks, and every billed note says what its invoice's lines say. On both engines.
#include "data/Engine.h"
#include "documents/DocumentSettings.h"
#include "documents/DocumentStore.h"
#include "Programs.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kCustomers = 200;
constexpr int kNotesEach = 4;
const QDate kClosing{2024, 3, 31};

} // namespace

class TestRacingEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    // Customers with closing day 99 and unbilled delivery notes, saved as the editor saves them;
    // delivery notes numbered by their key, so that an invoice line names its note.
    void fill()
    {
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM) "
                               "values (0, 'カドメル商店', 99, 4)"));
        DocumentSettings::Record r = DocumentSettings::loadOrCreate(t->db(), Numbering::Kind::Nohin, {});
        r.SaibanHouhou = Numbering::kRenban;
        DocumentSettings::save(t->db(), Numbering::Kind::Nohin, r);
        DocumentStore::SaveOptions options;
        options.settings = Numbering::readSettings(t->db(), Numbering::Kind::Nohin);
        for (int c = 1; c <= kCustomers; ++c) {
            t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM, Keisyo, SeikyuSimebi, "
                                   "ZenkaiSeikyuGaku) values (%1, '取引先%1', '御中', 99, 0)")
                        .arg(c));
            for (int n = 1; n <= kNotesEach; ++n) {
                DocumentRecord d;
                d.TorihikisakiKey = c;
                d.Hiduke = kClosing.addDays(-n);
                for (int gyo = 1; gyo <= n; ++gyo)
                    d.lines.append(
                        {gyo, QStringLiteral("品%1").arg(gyo), 2.0, QStringLiteral("個"), 150.0, 300});
                DocumentStore::save(t->db(), DocumentStore::Kind::Nohin, d, options);
            }
        }
    }

    // Rows of a statement whose every row names a fault.
    QStringList faults(const QString &what, const QString &sql)
    {
        QStringList found;
        TEngineQuery q(&t->db());
        q.setSql({sql});
        for (q.Open(); !q.Eof(); q.Next())
            found << what + QStringLiteral(": ") + q.Field(0).AsString();
        return found;
    }

    QStringList billingFaults()
    {
        // A billed note's lines, and the lines its invoice took from it, as comparable rows.
        const QString noteLines = QStringLiteral(
            "select n.key note, n.SeikyuKey invoice, row_number() over (partition by n.key order by m.Gyo), "
            "m.SyohinNM, "
            "m.Suryo, "
            "m.Tanka, m.Kingaku from Nohin n join NohinMesai m on m.Key = n.key where n.SeikyuKey <> 0");
        const QString invoiceLines = QStringLiteral(
            "select n.key note, s.Key invoice, row_number() over (partition by s.Key, s.NohinNo order by "
            "s.Gyo), "
            "s.SyohinNM, "
            "s.Suryo, s.Tanka, s.Kingaku from SeikyuMesai s join Nohin n on n.NohinNo = s.NohinNo");
        return faults(QStringLiteral("note on two invoices"),
                      QStringLiteral("select NohinNo from SeikyuMesai group by NohinNo "
                                     "having count(distinct Key) > 1")) +
               faults(
                   QStringLiteral("note marked billed but not on its invoice"),
                   QStringLiteral(
                       "select n.key from Nohin n where n.SeikyuKey <> 0 and not exists "
                       "(select 1 from SeikyuMesai s where s.Key = n.SeikyuKey and s.NohinNo = n.NohinNo)")) +
               faults(
                   QStringLiteral("note on an invoice but not marked with it"),
                   QStringLiteral(
                       "select distinct s.NohinNo from SeikyuMesai s join Nohin n on n.NohinNo = s.NohinNo "
                       "where n.SeikyuKey <> s.Key")) +
               faults(QStringLiteral("invoice not the sum of its lines"),
                      QStringLiteral(
                          "select s.key from Seikyu s where s.Hanbaigaku <> "
                          "(select coalesce(sum(Kingaku), 0) from SeikyuMesai m where m.Key = s.key) "
                          "or s.Hanbaigaku <> (select coalesce(sum(Kingaku), 0) from Nohin n "
                          "where n.SeikyuKey = s.key) or s.Seikyugaku <> s.ZenkaiSeikyu - s.Nyukingaku "
                          "+ s.Hanbaigaku")) +
               faults(
                   QStringLiteral("billed note differs from its invoice's lines (note key)"),
                   QStringLiteral("select note from (%1 except %2) d union select note from (%2 except %1) e")
                       .arg(noteLines, invoiceLines));
    }

private Q_SLOTS:
    void init()
    {
        t = databaseForCli();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void runWhileNotesChange()
    {
        fill();
        QTemporaryDir work;
        const QString stop = work.filePath(QStringLiteral("stop"));
        QProcess editor;
        startDriver(editor, {QStringLiteral("edit"), driverWhere(*t), stop, QStringLiteral("18"),
                             QString::number(kCustomers), kClosing.toString(QStringLiteral("yyyy-MM-dd"))});
        QString said;
        QVERIFY2(waitUntilReady(editor, said), qPrintable(said + editor.readAllStandardError()));
        const Finished run = runCli(*t, {QStringLiteral("invoice-run"), QStringLiteral("--closing"),
                                         kClosing.toString(QStringLiteral("yyyy/MM/dd")),
                                         QStringLiteral("--day"), QStringLiteral("99")});
        QFile(stop).open(QIODevice::WriteOnly);
        const Finished edits = finish(editor);
        said += edits.out;
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(edits.exitCode, 0);

        const QStringList lines = said.split(u'\n', Qt::SkipEmptyParts);
        const QStringList errors = lines.filter(QRegularExpression(QStringLiteral("^error ")));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        const qsizetype saved = lines.filter(QRegularExpression(QStringLiteral("^saved$"))).size();
        const qsizetype refused = lines.filter(QRegularExpression(QStringLiteral("^refused "))).size();
        QVERIFY(saved > 0);
        const QStringList wrong = billingFaults();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 20).join(u'\n')));
        QVERIFY(t->scalar(QStringLiteral("select count(*) from Seikyu")).toInt() > 0);
        qInfo("%lld notes saved during the run, %lld refused as billed meanwhile", qlonglong(saved),
              qlonglong(refused));
    }
};

QTEST_GUILESS_MAIN(TestRacingEditor)
#include "tst_racingeditor.moc"
