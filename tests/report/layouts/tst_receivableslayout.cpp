// The list of receivables rendered headless from rows given to it: every row on exactly one page
// across the page breaks, in order, the total after the last row, the heads and "page / pages" on
// every page; texts wider than their column stay inside it.
#include "common/DisplayFormat.h"
#include "LayoutRun.h"
#include "report/engine/LRPrintJob.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/ReceivablesLayout.h"
#include "ReportTestSupport.h"

#include <QTest>

namespace {

QString nameOf(int i)
{
    return QStringLiteral("取引先%1番").arg(i);
}

ReceivablesSheet sheetOf(int rows)
{
    ReceivablesSheet sheet;
    sheet.asOf = QDate(2026, 12, 11);
    sheet.company = QStringLiteral("テスト商会");
    for (int i = 1; i <= rows; ++i)
        sheet.rows.append({QString::number(100 + i), nameOf(i), 1000LL * i, 0, 0, 1000LL * i,
                           QDate(2026, 11, 20), i % 3 ? std::optional<int>(i) : std::nullopt});
    sheet.total = {QString(), QStringLiteral("合計"), 123456789, 0, 0, 123456789, {}, 99};
    return sheet;
}

// What each sheet of a print job shows, as the texts drawn on it one after another.
QStringList printedSheets(ReceivablesLayout &layout)
{
    RecordingPrintTarget printer;
    layout.root().setPrinter(&printer);
    layout.first();
    runPrintJob(layout.root(), [&] { return layout.dataEnd(); });
    layout.root().setPrinter(nullptr);
    return printer.sheets;
}

} // namespace

class TestReceivablesLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    // 40 rows to a page; the total row needs a line of its own, so 40 rows take a second page.
    void everyRowOnceAcrossPageBreaks_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("no customer") << 0 << 1;
        QTest::newRow("page full with the total") << 39 << 1;
        QTest::newRow("total alone on page 2") << 40 << 2;
        QTest::newRow("hundreds") << 321 << 9;
    }
    void everyRowOnceAcrossPageBreaks()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        TLightRep root;
        ReceivablesLayout layout(root);
        layout.setSheet(sheetOf(rows));
        QCOMPARE(layout.pageCount(), pages);
        const QStringList sheets = printedSheets(layout);
        QCOMPARE(sheets.size(), pages);
        for (int p = 0; p < pages; ++p) {
            const QString &sheet = sheets[p];
            for (const QString &head :
                 {QStringLiteral("売掛金残高一覧"), QStringLiteral("2026年12月11日現在"),
                  QStringLiteral("テスト商会"), QStringLiteral("取引先コード"), QStringLiteral("経過日数"),
                  QStringLiteral("%1 / %2").arg(p + 1).arg(pages)})
                QVERIFY2(sheet.contains(head),
                         qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(head)));
            QCOMPARE(sheet.contains(QStringLiteral("合計")), p == pages - 1);
        }
        QVERIFY(sheets.last().contains(QStringLiteral("合計123,456,789")));
        for (int i = 1; i <= rows; ++i) {
            const int page = (i - 1) / ReceivablesLayout::kRowsPerPage;
            const QString row =
                QString::number(100 + i) + nameOf(i) + formatNumber(DisplayFormat::kInteger, 1000.0 * i);
            for (int p = 0; p < pages; ++p)
                QVERIFY2(sheets[p].count(nameOf(i)) == (p == page ? 1 : 0),
                         qPrintable(QStringLiteral("%1 on page %2").arg(nameOf(i)).arg(p + 1)));
            QVERIFY2(sheets[page].contains(row), qPrintable(row));
            if (i % ReceivablesLayout::kRowsPerPage != 0 && i < rows)
                QVERIFY(sheets[page].indexOf(nameOf(i)) < sheets[page].indexOf(nameOf(i + 1)));
        }
        // The preview shows the same pages.
        QCOMPARE(layout.renderPages().size(), pages);
    }

    // A name far wider than its column is cut with "…" and an amount wider than its column is
    // printed whole in a smaller size: neither reaches into the column beside it.
    void wideTextsStayInTheirColumns()
    {
        ReceivablesSheet sheet = sheetOf(0);
        const QString longName = QString(60, QChar(u'■'));
        sheet.rows.append({QStringLiteral("1234567890123"), longName, -9999999999999, 0, 0, 0, {}, {}});
        TLightRep root;
        ReceivablesLayout layout(root);
        layout.setSheet(sheet);
        const QString printed = printedSheets(layout).value(0);
        QVERIFY(printed.contains(QStringLiteral("-9,999,999,999,999")));
        QVERIFY(printed.contains(QStringLiteral("1234567890123")));
        QVERIFY(printed.contains(QStringLiteral("■…")));
        QVERIFY(!printed.contains(longName));

        const QImage page = layout.renderPages().value(0);
        savePageForViewing(page, QStringLiteral("receivables"));
        // The first row lies at y 151–173; the name column at x 109–289, the next one at 289–373.
        const int top = 153, bottom = 170;
        QVERIFY(darkPixels(page, QRect(115, top, 150, bottom - top)) > 0); // the name is printed
        // The name's end and the amount's start stay clear of the line between them.
        QCOMPARE(darkPixels(page, QRect(284, top, 3, bottom - top)), 0);
        QCOMPARE(darkPixels(page, QRect(290, top, 3, bottom - top)), 0);
        // The code column's text ends before its right line.
        QCOMPARE(darkPixels(page, QRect(104, top, 3, bottom - top)), 0);
    }
};

QTEST_MAIN(TestReceivablesLayout)
#include "tst_receivableslayout.moc"
