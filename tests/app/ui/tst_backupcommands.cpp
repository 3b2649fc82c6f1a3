// The main window's backup, restore and CSV commands and the CSV import window, driven through
// their menu entries and buttons on both engines, and the daily backup at start.
#include "app/ui/TFmain.h"
#include "billing/ui/ReceivablesPage.h"
#include "common/Clock.h"
#include "controls/FileChoice.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "data/Backup.h"
#include "masters/ui/TFcsvImport.h"
#include "TestDatabase.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

namespace {

QString said(const QList<Messages::Record> &records)
{
    QStringList texts;
    for (const Messages::Record &r : records)
        texts << r.text;
    return texts.join(QStringLiteral("\n---\n"));
}

} // namespace

class TestBackupCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<TFmain> w;

    // A database with the own company, a customer and a payment, and the main window open on it.
    void start()
    {
        t->writeConnectionSettings();
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '山田商店')"));
        t->exec(QStringLiteral("insert into Nyukin (key, RyosyuNo, NyukinYMD, TorihikisakiKey, Nyukingaku) "
                               "values (1, 'R-1', '2024-04-01', 1, -2500)"));
        w = std::make_unique<TFmain>();
        w->show();
        QTRY_VERIFY(w->Qseikyu->Active());
        Messages::takeHistory();
    }

    void trigger(const char *name)
    {
        QAction *action = w->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action, name);
        action->trigger();
    }

    QString file(const QString &name) const { return QDir(t->folder()).filePath(name); }
    int customers() { return t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(); }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup()
    {
        w.reset();
        t.reset();
    }

    void backupThenRestoreThroughTheMenu()
    {
        start();
        const QString backup = file(t->isPostgres() ? "menu.dump" : "menu.sqlite3");
        FileChoice::setNext(backup);
        trigger("BackupMenu");
        QVERIFY2(said(Messages::takeHistory()).contains(QStringLiteral("バックアップを作成しました")),
                 "no report");
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (2, '後から')"));

        // Cancelled at the question: nothing changes.
        FileChoice::setNext(backup);
        Messages::queueAnswer(false);
        trigger("RestoreMenu");
        const QString asked = said(Messages::takeHistory());
        QVERIFY2(asked.contains(QStringLiteral("取引先 1 件、帳票 1 件")), qPrintable(asked));
        QCOMPARE(customers(), 2);

        FileChoice::setNext(backup);
        Messages::queueAnswer(true);
        trigger("RestoreMenu");
        QVERIFY2(said(Messages::takeHistory()).contains(QStringLiteral("復元しました")), "no report");
        QCOMPARE(customers(), 1);
        QVERIFY(w->Qnyukin->Active());
        QCOMPARE(w->Qnyukin->RecordCount(), 1);
    }

    // A backup of an earlier version (no honorific, no tax columns) restored from the window has the
    // current layout at once: the receivables page and the own company read without a restart.
    void anOldBackupIsInTheCurrentLayoutAtOnce()
    {
        for (const char *drop : {"ALTER TABLE Torihikisaki DROP COLUMN Keisyo",
                                 "ALTER TABLE JisyaJyoho DROP COLUMN TekikakuKBN"})
            t->exec(QLatin1String(drop));
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (7, '古い取引先')"));
        const QString backup = file(t->isPostgres() ? "old.dump" : "old.sqlite3");
        Backup::take(t->db(), backup);
        t->exec(QStringLiteral("delete from Torihikisaki"));
        t->module().CheckTables();
        start();

        FileChoice::setNext(backup);
        Messages::queueAnswer(true);
        trigger("RestoreMenu");
        const QString report = said(Messages::takeHistory());
        QVERIFY2(report.contains(QStringLiteral("復元しました")), qPrintable(report));
        QVERIFY(t->db()
                    .TableFieldNames(QStringLiteral("JisyaJyoho"))
                    .contains(QStringLiteral("tekikakukbn"), Qt::CaseInsensitive));
        QCOMPARE(t->scalar(QStringLiteral("select Keisyo from Torihikisaki where key = 7")).toString(),
                 QStringLiteral("御中"));
        w->PageControl1->setCurrentWidget(w->UrikakePage);
        QTest::qWait(200);
        const QString shown = said(Messages::takeHistory());
        QVERIFY2(!shown.contains(QStringLiteral("見つかりません")), qPrintable(shown));
    }

    // Another copy connected: the restore is refused before its question.
    void aRestoreThatCannotBeDoneIsRefusedFirst()
    {
        start();
        const QString backup = file(t->isPostgres() ? "first.dump" : "first.sqlite3");
        Backup::take(t->db(), backup);
        TEngineSession session;
        TEngineDatabase other(&session, QStringLiteral("OtherComputer"));
        t->configure(session, other);
        other.Open();
        FileChoice::setNext(backup);
        trigger("RestoreMenu");
        const QList<Messages::Record> records = Messages::takeHistory();
        QCOMPARE(records.size(), 1);
        QVERIFY2(records.first().text.contains(QStringLiteral("接続しているため")),
                 qPrintable(said(records)));
        QVERIFY(w->Qnyukin->Active());
    }

    void aListIsExportedInTheChosenEncoding()
    {
        start();
        const QString path = file(QStringLiteral("payments.csv"));
        FileChoice::setNext(path, QStringLiteral("CSV Shift-JIS/CP932 (*.csv)"));
        QAction *action = w->NyukinGrid->findChild<QAction *>(QStringLiteral("CsvExport"));
        QVERIFY(action);
        action->trigger();
        QVERIFY2(said(Messages::takeHistory()).contains(QStringLiteral("1 件を出力しました")), "no report");
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = Csv::decode(bytes);
        QVERIFY2(text.startsWith(
                     QStringLiteral("入金日,取引先,入金額,入金方法,領収№\r\n2024/04/01,山田商店,-2500,")),
                 qPrintable(text));
    }

    // The invoice list's CSV carries the tax columns after the list's own.
    void theInvoiceListIsExportedWithItsTax()
    {
        start();
        const QString path = file(QStringLiteral("invoices.csv"));
        FileChoice::setNext(path);
        QAction *action = w->SeikyuGrid->findChild<QAction *>(QStringLiteral("CsvExport"));
        QVERIFY(action);
        action->trigger();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(Csv::decode(f.readAll()),
                 QStringLiteral(
                     "請求№,請求締日,発行日,取引先,請求額,更新日,10%対象（税抜）,10%消費税,8%対象（税抜）,"
                     "8%消費税,非課税\r\n"));
    }

    // A change of a stored customer is shown old → new and written only when the user says yes.
    void theImportWindowShowsEachChangeAndAsks()
    {
        start();
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Tel) "
                               "values (2, 5, '鈴木商店', '03-1111-2222')"));
        const QString path = file(QStringLiteral("customers.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("取引先CD,取引先名,Tel\r\n5,鈴木商店,03-9999-0000\r\n").toUtf8());
        f.close();
        TFcsvImport window(CsvImport::Kind::Customers);
        FileChoice::setNext(path);
        window.FileBTN->click();
        QCOMPARE(window.PreviewGrid->item(0, 1)->text(),
                 QStringLiteral("更新 Tel: 03-1111-2222 → 03-9999-0000"));
        window.SkipRB->setChecked(true);
        QCOMPARE(window.PreviewGrid->item(0, 1)->text(), QStringLiteral("登録済み（読み飛ばし）"));
        window.UpdateRB->setChecked(true);
        const QString tel = QStringLiteral("select Tel from Torihikisaki where key = 2");
        Messages::queueAnswer(false);
        window.ImportBTN->click();
        QVERIFY2(said(Messages::takeHistory())
                     .contains(QStringLiteral(
                         "登録済みの取引先 1 件を「結果」の欄のとおり変更します。よろしいですか？")),
                 "not asked");
        QCOMPARE(t->scalar(tel).toString(), QStringLiteral("03-1111-2222"));
        Messages::queueAnswer(true);
        window.ImportBTN->click();
        QVERIFY(said(Messages::takeHistory()).contains(QStringLiteral("更新 1 件")));
        QCOMPARE(t->scalar(tel).toString(), QStringLiteral("03-9999-0000"));
    }

    void theImportWindowShowsEachRefusedRowBeforeWriting()
    {
        start();
        const QString path = file(QStringLiteral("products.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            QStringLiteral("商品CD,商品名,単価\r\n1,ネジ,10\r\nx,ボルト,20\r\n3,ナット,abc\r\n4,座金,1.5\r\n")
                .toUtf8());
        f.close();
        const QStringList before = t->fingerprint();
        TFcsvImport window(CsvImport::Kind::Products);
        FileChoice::setNext(path);
        window.FileBTN->click();
        QCOMPARE(window.PreviewGrid->rowCount(), 4);
        QCOMPARE(window.PreviewGrid->item(1, 0)->text(), QStringLiteral("3"));
        QVERIFY(
            window.PreviewGrid->item(1, 1)->text().contains(QStringLiteral("商品CD: 整数ではありません")));
        QVERIFY(window.PreviewGrid->item(2, 1)->text().contains(QStringLiteral("単価: 数値ではありません")));
        QCOMPARE(window.PreviewGrid->item(3, 1)->text(), QStringLiteral("新規"));
        QVERIFY(window.SummaryLBL->text().contains(QStringLiteral("エラー 2 行")));
        QVERIFY(!window.ImportBTN->isEnabled());
        QCOMPARE(t->fingerprint(), before);
        window.GoodRowsBTN->click();
        QVERIFY(said(Messages::takeHistory()).contains(QStringLiteral("追加 2 件")));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(), 2);
    }

    void theFirstStartOfADayBacksUpTheLocalDatabase()
    {
        start();
        if (t->isPostgres())
            QSKIP("the daily backup is of the local database");
        const QString daily = QDir(Backup::backupFolder(t->db()))
                                  .filePath(QStringLiteral("kadomel-%1.sqlite3")
                                                .arg(Clock::today().toString(QStringLiteral("yyyyMMdd"))));
        QVERIFY(QFile::exists(daily));
        Backup::checkIntegrity(daily);
    }
};

QTEST_MAIN(TestBackupCommands)
#include "tst_backupcommands.moc"
