// The layout engine: placement of panels on the page, grids, print statuses, the print job with
// its page range, the states and the placement rules.
#include "report/engine/LRPrintJob.h"
#include "report/engine/ReportFonts.h"
#include "report/layouts/LRItemTable.h"
#include "ReportTestSupport.h"

#include <QTest>

class TestLREngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void panelAreaFollowsMargins_data();
    void panelAreaFollowsMargins();
    void landscapeSwapsThePage();
    void topAndBottomPanelsStackAroundTheClientPanel();
    void gridCellsAreEvenRows();
    void panelsFromATable();
    void skipStatusSuppressesPanelOrCell();
    void frameOnlyPrintsLinesWithoutText();
    void rowAndColumnCountsNeedTenUnits_data();
    void rowAndColumnCountsNeedTenUnits();
    void placementRules_data();
    void placementRules();
    void pageRangeJob_data();
    void pageRangeJob();
    void reversedRangeIsRefused();
    void stateErrors_data();
    void stateErrors();
    void printerSetup();
    void failingPageEndsTheJob();
};

void TestLREngine::panelAreaFollowsMargins_data()
{
    QTest::addColumn<int>("marginLeft");
    QTest::addColumn<QRect>("area"); // left, top, width, height of the panel area
    QTest::newRow("margins 36") << 36 << QRect(37, 37, 720, 1049);
    QTest::newRow("left margin 74") << 74 << QRect(75, 37, 682, 1049);
    QTest::newRow("margin 0 is ignored") << 0 << QRect(37, 37, 720, 1049);
    QTest::newRow("margin of half the width is ignored") << 397 << QRect(37, 37, 720, 1049);
}

// A client panel filled black by a client-aligned item covers exactly the panel area; the item's
// background ends one pixel before its right and bottom edges (its frame lines go there).
void TestLREngine::panelAreaFollowsMargins()
{
    QFETCH(int, marginLeft);
    QFETCH(QRect, area);
    TLightRep rep;
    rep.setMarginLeft(marginLeft);
    auto *panel = new TLRLayoutPanel(&rep);
    panel->setLRAlign(TLRAlign::laClient);
    auto *fill = new TLRItem(panel);
    fill->setAlign(TLRAlign::laClient);
    fill->Transparent = false;
    fill->setColor(Qt::black);
    TLRRect printedAt;
    panel->BeforePrint = [&](TLRControl *, const TLRRect &rect, TPrintStatus &) { printedAt = rect; };

    const QImage page = previewImage(rep);
    QCOMPARE(printedAt.toQRect(), area);
    QVERIFY(isDark(page, area.left(), area.top()));
    QVERIFY(!isDark(page, area.left() - 1, area.top()));
    QVERIFY(!isDark(page, area.left(), area.top() - 1));
    QVERIFY(isDark(page, area.right() - 1, area.bottom() - 1));
    QVERIFY(!isDark(page, area.right(), area.bottom() - 1));
    QVERIFY(!isDark(page, area.right() - 1, area.bottom()));
}

void TestLREngine::landscapeSwapsThePage()
{
    TLightRep rep;
    rep.setOrientation(TPrinterOrientation::poLandscape);
    QCOMPARE(QSize(rep.Width(), rep.Height()), QSize(1123, 794));
    rep.setPaperSize(TPaperSize::psNone);
    QCOMPARE(QSize(rep.Width(), rep.Height()), QSize(1123, 794));
    rep.setPaperSize(TPaperSize::psB5);
    QCOMPARE(QSize(rep.Width(), rep.Height()), QSize(971, 688));
}

// The estimate's page: header and headings at the top in the order of their top coordinate
// (whatever their order of printing), remarks at the bottom, the detail grid in between.
void TestLREngine::topAndBottomPanelsStackAroundTheClientPanel()
{
    TLightRep rep;
    rep.setMarginLeft(74);
    auto *header = new TLRLayoutPanel(&rep);
    header->setBounds(75, 37, 682, 332);
    auto *remarks = new TLRLayoutPanel(&rep);
    remarks->setBounds(75, 957, 682, 129);
    remarks->setLRAlign(TLRAlign::laBottom);
    auto *detail = new TLRGridPanel(&rep);
    detail->setLRAlign(TLRAlign::laClient);
    auto *headings = new TLRLayoutPanel(&rep);
    headings->setBounds(75, 369, 682, 28);

    QCOMPARE(header->BoundsRect().toQRect(), QRect(75, 37, 682, 332));
    QCOMPARE(headings->BoundsRect().toQRect(), QRect(75, 369, 682, 28));
    QCOMPARE(detail->BoundsRect().toQRect(), QRect(75, 397, 682, 560));
    QCOMPARE(remarks->BoundsRect().toQRect(), QRect(75, 957, 682, 129));
}

