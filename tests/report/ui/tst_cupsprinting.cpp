// Printing as the user prints: the document's report window opened as the program opens it, a CUPS
// printer chosen by name in the window's printer menu, 印刷 — no dialog — and the job goes through
// a real print server (scripts/test starts one: KADOMEL_TEST_CUPS) to Debian's PDF printer, whose
// PDF files are read back: pages, paper, the customer and the amounts. A printer that refuses jobs
// gives the program's message and prints nothing; a stopped one is said to hold the job.
#include "billing/InvoiceBatch.h"
#include "controls/Messages.h"
#include "DocumentFixture.h"
#include "ModalHelper.h"
#include "PdfWords.h"
#include "report/engine/ReportFonts.h"
#include "report/ui/DocumentReports.h"
#include "report/ui/TBaseLRep.h"
#include "TestDatabase.h"

#include <cups/cups.h>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString kPrinter = QStringLiteral("KadomelPDF");
const QString kRefusing = QStringLiteral("KadomelRefuses");
const QString kStopped = QStringLiteral("KadomelStopped");

QString pdfInfo(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The jobs of the printer that the server has not finished, or all of them.
int jobsOf(const QString &printer, int which)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.toUtf8().constData(), 0, which);
    cupsFreeJobs(count, jobs);
    return count;
}

// In the report window that the program shows modally: once the preview has ended, the printer
// chosen by name in "プリンタの変更", then 印刷; the window is closed afterwards.
void printOnceShown(const QString &printer)
{
    onModal<TBaseLRep>([printer](TBaseLRep *window) {
        if (!QTest::qWaitFor([window] { return !window->PreviewRunning(); }, 30000))
            qWarning("the preview did not end");
        const auto *menu = window->findChild<QMenu *>(QStringLiteral("PrinterMenu"));
        for (QAction *entry : menu ? menu->actions() : QList<QAction *>{})
            if (entry->text() == printer)
                entry->trigger();
        if (window->printer().printerName() == printer)
            window->ActPrint->trigger();
        window->close();
    });
}

} // namespace

class TestCupsPrinting : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;
    QDir m_out;

    // The PDF files the printer has written so far.
    QSet<QString> printed() const
    {
        const QStringList files = m_out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        return QSet<QString>(files.begin(), files.end());
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString server = qEnvironmentVariable("KADOMEL_TEST_CUPS");
        if (server.isEmpty()) {
            if (qEnvironmentVariableIsSet("KADOMEL_REQUIRE_CUPS"))
                QFAIL("KADOMEL_TEST_CUPS names no print server");
            QSKIP("no test print server (KADOMEL_TEST_CUPS; scripts/test starts one)");
        }
        // Qt's printing and the checks here talk to the test's server only, never the system's.
        qputenv("CUPS_SERVER", server.toUtf8());
        m_out.setPath(qEnvironmentVariable("KADOMEL_TEST_CUPS_OUT"));
        QVERIFY(m_out.exists());
        installFontSubstitutions();
    }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany();
        f->addSettings(QStringLiteral("SeikyuSettei"));
        f->addSettings(QStringLiteral("RyosyusyouSettei"));
        Messages::takeHistory();
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void documentsPrintThroughTheServer_data();
    void documentsPrintThroughTheServer();
    void refusingPrinterIsTold();
    void stoppedPrinterHoldsTheJob();
};

void TestCupsPrinting::documentsPrintThroughTheServer_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("invoice") << "invoice" << 2
                             << QStringList{"株式会社テスト商事", "10,000", "7,000", "25,300", "32,300"};
    QTest::newRow("batch of invoices")
        << "batch" << 3 << QStringList{"株式会社テスト商事", "有限会社二番商店", "25,300", "7,500"};
    QTest::newRow("receipt") << "receipt" << 1 << QStringList{"株式会社テスト商事", "¥123,000-"};
}

