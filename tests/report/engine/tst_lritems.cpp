// The report items drawn onto images: frame lines and their widths, text placement, rounded
// corners, pictures, and flowing Japanese text.
#include "report/engine/ReportFonts.h"
#include "report/engine/SjisTokenizer.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRItemR.h"
#include "report/engine/TLRVariableText.h"
#include "ReportTestSupport.h"

#include <QFontMetrics>
#include <QTest>

namespace {

TLRRect unitRect(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

// Rows of the image, in [from, to), on which something is drawn between x0 and x1.
QList<int> inkedRows(const QImage &image, int x0, int x1, int from, int to)
{
    QList<int> rows;
    for (int y = from; y < to; ++y)
        if (darkPixels(image, QRect(x0, y, x1 - x0, 1)) > 0)
            rows.append(y);
    return rows;
}

} // namespace

class TestLRItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void penWidthPerStyleAndScale_data();
    void penWidthPerStyleAndScale();
    void frameLinesSitOnTheItemEdges();
    void rightAlignedTextEndsAtTheMargin();
    void singleLineTextIsClippedNotWrapped();
    void mnemonicAmpersands_data();
    void mnemonicAmpersands();
    void displayMask_data();
    void displayMask();
    void roundedCornerJoinsShortenedEdges();
    void squareCornersFillOnlyInsideTheLines_data();
    void squareCornersFillOnlyInsideTheLines();
    void roundSizeOutsideRangeIsRefused();
    void stretchedPictureFillsTheItem();
    void unstretchedPictureIsCut();
    void onlyBitmapsAndJpegsAreAccepted();
    void tokenizer_data();
    void tokenizer();
    void flowingTextSkipsEmptyLines();
    void flowingTextCarriesPunctuation();
};

void TestLRItems::penWidthPerStyleAndScale_data()
{
    QTest::addColumn<TLineStyle>("style");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pixels"); // rows the bottom line covers; width 0 draws the thinnest line
    QTest::newRow("single, preview") << TLineStyle::lsSingle << 1.0 << 1 << 1;
    QTest::newRow("half, preview") << TLineStyle::lsHalf << 1.0 << 0 << 1;
    QTest::newRow("double, preview") << TLineStyle::lsDouble << 1.0 << 2 << 2;
    QTest::newRow("single, 600 dpi") << TLineStyle::lsSingle << 6.25 << 7 << 7;
    QTest::newRow("half, 600 dpi") << TLineStyle::lsHalf << 6.25 << 3 << 3;
    QTest::newRow("double, 600 dpi") << TLineStyle::lsDouble << 6.25 << 12 << 12;
}

void TestLRItems::penWidthPerStyleAndScale()
{
    QFETCH(TLineStyle, style);
    QFETCH(double, scale);
    QFETCH(int, width);
    QFETCH(int, pixels);
    QCOMPARE(penWidth(style, scale), width);
    TLRItem item;
    item.LineBottom = style;
    const QImage image = paintedImage(QSize(800, 300), [&](QPainter &p) {
        item.PrintItem(p, unitRect(10, 10, 100, 20), TPrintStatus::stNormal, scale);
    });
    const QList<int> rows = darkRowsAt(image, static_cast<int>(50 * scale), 0, 299);
    QCOMPARE(rows.size(), pixels);
    const int lineRow = static_cast<int>(29 * scale); // R.Bottom: the scaled last row of the item
    QVERIFY2(rows.contains(lineRow), qPrintable(QString::number(rows.first())));
}

// A framed item at (10, 10) of 100 × 28: the 2-pixel bottom line lies on rows 36 and 37 (its last
// row, 37, and the one above) from x 9 to 108; the top and left lines lie just outside the item.
void TestLRItems::frameLinesSitOnTheItemEdges()
{
    TLRItem item;
    item.LineBottom = TLineStyle::lsDouble;
    item.LineTop = item.LineLeft = item.LineRight = TLineStyle::lsSingle;
    const QImage image = paintedImage(QSize(200, 100), [&](QPainter &p) {
        item.PrintItem(p, unitRect(10, 10, 100, 28), TPrintStatus::stFrameOnly, 1.0);
    });
    QCOMPARE(darkRowsAt(image, 50, 0, 99), (QList<int>{9, 36, 37}));
    QList<int> bottom;
    for (int x = 9; x <= 108; ++x)
        bottom.append(x);
    QCOMPARE(darkColumnsAt(image, 37, 0, 199), bottom);
    QCOMPARE(darkColumnsAt(image, 20, 0, 199), (QList<int>{9, 109}));
}

