// kadomel-cli run as a script runs it: its commands, its messages and exit codes, and that a
// failure writes nothing. On SQLite and on PostgreSQL.
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "DocumentFixture.h"
#include "PdfWords.h"
#include "ReceivablesFixture.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &arguments)
{
    QProcess p;
    // Under the sanitizers, LeakSanitizer's stop of every thread at the end of a kadomel-cli that has
    // rendered pages now and then crashes in its own tracer ("Tracer caught signal 11"), failing a
    // command that did nothing wrong; the commands' code is checked for leaks inside the other tests.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KADOMEL_CLI), arguments);
    p.closeWriteChannel(); // a question on the terminal hears no answer
    if (!p.waitForFinished(120000))
        p.kill();
    const Run run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                  QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    if (p.exitStatus() != QProcess::NormalExit) // what it wrote before it ended (a sanitizer's report)
        qWarning("kadomel-cli %s did not end normally (%s):\n%s",
                 qPrintable(arguments.join(QLatin1Char(' '))), qPrintable(p.errorString()),
                 qPrintable(run.err));
    return run;
}

const QString kSample = QStringLiteral(KADOMEL_TEST_DATA "/postal/ken_all_sample.csv");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    int addresses() { return t->scalar(QStringLiteral("select count(*) from Address")).toInt(); }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings(); // the command works on the database the configuration names
    }
    void cleanup() { t.reset(); }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addRow("nothing") << QStringList{} << 2 << "コマンドを指定してください";
        QTest::addRow("unknown command") << QStringList{"print"} << 2 << "不明なコマンドです: print";
        QTest::addRow("unknown kind")
            << QStringList{"render", "--kind", "nouhin", "--pdf", "a.pdf"} << 2 << "--kind には";
        QTest::addRow("no output") << QStringList{"render", "--kind", "nohin", "--key", "1"} << 2
                                   << "--pdf FILE か --png DIR";
        QTest::addRow("two outputs") << QStringList{"render", "--kind", "nohin", "--key", "1",
                                                    "--pdf",  "a",      "--png", "b"}
                                     << 2 << "--pdf FILE か --png DIR";
        QTest::addRow("bad key") << QStringList{"render", "--kind", "nohin", "--key", "x", "--pdf", "a"} << 2
                                 << "--key には正の整数";
        QTest::addRow("no key") << QStringList{"render", "--kind", "seikyu", "--pdf", "a"} << 2
                                << "--key で指定";
        QTest::addRow("key for a seal sheet")
            << QStringList{"render", "--kind", "ineidata", "--key", "1", "--pdf", "a"} << 2
            << "ineidata には --key を指定できません";
        QTest::addRow("unknown option")
            << QStringList{"import-postal", "--fast", "f.csv"} << 2 << "不明なオプション";
        QTest::addRow("no postal file") << QStringList{"import-postal"} << 2 << "郵便番号データのファイル";
        QTest::addRow("run without closing date")
            << QStringList{"invoice-run", "--day", "20"} << 2 << "--closing";
        QTest::addRow("run with day and customer")
            << QStringList{"invoice-run", "--closing", "2010/01/31", "--day", "20", "--customer", "1"} << 2
            << "どちらか一つ";
        QTest::addRow("run on day 40") << QStringList{"invoice-run", "--closing", "2010/01/31", "--day", "40"}
                                       << 2 << "締日 1～31 か 99";
        QTest::addRow("bad closing date")
            << QStringList{"invoice-run", "--closing", "2010/02/30", "--day", "20"} << 2 << "yyyy/mm/dd";
        QTest::addRow("unknown export")
            << QStringList{"export", "orders", "a.csv"} << 2 << "customers|products";
        QTest::addRow("bad encoding")
            << QStringList{"export", "invoices", "--encoding", "euc", "a.csv"} << 2 << "utf-8 か cp932";
        QTest::addRow("import of documents")
            << QStringList{"import", "invoices", "a.csv"} << 2 << "customers|products";
        QTest::addRow("backup without file") << QStringList{"backup"} << 2 << "バックアップのファイル";
        QTest::addRow("receivables without output")
            << QStringList{"receivables", "--as-of", "2024/04/30"} << 2 << "--csv FILE か --pdf FILE";
        QTest::addRow("receivables to both") << QStringList{"receivables", "--csv", "a.csv", "--pdf", "a.pdf"}
                                             << 2 << "--csv FILE か --pdf FILE";
        QTest::addRow("receivables on no day")
            << QStringList{"receivables", "--as-of", "2024/04/31", "--csv", "a.csv"} << 2
            << "--as-of には日付を yyyy/mm/dd で指定してください（'2024/04/31'）";
        QTest::addRow("receivables on a day in words")
            << QStringList{"receivables", "--as-of", "today", "--csv", "a.csv"} << 2 << "yyyy/mm/dd";
        QTest::addRow("receivables in euc")
            << QStringList{"receivables", "--encoding", "euc", "--csv", "a.csv"} << 2 << "utf-8 か cp932";
        QTest::addRow("closing for notes")
            << QStringList{"render", "--kind", "nohin", "--closing", "2010/01/31", "--pdf", "a"} << 2
            << "--kind seikyu にだけ";
    }
    void badCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = cli(QStringList{QStringLiteral("--home"), t->folder()} + arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("使い方:"))); // the usage follows the message
        QVERIFY(run.out.isEmpty());
    }

    void helpListsTheCommands()
    {
        const Run run = cli({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("render --kind KIND")));
        QVERIFY(run.out.contains(QStringLiteral("import-postal FILE")));
        QVERIFY(run.out.contains(QStringLiteral("invoice-run --closing")));
        QVERIFY(run.out.contains(QStringLiteral("receivables [--as-of yyyy/mm/dd]")));
    }

    // A home folder that does not exist yet is made, with its database, as a program makes its data
    // folder.
    void homeFolderIsMadeWhenMissing()
    {
        QTemporaryDir out;
        const QString home = out.filePath(QStringLiteral("new/home"));
        const QString csv = out.filePath(QStringLiteral("customers.csv"));
        if (t->isPostgres())
            QSKIP("a new home folder holds a local database");
        const Run run =
            cli({QStringLiteral("--home"), home, QStringLiteral("export"), QStringLiteral("customers"), csv});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(QFileInfo::exists(QDir(home).filePath(QStringLiteral("DB/kadomel.sqlite3"))));
        QVERIFY(QFileInfo::exists(csv));
    }

    // The balances of the hand-worked fixture as CSV (a spreadsheet's UTF-8 with BOM and CR LF, one
    // row per customer) and as the printed list: the heads, every customer's row in the order of the
    // columns, the total row and the page number.
    void receivablesAsCsvAndPdf()
    {
        ReceivablesFixture::build(*t);
        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("receivables.csv"));
        const QStringList asOf{QStringLiteral("--home"), t->folder(), QStringLiteral("receivables"),
                               QStringLiteral("--as-of"), QStringLiteral("2024/04/30")};
        const Run written = cli(asOf + QStringList{QStringLiteral("--csv"), csv});
        QVERIFY2(written.exitCode == 0, qPrintable(written.err));
        QVERIFY2(written.out.contains(QStringLiteral("6 件の取引先を書き出しました")),
                 qPrintable(written.out));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("\xEF\xBB\xBF"
                            "取引先コード,取引先名,前回請求額,入金額,未請求売上,残高,最終締日\r\n"
                            "101,青葉商事,32000,10000,8000,30000,2024/03/20\r\n"
                            "102,海山物産,10000,15000,0,-5000,2024/03/20\r\n"
                            "103,川辺工務店,0,0,17000,17000,\r\n"
                            "104,森田食品,7000,2000,0,5000,\r\n"
                            "106,日向精機,10000,5000,0,5000,2024/03/20\r\n"
                            "107,軽減商店,0,0,3473,3473,\r\n"));

        const QString pdf = out.filePath(QStringLiteral("receivables.pdf"));
        const Run printed = cli(asOf + QStringList{QStringLiteral("--pdf"), pdf});
        QVERIFY2(printed.exitCode == 0, qPrintable(printed.err));
        QCOMPARE(pdfPageCount(pdf), 1);
        const QList<PdfWord> words = pdfWords(pdf);
        for (const char *phrase :
             {"売掛金残高一覧", "2024年4月30日現在", "テスト商会",
              "101 青葉商事 32,000 10,000 8,000 30,000 2024/03/20 41",
              "102 海山物産 10,000 15,000 0 -5,000 2024/03/20", "103 川辺工務店 0 0 17,000 17,000",
              "104 森田食品 7,000 2,000 0 5,000", "106 日向精機 10,000 5,000 0 5,000 2024/03/20 70",
              "107 軽減商店 0 0 3,473 3,473", "合計 59,000 32,000 28,473 55,473", "1 / 1"})
            QVERIFY2(findPhrase(words, QString::fromUtf8(phrase)), phrase);
        QVERIFY(!findPhrase(words, QStringLiteral("55,473 70"))); // the days unpaid are no sum
        QVERIFY(!findPhrase(words, QStringLiteral("空野電機")));  // owes nothing

        // Without --as-of: the balances of today, which take in the documents dated after 4/30.
        const Run today = cli({QStringLiteral("--home"), t->folder(), QStringLiteral("receivables"),
                               QStringLiteral("--pdf"), pdf});
        QVERIFY2(today.exitCode == 0, qPrintable(today.err));
        const QList<PdfWord> todays = pdfWords(pdf);
        QVERIFY(findPhrase(todays, QDate::currentDate().toString(QStringLiteral("yyyy年M月d日現在"))));
        QVERIFY(findPhrase(todays, QStringLiteral("105 空野電機 0 0 9,000 9,000")));
    }

    // The very same layouts as the windows: PDF with its texts, PNG pages as the preview shows them;
    // several keys print one after another as one job, in the order given.
    void renderDocuments()
    {
        DocumentFixture fixture(t->db());
        fixture.addCompany();
        fixture.addSettings(QStringLiteral("MitumoriSettei"));
        const int customer = fixture.addCustomer();
        const int first = fixture.addEstimate(customer, DocumentFixture::lines(25)); // two pages
        const int second = fixture.addEstimate(customer, DocumentFixture::lines(3), 500);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("estimates.pdf"));
        const QStringList keys{QStringLiteral("--key"), QString::number(second), QStringLiteral("--key"),
                               QString::number(first)};
        const Run run = cli(QStringList{QStringLiteral("--home"), t->folder(), QStringLiteral("render"),
                                        QStringLiteral("--kind"), QStringLiteral("mitumori"),
                                        QStringLiteral("--pdf"), pdf} +
                            keys);
        QCOMPARE(run.exitCode, 0);
        const QList<PdfWord> words = pdfWords(pdf);
        QCOMPARE(pdfPageCount(pdf), 3);
        QVERIFY(findPhrase(words, QStringLiteral("合計金額：¥500-"), 1)); // the second key first
        QVERIFY(findPhrase(words, QStringLiteral("合計金額：¥12,345-"), 2));

        const QString pngs = out.filePath(QStringLiteral("pages"));
        const Run png = cli(QStringList{QStringLiteral("--home"), t->folder(), QStringLiteral("render"),
                                        QStringLiteral("--kind"), QStringLiteral("mitumori"),
                                        QStringLiteral("--png"), pngs} +
                            keys);
        QCOMPARE(png.exitCode, 0);
        QCOMPARE(QDir(pngs).entryList(QDir::Files),
                 QStringList({"page-001.png", "page-002.png", "page-003.png"}));
        QCOMPARE(QImage(QDir(pngs).filePath(QStringLiteral("page-001.png"))).size(), QSize(794, 1123));

        // The seal sheets take no key.
        const Run seal =
            cli({QStringLiteral("--home"), t->folder(), QStringLiteral("render"), QStringLiteral("--kind"),
                 QStringLiteral("ineitest"), QStringLiteral("--png"), out.filePath(QStringLiteral("seal"))});
        QCOMPARE(seal.exitCode, 0);
    }

    // The pages of the qualified-invoice option, rendered as scripts render them: with the option on,
    // the registration number, the reduced-rate lines marked, the sums and tax per rate and on the
    // invoice its tax; with it off (or never turned on) the very same words as a document made
    // before the option, also when the rows hold rates and sums.
    void qualifiedInvoicePages_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("added"); // phrases only the option prints
        const QStringList sums{QStringLiteral("登録番号：T8000012010038"), QStringLiteral("お茶 ※"),
                               QStringLiteral("10%対象（税抜）¥1,005 消費税 ¥100"),
                               QStringLiteral("8%対象（税抜）¥2,468 消費税 ¥197"),
                               QStringLiteral("※は軽減税率対象")};
        const QString total = QStringLiteral("合計金額（税込）：¥3,770-");
        QTest::newRow("estimate") << "mitumori" << sums + QStringList{total};
        QTest::newRow("delivery note") << "nohin" << sums + QStringList{total};
        QTest::newRow("invoice") << "seikyu"
                                 << sums + QStringList{QStringLiteral("消 費 税 額"), QStringLiteral("297")};
        QTest::newRow("receipt") << "ryosyusyou" << QStringList{QStringLiteral("登録番号：T8000012010038")};
    }
    void qualifiedInvoicePages()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, added);
        DocumentFixture fixture(t->db());
        fixture.addCompany();
        const int customer = fixture.addCustomer();
        const auto line = [](const QString &name, int amount) {
            return FixtureLine{
                name, 1, QStringLiteral("個"), amount, amount, QDate(2010, 5, 1), QStringLiteral("N-1")};
        };
        const QList<FixtureLine> lines{line(QStringLiteral("文具"), 1005),
                                       line(QStringLiteral("お茶"), 2468)};
        QString header, detail;
        int key = 0;
        if (kind == QLatin1String("mitumori")) {
            key = fixture.addEstimate(customer, lines, 3473);
            header = QStringLiteral("Mitumori"), detail = QStringLiteral("MitumoriMesai");
        } else if (kind == QLatin1String("nohin")) {
            key = fixture.addDeliveryNote(customer, lines, 3473);
            header = QStringLiteral("Nohin"), detail = QStringLiteral("NohinMesai");
        } else if (kind == QLatin1String("seikyu")) {
            FixtureInvoice invoice;
            invoice.hanbai = 3473;
            invoice.seikyu = 10000 - 3000 + 3473 + 297;
            key = fixture.addInvoice(customer, invoice, lines);
            header = QStringLiteral("Seikyu"), detail = QStringLiteral("SeikyuMesai");
        } else {
            key = fixture.addPayment(customer, 3770, QStringLiteral("お品代として"));
        }
        QTemporaryDir out;
        const auto render = [&](const QString &name) {
            const QString pdf = out.filePath(name);
            const Run run = cli({QStringLiteral("--home"), t->folder(), QStringLiteral("render"),
                                 QStringLiteral("--kind"), kind, QStringLiteral("--key"),
                                 QString::number(key), QStringLiteral("--pdf"), pdf});
            QStringList texts;
            if (run.exitCode == 0)
                for (const PdfWord &w : pdfWords(pdf))
                    texts << w.text;
            return std::make_pair(texts, pdfWords(pdf));
        };
        const QStringList before = render(QStringLiteral("before.pdf")).first;
        QVERIFY(!before.isEmpty());

        // Rates and sums in the rows, a number in the own company, the option off.
        t->exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = 0, TourokuNo = 'T8000012010038'"));
        if (!header.isEmpty()) {
            t->exec(QStringLiteral("update %1 set ZeiRitu = 10").arg(detail));
            t->exec(QStringLiteral("update %1 set ZeiRitu = 8 where Gyo = 2").arg(detail));
            t->exec(QStringLiteral("update %1 set Taisyo10 = 1005, Zei10 = 100, Taisyo8 = 2468, Zei8 = 197, "
                                   "Hikazei = 0")
                        .arg(header));
        }
        QCOMPARE(render(QStringLiteral("off.pdf")).first, before);

        t->exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = 1"));
        const auto on = render(QStringLiteral("on.pdf"));
        for (const QString &phrase : added)
            QVERIFY2(findPhrase(on.second, phrase), qPrintable(phrase));
        // Nothing else changed: the words of the page before are all still there, but for the
        // headline total, which holds the tax now.
        for (const QString &word : before)
            if (!word.startsWith(QStringLiteral("合計金額：")))
                QVERIFY2(on.first.contains(word), qPrintable(word));
    }

    // A seal that cannot be read: the documents print without it and stderr says so once.
    void unreadableSealIsToldOnce()
    {
        DocumentFixture fixture(t->db());
        const QByteArray seal = DocumentFixture::stripedSealJpeg();
        fixture.addCompany(seal.left(seal.size() * 2 / 3));
        fixture.addSettings(QStringLiteral("MitumoriSettei"));
        const int customer = fixture.addCustomer();
        const int first = fixture.addEstimate(customer, DocumentFixture::lines(25));
        const int second = fixture.addEstimate(customer, DocumentFixture::lines(3));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("estimates.pdf"));
        const Run run =
            cli({QStringLiteral("--home"), t->folder(), QStringLiteral("render"), QStringLiteral("--kind"),
                 QStringLiteral("mitumori"), QStringLiteral("--pdf"), pdf, QStringLiteral("--key"),
                 QString::number(first), QStringLiteral("--key"), QString::number(second)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(pdfPageCount(pdf), 3);
        QCOMPARE(run.err,
                 QStringLiteral(
                     "印影の画像を読み込めません（JPEGかビットマップの画像ではないか、壊れています）。\n"
                     "印影なしで印刷します。自社情報で印影の画像を読み込み直してください。\n"));
    }

    // An unknown key or a file that cannot be written: a message, a failure status, no file.
    void renderFailuresWriteNothing()
    {
        DocumentFixture fixture(t->db());
        fixture.addCompany();
        const int note = fixture.addDeliveryNote(fixture.addCustomer(), DocumentFixture::lines(2));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("note.pdf"));
        const Run unknown =
            cli({QStringLiteral("--home"), t->folder(), QStringLiteral("render"), QStringLiteral("--kind"),
                 QStringLiteral("nohin"), QStringLiteral("--key"), QString::number(note),
                 QStringLiteral("--key"), QStringLiteral("999"), QStringLiteral("--pdf"), pdf});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY2(unknown.err.contains(QStringLiteral("印刷対象データがありません．")),
                 qPrintable(unknown.err));
        QVERIFY(!QFileInfo::exists(pdf));
        const Run unwritable =
            cli({QStringLiteral("--home"), t->folder(), QStringLiteral("render"), QStringLiteral("--kind"),
                 QStringLiteral("nohin"), QStringLiteral("--key"), QString::number(note),
                 QStringLiteral("--pdf"), out.filePath(QStringLiteral("no/such/folder/note.pdf"))});
        QCOMPARE(unwritable.exitCode, 1);
        QVERIFY2(unwritable.err.contains(QStringLiteral("書き込めません")), qPrintable(unwritable.err));
    }

    // A closing day selects its customers (day 0 with the company's day), a customer alone; a second
    // run makes nothing; the batch of the closing date prints in one go.
    void invoiceRunAndItsBatch()
    {
        DocumentFixture fixture(t->db());
        fixture.addCompany();
        t->exec(QStringLiteral("update JisyaJyoho set SeikyuSimebi = 20"));
        const int companyDay = fixture.addCustomer();
        const int tenth = fixture.addCustomer();
        t->exec(QStringLiteral("update Torihikisaki set SeikyuSimebi = 10 where key = %1").arg(tenth));
        fixture.addDeliveryNote(companyDay, DocumentFixture::lines(2), 300, QDate(2010, 1, 5));
        fixture.addDeliveryNote(tenth, DocumentFixture::lines(1), 100, QDate(2010, 1, 5));
        const QStringList home{QStringLiteral("--home"), t->folder()};
        const QStringList closing{QStringLiteral("invoice-run"), QStringLiteral("--closing"),
                                  QStringLiteral("2010/01/20")};
        const Run run = cli(home + closing + QStringList{QStringLiteral("--day"), QStringLiteral("20")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("1 件の請求書を作成しました")),
                 qPrintable(run.out + run.err));
        QCOMPARE(t->scalar(QStringLiteral("select TorihikisakiKey from Seikyu")).toInt(), companyDay);
        const Run again = cli(home + closing + QStringList{QStringLiteral("--day"), QStringLiteral("20")});
        QVERIFY2(again.out.contains(QStringLiteral("0 件の請求書を作成しました")), qPrintable(again.out));
        const Run one =
            cli(home + closing + QStringList{QStringLiteral("--customer"), QString::number(tenth)});
        QVERIFY2(one.out.contains(QStringLiteral("1 件の請求書を作成しました")), qPrintable(one.out));
        const Run unknown =
            cli(home + closing + QStringList{QStringLiteral("--customer"), QStringLiteral("99")});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY2(unknown.err.contains(QStringLiteral("見つかりません")), qPrintable(unknown.err));
        // A closing date before the customer's latest invoice: that customer is skipped and named
        // with the latest date, and the status says so.
        fixture.addDeliveryNote(companyDay, DocumentFixture::lines(1), 50, QDate(2010, 1, 8));
        const Run older = cli(home + QStringList{QStringLiteral("invoice-run"), QStringLiteral("--closing"),
                                                 QStringLiteral("2010/01/10"), QStringLiteral("--day"),
                                                 QStringLiteral("20")});
        QCOMPARE(older.exitCode, 3);
        QVERIFY2(older.out.contains(QStringLiteral("0 件の請求書を作成しました")), qPrintable(older.out));
        QVERIFY2(older.err.contains(QStringLiteral("2010/01/20")), qPrintable(older.err));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Seikyu")).toInt(), 2);

        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("batch.pdf"));
        const Run batch = cli(home + QStringList{QStringLiteral("render"), QStringLiteral("--kind"),
                                                 QStringLiteral("seikyu"), QStringLiteral("--closing"),
                                                 QStringLiteral("2010/01/20"), QStringLiteral("--pdf"), pdf});
        QCOMPARE(batch.exitCode, 0);
        QCOMPARE(pdfPageCount(pdf), 2);
        const Run none = cli(home + QStringList{QStringLiteral("render"), QStringLiteral("--kind"),
                                                QStringLiteral("seikyu"), QStringLiteral("--closing"),
                                                QStringLiteral("2010/01/21"), QStringLiteral("--pdf"), pdf});
        QCOMPARE(none.exitCode, 1);
        QVERIFY2(none.err.contains(QStringLiteral("印刷対象データがありません．")), qPrintable(none.err));
    }

    void backupRestoreExportAndImport()
    {
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Kisyuzan) "
                               "values (1, 5, '山田\"商店\", 本店', -100)"));
        const QString backup = QDir(t->folder()).filePath(t->isPostgres() ? "b.dump" : "b.sqlite3");
        Run run = cli({QStringLiteral("backup"), backup});
        QCOMPARE(run.exitCode, 0);
        t->exec(QStringLiteral("delete from Torihikisaki"));

        // This test is connected: refused before the question.
        run = cli({QStringLiteral("restore"), backup});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("接続しているため")) &&
                     !run.err.contains(QStringLiteral("[y/N]")),
                 qPrintable(run.err));
        if (t->isPostgres()) // the server says who
            QVERIFY2(run.err.contains(QStringLiteral("接続中:\n127.0.0.1（Kadomel、")), qPrintable(run.err));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(), 0);
        t->db().Close();
        run = cli({QStringLiteral("restore"), backup}); // no answer: nothing is restored
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("取引先 1 件")), qPrintable(run.err));
        run = cli({QStringLiteral("restore"), QStringLiteral("--yes"), backup});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(t->scalar(QStringLiteral("select TorihikisakiNM from Torihikisaki")).toString(),
                 QStringLiteral("山田\"商店\", 本店"));

        const QString csv = QDir(t->folder()).filePath(QStringLiteral("customers.csv"));
        run = cli({QStringLiteral("export"), QStringLiteral("customers"), QStringLiteral("--encoding"),
                   QStringLiteral("cp932"), csv});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        t->exec(QStringLiteral("delete from Torihikisaki"));
        run = cli({QStringLiteral("import"), QStringLiteral("customers"), csv});
        QVERIFY2(run.out.contains(QStringLiteral("追加 1 件")), qPrintable(run.out + run.err));
        QCOMPARE(
            t->scalar(QStringLiteral("select Kisyuzan from Torihikisaki where TorihikisakiCD = 5")).toInt(),
            -100);

        QFile bad(csv);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\xEF\xBB\xBF取引先CD,取引先名\r\n6,良い\r\n7,\r\n");
        bad.close();
        run = cli({QStringLiteral("import"), QStringLiteral("customers"), csv});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("3 行目 取引先名: 入力してください")), qPrintable(run.err));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(), 1);
    }

    // A change of a stored customer is printed old → new and written only with --yes (or a "y" on
    // the terminal); a refused row is said once, its huge cell quoted shortly, and nothing is written.
    void importShowsChangesAndNeedsYes()
    {
        t->exec(
            QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Tel, Kisyuzan) "
                           "values (1, 5, '山田商店', '03-1111-2222', 100)"));
        const QString csv = QDir(t->folder()).filePath(QStringLiteral("customers.csv"));
        const auto write = [&csv](const QByteArray &bytes) {
            QFile f(csv);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write("取引先CD,取引先名,Tel\r\n5,山田商店,03-9999-0000\r\n6,新規商店,\r\n");
        const QString change = QStringLiteral("2 行目（取引先CD 5）: 更新 Tel: 03-1111-2222 → 03-9999-0000");
        Run run = cli({QStringLiteral("import"), QStringLiteral("customers"), csv});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(change), qPrintable(run.out));
        QVERIFY2(run.err.contains(
                     QStringLiteral("登録済みの取引先 1 件を上のとおり変更します。よろしいですか？ [y/N]")),
                 qPrintable(run.err));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(), 1);
        run = cli({QStringLiteral("import"), QStringLiteral("customers"), QStringLiteral("--yes"), csv});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(change), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("追加 1 件、更新 1 件、変更なし 0 件、読み飛ばし 0 件")),
                 qPrintable(run.out));
        QCOMPARE(t->scalar(QStringLiteral("select Tel from Torihikisaki where key = 1")).toString(),
                 QStringLiteral("03-9999-0000"));

        const QStringList before = t->fingerprint();
        write("取引先CD,取引先名,期首売掛残\r\n5,山田商店," + QByteArray(10 * 1024 * 1024, '9') + "x\r\n");
        run = cli({QStringLiteral("import"), QStringLiteral("customers"), QStringLiteral("--yes"), csv});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.size() < 1000, qPrintable(run.err.left(1000)));
        QCOMPARE(run.err.count(QStringLiteral("2 行目 期首売掛残: 整数ではありません")), 1);
        QVERIFY2(run.err.contains(QStringLiteral("何も登録していません")), qPrintable(run.err));
        QCOMPARE(t->fingerprint(), before);
    }

    void writingToAFullDiskSaysSo_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("file");
        QTest::addRow("CSV export") << QStringList{QStringLiteral("export"), QStringLiteral("customers")}
                                    << QStringLiteral("customers.csv");
        QTest::addRow("backup") << QStringList{QStringLiteral("backup")} << QStringLiteral("b");
    }
    // A write onto a full disk says that the disk is full and names the file it was writing (not
    // "Unknown error", not a part file). The full disk is a small tmpfs in a user namespace; skipped
    // where such namespaces are not allowed.
    void writingToAFullDiskSaysSo()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, file);
        t->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Jyusyo1) "
            "SELECT i, i, 'ディスクがいっぱいになる取引先', '東京都千代田区千代田一丁目一番一号' FROM n"));
        const QString full = QDir(t->folder()).filePath(QStringLiteral("full"));
        QDir().mkpath(full);
        if (file == QLatin1String("b"))
            file += t->isPostgres() ? QStringLiteral(".dump") : QStringLiteral(".sqlite3");
        const QString target = QDir(full).filePath(file);
        QProcess p;
        p.start(QStringLiteral("unshare"),
                QStringList{
                    QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                    QStringLiteral("mount -t tmpfs -o size=4k tmpfs \"$1\" || exit 99; shift; exec \"$@\""),
                    QStringLiteral("sh"), full, QStringLiteral(KADOMEL_CLI), QStringLiteral("--home"),
                    t->folder()} +
                    command + QStringList{target});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
            QFAIL("kadomel-cli did not end");
        if (p.exitCode() == 99 || p.error() == QProcess::FailedToStart)
            QSKIP("no user namespace with a tmpfs here");
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("ディスクの空きが足りない")) && err.contains(target) &&
                     !err.contains(QStringLiteral(".part-")),
                 qPrintable(err));
    }

    void importPostalLoadsTheFile()
    {
        const Run run =
            cli({QStringLiteral("--home"), t->folder(), QStringLiteral("import-postal"), kSample});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("件の郵便番号データを読み込みました")), qPrintable(run.out));
        QVERIFY(run.err.isEmpty()); // no bar when stderr is no terminal
        const int loaded = addresses();
        QVERIFY(loaded > 1000);

        // A file that cannot be read: a message, a failure status, Address as it was.
        const Run missing = cli({QStringLiteral("--home"), t->folder(), QStringLiteral("import-postal"),
                                 t->folder() + QStringLiteral("/missing.csv")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("を開けません")), qPrintable(missing.err));
        QCOMPARE(addresses(), loaded);
    }

    // An empty folder: the data folder and the tables are made first, as the program's start does.
    void emptyFolderGetsItsTables()
    {
        if (t->isPostgres())
            QSKIP("an empty folder means a local database");
        QTemporaryDir empty;
        const Run run =
            cli({QStringLiteral("--home"), empty.path(), QStringLiteral("import-postal"), kSample});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo::exists(empty.filePath(QStringLiteral("DB/kadomel.sqlite3"))));
    }

    // A configuration file that is no text: kept as kadomel.ini.bad, told on stderr, and the command
    // goes on as in an empty folder.
    void unreadableConfigurationIsKept()
    {
        if (t->isPostgres())
            QSKIP("the default settings mean a local database");
        QTemporaryDir home;
        const QString iniPath = home.filePath(QStringLiteral("kadomel.ini"));
        QByteArray garbage;
        for (int i = 0; i < 1024; ++i)
            garbage += char((i * 37 + 11) % 256);
        QFile file(iniPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
        file.close();
        const Run run =
            cli({QStringLiteral("--home"), home.path(), QStringLiteral("import-postal"), kSample});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("設定ファイルがテキストではないため読み込めません。\n%1\n"
                                         "元のファイルを %1.bad として残し、初期設定で起動します。\n")
                              .arg(iniPath));
        QFile kept(iniPath + QStringLiteral(".bad"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), garbage);
        QVERIFY(QFileInfo::exists(home.filePath(QStringLiteral("DB/kadomel.sqlite3"))));
    }

    void databaseThatCannotBeOpened()
    {
        QTemporaryDir home;
        IniFile ini(home.filePath(QStringLiteral("kadomel.ini")));
        ini.setString(QStringLiteral("DB"), QStringLiteral("type"), QStringLiteral("remote"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("ip"), QStringLiteral("127.0.0.1"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("port"), QStringLiteral("1"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("user"), QStringLiteral("nobody"));
        ini.flush();
        const Run run =
            cli({QStringLiteral("--home"), home.path(), QStringLiteral("import-postal"), kSample});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("データベースへの接続に失敗しました")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
