// The receipt layout rendered headless on SQLite and PostgreSQL: the border picture stretched
// into both halves, the seal at the receipt settings' place in each half, one sheet per payment.
#include "DocumentFixture.h"
#include "LayoutRun.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/RyosyusyouLayout.h"
#include "TestDatabase.h"

#include <QTest>

namespace {

// The border's light grey (170), not the amount box's darker grey nor black text.
bool isBorderGrey(QRgb p)
{
    return qAbs(qRed(p) - qGreen(p)) < 12 && qAbs(qGreen(p) - qBlue(p)) < 12 && qGray(p) >= 150 &&
           qGray(p) <= 200;
}

} // namespace

class TestRyosyusyouLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany();
        f->addSettings(QStringLiteral("RyosyusyouSettei"));
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void borderAndSealInBothHalves();
    void oneSheetPerPayment();
};

void TestRyosyusyouLayout::borderAndSealInBothHalves()
{
    QVERIFY(!receiptBorderPicture().isNull());
    QCOMPARE(receiptBorderPicture().size(), QSize(2480, 1748));
    f->addPayment(f->addCustomer(), 123000, QStringLiteral("お品代として"));
    TLightRep root;
    RyosyusyouLayout layout(root, t->db());
    openMaster(layout, QStringLiteral("select * from nyukin"));
    layout.FormShow();
    const QList<QImage> pages = renderAllPages(layout);
    QCOMPARE(pages.size(), 1);
    const QImage &page = pages[0];
    savePageForViewing(page, QStringLiteral("ryosyusyou"));

    // Halves at y 37 and 561; the seal at (576, 96) in each, 70 × 70 from the own company.
    for (int half : {37, 561}) {
        const QRect area(75, half, 682, 524);
        QCOMPARE(boxOf(page, area, DocumentFixture::isSealRed), QRect(75 + 576, half + 96, 70, 70));
        // The border picture fills (0, 17, 681 × 493) of the half; its outer rule lies about 10
        // units inside that rectangle.
        const QRect frame = boxOf(page, area, isBorderGrey);
        const QRect expected(75 + 10, half + 17 + 10, 681 - 20, 493 - 20);
        QVERIFY2(qAbs(frame.left() - expected.left()) <= 3 && qAbs(frame.top() - expected.top()) <= 3 &&
                     qAbs(frame.right() - expected.right()) <= 3 &&
                     qAbs(frame.bottom() - expected.bottom()) <= 3,
                 qPrintable(QStringLiteral("border at %1,%2 %3x%4")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())));
    }
}

void TestRyosyusyouLayout::oneSheetPerPayment()
{
    const int customer = f->addCustomer();
    f->addPayment(customer, 1000, QString());
    f->addPayment(customer, 2000, QString());
    TLightRep root;
    RyosyusyouLayout layout(root, t->db());
    openMaster(layout, QStringLiteral("select * from nyukin order by key"));
    layout.FormShow();
    QCOMPARE(countPages(layout), 2);
}

QTEST_MAIN(TestRyosyusyouLayout)
#include "tst_ryosyusyoulayout.moc"