void TestLRItems::rightAlignedTextEndsAtTheMargin()
{
    TLRItem item;
    item.Alignment = TAlignment::taRightJustify;
    item.setHMargin(7);
    item.Text = QStringLiteral("1,234,567");
    item.setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    const QImage image = paintedImage(QSize(794, 40), [&](QPainter &p) {
        item.PrintItem(p, unitRect(572, 0, 105, 28), TPrintStatus::stNormal, 1.0);
    });
    QCOMPARE(darkPixels(image, QRect(669, 0, 125, 40)), 0);
    QVERIFY(darkPixels(image, QRect(660, 0, 9, 28)) > 0);
    QVERIFY(darkPixels(image, QRect(572, 0, 20, 28)) == 0);
}

void TestLRItems::singleLineTextIsClippedNotWrapped()
{
    TLRItem item;
    item.Text = QStringLiteral("とても長い品名の説明がこの欄に収まりきらない場合");
    item.setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 12));
    const QImage image = paintedImage(QSize(300, 80), [&](QPainter &p) {
        item.PrintItem(p, unitRect(10, 10, 100, 20), TPrintStatus::stNormal, 1.0);
    });
    QVERIFY(darkPixels(image, QRect(12, 10, 95, 18)) > 20);
    QCOMPARE(darkPixels(image, QRect(109, 0, 191, 80)), 0); // beyond R.Right
    QCOMPARE(darkPixels(image, QRect(0, 29, 300, 51)), 0);  // no second line
}

void TestLRItems::mnemonicAmpersands_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");
    QTest::newRow("doubled") << "A&&B"
                             << "A&B";
    QTest::newRow("prefix") << "&Print"
                            << "Print";
    QTest::newRow("none") << "請求書"
                          << "請求書";
}

void TestLRItems::mnemonicAmpersands()
{
    QFETCH(QString, text);
    QFETCH(QString, printed);
    TLRItem item;
    item.Text = text;
    QCOMPARE(recordedText([&](QPainter &p) {
                 item.PrintItem(p, unitRect(0, 0, 200, 20), TPrintStatus::stNormal, 1.0);
             }),
             printed);
}

void TestLRItems::displayMask_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no mask") << "1234"
                             << ""
                             << "1234";
    QTest::newRow("thousands") << "1234567"
                               << "#,##0"
                               << "1,234,567";
    QTest::newRow("negative section") << "-5"
                                      << "#,##0;(#,##0)"
                                      << "(5)";
    QTest::newRow("zero section") << "0"
                                  << "#,##0;-#,##0;なし"
                                  << "なし";
    QTest::newRow("decimals") << "1234.5"
                              << "0.00"
                              << "1234.50";
    // The amount pattern of the printed documents: the backslash is the yen sign, not an escape.
    QTest::newRow("yen amount") << "12345"
                                << "\\#,#0;\\-#,#0;\\0"
                                << "¥12,345";
    QTest::newRow("yen negative") << "-2000"
                                  << "\\#,#0;\\-#,#0;\\0"
                                  << "¥-2,000";
    QTest::newRow("quantity zero is blank") << "0"
                                            << "#,##.##"
                                            << "";
    QTest::newRow("edit mask on text") << "abc1234"
                                       << "LLL-0000"
                                       << "abc-1234";
}

void TestLRItems::displayMask()
{
    QFETCH(QString, text);
    QFETCH(QString, mask);
    QFETCH(QString, shown);
    TLRItem item;
    item.Text = text;
    item.DisplayMask = mask;
    QCOMPARE(item.DisplayText(), shown);
}

// RoundSize 5 on the left-top corner only, item at (20, 20): R moves out to (19, 19); the top line
// starts at x 24, the left line at y 24, and a quarter arc joins them, away from the square corner.
void TestLRItems::roundedCornerJoinsShortenedEdges()
{
    TLRItemR item;
    item.setRoundSize(5);
    item.RoundLeftTop = true;
    item.setLines(TLineStyle::lsSingle);
    const QImage image = paintedImage(QSize(200, 100), [&](QPainter &p) {
        item.PrintItem(p, unitRect(20, 20, 100, 40), TPrintStatus::stNormal, 1.0);
    });
    // The edges are straight from 24 on; the arc meets them within its flat top pixels.
    const QList<int> top = darkColumnsAt(image, 19, 0, 60);
    QVERIFY(top.first() >= 22 && top.first() <= 24);
    QCOMPARE(top.last() - top.first() + 1, top.size());
    const QList<int> left = darkRowsAt(image, 19, 0, 50);
    QVERIFY(left.first() >= 22 && left.first() <= 24);
    QVERIFY(!isDark(image, 19, 19) && !isDark(image, 20, 19) && !isDark(image, 19, 20)); // no square corner
    QVERIFY(darkPixels(image, QRect(20, 20, 3, 3)) > 0);                                 // the arc
    QCOMPARE(darkColumnsAt(image, 59, 0, 199).last(), 118); // square corners elsewhere, end points left out
    QCOMPARE(darkRowsAt(image, 119, 0, 99).first(), 19);
}

