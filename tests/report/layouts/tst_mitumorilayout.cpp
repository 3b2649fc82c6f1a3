// The estimate and delivery note layouts rendered headless on SQLite and PostgreSQL: what the
// layout decides at page coordinates (the title band, the tinted rows, the table's rounded
// bottom, the seal's rectangle), the number of pages, and the customer block's rules.
#include "DocumentFixture.h"
#include "LayoutRun.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRItem.h"
#include "report/layouts/MitumoriLayout.h"
#include "TestDatabase.h"

#include <QTest>

using Kind = MitumoriLayout::Kind;

namespace {

const QColor kEstimateTheme(91, 255, 36);
const QColor kEstimatePale(220, 255, 208);
const QColor kNoteTheme(176, 0, 0);
const QColor kNotePale(255, 234, 234);

QString masterSql(Kind kind)
{
    return kind == Kind::Estimate ? QStringLiteral("select * from mitumori order by key")
                                  : QStringLiteral("select * from nohin order by key");
}

} // namespace

class TestMitumoriLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;

    // A layout of `kind` whose window has been shown, its master on every document of the kind.
    std::unique_ptr<MitumoriLayout> shownLayout(Kind kind, TLightRep &root)
    {
        auto layout = std::make_unique<MitumoriLayout>(kind, root, t->db());
        openMaster(*layout, masterSql(kind));
        layout->FormShow();
        return layout;
    }

    int addDocument(Kind kind, int customer, int lines)
    {
        return kind == Kind::Estimate ? f->addEstimate(customer, DocumentFixture::lines(lines))
                                      : f->addDeliveryNote(customer, DocumentFixture::lines(lines));
    }

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany();
        f->addSettings(QStringLiteral("MitumoriSettei"));
        f->addSettings(QStringLiteral("NohinSettei"));
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void pageCount_data();
    void pageCount();
    void tableAndBandAtTheirPlaces_data();
    void tableAndBandAtTheirPlaces();
    void sealAtItsSettingsPlace_data();
    void sealAtItsSettingsPlace();
    void customerBlock_data();
    void customerBlock();
};

void TestMitumoriLayout::pageCount_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QList<int>>("documents"); // lines of each document of the master query
    QTest::addColumn<int>("pages");
    QTest::newRow("no lines") << Kind::Estimate << QList<int>{0} << 1;
    QTest::newRow("20 lines") << Kind::Estimate << QList<int>{20} << 1;
    QTest::newRow("21 lines") << Kind::Estimate << QList<int>{21} << 2;
    // Each document starts on a new page; one without lines still takes one.
    QTest::newRow("notes of 5, 25, 0") << Kind::DeliveryNote << QList<int>{5, 25, 0} << 4;
}

void TestMitumoriLayout::pageCount()
{
    QFETCH(Kind, kind);
    QFETCH(QList<int>, documents);
    QFETCH(int, pages);
    const int customer = f->addCustomer();
    for (int lines : documents)
        addDocument(kind, customer, lines);
    TLightRep root;
    auto layout = shownLayout(kind, root);
    QCOMPARE(countPages(*layout), pages);
    QCOMPARE(renderAllPages(*layout).size(), pages); // the preview starts over from the first
}

void TestMitumoriLayout::tableAndBandAtTheirPlaces_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QColor>("theme");
    QTest::addColumn<QColor>("pale");
    QTest::newRow("estimate") << Kind::Estimate << kEstimateTheme << kEstimatePale;
    QTest::newRow("delivery note") << Kind::DeliveryNote << kNoteTheme << kNotePale;
}

