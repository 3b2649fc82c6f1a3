// The report window driven as a user would: the preview growing in the background, paging,
// pausing, stopping on close, the print range fields, the messages when there is nothing to
// print, the PDF written through the window, and the window's font reaching the report items.
#include "controls/Messages.h"
#include "EventLoopTurns.h"
#include "PdfWords.h"
#include "report/engine/ReportFonts.h"
#include "report/ui/ReportFileDialog.h"
#include "report/ui/TLRPrinterTarget.h"
#include "report/ui/TPrintMsg.h"
#include "ReportWindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

QString pdfText(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList messageTexts()
{
    QStringList texts;
    for (const Messages::Record &r : Messages::takeHistory())
        texts.append(r.text);
    return texts;
}

// Types into a range field and leaves it with Tab.
void typeIntoField(QLineEdit *field, const QString &text)
{
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

} // namespace

class TestBaseLRep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init() { Messages::setTestMode(true); }
    void previewShowsFirstPageAtOnceThenGrows();
    void nextPageShowsStoredPageWithoutRendering();
    void closingStopsTheWorker_data();
    void closingStopsTheWorker();
    void destroyingTheWindowStopsTheWorker();
    void nothingToPrint_data();
    void nothingToPrint();
    void rangeFieldRefusesNonNumbers();
    void rangeFieldMovesThePreview();
    void pdfHoldsTheReportTexts_data();
    void pdfHoldsTheReportTexts();
    void rangeBeyondTheLastPagePrintsNothing();
    void failingBackgroundPageStopsThePreview();
    void pausedPreviewThenPrint();
    void printingWithoutPrintersOffersPdf();
    void printFailureIsShownWithoutTheHourglass_data();
    void printFailureIsShownWithoutTheHourglass();
    void printerTakesThePaperOfTheLayout_data();
    void printerTakesThePaperOfTheLayout();
    void itemsTakeTheWindowFontInPoints();

private:
    QTemporaryDir m_dir;
};

void TestBaseLRep::initTestCase()
{
    installFontSubstitutions();
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext is needed");
}

void TestBaseLRep::previewShowsFirstPageAtOnceThenGrows()
{
    CountingReportWindow window(3);
    window.show();
    QCOMPARE(window.PageIndicator(), QStringLiteral("1/1")); // before any background step
    QVERIFY(window.PreviewRunning());
    QVERIFY(window.ActSuspend->isEnabled());
    QTRY_COMPARE(window.PageIndicator(), QStringLiteral("1/3"));
    QTRY_VERIFY(!window.PreviewRunning());
    QCOMPARE(window.pagesRendered, 3);
    QVERIFY(!window.ActFirstPage->isEnabled());
    QVERIFY(window.ActNextPage->isEnabled());
    QCOMPARE(window.windowTitle(), QStringLiteral("テスト帳票"));
    QCOMPARE(window.LightRep1->Title, QStringLiteral("テスト帳票"));
}

void TestBaseLRep::nextPageShowsStoredPageWithoutRendering()
{
    CountingReportWindow window(3);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    window.ActNextPage->trigger();
    QCOMPARE(window.PageIndicator(), QStringLiteral("2/3"));
    window.ActLastPage->trigger();
    QCOMPARE(window.PageIndicator(), QStringLiteral("3/3"));
    QVERIFY(!window.ActNextPage->isEnabled());
    window.ActPriorPage->trigger();
    QCOMPARE(window.PageIndicator(), QStringLiteral("2/3"));
    window.ActFirstPage->trigger();
    QCOMPARE(window.PageIndicator(), QStringLiteral("1/3"));
    QCOMPARE(window.pagesRendered, 3);
    // A new preview starts over from the first record.
    window.ActPreview->trigger();
    QCOMPARE(window.PageIndicator(), QStringLiteral("1/1"));
    QTRY_COMPARE(window.PageIndicator(), QStringLiteral("1/3"));
}

void TestBaseLRep::closingStopsTheWorker_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("close") << false;
    QTest::newRow("escape") << true; // hides the dialog without a close event
}