void TestLRItems::squareCornersFillOnlyInsideTheLines_data()
{
    QTest::addColumn<int>("roundSize");
    QTest::addRow("no rounding") << 0;
    QTest::addRow("rounding set, no corner rounded") << 5; // as the invoice's line cells
}

// A filled rounded item whose corners are all square, at (20, 20) as 100 × 40 with its right line
// only, as the name cell of a document's line: the fill stays within the lines, so nothing lies on the
// row boundary above it (row 19), where the row before draws its bottom.
void TestLRItems::squareCornersFillOnlyInsideTheLines()
{
    QFETCH(int, roundSize);
    TLRItemR item;
    item.setRoundSize(roundSize);
    item.Transparent = false;
    item.setColor(Qt::black);
    item.LineRight = TLineStyle::lsSingle;
    item.LineColor = Qt::white;
    const QImage image = paintedImage(QSize(200, 100), [&](QPainter &p) {
        item.PrintItem(p, unitRect(20, 20, 100, 40), TPrintStatus::stFrameOnly, 1.0);
    });
    QCOMPARE(darkPixels(image, QRect(0, 0, 200, 20)), 0);
    QCOMPARE(darkPixels(image, QRect(0, 0, 20, 100)), 0);
    QVERIFY(isDark(image, 20, 20) && isDark(image, 70, 40));
}

void TestLRItems::roundSizeOutsideRangeIsRefused()
{
    TLRItemR item;
    item.setRoundSize(20);
    for (int bad : {21, -1}) {
        try {
            item.setRoundSize(bad);
            QFAIL("RoundSize accepted a value outside 0..20");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("RoundSize は 0-20 の範囲のみ許されています．"));
        }
        QCOMPARE(item.RoundSize(), 20);
    }
}

void TestLRItems::stretchedPictureFillsTheItem()
{
    QImage seal(40, 20, QImage::Format_RGB32);
    seal.fill(Qt::black);
    TLRImage image;
    image.setPicture(encodedImage(seal, "JPEG"));
    image.Stretch = true;
    const QImage page = paintedImage(QSize(300, 300), [&](QPainter &p) {
        image.PrintItem(p, unitRect(100, 100, 73, 73), TPrintStatus::stNormal, 1.0);
    });
    QCOMPARE(darkPixels(page, QRect(100, 100, 73, 73)), 73 * 73);
    QCOMPARE(darkPixels(page, QRect(0, 0, 300, 300)), 73 * 73);
    const QImage frameOnly = paintedImage(QSize(300, 300), [&](QPainter &p) {
        image.PrintItem(p, unitRect(100, 100, 73, 73), TPrintStatus::stFrameOnly, 1.0);
    });
    QCOMPARE(darkPixels(frameOnly, QRect(0, 0, 300, 300)), 0);
}

// Without Stretch a 100 × 100 picture in a 73 × 73 item keeps its scale and loses its right and
// bottom parts; a smaller one keeps its own size.
void TestLRItems::unstretchedPictureIsCut()
{
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(0, 0, 50, 50, Qt::black);
    TLRImage image;
    image.setPicture(encodedImage(picture, "BMP"));
    const QImage page = paintedImage(QSize(300, 300), [&](QPainter &p) {
        image.PrintItem(p, unitRect(10, 10, 73, 73), TPrintStatus::stNormal, 1.0);
    });
    QCOMPARE(darkPixels(page, QRect(0, 0, 300, 300)), 50 * 50);

    QImage small(30, 30, QImage::Format_RGB32);
    small.fill(Qt::black);
    image.setPicture(encodedImage(small, "BMP"));
    const QImage smallPage = paintedImage(QSize(300, 300), [&](QPainter &p) {
        image.PrintItem(p, unitRect(10, 10, 73, 73), TPrintStatus::stNormal, 1.0);
    });
    QCOMPARE(darkPixels(smallPage, QRect(0, 0, 300, 300)), 30 * 30);
}