// 20 rows on a 560-unit grid: cells 28 high at 0, 28, …, 532, each showing its bottom line.
void TestLREngine::gridCellsAreEvenRows()
{
    TLightRep rep;
    auto *grid = new TLRGridPanel(&rep);
    grid->setBounds(0, 0, 682, 560);
    grid->setRowCount(20);
    QCOMPARE(grid->CellPanel()->BoundsRect().toQRect(), QRect(0, 0, 720, 28));
    auto *cell = new TLRItem(grid);
    cell->setBounds(0, 0, 100, 28);
    cell->LineBottom = TLineStyle::lsSingle;
    QCOMPARE(cell->parentControl(), grid->CellPanel());
    QList<int> tops;
    grid->OnPrintPanel = [&](TLRControl *, int col, int row, const TLRRect &rect, TPrintStatus &) {
        QCOMPARE(col, 0);
        QCOMPARE(rect.height(), 28);
        tops.append(rect.Top - 37 - row * 0);
    };

    const QImage page = previewImage(rep);
    QList<int> expected;
    for (int row = 0; row < 20; ++row)
        expected.append(row * 28);
    QCOMPARE(tops, expected);
    QList<int> lines;
    for (int top : expected)
        lines.append(37 + top + 27);
    QCOMPARE(darkRowsAt(page, 37 + 50, 37, 37 + 559), lines);
}

// The document page declared as rows, in print order (header, remarks, detail, headings): the
// placement by alignment gives every panel the page rectangle of its row, and the grid's cells
// are its 20 rows of 28.
void TestLREngine::panelsFromATable()
{
    static constexpr LRPanelRow rows[] = {
        {"Header", LRPanelKind::Layout, TLRAlign::laTop, {75, 37, 682, 332}},
        {"Remarks", LRPanelKind::Layout, TLRAlign::laBottom, {75, 957, 682, 129}},
        {"Detail", LRPanelKind::Grid, TLRAlign::laClient, {75, 397, 682, 560}, 1, 20},
        {"Headings", LRPanelKind::Layout, TLRAlign::laTop, {75, 369, 682, 28}},
    };
    TLightRep rep;
    rep.setMarginLeft(74);
    const QList<TCustomLRPanel *> panels = buildPanels(rep, rows);
    QCOMPARE(rep.controls(), (QList<TLRControl *>{panels.begin(), panels.end()}));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(panels[i]->BoundsRect().toQRect(), rows[i].page);
    auto *grid = qobject_cast<TLRGridPanel *>(panels[2]);
    QVERIFY(grid);
    QCOMPARE(grid->RowCount(), 20);
    QCOMPARE(grid->CellPanel()->BoundsRect().toQRect(), QRect(0, 0, 682, 28));
}

void TestLREngine::skipStatusSuppressesPanelOrCell()
{
    TLightRep rep;
    auto *panel = new TLRLayoutPanel(&rep);
    panel->setHeight(40);
    auto *box = new TLRItem(panel);
    box->Transparent = false;
    box->setColor(Qt::black);
    bool panelAfterPrint = false;
    panel->BeforePrint = [](TLRControl *, const TLRRect &, TPrintStatus &s) { s = TPrintStatus::stSkip; };
    panel->AfterPrint = [&](TLRControl *) { panelAfterPrint = true; };

    auto *grid = new TLRGridPanel(&rep);
    grid->setBounds(0, 500, 200, 90); // below the panel
    grid->setRowCount(3);
    auto *cellBox = new TLRItem(grid);
    cellBox->setBounds(0, 0, 50, 30);
    cellBox->Transparent = false;
    cellBox->setColor(Qt::black);
    QList<int> cellsAfterPrint;
    grid->OnPrintPanel = [](TLRControl *, int, int row, const TLRRect &, TPrintStatus &s) {
        if (row == 1)
            s = TPrintStatus::stSkip;
    };
    grid->AfterPrintPanel = [&, row = 0](TLRControl *) mutable { cellsAfterPrint.append(row++); };
    bool gridAfterPrint = false;
    grid->AfterPrint = [&](TLRControl *) { gridAfterPrint = true; };

    const QImage page = previewImage(rep);
    QCOMPARE(darkPixels(page, QRect(37, 37, 60, 15)), 0);
    QVERIFY(!panelAfterPrint);
    const int gridTop = grid->Top();
    QVERIFY(isDark(page, 40, gridTop + 5));
    QVERIFY(!isDark(page, 40, gridTop + 35));
    QVERIFY(isDark(page, 40, gridTop + 65));
    QCOMPARE(cellsAfterPrint.size(), 2); // the skipped cell raises no AfterPrintPanel
    QVERIFY(gridAfterPrint);
}

