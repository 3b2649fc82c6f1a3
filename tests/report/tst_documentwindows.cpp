// The estimate and delivery note windows print through PDF on SQLite and PostgreSQL: each text
// on its sheet and at its item's place (word boxes in layout units; the header panel at (75, 37),
// the detail rows of 28 from (75, 397), the remarks panel at (75, 957)).
#include "DocumentFixture.h"
#include "LayoutWindowRun.h"
#include "report/ReportFonts.h"
#include "report/TLRmitumorisyo.h"
#include "report/TLRnohinsyo.h"
#include "TestDatabase.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QRectF header(int x, int y, int w, int h)
{
    return onPage(75, 37, x, y, w, h);
}

QRectF detailCell(int row, int x, int w)
{
    return onPage(75, 397 + 28 * row, x, 0, w, 28);
}

} // namespace

class TestDocumentWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;
    QTemporaryDir m_dir;

    QList<PdfWord> printEstimate(int key, const QString &name)
    {
        TLRmitumorisyo window;
        window.Qmitumori->addSql(QStringLiteral("select * from mitumori where key = :key"));
        window.Qmitumori->ParamByName(QStringLiteral("key")).setAsInteger(key);
        window.Qmitumori->Open();
        return pdfWords(printToPdf(window, m_dir.path(), name));
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

    void estimateOverTwoPages();
    void emptyAmountsAndZeroTotal();
    void deliveryNote();
};

// 21 lines: the header, the total and the remarks on both sheets, line 21 on the second.
void TestDocumentWindows::estimateOverTwoPages()
{
    const int key = f->addEstimate(f->addCustomer(), DocumentFixture::lines(21));
    const QList<PdfWord> words = printEstimate(key, QStringLiteral("estimate"));
    for (int page : {1, 2}) {
        const auto date = findPhrase(words, QStringLiteral("見積日：2010年 1月 5日"), page);
        QVERIFY2(liesWithin(date, header(536, 56, 145, 17)), qPrintable(describe(date)));
        const auto total = findPhrase(words, QStringLiteral("合計金額：¥12,345-"), page);
        QVERIFY2(liesWithin(total, header(0, 296, 361, 25)), qPrintable(describe(total)));
        const auto title = findPhrase(words, QStringLiteral("御 見 積 書"), page);
        QVERIFY2(liesWithin(title, header(360, 0, 321, 41)), qPrintable(describe(title)));
        const auto remarks = findPhrase(words, QStringLiteral("二行目"), page);
        QVERIFY2(liesWithin(remarks, onPage(75, 957, 5, 27, 667, 89)), qPrintable(describe(remarks)));
    }
    const auto line20 = findPhrase(words, QStringLiteral("商品20"));
    QVERIFY2(line20 && line20->page == 1 && liesWithin(line20, detailCell(19, 0, 361)),
             qPrintable(describe(line20)));
    const auto line21 = findPhrase(words, QStringLiteral("商品21"));
    QVERIFY2(line21 && line21->page == 2 && liesWithin(line21, detailCell(0, 0, 361)),
             qPrintable(describe(line21)));
    // Amounts stand right-aligned against the cell's margin: 75 + 572 + 104 − 7 = 744.
    const auto amount = findPhrase(words, QStringLiteral("2,100"), 2);
    QVERIFY2(liesWithin(amount, detailCell(0, 572, 105)) && qAbs(amount->box.right() - 744) <= 2,
             qPrintable(describe(amount)));
}

// A total of 0 prints "¥0-"; a line without quantity and with amount 0 leaves both cells empty.
void TestDocumentWindows::emptyAmountsAndZeroTotal()
{
    const QList<FixtureLine> lines{{QStringLiteral("値引き"), QVariant(), QString(), QVariant(), 0, {}, {}}};
    const int key = f->addEstimate(f->addCustomer(), lines, 0);
    const QList<PdfWord> words = printEstimate(key, QStringLiteral("zero"));
    const auto total = findPhrase(words, QStringLiteral("合計金額：¥0-"));
    QVERIFY2(liesWithin(total, header(0, 296, 361, 25)), qPrintable(describe(total)));
    QVERIFY(findPhrase(words, QStringLiteral("値引き")));
    for (const PdfWord &word : words)
        QVERIFY2(!detailCell(0, 361, 316).intersects(word.box), qPrintable(describe(word)));
}

void TestDocumentWindows::deliveryNote()
{
    FixtureCustomer customer;
    customer.tantosya = QStringLiteral("鈴木");
    const int key = f->addDeliveryNote(f->addCustomer(customer), DocumentFixture::lines(5));
    TLRnohinsyo window;
    window.Qnohin->addSql(QStringLiteral("select * from nohin where key = :key"));
    window.Qnohin->ParamByName(QStringLiteral("key")).setAsInteger(key);
    window.Qnohin->Open();
    const QString pdf = printToPdf(window, m_dir.path(), QStringLiteral("note"));
    QCOMPARE(window.windowTitle(), QStringLiteral("納品書"));
    QCOMPARE(pdfPageCount(pdf), 1);
    const QList<PdfWord> words = pdfWords(pdf);
    const QList<std::pair<QString, QRectF>> expected{
        {QStringLiteral("納品日：2010年 1月 5日"), header(536, 56, 145, 17)},
        {QStringLiteral("納品№：N-0001"), header(536, 72, 145, 17)},
        {QStringLiteral("株式会社テスト商事 御中"), header(24, 80, 321, 17)},
        {QStringLiteral("ご担当"), header(24, 104, 65, 17)},
        {QStringLiteral("鈴木 様"), header(40, 136, 305, 17)},
        {QStringLiteral("下記の通り納品いたしますのでご検証願います。"), header(0, 232, 361, 17)},
        {QStringLiteral("受渡場所：御社倉庫"), header(0, 256, 281, 17)},
        {QStringLiteral("カドメル商店"), header(376, 104, 305, 22)},
        {QStringLiteral("TEL:06-1234-5678"), header(520, 200, 161, 17)},
        {QStringLiteral("担当者：山田"), header(520, 240, 161, 17)},
        {QStringLiteral("商品5"), detailCell(4, 0, 361)},
    };
    for (const auto &[text, area] : expected) {
        const auto word = findPhrase(words, text);
        QVERIFY2(liesWithin(word, area), qPrintable(text + QStringLiteral(": ") + describe(word)));
    }
}

QTEST_MAIN(TestDocumentWindows)
#include "tst_documentwindows.moc"