void TestLRItems::onlyBitmapsAndJpegsAreAccepted()
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::black);
    TLRImage image;
    image.setPicture(encodedImage(picture, "BMP"));
    for (const QByteArray &bad : {encodedImage(picture, "PNG"), QByteArray("not a picture")}) {
        try {
            image.setPicture(bad);
            QFAIL("a picture that is no bitmap or JPEG was accepted");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("イメージはビットマップかJPEGイメージのみ有効です"));
        }
        QCOMPARE(image.Picture().size(), QSize(8, 8));
    }
    image.setPicture(QByteArray());
    QVERIFY(image.Picture().isNull());
}

void TestLRItems::tokenizer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tokens"); // "|" between tokens, "_" a word end, "/" a line end
    QTest::newRow("words") << "abc def"
                           << "abc_|def";
    QTest::newRow("each kanji alone") << "見積書"
                                      << "見|積|書";
    QTest::newRow("maru stays with its character") << "様。次"
                                                   << "様。|次";
    QTest::newRow("ten and maru together") << "字、。次"
                                           << "字、。|次";
    QTest::newRow("ascii then kanji") << "ab漢"
                                      << "ab|漢";
    QTest::newRow("kanji then ascii") << "漢ab"
                                      << "漢|ab";
    QTest::newRow("half-width katakana are single bytes") << "ｶﾀｶﾅ ok"
                                                          << "ｶﾀｶﾅ_|ok";
    QTest::newRow("full-width space is a character") << "あ　い"
                                                     << "あ|　|い";
    QTest::newRow("empty line") << "a\r\n\r\nb"
                                << "a/|/|b";
    QTest::newRow("kanji before line end") << "字\r\n次"
                                           << "字|/|次";
    QTest::newRow("lone line feed") << "a\nb"
                                    << "a/|b";
}

void TestLRItems::tokenizer()
{
    QFETCH(QString, text);
    QFETCH(QString, tokens);
    QStringList shown;
    for (const TextToken &t : tokenizeFlowingText(text))
        shown.append(t.chars.join(QString()) + (t.wordEnd ? "_" : "") + (t.lineEnd ? "/" : ""));
    QCOMPARE(shown.join(u'|'), tokens);
}

// "word", an empty line and "word", each ended by CR LF: the words print on consecutive lines.
void TestLRItems::flowingTextSkipsEmptyLines()
{
    TLRVariableText text;
    text.setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    text.Text = QStringLiteral("摘要\r\n\r\n備考\r\n");
    QImage page = paintedImage(QSize(300, 200), [&](QPainter &p) {
        text.PrintItem(p, unitRect(10, 10, 200, 150), TPrintStatus::stNormal, 1.0);
    });
    const int pitch = QFontMetrics(text.Font().font, &page).height();
    const QList<int> rows = inkedRows(page, 0, 300, 0, 200);
    QVERIFY(!rows.isEmpty());
    QVERIFY(rows.first() >= 10 && rows.first() < 10 + pitch);
    QVERIFY(rows.last() >= 10 + pitch && rows.last() < 10 + 2 * pitch);
    QVERIFY(!inkedRows(page, 0, 300, 10 + pitch, 10 + 2 * pitch).isEmpty());
}

// Five characters and "。" in a box for five and a half: the fifth would fit, but it goes to the
// next line together with the "。" instead of leaving the "。" alone at the start of a line.
void TestLRItems::flowingTextCarriesPunctuation()
{
    TLRVariableText text;
    text.setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    text.Text = QStringLiteral("ありがとう。");
    QImage probe(1, 1, QImage::Format_RGB32);
    const QFontMetrics metrics(text.Font().font, &probe);
    const int cw = metrics.horizontalAdvance(QStringLiteral("あ"));
    const int pitch = metrics.height();
    const int width = 5 * cw + cw / 2 + 1;
    QImage page = paintedImage(QSize(300, 200), [&](QPainter &p) {
        text.PrintItem(p, unitRect(0, 0, width, 100), TPrintStatus::stNormal, 1.0);
    });
    QVERIFY(darkPixels(page, QRect(3 * cw, 0, cw, pitch)) > 0); // と
    QCOMPARE(darkPixels(page, QRect(4 * cw + 1, 0, 300, pitch)), 0);
    QVERIFY(darkPixels(page, QRect(0, pitch, cw, pitch)) > 0);  // う
    QVERIFY(darkPixels(page, QRect(cw, pitch, cw, pitch)) > 0); // 。
    QCOMPARE(darkPixels(page, QRect(2 * cw + 1, pitch, 300, pitch)), 0);
}

QTEST_MAIN(TestLRItems)
#include "tst_lritems.moc"
