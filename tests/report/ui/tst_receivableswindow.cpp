// The window of the list of receivables on SQLite and PostgreSQL: opened on an as-of day it shows
// the balances of the hand-worked fixture and saves them as PDF; a longer list pages through its
// pages and prints each one with its number.
#include "billing/ReceivablesReport.h"
#include "LayoutWindowRun.h"
#include "ModalHelper.h"
#include "ReceivablesFixture.h"
#include "report/engine/ReportFonts.h"
#include "report/ui/TLRurikakekin.h"
#include "TestDatabase.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

class TestReceivablesWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    // What the page of receivables opens: the window on the as-of day, modal.
    void showsTheBalancesOfTheDay()
    {
        ReceivablesFixture::build(*t);
        QString pdf;
        onModal<TLRurikakekin>([&](TLRurikakekin *w) {
            pdf = printToPdf(*w, m_dir.path(), QStringLiteral("fixture"));
            w->close();
        });
        showReceivablesReport(nullptr, t->db(), ReceivablesFixture::kAsOf);
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(pdfPageCount(pdf), 1);
        const QList<PdfWord> words = pdfWords(pdf);
        for (const char *phrase :
             {"売掛金残高一覧", "2024年4月30日現在", "テスト商会",
              "101 青葉商事 32,000 10,000 8,000 30,000 2024/03/20 41", "107 軽減商店 0 0 3,473 3,473",
              "合計 59,000 32,000 28,473 55,473", "1 / 1"})
            QVERIFY2(findPhrase(words, QString::fromUtf8(phrase)), phrase);
        QVERIFY(!findPhrase(words, QStringLiteral("55,473 70"))); // the days unpaid are no sum
    }

    // 85 customers: three pages to page through; the PDF has each customer once, the page numbers,
    // and the total on the last page only.
    void pagesThroughALongList()
    {
        QList<Receivables::CustomerBalance> rows;
        for (int i = 1; i <= 85; ++i)
            rows.append(
                {i, QString::number(1000 + i), QStringLiteral("得意先%1").arg(i), 100, 0, 0, 100, {}, {}});
        TLRurikakekin window(ReceivablesReport::sheetOf(rows, QDate(2026, 12, 11), QStringLiteral("自社")));
        const QString pdf = printToPdf(window, m_dir.path(), QStringLiteral("long"));
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(window.PageIndicator(), QStringLiteral("1/3"));
        window.ActLastPage->trigger();
        QCOMPARE(window.PageIndicator(), QStringLiteral("3/3"));

        QCOMPARE(pdfPageCount(pdf), 3);
        const QList<PdfWord> words = pdfWords(pdf);
        for (int page = 1; page <= 3; ++page)
            QVERIFY(findPhrase(words, QStringLiteral("%1 / 3").arg(page), page));
        for (int i = 1; i <= 85; ++i) {
            const QString row = QStringLiteral("%1 得意先%2 100").arg(1000 + i).arg(i);
            QCOMPARE(findPhrases(words, row).size(), 1);
            QVERIFY2(findPhrase(words, row, (i - 1) / 40 + 1), qPrintable(row));
        }
        QVERIFY(findPhrase(words, QStringLiteral("合計 8,500 0 0 8,500"), 3));
        QVERIFY(!findPhrase(words, QStringLiteral("合計"), 1));
        QVERIFY(!findPhrase(words, QStringLiteral("合計"), 2));
    }
};

QTEST_MAIN(TestReceivablesWindow)
#include "tst_receivableswindow.moc"