void TestBaseLRep::closingStopsTheWorker()
{
    QFETCH(bool, escape);
    CountingReportWindow window(100000);
    window.show();
    QTRY_VERIFY(window.pagesRendered > 3);
    if (escape)
        QTest::keyClick(&window, Qt::Key_Escape);
    else
        window.close();
    QVERIFY(!window.isVisible());
    const int rendered = window.pagesRendered;
    QVERIFY(waitForEventLoopTurns());
    QCOMPARE(window.pagesRendered, rendered);
    QVERIFY(!window.PreviewRunning());
}

// Under AddressSanitizer a step reaching the destroyed window would be reported here.
void TestBaseLRep::destroyingTheWindowStopsTheWorker()
{
    auto *window = new CountingReportWindow(100000);
    window->show();
    QTRY_VERIFY(window->pagesRendered > 3);
    delete window;
    QVERIFY(waitForEventLoopTurns());
}

void TestBaseLRep::nothingToPrint_data()
{
    QTest::addColumn<int>("records"); // -1: no master data set
    QTest::addColumn<QString>("message");
    QTest::newRow("no data set") << -1 << "dsMast.DataSet にデータセットを指定してください．";
    QTest::newRow("no records") << 0 << "印刷対象データがありません．";
}

// The preview and the PDF command both stop with the message; nothing is written and the print
// message does not stay on screen.
void TestBaseLRep::nothingToPrint()
{
    QFETCH(int, records);
    QFETCH(QString, message);
    CountingReportWindow window(records);
    window.show();
    QCOMPARE(messageTexts(), QStringList{message});
    QCOMPARE(window.PageIndicator(), QString());
    const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActSavePdf->trigger();
    QCOMPARE(messageTexts(), QStringList{message});
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!TPrintMsg::current());
}

void TestBaseLRep::rangeFieldRefusesNonNumbers()
{
    CountingReportWindow window(3);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    auto *from = window.findChild<QLineEdit *>(QStringLiteral("FromPageEDT"));
    typeIntoField(from, QStringLiteral("abc"));
    QCOMPARE(messageTexts(), QStringList{QStringLiteral("'abc' は整数ではありません")});
    QTRY_VERIFY(from->hasFocus());
    QCOMPARE(window.LightRep1->FirstPage, 0);
    QCOMPARE(from->selectedText(), QStringLiteral("abc"));

    // Leaving it again without a change is refused again.
    QTest::keyClick(from, Qt::Key_Tab);
    QCOMPARE(messageTexts(), QStringList{QStringLiteral("'abc' は整数ではありません")});
    QTRY_VERIFY(from->hasFocus());
    QCOMPARE(window.LightRep1->FirstPage, 0);

    // A message box or menu taking the focus away from the window does not leave the field.
    QFocusEvent windowLeft(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(from, &windowLeft);
    QVERIFY(messageTexts().isEmpty());

    typeIntoField(from, QStringLiteral("3"));
    QVERIFY(messageTexts().isEmpty());
    QCOMPARE(window.LightRep1->FirstPage, 3);
}

void TestBaseLRep::rangeFieldMovesThePreview()
{
    CountingReportWindow window(3);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    auto *from = window.findChild<QLineEdit *>(QStringLiteral("FromPageEDT"));
    auto *to = window.findChild<QLineEdit *>(QStringLiteral("ToPageEDT"));
    typeIntoField(from, QStringLiteral("002"));
    QCOMPARE(from->text(), QStringLiteral("2"));
    QCOMPARE(window.LightRep1->FirstPage, 2);
    QCOMPARE(window.PageIndicator(), QStringLiteral("2/3"));
    typeIntoField(to, QStringLiteral("5")); // not rendered: the display stays
    QCOMPARE(window.LightRep1->LastPage, 5);
    QCOMPARE(window.PageIndicator(), QStringLiteral("2/3"));
    typeIntoField(to, QString());
    QCOMPARE(window.LightRep1->LastPage, 0);
    QVERIFY(messageTexts().isEmpty());
}

void TestBaseLRep::pdfHoldsTheReportTexts_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("whole report") << ""
                                  << "" << QStringList{"page 1;", "page 2;", "page 3;"};
    QTest::newRow("page 2 only") << "2"
                                 << "2" << QStringList{"page 2;"};
}

