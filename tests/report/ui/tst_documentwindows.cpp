// The estimate, delivery note, invoice and receipt windows print through PDF on SQLite and PostgreSQL: each
// text on its sheet and at its item's place (word boxes in layout units; the header panel at (75, 37), the
// detail rows of 28 from (75, 397), the remarks panel at (75, 957)).
#include "controls/Messages.h"
#include "DocumentFixture.h"
#include "LayoutWindowRun.h"
#include "report/engine/ReportFonts.h"
#include "report/ui/TLRmitumorisyo.h"
#include "report/ui/TLRnohinsyo.h"
#include "report/ui/TLRryosyusyou.h"
#include "report/ui/TLRseikyusyo.h"
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

    // The invoices of one closing date, as the batch printing selects them.
    QString printInvoices(const QDate &simebi, const QString &name)
    {
        TLRseikyusyo window;
        window.Qseikyu->addSql(QStringLiteral("select * from seikyu where Simebi = :Simebi"));
        window.Qseikyu->addSql(QStringLiteral("Order By Seq"));
        window.Qseikyu->ParamByName(QStringLiteral("Simebi")).setAsDate(simebi);
        window.Qseikyu->Open();
        return printToPdf(window, m_dir.path(), name);
    }

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
        f->addSettings(QStringLiteral("SeikyuSettei"));
        f->addSettings(QStringLiteral("RyosyusyouSettei"));
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void previewGrowsPageByPage();
    void estimateOverTwoPages();
    void emptyAmountsAndZeroTotal();
    void deliveryNote();
    void invoiceDatesWhereTheyChange();
    void invoiceAmounts_data();
    void invoiceAmounts();
    void invoiceWithOneBankAccount();
    void receipt_data();
    void receipt();
    void unreadableSealIsToldOncePerJob();
};

// 45 lines: the first of three pages at once, the others rendered in the background.
void TestDocumentWindows::previewGrowsPageByPage()
{
    const int key = f->addEstimate(f->addCustomer(), DocumentFixture::lines(45));
    TLRmitumorisyo window;
    window.Qmitumori->addSql(QStringLiteral("select * from mitumori where key = :key"));
    window.Qmitumori->ParamByName(QStringLiteral("key")).setAsInteger(key);
    window.Qmitumori->Open();
    window.show();
    QCOMPARE(window.PageIndicator(), QStringLiteral("1/1"));
    QTRY_COMPARE(window.PageIndicator(), QStringLiteral("1/3"));
    QTRY_VERIFY(!window.PreviewRunning());
    QCOMPARE(window.windowTitle(), QStringLiteral("見積書"));
}

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

// Two invoices of one closing date: the date column shows a delivery date where it changes and
// on the first line of every page, also where the previous page or invoice ended on that date.
void TestDocumentWindows::invoiceDatesWhereTheyChange()
{
    QList<FixtureLine> lines = DocumentFixture::lines(22);
    for (int i = 0; i < lines.size(); ++i)
        lines[i].nohinYmd = QDate(2010, 5, i < 2 ? 1 : i < 21 ? 3 : 5);
    const int customer = f->addCustomer();
    f->addInvoice(customer, {}, lines);
    f->addInvoice(customer, {},
                  {{QStringLiteral("追加品"), 1.0, QStringLiteral("個"), 50.0, 50, {2010, 5, 5}, {}}});
    const QString pdf = printInvoices(QDate(2010, 5, 31), QStringLiteral("invoice-dates"));
    QCOMPARE(pdfPageCount(pdf), 3);
    QStringList shown; // "page:row:date"
    for (const PdfWord &word : pdfWords(pdf)) {
        if (!word.text.startsWith(QLatin1String("2010/")))
            continue;
        const int row = int(word.box.center().y() - 397) / 28;
        QVERIFY2(liesWithin(word, detailCell(row, 0, 73)), qPrintable(describe(word)));
        shown.append(QStringLiteral("%1:%2:%3").arg(word.page).arg(row).arg(word.text));
    }
    QCOMPARE(shown, (QStringList{"1:0:2010/05/01", "1:2:2010/05/03", "2:0:2010/05/03", "2:1:2010/05/05",
                                 "3:0:2010/05/05"}));
}

