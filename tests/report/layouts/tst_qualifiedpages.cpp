// The qualified-invoice pages as printed to PDF and read back with their word places: the
// registration number on the page, clear of a seal at its usual place (96 from the top, 576 from the
// left of the header or of each receipt half) and inside the receipt's border; the headline total of
// estimates and delivery notes with the tax, saying so; the sums per rate saying whether they hold
// the tax; and the invoice's amounts row adding up across. Also the invoice's line between the date
// and the name columns, whole in the PDF as on the preview's pages.
#include "DocumentFixture.h"
#include "PdfWords.h"
#include "report/engine/ReportFonts.h"
#include "report/layouts/DocumentOutput.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kNumber = QStringLiteral("T8000012010038");
const QString kRegistration = QStringLiteral("登録番号：") + kNumber;

// A seal at its usual place, of any size up to 200 units: the header panel is at (75, 37), each
// receipt half at (75, 37) and (75, 561).
QRectF sealArea(double top)
{
    return QRectF(75 + 576, top + 96, 200, 200);
}

// The inner rule of the receipt's border, page coordinates of the upper half.
const QRectF kReceiptInside(75 + 34, 37 + 52, 647 - 34, 475 - 52);

QList<FixtureLine> ratedLines()
{
    const auto line = [](const QString &name, int amount) {
        return FixtureLine{
            name, 1, QStringLiteral("個"), amount, amount, QDate(2010, 5, 1), QStringLiteral("N-1")};
    };
    return {line(QStringLiteral("文具"), 1005), line(QStringLiteral("お茶"), 2468)};
}

// A page rectangle (layout units) of the PDF's first page, rasterised at 600 dpi.
QImage pdfRegion(const QString &pdf, const QRect &area)
{
    constexpr double kDotsPerUnit = 600.0 / 96;
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("region"));
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-f"), QStringLiteral("1"),
                       QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
                       QStringLiteral("-x"), QString::number(int(area.x() * kDotsPerUnit)),
                       QStringLiteral("-y"), QString::number(int(area.y() * kDotsPerUnit)),
                       QStringLiteral("-W"), QString::number(int(area.width() * kDotsPerUnit)),
                       QStringLiteral("-H"), QString::number(int(area.height() * kDotsPerUnit)),
                       QStringLiteral("-png"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

bool isNavy(QRgb pixel)
{
    return qBlue(pixel) > 100 && qRed(pixel) < 90 && qGreen(pixel) < 90;
}

} // namespace

class TestQualifiedPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> f;
    QTemporaryDir m_dir;

    void turnOptionOn(bool pricesIncludeTax)
    {
        t->exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = 1, TourokuNo = '%1', ZeiKomiKBN = %2")
                    .arg(kNumber)
                    .arg(pricesIncludeTax ? 1 : 0));
    }

    // The sums per rate of the two rated lines, as the editors store them.
    void storeSums(const QString &header, const QString &detail, bool pricesIncludeTax)
    {
        t->exec(QStringLiteral("update %1 set ZeiRitu = 10").arg(detail));
        t->exec(QStringLiteral("update %1 set ZeiRitu = 8 where Gyo = 2").arg(detail));
        t->exec(QStringLiteral(
                    "update %1 set Taisyo10 = 1005, Zei10 = %2, Taisyo8 = 2468, Zei8 = %3, Hikazei = 0")
                    .arg(header)
                    .arg(pricesIncludeTax ? 91 : 100)
                    .arg(pricesIncludeTax ? 182 : 197));
    }

    QString printPdf(DocumentOutput::Kind kind, int key, const QString &name)
    {
        const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
        DocumentOutput::Job(kind, t->db(), {key}).printPdf(pdf);
        return pdf;
    }

    // A document of the kind with the two rated lines; for the invoice, 10,000 previous, 3,000 paid
    // and the sales of 3,473, plus their tax of 297 when the prices are without it.
    int addDocument(DocumentOutput::Kind kind, bool pricesIncludeTax)
    {
        const int customer = f->addCustomer();
        switch (kind) {
        case DocumentOutput::Kind::Mitumori: {
            const int key = f->addEstimate(customer, ratedLines(), 3473);
            storeSums(QStringLiteral("Mitumori"), QStringLiteral("MitumoriMesai"), pricesIncludeTax);
            return key;
        }
        case DocumentOutput::Kind::Nohin: {
            const int key = f->addDeliveryNote(customer, ratedLines(), 3473);
            storeSums(QStringLiteral("Nohin"), QStringLiteral("NohinMesai"), pricesIncludeTax);
            return key;
        }
        case DocumentOutput::Kind::Seikyu: {
            FixtureInvoice invoice;
            invoice.hanbai = 3473;
            invoice.seikyu = 10000 - 3000 + 3473 + (pricesIncludeTax ? 0 : 297);
            const int key = f->addInvoice(customer, invoice, ratedLines());
            storeSums(QStringLiteral("Seikyu"), QStringLiteral("SeikyuMesai"), pricesIncludeTax);
            return key;
        }
        default:
            return f->addPayment(customer, 3770, QStringLiteral("お品代として"));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        installFontSubstitutions();
        QVERIFY(m_dir.isValid());
    }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<DocumentFixture>(t->db());
        f->addCompany(DocumentFixture::sealJpeg(), 120, 120);
        for (const char *table : {"MitumoriSettei", "NohinSettei", "SeikyuSettei", "RyosyusyouSettei"})
            f->addSettings(QLatin1String(table), 96, 576, 120, 120);
    }
    void cleanup()
    {
        f.reset();
        t.reset();
    }

    void pages_data()
    {
        using Kind = DocumentOutput::Kind;
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("pricesIncludeTax");
        QTest::addColumn<QStringList>("phrases");
        const QString note = QStringLiteral("※は軽減税率対象");
        const QStringList without{QStringLiteral("10%対象（税抜）¥1,005 消費税 ¥100"),
                                  QStringLiteral("8%対象（税抜）¥2,468 消費税 ¥197"), note};
        const QStringList with{QStringLiteral("10%対象（税込）¥1,005 内消費税 ¥91"),
                               QStringLiteral("8%対象（税込）¥2,468 内消費税 ¥182"), note};
        // The headline is what the customer pays: 3,473 and its tax of 297, or 3,473 holding 273.
        QTest::newRow("estimate, prices without tax")
            << Kind::Mitumori << false << without + QStringList{QStringLiteral("合計金額（税込）：¥3,770-")};
        QTest::newRow("estimate, prices with tax")
            << Kind::Mitumori << true << with + QStringList{QStringLiteral("合計金額（税込）：¥3,473-")};
        QTest::newRow("delivery note, prices without tax")
            << Kind::Nohin << false << without + QStringList{QStringLiteral("合計金額（税込）：¥3,770-")};
        QTest::newRow("delivery note, prices with tax")
            << Kind::Nohin << true << with + QStringList{QStringLiteral("合計金額（税込）：¥3,473-")};
        // The amounts row: previous, paid, carried over, tax, sales, now invoiced. Without tax in the
        // prices 7,000 + 297 + 3,473 = 10,770; with it the sales hold the 273 and 7,000 + 3,473 = 10,473.
        QTest::newRow("invoice, prices without tax")
            << Kind::Seikyu << false
            << without + QStringList{QStringLiteral("繰 越 金 額 消 費 税 額 今回御買上額"),
                                     QStringLiteral("10,000 3,000 7,000 297 3,473 10,770")};
        QTest::newRow("invoice, prices with tax")
            << Kind::Seikyu << true
            << with + QStringList{QStringLiteral("繰 越 金 額 内消費税額 今回御買上額"),
                                  QStringLiteral("10,000 3,000 7,000 273 3,473 10,473")};
        QTest::newRow("receipt") << Kind::Ryosyusyou << false << QStringList();
    }
    void pages()
    {
        QFETCH(DocumentOutput::Kind, kind);
        QFETCH(bool, pricesIncludeTax);
        QFETCH(QStringList, phrases);
        const int key = addDocument(kind, pricesIncludeTax);
        turnOptionOn(pricesIncludeTax);
        const QList<PdfWord> words = pdfWords(printPdf(kind, key, QStringLiteral("on")));
        for (const QString &phrase : phrases)
            QVERIFY2(findPhrase(words, phrase), qPrintable(phrase));
        QVERIFY(!findPhrase(words, QStringLiteral("合計金額：¥3,473-"))); // no headline without its tax

        // The registration number: on the page, in each receipt half inside the border, clear of the
        // seal's usual place, and over no other word.
        const bool receipt = kind == DocumentOutput::Kind::Ryosyusyou;
        const QList<PdfWord> numbers = findPhrases(words, kRegistration);
        QCOMPARE(numbers.size(), receipt ? 2 : 1);
        for (int half = 0; half < numbers.size(); ++half) {
            const PdfWord &number = numbers[half];
            const double top = 37 + 524 * half;
            QVERIFY2(liesWithin(number, receipt ? kReceiptInside.translated(0, 524 * half)
                                                : QRectF(37, 37, 720, 1049)),
                     qPrintable(describe(number)));
            QVERIFY2(!number.box.intersects(sealArea(top)), qPrintable(describe(number)));
            for (const PdfWord &other : words)
                if (!number.box.contains(other.box))
                    QVERIFY2(!number.box.intersects(other.box), qPrintable(describe(other)));
        }
    }

    // The line between the invoice's date and name columns runs down the detail rows in one width:
    // the name's filled cell once covered most of it, leaving it thin in the rows and a dot at each
    // row's edge.
    void invoiceDateColumnLineIsWhole()
    {
        const int key = f->addInvoice(f->addCustomer(), {}, ratedLines());
        const QString pdf = printPdf(DocumentOutput::Kind::Seikyu, key, QStringLiteral("lines"));
        // Page x 147 is the line; the rows run from y 397 to the table's bottom line at 956.
        const QImage region = pdfRegion(pdf, QRect(143, 398, 8, 555));
        QVERIFY(!region.isNull());
        int thinnest = region.width(), widest = 0;
        for (int y = 0; y < region.height(); ++y) {
            int width = 0;
            for (int x = 0; x < region.width(); ++x)
                width += isNavy(region.pixel(x, y));
            thinnest = std::min(thinnest, width);
            widest = std::max(widest, width);
        }
        QVERIFY2(thinnest > 0 && widest - thinnest <= 1,
                 qPrintable(QStringLiteral("the line is %1 to %2 dots wide").arg(thinnest).arg(widest)));
    }
};

QTEST_MAIN(TestQualifiedPages)
#include "tst_qualifiedpages.moc"