// Page coordinates: the header at (75, 37), the headings at y 369, the 20 rows of 28 from y 397.
// Probes lie in the name cells right of their text, or in rows without a line.
void TestMitumoriLayout::tableAndBandAtTheirPlaces()
{
    QFETCH(Kind, kind);
    QFETCH(QColor, theme);
    QFETCH(QColor, pale);
    addDocument(kind, f->addCustomer(), 3);
    TLightRep root;
    auto layout = shownLayout(kind, root);
    const QList<QImage> pages = renderAllPages(*layout);
    QCOMPARE(pages.size(), 1);
    const QImage &page = pages[0];
    savePageForViewing(page, QStringLiteral("mitumori"));

    // The title band: 321 × 41 at header (360, 0), filled in the theme colour to its edges.
    QVERIFY(hasColor(page, 436, 38, theme));
    QVERIFY(hasColor(page, 754, 76, theme));
    QVERIFY(hasColor(page, 433, 50, Qt::white));
    QVERIFY(hasColor(page, 600, 79, Qt::white));
    // The headings row is pale; rows alternate white and pale, with a line or without.
    QVERIFY(hasColor(page, 300, 383, pale));
    for (int row : {0, 1, 2, 3, 4, 11, 18, 19})
        QVERIFY2(hasColor(page, 400, 397 + 28 * row + 14, row % 2 ? pale : QColor(Qt::white)),
                 qPrintable(QStringLiteral("row %1").arg(row)));
    // Only the bottom row has a bottom line, and its outer corners are rounded: the page shows
    // through at the corner pixel, where a square frame would have its lines.
    QVERIFY(hasColor(page, 200, 956, theme));
    QVERIFY(hasColor(page, 200, 928, Qt::white));
    QVERIFY(hasColor(page, 74, 940, theme));  // the table's left line
    QVERIFY(hasColor(page, 751, 940, theme)); // the right one: the cells are 677 wide
    QVERIFY(hasColor(page, 74, 956, Qt::white));
    QVERIFY(hasColor(page, 751, 956, Qt::white));
    QVERIFY(hasColor(page, 74, 368, Qt::white)); // the headings' rounded top corners
    QVERIFY(hasColor(page, 751, 368, Qt::white));
}

void TestMitumoriLayout::sealAtItsSettingsPlace_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QRect>("seal"); // on the page
    // Own company 50 × 40 (height × width), settings 80 × 60 at top 100, left 500: the estimate
    // takes its settings row's size, the delivery note the own company's.
    QTest::newRow("estimate") << Kind::Estimate << QRect(75 + 500, 37 + 100, 60, 80);
    QTest::newRow("delivery note") << Kind::DeliveryNote << QRect(75 + 500, 37 + 100, 40, 50);
}

void TestMitumoriLayout::sealAtItsSettingsPlace()
{
    QFETCH(Kind, kind);
    QFETCH(QRect, seal);
    t->exec(QStringLiteral("delete from JisyaJyoho"));
    t->exec(QStringLiteral("delete from MitumoriSettei"));
    t->exec(QStringLiteral("delete from NohinSettei"));
    f->addCompany(DocumentFixture::sealJpeg(), 50, 40);
    f->addSettings(QStringLiteral("MitumoriSettei"), 100, 500, 80, 60);
    f->addSettings(QStringLiteral("NohinSettei"), 100, 500, 80, 60);
    addDocument(kind, f->addCustomer(), 1);
    TLightRep root;
    auto layout = shownLayout(kind, root);
    const QImage page = renderAllPages(*layout).value(0);
    QCOMPARE(boxOf(page, QRect(0, 0, 794, 400), DocumentFixture::isSealRed), seal);
}

void TestMitumoriLayout::customerBlock_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("busyo");
    QTest::addColumn<QString>("tantosya");
    QTest::addColumn<bool>("missing");      // the document's customer row is gone
    QTest::addColumn<QStringList>("shown"); // Yubin, Kaisyamei, Gotantou, Busyo, Tantousya
    const QString name = FixtureCustomer().name;
    QTest::newRow("no contact") << Kind::Estimate << ""
                                << "" << false << QStringList{"〒100-0001", name + "　御中", "", "", ""};
    QTest::newRow("contact only") << Kind::Estimate << ""
                                  << "鈴木" << false
                                  << QStringList{"〒100-0001", name + "　御中", "ご担当", "", "鈴木 様"};
    QTest::newRow("department only") << Kind::DeliveryNote << "総務部"
                                     << "" << false
                                     << QStringList{"〒100-0001", name + " 御中", "ご担当", "総務部", ""};
    QTest::newRow("customer gone") << Kind::DeliveryNote << ""
                                   << "" << true << QStringList{"〒", " ", "", "", ""};
}

void TestMitumoriLayout::customerBlock()
{
    QFETCH(Kind, kind);
    QFETCH(QString, busyo);
    QFETCH(QString, tantosya);
    QFETCH(bool, missing);
    QFETCH(QStringList, shown);
    FixtureCustomer customer;
    customer.busyo = busyo;
    customer.tantosya = tantosya;
    addDocument(kind, f->addCustomer(customer), 1);
    if (missing)
        t->exec(QStringLiteral("delete from Torihikisaki"));
    TLightRep root;
    auto layout = shownLayout(kind, root);
    QCOMPARE(renderAllPages(*layout).size(), 1);
    QStringList texts;
    for (const char *name : {"Yubin", "Kaisyamei", "Gotantou", "Busyo", "Tantousya"})
        texts.append(layout->items().item(name)->Text);
    QCOMPARE(texts, shown);
}

QTEST_MAIN(TestMitumoriLayout)
#include "tst_mitumorilayout.moc"