void TestDocumentWindows::invoiceAmounts_data()
{
    QTest::addColumn<int>("nyukin");
    QTest::addColumn<QString>("carriedOver");
    QTest::newRow("carry-over") << 3000 << "7,000";
    QTest::newRow("overpaid") << 12000 << "-2,000";
}

// The amounts row under its headings: previous 10,000, payments, carry-over, sales, and a zero
// amount now invoiced printed as 0; each right-aligned against its margin of 3.
void TestDocumentWindows::invoiceAmounts()
{
    QFETCH(int, nyukin);
    QFETCH(QString, carriedOver);
    FixtureInvoice invoice;
    invoice.nyukin = nyukin;
    invoice.hanbai = 5000;
    f->addInvoice(f->addCustomer(), invoice, {});
    const QList<PdfWord> words = pdfWords(printInvoices(invoice.simebi, QStringLiteral("amounts")));
    const QList<std::pair<QString, int>> values{{QStringLiteral("10,000"), 0},
                                                {QLocale(QLocale::English).toString(nyukin), 113},
                                                {carriedOver, 226},
                                                {QStringLiteral("5,000"), 451},
                                                {QStringLiteral("0"), 564}};
    for (const auto &[text, x] : values) {
        const int width = x == 339 ? 112 : 113;
        const auto word = findPhrase(words, text);
        QVERIFY2(liesWithin(word, header(x, 291, width, 28)) &&
                     qAbs(word->box.right() - (75 + x + width - 4)) <= 2,
                 qPrintable(text + QStringLiteral(": ") + describe(word)));
    }
    const auto heading = findPhrase(words, QStringLiteral("繰 越 金 額"));
    QVERIFY2(liesWithin(heading, header(226, 264, 113, 28)), qPrintable(describe(heading)));
    const auto closing = findPhrase(words, QStringLiteral("2010年 5月 31日 締切分"));
    QVERIFY2(liesWithin(closing, header(504, 62, 177, 18)), qPrintable(describe(closing)));
}

// Empty second and third accounts leave blank lines under the first.
void TestDocumentWindows::invoiceWithOneBankAccount()
{
    t->exec(QStringLiteral("update JisyaJyoho set KinyuKikan2 = '', Tenpo2 = '', Syumoku2 = '', Kouza2 = '',"
                           " Kinyukikan3 = '', tenpo3 = '', Syumoku3 = '', Kouza3 = ''"));
    FixtureInvoice invoice;
    f->addInvoice(f->addCustomer(), invoice, {});
    const QList<PdfWord> words = pdfWords(printInvoices(invoice.simebi, QStringLiteral("accounts")));
    const QRectF accounts = onPage(75, 957, 5, 75, 665, 52);
    QStringList inBox;
    for (const PdfWord &word : words)
        if (accounts.intersects(word.box))
            inBox.append(word.text);
    QCOMPARE(inBox, (QStringList{"振込先口座", "みどり銀行", "本店", "普通", "1234567"}));
    const auto first = findPhrase(words, QStringLiteral("みどり銀行 本店 普通 1234567"));
    QVERIFY2(liesWithin(first, accounts), qPrintable(describe(first)));
}

void TestDocumentWindows::receipt_data()
{
    QTest::addColumn<QString>("keisyo");
    QTest::addColumn<QString>("tadasigaki");
    QTest::addColumn<QString>("purpose"); // as printed
    QTest::newRow("with purpose") << "御中"
                                  << "お品代として"
                                  << "但し、お品代として";
    QTest::newRow("no purpose") << "様"
                                << ""
                                << "但し、";
}