void TestLREngine::frameOnlyPrintsLinesWithoutText()
{
    TLightRep rep;
    auto *grid = new TLRGridPanel(&rep);
    grid->setBounds(0, 0, 300, 60);
    grid->setRowCount(2);
    auto *cell = new TLRItem(grid);
    cell->setBounds(0, 0, 300, 30);
    cell->setLines(TLineStyle::lsSingle);
    cell->Text = QStringLiteral("明細行ＷＷＷ");
    cell->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    grid->OnPrintPanel = [](TLRControl *, int, int row, const TLRRect &, TPrintStatus &s) {
        if (row == 1)
            s = TPrintStatus::stFrameOnly;
    };

    const QImage page = previewImage(rep);
    const int top = grid->Top();
    QVERIFY(darkPixels(page, QRect(40, top + 3, 200, 22)) > 20); // row 0: text
    QCOMPARE(darkPixels(page, QRect(40, top + 33, 200, 22)), 0); // row 1: no text
    QVERIFY(isDark(page, 100, top + 59));                        // row 1: its bottom line
    QVERIFY(isDark(page, 36, top + 45));                         // and its left line
}

void TestLREngine::rowAndColumnCountsNeedTenUnits_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString rowMessage = QStringLiteral("行数が有効範囲を超えています．");
    const QString colMessage = QStringLiteral("列数が有効範囲を超えています．");
    QTest::newRow("56 rows of 10") << true << 56 << QString();
    QTest::newRow("57 rows of 9") << true << 57 << rowMessage;
    QTest::newRow("0 rows") << true << 0 << rowMessage;
    QTest::newRow("68 columns of 10") << false << 68 << QString();
    QTest::newRow("69 columns of 9") << false << 69 << colMessage;
    QTest::newRow("-1 columns") << false << -1 << colMessage;
}

void TestLREngine::rowAndColumnCountsNeedTenUnits()
{
    QFETCH(bool, rows);
    QFETCH(int, count);
    QFETCH(QString, message);
    TLRGridPanel grid;
    grid.setBounds(0, 0, 682, 560);
    try {
        rows ? grid.setRowCount(count) : grid.setColCount(count);
        QVERIFY(message.isEmpty());
        QCOMPARE(rows ? grid.RowCount() : grid.ColCount(), count);
    } catch (const ELRError &e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(rows ? grid.RowCount() : grid.ColCount(), 1);
    }
}

void TestLREngine::placementRules_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("message"); // empty: allowed
    const QString onPanel = QStringLiteral("パネル上にのみ配置できます．");
    const QString onRoot = QStringLiteral("TLightRep上かTLRLayoutPanelにのみ配置できます．");
    const QString onForm = QStringLiteral("フォーム上にのみ配置できます．");
    QTest::newRow("item on root") << "item"
                                  << "root" << onPanel;
    QTest::newRow("item on grid") << "item"
                                  << "grid" << QString();
    QTest::newRow("layout on layout") << "layout"
                                      << "layout" << QString();
    QTest::newRow("layout on grid") << "layout"
                                    << "grid" << QString();
    QTest::newRow("layout on item") << "layout"
                                    << "item" << onRoot;
    QTest::newRow("grid on grid") << "grid"
                                  << "grid" << onRoot;
    QTest::newRow("grid on layout") << "grid"
                                    << "layout" << QString();
    QTest::newRow("root on layout") << "root"
                                    << "layout" << onForm;
}

