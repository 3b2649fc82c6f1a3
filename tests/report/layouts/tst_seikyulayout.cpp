// The invoice layout rendered headless on SQLite and PostgreSQL: the navy title band and the
// amounts row at their page coordinates, the tinted rows and the table's rounded bottom, the seal
// at the invoice settings' place in the own company's size, and the pages of a batch.
#include "DocumentFixture.h"
#include "LayoutRun.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/SeikyuLayout.h"
#include "TestDatabase.h"

#include <QTest>

namespace {

const QColor kNavy(0, 0, 160);
const QColor kPaleBlue(234, 234, 255);

QList<FixtureLine> datedLines(int count, const QDate &date)
{
    QList<FixtureLine> lines = DocumentFixture::lines(count);
    for (FixtureLine &line : lines) {
        line.nohinYmd = date;
        line.nohinNo = QStringLiteral("N-0001");
    }
    return lines;
}

} // namespace

class TestSeikyuLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;

    std::unique_ptr<SeikyuLayout> shownLayout(TLightRep &root, const QString &sql)
    {
        auto layout = std::make_unique<SeikyuLayout>(root, t->db());
        openMaster(*layout, sql);
        layout->FormShow();
        return layout;
    }

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany(DocumentFixture::sealJpeg(), 50, 40);
        f->addSettings(QStringLiteral("SeikyuSettei"), 120, 520, 80, 60);
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void pageAtItsPlaces();
    void batchStartsEachInvoiceOnANewPage();
};

// Page coordinates: header at (75, 37), its amounts row at y 301 (headings) and 328 (values),
// the rows of 28 from y 397; the invoice's table starts with the 73-wide date column.
void TestSeikyuLayout::pageAtItsPlaces()
{
    f->addInvoice(f->addCustomer(), {}, datedLines(3, QDate(2010, 5, 1)));
    TLightRep root;
    auto layout = shownLayout(root, QStringLiteral("select * from seikyu"));
    const QList<QImage> pages = renderAllPages(*layout);
    QCOMPARE(pages.size(), 1);
    const QImage &page = pages[0];
    savePageForViewing(page, QStringLiteral("seikyu"));

    QVERIFY(hasColor(page, 436, 38, kNavy)); // the title band
    QVERIFY(hasColor(page, 754, 76, kNavy));
    QVERIFY(hasColor(page, 433, 50, Qt::white));
    // Amounts row: pale headings, the last heading filled navy; the values stand on white.
    QVERIFY(hasColor(page, 80, 304, kPaleBlue));
    QVERIFY(hasColor(page, 642, 304, kNavy));
    QVERIFY(hasColor(page, 80, 340, Qt::white));
    QVERIFY(hasColor(page, 74, 340, kNavy));     // the values' left line
    QVERIFY(hasColor(page, 74, 355, Qt::white)); // its rounded left-bottom corner
    // Rows alternate white and pale blue; the table closes with its rounded bottom corners.
    for (int row : {0, 1, 4, 19})
        QVERIFY2(hasColor(page, 400, 397 + 28 * row + 14, row % 2 ? kPaleBlue : QColor(Qt::white)),
                 qPrintable(QStringLiteral("row %1").arg(row)));
    QVERIFY(hasColor(page, 200, 956, kNavy));
    QVERIFY(hasColor(page, 74, 940, kNavy));
    QVERIFY(hasColor(page, 74, 956, Qt::white));
    QVERIFY(hasColor(page, 751, 956, Qt::white));
    // The line between the date and the name columns runs whole from the headings down, with no
    // gap for the name's filled cell (which once left only a dot of it at each row's edge).
    for (int y = 370; y < 956; ++y)
        QVERIFY2(hasColor(page, 147, y, kNavy), qPrintable(QStringLiteral("y %1").arg(y)));
    // The seal at the invoice settings' top and left, in the own company's 50 × 40.
    QCOMPARE(boxOf(page, QRect(0, 0, 794, 400), DocumentFixture::isSealRed),
             QRect(75 + 520, 37 + 120, 40, 50));
}

void TestSeikyuLayout::batchStartsEachInvoiceOnANewPage()
{
    const int customer = f->addCustomer();
    f->addInvoice(customer, {}, datedLines(22, QDate(2010, 5, 1)));
    f->addInvoice(customer, {}, datedLines(1, QDate(2010, 5, 1)));
    f->addInvoice(customer, {}, {});
    TLightRep root;
    auto layout = shownLayout(root, QStringLiteral("select * from seikyu order by Seq"));
    QCOMPARE(countPages(*layout), 4);
}

QTEST_MAIN(TestSeikyuLayout)
#include "tst_seikyulayout.moc"