// Both halves print the same receipt at the same places in their half, only the lower title adds
// "（控）"; the customer's name always ends in " 様"; the amount stands right in its box.
void TestDocumentWindows::receipt()
{
    QFETCH(QString, keisyo);
    QFETCH(QString, tadasigaki);
    QFETCH(QString, purpose);
    FixtureCustomer customer;
    customer.keisyo = keisyo;
    const int key = f->addPayment(f->addCustomer(customer), 123000, tadasigaki);
    TLRryosyusyou window;
    window.Qnyukin->addSql(QStringLiteral("select * from nyukin where key = :key"));
    window.Qnyukin->ParamByName(QStringLiteral("key")).setAsInteger(key);
    window.Qnyukin->Open();
    const QString pdf = printToPdf(window, m_dir.path(), QStringLiteral("receipt"));
    QCOMPARE(pdfPageCount(pdf), 1);
    const QList<PdfWord> words = pdfWords(pdf);
    for (int half : {37, 561}) {
        const QList<std::pair<QString, QRectF>> expected{
            {half == 37 ? QStringLiteral("領 収 証") : QStringLiteral("領 収 証（控）"),
             onPage(75, half, 192, 72, 297, 41)},
            {QStringLiteral("№ R-0001"), onPage(75, half, 520, 64, 121, 20)},
            {QStringLiteral("2010年 6月 10日"), onPage(75, half, 272, 120, 129, 20)},
            {QStringLiteral("株式会社テスト商事 様"), onPage(75, half, 48, 216, 409, 25)},
            {QStringLiteral("¥123,000-"), onPage(75, half, 40 + 417 / 2, 256, 417 / 2, 41)},
            {purpose, onPage(75, half, 48, 304, 369, 25)},
            {QStringLiteral("カドメル商店"), onPage(75, half, 272, 376, 281, 22)},
        };
        for (const auto &[text, area] : expected) {
            const QList<PdfWord> found = findPhrases(words, text);
            const bool placed = std::any_of(found.begin(), found.end(), [&](const PdfWord &w) {
                return liesWithin(std::optional<PdfWord>(w), area);
            });
            QVERIFY2(placed, qPrintable(text + QStringLiteral(": ") + describe(findPhrase(words, text))));
        }
    }
    // Apart from the title, the lower half holds the upper half's words, 524 units lower.
    QStringList upper, lower;
    for (const PdfWord &word : words) {
        const bool isLower = word.box.top() >= 561;
        const int half = isLower ? 561 : 37;
        if (onPage(75, half, 192, 72, 297, 41).intersects(word.box))
            continue;
        (isLower ? lower : upper)
            .append(QStringLiteral("%1@%2,%3")
                        .arg(word.text)
                        .arg(qRound(word.box.left()))
                        .arg(qRound(word.box.top()) - half));
    }
    upper.sort();
    lower.sort();
    QVERIFY(upper.size() > 15);
    QCOMPARE(lower, upper);
}

// A seal cut short is told once for the whole job (preview and PDF), however many invoices and
// pages it prints.
void TestDocumentWindows::unreadableSealIsToldOncePerJob()
{
    t->exec(QStringLiteral("delete from JisyaJyoho"));
    const QByteArray seal = DocumentFixture::stripedSealJpeg();
    f->addCompany(seal.left(seal.size() * 2 / 3));
    const int customer = f->addCustomer();
    f->addInvoice(customer, {}, DocumentFixture::lines(22));
    f->addInvoice(customer, {}, DocumentFixture::lines(1));
    Messages::takeHistory();
    const QString pdf = printInvoices(QDate(2010, 5, 31), QStringLiteral("unreadable-seal"));
    QCOMPARE(pdfPageCount(pdf), 3);
    const QList<Messages::Record> said = Messages::takeHistory();
    QCOMPARE(said.size(), 2); // the seal's warning, then the saved PDF
    QCOMPARE(int(said.first().kind), int(Messages::Kind::Warning));
    QCOMPARE(int(said.last().kind), int(Messages::Kind::Information));
    QCOMPARE(
        said.first().text,
        QStringLiteral("印影の画像を読み込めません（JPEGかビットマップの画像ではないか、壊れています）。\n"
                       "印影なしで印刷します。自社情報で印影の画像を読み込み直してください。"));
}

QTEST_MAIN(TestDocumentWindows)
#include "tst_documentwindows.moc"