void TestBaseLRep::pdfHoldsTheReportTexts()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, pages);
    CountingReportWindow window(3);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    typeIntoField(window.findChild<QLineEdit *>(QStringLiteral("FromPageEDT")), from);
    typeIntoField(window.findChild<QLineEdit *>(QStringLiteral("ToPageEDT")), to);
    const QString pdf = m_dir.filePath(QStringLiteral("report-%1").arg(QTest::currentDataTag()));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActSavePdf->trigger();
    const QString file = pdf + QStringLiteral(".pdf");
    QCOMPARE(messageTexts(), QStringList{QStringLiteral("%1 ページをPDFファイル「%2」に保存しました")
                                             .arg(pages.size())
                                             .arg(QDir::toNativeSeparators(file))});
    // Each printed page on its own sheet, in order; the title in the header's item and the last
    // detail row in the 20th cell of the grid below the header (37 + 60 + 19 × 28 = 629).
    const QList<PdfWord> words = pdfWords(file);
    QCOMPARE(pdfPageCount(file), pages.size());
    for (int sheet = 1; sheet <= pages.size(); ++sheet) {
        const auto title = findPhrase(words, QStringLiteral("御見積書 ") + pages[sheet - 1], sheet);
        QVERIFY2(liesWithin(title, QRectF(37, 37, 400, 30)), qPrintable(describe(title)));
        const auto lastRow = findPhrase(words, QStringLiteral("明細 20"), sheet);
        QVERIFY2(liesWithin(lastRow, QRectF(37, 629, 682, 28)), qPrintable(describe(lastRow)));
    }
    QCOMPARE(findPhrases(words, QStringLiteral("明細 20")).size(), pages.size());
    QVERIFY(window.printMessageShownWhilePrinting);
    QVERIFY(!TPrintMsg::current());
}

// No sheet at all, not one blank sheet, and the user is told why.
void TestBaseLRep::rangeBeyondTheLastPagePrintsNothing()
{
    CountingReportWindow window(3);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    typeIntoField(window.findChild<QLineEdit *>(QStringLiteral("FromPageEDT")), QStringLiteral("4"));
    messageTexts();
    const QString pdf = m_dir.filePath(QStringLiteral("beyond.pdf"));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActSavePdf->trigger();
    QCOMPARE(messageTexts(), QStringList{QStringLiteral("印刷範囲にページがありません．")});
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!TPrintMsg::current());
    QVERIFY(!QApplication::overrideCursor());
}

// A page that fails in the background is reported once; the preview stops, what is stored stays.
void TestBaseLRep::failingBackgroundPageStopsThePreview()
{
    CountingReportWindow window(5);
    window.failOnPage = 3;
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    QCOMPARE(messageTexts(), QStringList{QStringLiteral("明細を読めません．")});
    QCOMPARE(window.PageIndicator(), QStringLiteral("1/2"));
    QVERIFY(!window.ActSuspend->isEnabled());
}

// A paused preview is stopped by printing, which then prints every page.
void TestBaseLRep::pausedPreviewThenPrint()
{
    CountingReportWindow window(50);
    window.show();
    window.ActSuspend->trigger();
    QVERIFY(window.ActSuspend->isChecked());
    const int rendered = window.pagesRendered;
    QVERIFY(waitForEventLoopTurns());
    QCOMPARE(window.pagesRendered, rendered);
    const QString pdf = m_dir.filePath(QStringLiteral("paused.pdf"));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActSavePdf->trigger();
    QVERIFY(!window.PreviewRunning());
    QVERIFY(!window.ActSuspend->isChecked());
    QCOMPARE(window.pagesRendered, rendered + 50);
    QCOMPARE(pdfText(pdf).count(QChar(u'\f')), 50);
}

void TestBaseLRep::printingWithoutPrintersOffersPdf()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("this machine has printers");
    CountingReportWindow window(2);
    window.show();
    const QString pdf = m_dir.filePath(QStringLiteral("noprinter.pdf"));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActPrint->trigger();
    QCOMPARE(
        messageTexts(),
        (QStringList{
            QStringLiteral("プリンタが登録されていません．PDFファイルに保存します．"),
            QStringLiteral("2 ページをPDFファイル「%1」に保存しました").arg(QDir::toNativeSeparators(pdf))}));
    QCOMPARE(pdfText(pdf).count(QStringLiteral("御見積書")), 2);
}

