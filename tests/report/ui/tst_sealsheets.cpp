// The two sheets of the own-company window on SQLite and PostgreSQL: the seal test sheet prints
// the picture handed over in memory at the size typed in; the seal-data request sheet prints its
// texts at their places and the service's address from the configuration file.
#include "controls/Messages.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "DocumentFixture.h"
#include "LayoutRun.h"
#include "LayoutWindowRun.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/DocumentOutput.h"
#include "report/layouts/IneiLayouts.h"
#include "report/ui/TLRineiData.h"
#include "report/ui/TLRineiTest.h"
#include "ReportTestSupport.h"
#include "TestDatabase.h"

#include <QTemporaryDir>
#include <QTest>

class TestSealSheets : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany();
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void testSheetPrintsTheSealAtItsSize();
    void testSheetWithoutOwnCompany();
    void sheetAndDocumentsReadTheSameSeals_data();
    void sheetAndDocumentsReadTheSameSeals();
    void requestSheet_data();
    void requestSheet();
};

// The seal at the header's corner (75, 75), 90 high and 120 wide whatever the picture's size;
// the remarks frame in the estimate's green.
void TestSealSheets::testSheetPrintsTheSealAtItsSize()
{
    TLightRep root;
    IneiTestLayout layout(root, t->db());
    layout.setSeal(DocumentFixture::sealJpeg(), 90, 120);
    layout.FormShow();
    const QList<QImage> pages = renderAllPages(layout);
    QCOMPARE(pages.size(), 1);
    savePageForViewing(pages[0], QStringLiteral("ineitest"));
    QCOMPARE(boxOf(pages[0], QRect(0, 0, 794, 1123), DocumentFixture::isSealRed), QRect(75, 75, 120, 90));
    QVERIFY(hasColor(pages[0], 74, 957 + 21 + 50, QColor(91, 255, 36)));
}

void TestSealSheets::testSheetWithoutOwnCompany()
{
    t->exec(QStringLiteral("delete from JisyaJyoho"));
    Messages::takeHistory();
    TLRineiTest window;
    window.setSeal(DocumentFixture::sealJpeg(), 70, 70);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("印影テスト印刷"));
    const QList<Messages::Record> said = Messages::takeHistory();
    QCOMPARE(said.size(), 1);
    QCOMPARE(said.first().text, QStringLiteral("印刷対象データがありません．"));
}

void TestSealSheets::sheetAndDocumentsReadTheSameSeals_data()
{
    QTest::addColumn<QByteArray>("seal");
    QTest::addColumn<bool>("readable");
    const QByteArray jpeg = DocumentFixture::sealJpeg();
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    const QByteArray bitmap = encodedImage(red, "BMP");
    QTest::newRow("JPEG") << jpeg << true;
    QTest::newRow("bitmap") << bitmap << true;
    const QByteArray striped = DocumentFixture::stripedSealJpeg();
    QTest::newRow("JPEG cut short") << striped.left(striped.size() * 2 / 3) << false;
    QTest::newRow("JPEG without its end marker") << jpeg.chopped(2) << false;
    QTest::newRow("bitmap cut short") << bitmap.left(bitmap.size() / 2) << false;
    QTest::newRow("PNG") << encodedImage(red, "PNG") << false;
    QTest::newRow("no picture") << QByteArray("not a picture") << false;
}

// The stored seal as the test sheet and an estimate print it: both print it, or both leave it out
// and say so once for the job.
void TestSealSheets::sheetAndDocumentsReadTheSameSeals()
{
    QFETCH(QByteArray, seal);
    QFETCH(bool, readable);
    t->exec(QStringLiteral("delete from JisyaJyoho"));
    f->addCompany(seal);
    f->addSettings(QStringLiteral("MitumoriSettei"));
    const int estimate = f->addEstimate(f->addCustomer(), DocumentFixture::lines(1));
    const QString told =
        QStringLiteral("印影の画像を読み込めません（JPEGかビットマップの画像ではないか、壊れています）。\n"
                       "印影なしで印刷します。自社情報で印影の画像を読み込み直してください。");
    for (const auto &[kind, keys] : {std::pair{DocumentOutput::Kind::IneiTest, QList<int>{}},
                                     std::pair{DocumentOutput::Kind::Mitumori, QList<int>{estimate}}}) {
        DocumentOutput::Job job(kind, t->db(), keys);
        QCOMPARE(job.takeNotices(), readable ? QStringList() : QStringList{told});
        QVERIFY(job.takeNotices().isEmpty());
        const QImage page = job.renderPages().first();
        QCOMPARE(boxOf(page, QRect(0, 0, 794, 1123), DocumentFixture::isSealRed).isEmpty(), !readable);
    }
}

void TestSealSheets::requestSheet_data()
{
    QTest::addColumn<QStringList>("address"); // Yubin, Jyusyo, Kaisya, Atena in the configuration
    QTest::newRow("configured") << QStringList{"〒100-0005", "東京都千代田区丸の内1-1",
                                               "印影センター株式会社", "データ係 御中"};
    QTest::newRow("not configured") << QStringList{};
}

// Panel at (37, 37); every text at its place, the address lines only when configured.
void TestSealSheets::requestSheet()
{
    QFETCH(QStringList, address);
    if (!address.isEmpty()) {
        IniFile ini(AppPaths::iniPath());
        const char *keys[] = {"Yubin", "Jyusyo", "Kaisya", "Atena"};
        for (int i = 0; i < 4; ++i)
            ini.setString(QStringLiteral("IneiService"), QLatin1String(keys[i]), address[i]);
        ini.flush();
    }
    TLRineiData window;
    const QString pdf = printToPdf(window, m_dir.path(), QStringLiteral("request"));
    QCOMPARE(window.windowTitle(), QStringLiteral("印影データ作成方法"));
    QCOMPARE(pdfPageCount(pdf), 1);
    const QList<PdfWord> words = pdfWords(pdf);
    QList<std::pair<QString, QRectF>> expected{
        {QStringLiteral("費用は¥2,100（税込み）になります。"), onPage(37, 37, 40, 344, 665, 17)},
        {QStringLiteral("印影（折り目が付かないようご注意ください）"), onPage(37, 37, 224, 417, 265, 265)},
        {QStringLiteral("メールアドレス："), onPage(37, 37, 40, 957, 105, 17)},
    };
    const QRectF places[] = {onPage(37, 37, 48, 32, 177, 17), onPage(37, 37, 48, 64, 257, 17),
                             onPage(37, 37, 48, 96, 249, 17), onPage(37, 37, 144, 120, 145, 17)};
    for (int i = 0; i < address.size(); ++i)
        expected.append({address[i], places[i]});
    for (const auto &[text, area] : expected) {
        const auto word = findPhrase(words, text);
        QVERIFY2(liesWithin(word, area), qPrintable(text + QStringLiteral(": ") + describe(word)));
    }
    const QRectF addressBlock = onPage(37, 37, 48, 32, 257, 105);
    const bool anyAddress = std::any_of(words.begin(), words.end(),
                                        [&](const PdfWord &w) { return addressBlock.intersects(w.box); });
    QCOMPARE(anyAddress, !address.isEmpty());
}

QTEST_MAIN(TestSealSheets)
#include "tst_sealsheets.moc"