void TestCupsPrinting::documentsPrintThroughTheServer()
{
    QFETCH(QString, document);
    QFETCH(int, pages);
    QFETCH(QStringList, texts);
    FixtureInvoice invoice;
    invoice.hanbai = 25300;
    invoice.seikyu = 32300;
    const int first = f->addInvoice(f->addCustomer(), invoice, DocumentFixture::lines(22));
    FixtureCustomer second;
    second.name = QStringLiteral("有限会社二番商店");
    FixtureInvoice small;
    small.no = QStringLiteral("S-0002");
    small.hanbai = 500;
    small.seikyu = 7500;
    f->addInvoice(f->addCustomer(second), small, DocumentFixture::lines(1));
    const int payment = f->addPayment(1, 123000, QStringLiteral("お品代として"));
    const QSet<QString> before = printed();

    printOnceShown(kPrinter);
    if (document == QLatin1String("invoice"))
        DocumentReports::show(nullptr, DocumentOutput::Kind::Seikyu, {first});
    else if (document == QLatin1String("batch"))
        DocumentReports::show(nullptr, DocumentOutput::Kind::Seikyu, [&](TEngineQuery &master) {
            InvoiceBatch::select(master, invoice.simebi, true);
        });
    else
        DocumentReports::show(nullptr, DocumentOutput::Kind::Ryosyusyou, {payment});
    QVERIFY2(Messages::takeHistory().isEmpty(), "printing told something");

    // The server has finished the job when its PDF printer has written it.
    QTRY_VERIFY_WITH_TIMEOUT(jobsOf(kPrinter, CUPS_WHICHJOBS_ACTIVE) == 0, 120000);
    const QSet<QString> added = printed() - before;
    QCOMPARE(added.size(), 1);
    const QString pdf = m_out.filePath(*added.begin());
    const QString info = pdfInfo(pdf);
    QVERIFY2(info.contains(QRegularExpression(
                 QStringLiteral("Page size: +595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))),
             qPrintable(info));
    QCOMPARE(pdfPageCount(pdf), pages);
    const QList<PdfWord> words = pdfWords(pdf);
    for (const QString &text : texts)
        QVERIFY2(findPhrase(words, text), qPrintable(text));
}

// A printer that does not accept jobs: the program says so, and the server got no job.
void TestCupsPrinting::refusingPrinterIsTold()
{
    FixtureInvoice invoice;
    const int key = f->addInvoice(f->addCustomer(), invoice, DocumentFixture::lines(3));
    const int jobsBefore = jobsOf(kRefusing, CUPS_WHICHJOBS_ALL);
    printOnceShown(kRefusing);
    DocumentReports::show(nullptr, DocumentOutput::Kind::Seikyu, {key});
    const QList<Messages::Record> said = Messages::takeHistory();
    QCOMPARE(said.size(), 1);
    QCOMPARE(int(said.first().kind), int(Messages::Kind::Error));
    QVERIFY2(said.first().text.startsWith(QStringLiteral(
                 "プリンタ「KadomelRefuses」は印刷を受け付けていません．印刷できませんでした．")),
             qPrintable(said.first().text));
    QCOMPARE(jobsOf(kRefusing, CUPS_WHICHJOBS_ALL), jobsBefore);
}

// A stopped printer takes the job and holds it: the user is told that it waits.
void TestCupsPrinting::stoppedPrinterHoldsTheJob()
{
    FixtureInvoice invoice;
    const int key = f->addInvoice(f->addCustomer(), invoice, DocumentFixture::lines(3));
    printOnceShown(kStopped);
    DocumentReports::show(nullptr, DocumentOutput::Kind::Seikyu, {key});
    const QList<Messages::Record> said = Messages::takeHistory();
    const int held = jobsOf(kStopped, CUPS_WHICHJOBS_ACTIVE);
    cupsCancelJob2(CUPS_HTTP_DEFAULT, kStopped.toUtf8().constData(), CUPS_JOBID_ALL, 1);
    QCOMPARE(held, 1);
    QCOMPARE(said.size(), 1);
    QCOMPARE(int(said.first().kind), int(Messages::Kind::Warning));
    QVERIFY2(said.first().text.startsWith(QStringLiteral(
                 "プリンタ「KadomelStopped」は停止しています．印刷はプリンタが再開されるまで待機します．")),
             qPrintable(said.first().text));
}

QTEST_MAIN(TestCupsPrinting)
#include "tst_cupsprinting.moc"