void TestBaseLRep::printFailureIsShownWithoutTheHourglass_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("failOnPage");
    QTest::addColumn<QString>("message");
    QTest::newRow("no records") << 0 << 0 << "印刷対象データがありません．";
    QTest::newRow("failing page") << 3 << 2 << "明細を読めません．";
}

// When printing stops, the print message and the hourglass are gone before the user is told why,
// and no half-written file stays behind.
void TestBaseLRep::printFailureIsShownWithoutTheHourglass()
{
    QFETCH(int, records);
    QFETCH(int, failOnPage);
    QFETCH(QString, message);
    CountingReportWindow window(records);
    window.show();
    QTRY_VERIFY(!window.PreviewRunning());
    messageTexts();
    window.failOnPage = failOnPage;

    QString shown;
    bool hourglass = true;
    bool printMessage = true;
    QTimer watcher;
    watcher.setInterval(10);
    connect(&watcher, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            hourglass = QApplication::overrideCursor() != nullptr;
            printMessage = TPrintMsg::current() != nullptr;
            box->done(QMessageBox::Ok);
        }
    });
    watcher.start();
    const QString pdf = m_dir.filePath(QStringLiteral("failing-%1.pdf").arg(QTest::currentDataTag()));
    ReportFileDialog::setNextSaveFileName(pdf);
    Messages::setTestMode(false);
    window.ActSavePdf->trigger();
    Messages::setTestMode(true);
    QCOMPARE(shown, message);
    QVERIFY(!hourglass);
    QVERIFY(!printMessage);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!QFile::exists(pdf));
}

void TestBaseLRep::printerTakesThePaperOfTheLayout_data()
{
    QTest::addColumn<TPaperSize>("paper");
    QTest::addColumn<TPrinterOrientation>("orientation");
    const auto portrait = TPrinterOrientation::poPortrait;
    QTest::newRow("A4") << TPaperSize::psA4 << portrait;
    QTest::newRow("A4 landscape") << TPaperSize::psA4 << TPrinterOrientation::poLandscape;
    QTest::newRow("B4") << TPaperSize::psB4 << portrait;
    QTest::newRow("B5") << TPaperSize::psB5 << portrait;
    QTest::newRow("A3") << TPaperSize::psA3 << portrait;
    QTest::newRow("A5") << TPaperSize::psA5 << portrait;
}

// The sheet the printer is given is the page the layout is drawn on (B4 is 250 × 354 mm, not JIS
// B4), to within a millimetre and a half.
void TestBaseLRep::printerTakesThePaperOfTheLayout()
{
    QFETCH(TPaperSize, paper);
    QFETCH(TPrinterOrientation, orientation);
    TLightRep rep;
    rep.setPaperSize(paper);
    rep.setOrientation(orientation);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    TLRPrinterTarget target(pdf, false);
    QVERIFY(target.applyPaper(paper, orientation));
    const QRectF sheet = pdf.pageLayout().fullRect(QPageLayout::Millimeter);
    QVERIFY2(qAbs(sheet.width() - rep.Width() * 25.4 / 96) <= 1.5,
             qPrintable(QString::number(sheet.width())));
    QVERIFY2(qAbs(sheet.height() - rep.Height() * 25.4 / 96) <= 1.5,
             qPrintable(QString::number(sheet.height())));
}

// The report window's base font reaches the items; a size given in screen pixels is kept as
// points, so the text is as large on a 600-dpi printer as on the screen.
void TestBaseLRep::itemsTakeTheWindowFontInPoints()
{
    QWidget window;
    QFont base(QStringLiteral("ＭＳ 明朝"));
    base.setPixelSize(16);
    window.setFont(base);
    TLightRep rep(&window);
    auto *panel = new TLRLayoutPanel(&rep);
    auto *item = new TLRItem(panel);
    QCOMPARE(item->Font().font.family(), QStringLiteral("ＭＳ 明朝"));
    QCOMPARE(item->Font().font.pointSizeF(), 12.0);
    item->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 24, true));
    QCOMPARE(item->Font().font.pointSizeF(), 18.0);
    QVERIFY(!item->ParentFont());
}

QTEST_MAIN(TestBaseLRep)
#include "tst_baselrep.moc"