void TestLREngine::placementRules()
{
    QFETCH(QString, child);
    QFETCH(QString, parent);
    QFETCH(QString, message);
    TLightRep rep;
    auto *layout = new TLRLayoutPanel(&rep);
    auto *grid = new TLRGridPanel(&rep);
    auto *item = new TLRItem(layout);
    const QHash<QString, QObject *> parents{
        {"root", &rep}, {"layout", layout}, {"grid", grid}, {"item", item}};
    std::unique_ptr<TLRControl> made;
    try {
        if (child == u"item")
            made = std::make_unique<TLRItem>(parents[parent]);
        else if (child == u"layout")
            made = std::make_unique<TLRLayoutPanel>(parents[parent]);
        else if (child == u"grid")
            made = std::make_unique<TLRGridPanel>(parents[parent]);
        else
            made = std::make_unique<TLightRep>(parents[parent]);
        QVERIFY2(message.isEmpty(), "placement was accepted");
        QObject *expectedParent = parents[parent] == grid ? grid->CellPanel() : parents[parent];
        QCOMPARE(made->parent(), expectedParent);
        made->setParent(nullptr);
    } catch (const ELRError &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestLREngine::pageRangeJob_data()
{
    QTest::addColumn<int>("firstPage");
    QTest::addColumn<int>("lastPage");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<int>("rendered"); // pages whose events ran
    QTest::newRow("all") << 0 << 0 << QStringList{"page 1;", "page 2;", "page 3;", "page 4;", "page 5;"} << 5;
    QTest::newRow("2 to 3") << 2 << 3 << QStringList{"page 2;", "page 3;"} << 3;
    QTest::newRow("2 to 2") << 2 << 2 << QStringList{"page 2;"} << 2;
    QTest::newRow("from 4") << 4 << 0 << QStringList{"page 4;", "page 5;"} << 5;
    QTest::newRow("to 1") << 0 << 1 << QStringList{"page 1;"} << 1;
    // A range beyond the last page: the printer's document is never started, no sheet comes out.
    QTest::newRow("from 6") << 6 << 0 << QStringList{} << 5;
    QTest::newRow("6 to 7") << 6 << 7 << QStringList{} << 5;
}

void TestLREngine::pageRangeJob()
{
    QFETCH(int, firstPage);
    QFETCH(int, lastPage);
    QFETCH(QStringList, sheets);
    QFETCH(int, rendered);
    PagedReport report(5);
    RecordingPrintTarget printer;
    report.root.setPrinter(&printer);
    report.root.Title = QStringLiteral("見積書");
    report.root.FirstPage = firstPage;
    report.root.LastPage = lastPage;

    runPrintJob(report.root, [&] { return report.dataEnd(); });
    QCOMPARE(printer.sheets, sheets);
    QCOMPARE(report.rendered, rendered);
    QCOMPARE(report.root.PagesPrinted(), sheets.size());
    QCOMPARE(printer.jobTitle, sheets.isEmpty() ? QString() : QStringLiteral("見積書"));
    QCOMPARE(printer.jobsEnded, sheets.isEmpty() ? 0 : 1);
    QCOMPARE(report.root.State(), TLRState::lrsIdle);
    QCOMPARE(report.root.PageNumber(), 0);
    previewImage(report.root); // a preview after the job starts again from page 1
    QCOMPARE(report.root.PageNumber(), 1);
}

void TestLREngine::reversedRangeIsRefused()
{
    PagedReport report(5);
    RecordingPrintTarget printer;
    report.root.setPrinter(&printer);
    report.root.FirstPage = 3;
    report.root.LastPage = 2;
    try {
        report.root.BeginDoc();
        QFAIL("BeginDoc accepted a reversed range");
    } catch (const ELRError &e) {
        QCOMPARE(e.message(), QStringLiteral("印刷ページ範囲が正しくありません．"));
    }
    QCOMPARE(report.root.LastPage, 3);
    QCOMPARE(report.root.State(), TLRState::lrsIdle);
    QVERIFY(printer.jobTitle.isNull());
}

void TestLREngine::stateErrors_data()
{
    QTest::addColumn<QString>("setUp"); // doc, paginate, preview or none
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");
    QTest::newRow("print page when idle") << "none"
                                          << "PrintPage"
                                          << "BeginDocが呼び出されていません．";
    QTest::newRow("print page in preview") << "preview"
                                           << "PrintPage"
                                           << "BeginDocが呼び出されていません．";
    QTest::newRow("paginate page when idle") << "none"
                                             << "PaginatePage"
                                             << "BeginPaginateが呼び出されていません．";
    QTest::newRow("begin doc twice") << "doc"
                                     << "BeginDoc"
                                     << "プリンタは印刷中です．";
    QTest::newRow("begin doc paginating") << "paginate"
                                          << "BeginDoc"
                                          << "Paginate中です、印刷できません．";
    QTest::newRow("preview while printing") << "doc"
                                            << "PreviewPage"
                                            << "プリンタが印刷中のため、プレビューを開始できません．";
    QTest::newRow("preview while paginating") << "paginate"
                                              << "BeginPreview"
                                              << "Paginate中です、プレビュー表示できません．";
    QTest::newRow("paginate while printing") << "doc"
                                             << "BeginPaginate"
                                             << "印刷中のため、Paginateを開始できません．";
}

void TestLREngine::stateErrors()
{
    QFETCH(QString, setUp);
    QFETCH(QString, operation);
    QFETCH(QString, message);
    PagedReport report(3);
    RecordingPrintTarget printer;
    TLightRep &rep = report.root;
    rep.setPrinter(&printer);
    if (setUp == u"doc")
        rep.BeginDoc();
    else if (setUp == u"paginate")
        rep.BeginPaginate();
    else if (setUp == u"preview")
        rep.BeginPreview();
    const TLRState before = rep.State();
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const QHash<QString, std::function<void()>> operations{
        {"PrintPage", [&] { rep.PrintPage(); }},       {"PaginatePage", [&] { rep.PaginatePage(); }},
        {"BeginDoc", [&] { rep.BeginDoc(); }},         {"PreviewPage", [&] { rep.PreviewPage(painter); }},
        {"BeginPreview", [&] { rep.BeginPreview(); }}, {"BeginPaginate", [&] { rep.BeginPaginate(); }}};
    try {
        operations[operation]();
        QFAIL("the operation was accepted");
    } catch (const ELRError &e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(rep.State(), before);
    rep.EndDoc();
}

// A printer chosen since the last job is reset to its defaults once; psNone leaves the paper to
// the layout's OnSetPrinter; a printer that refuses the paper stops the job before it starts.
void TestLREngine::printerSetup()
{
    PagedReport report(1);
    RecordingPrintTarget printer;
    TLightRep &rep = report.root;
    rep.setPrinter(&printer);
    rep.setOrientation(TPrinterOrientation::poLandscape);
    auto printOnce = [&] {
        report.current = 0;
        runPrintJob(rep, [&] { return report.dataEnd(); });
    };
    printOnce();
    printOnce();
    QCOMPARE(printer.resets, 1);
    QCOMPARE(printer.paper, TPaperSize::psA4);
    QCOMPARE(printer.orientation, TPrinterOrientation::poLandscape);
    printer.name = QStringLiteral("Other printer");
    printOnce();
    QCOMPARE(printer.resets, 2);

    int setPrinterCalls = 0;
    rep.OnSetPrinter = [&](TLightRep *) { ++setPrinterCalls; };
    rep.setPaperSize(TPaperSize::psNone);
    printer.paper = TPaperSize::psB4;
    printOnce();
    QCOMPARE(setPrinterCalls, 1);
    QCOMPARE(printer.paper, TPaperSize::psB4);

    rep.setPaperSize(TPaperSize::psA3);
    printer.acceptPaper = false;
    const int jobs = printer.jobsEnded;
    try {
        printOnce();
        QFAIL("a refused paper size was not reported");
    } catch (const ELRError &e) {
        QCOMPARE(e.message(), QStringLiteral("用紙設定時にエラーが発生しました．"));
    }
    QCOMPARE(printer.jobsEnded, jobs);
    QCOMPARE(rep.State(), TLRState::lrsIdle);
}

// A layout handler that fails mid-job ends the printer document: the next job can start.
void TestLREngine::failingPageEndsTheJob()
{
    PagedReport report(3);
    RecordingPrintTarget printer;
    report.root.setPrinter(&printer);
    report.header->AfterPrint = [&](TLRControl *) {
        if (++report.current == 2)
            throw AppError(QStringLiteral("データ読込エラー"));
    };
    QVERIFY_THROWS_EXCEPTION(AppError, runPrintJob(report.root, [&] { return report.dataEnd(); }));
    QCOMPARE(report.root.State(), TLRState::lrsIdle);
    QCOMPARE(printer.jobsEnded, 1);
    report.root.BeginDoc();
    report.root.EndDoc();
}

QTEST_MAIN(TestLREngine)
#include "tst_lrengine.moc"
