// The main window's page 売掛・売上 as a user sees it: the table and its total row on the fixture
// worked out by hand, sorting, the as-of day, the chart, CSV and printing, a failure of the
// database, and a double click that extracts the document lists by the customer.
#include "app/ui/TFmain.h"
#include "billing/Receivables.h"
#include "billing/ui/ReceivablesChart.h"
#include "billing/ui/ReceivablesModel.h"
#include "billing/ui/ReceivablesPage.h"
#include "common/Clock.h"
#include "controls/FileChoice.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"
#include "ModalHelper.h"
#include "ReceivablesFixture.h"
#include "report/layouts/ReceivablesLayout.h"
#include "report/ui/TLRurikakekin.h"
#include "TestDatabase.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using Model = ReceivablesModel;

namespace {

QStringList codes(const ReceivablesModel &m)
{
    QStringList list;
    for (const Receivables::CustomerBalance &r : m.rows())
        list << r.code;
    return list;
}

QString cell(const QTableView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

int rowOf(const ReceivablesModel &m, const QString &code)
{
    for (int i = 0; i < m.rowCount(); ++i)
        if (m.row(i).code == code)
            return i;
    return -1;
}

} // namespace

class tst_ReceivablesPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<ReceivablesPage> page;

    void click(const char *name)
    {
        QTest::mouseClick(page->findChild<TFlatButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    // Types a day into the field and leaves it with Return.
    void typeDay(const QString &text)
    {
        QLineEdit *edit = page->asOfField()->edit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(ReceivablesFixture::kAsOf, QTime(9, 0)));
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        ReceivablesFixture::build(*t);
        Messages::takeHistory();
        page = std::make_unique<ReceivablesPage>(&t->db());
        page->resize(900, 700);
    }
    void cleanup()
    {
        page.reset();
        t.reset();
        Clock::reset();
    }

    // Nothing is read before the page is shown; then the rows are the customers' balances of today
    // as worked out by hand, amounts with separators and right-aligned, a negative one in red, and
    // the total in its own row.
    void showsTheBalancesOfToday()
    {
        QCOMPARE(page->asOfField()->text(), QStringLiteral("2024/04/30"));
        QCOMPARE(page->rowsModel()->rowCount(), 0);
        page->show();
        QCOMPARE(page->shownAsOf(), ReceivablesFixture::kAsOf);
        const QList<ReceivablesFixture::Expected> expected = ReceivablesFixture::expected();
        QCOMPARE(page->rowsModel()->rowCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const Receivables::CustomerBalance &r = page->rowsModel()->row(i);
            QCOMPARE(r.code, expected[i].code);
            QCOMPARE(r.balance, expected[i].balance);
        }
        const QTableView *table = page->table();
        QCOMPARE(table->model()->headerData(Model::UnbilledSales, Qt::Horizontal).toString(),
                 QStringLiteral("未請求売上"));
        QCOMPARE(cell(table, 0, Model::Name), QStringLiteral("青葉商事"));
        QCOMPARE(cell(table, 0, Model::PreviousInvoice), QStringLiteral("32,000"));
        QCOMPARE(cell(table, 0, Model::LastClosing), QStringLiteral("2024/03/20"));
        QCOMPARE(cell(table, 0, Model::DaysUnpaid), QStringLiteral("41"));
        QCOMPARE(cell(table, 1, Model::Balance), QStringLiteral("-5,000"));
        QCOMPARE(table->model()->index(1, Model::Balance).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::red));
        QCOMPARE(cell(table, 1, Model::DaysUnpaid), QString());  // paid in full
        QCOMPARE(cell(table, 2, Model::LastClosing), QString()); // never invoiced
        QCOMPARE(table->model()->index(0, Model::Balance).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));

        const QTableView *total = page->totalRow();
        QCOMPARE(total->model()->rowCount(), 1);
        const QStringList totals{QString(),
                                 QStringLiteral("合計"),
                                 QStringLiteral("59,000"),
                                 QStringLiteral("32,000"),
                                 QStringLiteral("28,473"),
                                 QStringLiteral("55,473"),
                                 QString(),
                                 QString()}; // the days unpaid are no sum
        for (int c = 0; c < Model::kColumns; ++c)
            QCOMPARE(cell(total, 0, c), totals[c]);
        QCOMPARE(page->findChild<QLabel *>(QStringLiteral("KensuLabel"))->text(), QStringLiteral("6 件"));
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // Every column sorts its own way (amounts and days as numbers, rows without a figure first);
    // the total stays in its row under the table and is never sorted among the customers.
    void sortsWithTheTotalLast_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("code, descending") << int(Model::Code) << Qt::DescendingOrder
                                          << QStringList{"107", "106", "104", "103", "102", "101"};
        QTest::addRow("previous invoice as numbers") << int(Model::PreviousInvoice) << Qt::AscendingOrder
                                                     << QStringList{"103", "107", "104", "102", "106", "101"};
        QTest::addRow("payments, descending") << int(Model::Payments) << Qt::DescendingOrder
                                              << QStringList{"102", "101", "106", "104", "103", "107"};
        QTest::addRow("balance, negative first") << int(Model::Balance) << Qt::AscendingOrder
                                                 << QStringList{"102", "107", "104", "106", "103", "101"};
        QTest::addRow("balance, descending") << int(Model::Balance) << Qt::DescendingOrder
                                             << QStringList{"101", "103", "104", "106", "107", "102"};
        QTest::addRow("last closing, none first") << int(Model::LastClosing) << Qt::AscendingOrder
                                                  << QStringList{"103", "104", "107", "101", "102", "106"};
        QTest::addRow("days unpaid, descending") << int(Model::DaysUnpaid) << Qt::DescendingOrder
                                                 << QStringList{"106", "101", "102", "103", "104", "107"};
    }
    void sortsWithTheTotalLast()
    {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QStringList, expected);
        page->show();
        page->table()->selectRow(rowOf(*page->rowsModel(), QStringLiteral("101")));
        page->table()->horizontalHeader()->setSortIndicator(column, order); // as a click on the title
        QCOMPARE(codes(*page->rowsModel()), expected);
        // The selection follows its customer.
        QCOMPARE(page->table()->selectionModel()->selectedRows().value(0).row(),
                 int(expected.indexOf("101")));
        QCOMPARE(page->totalModel()->rowCount(), 1);
        QCOMPARE(page->totalModel()->row(0).name, QStringLiteral("合計"));
        QCOMPARE(page->totalModel()->row(0).balance, 55473);
        // A reading keeps the order chosen.
        click("SaiHyojiBTN");
        QCOMPARE(codes(*page->rowsModel()), expected);
    }

    // A day typed into the field reads the figures of that day, table and chart; 再表示 and turning
    // to the page again read what was saved meanwhile.
    void readsAgain()
    {
        page->show();
        typeDay(QStringLiteral("2024/3/15"));
        QCOMPARE(page->asOfField()->text(), QStringLiteral("2024/03/15"));
        QCOMPARE(page->shownAsOf(), QDate(2024, 3, 15));
        QCOMPARE(codes(*page->rowsModel()), (QStringList{"101", "102", "104", "106"}));
        QCOMPARE(page->totalModel()->row(0).balance, 59000);
        QCOMPARE(page->chart()->monthAxis()->categories().last(), QStringLiteral("2024/03"));

        t->exec(QStringLiteral("insert into Nyukin (key, RyosyuNo, NyukinYMD, TorihikisakiKey, Nyukingaku, "
                               "SeikyuKey) values (900, 'R-900', '2024-03-10', %1, 1500, 0)")
                    .arg(page->rowsModel()->row(0).key));
        click("SaiHyojiBTN");
        QCOMPARE(page->rowsModel()->row(0).payments, 30000 + 1500);
        QCOMPARE(page->totalModel()->row(0).balance, 59000 - 1500);

        t->exec(QStringLiteral("update Nyukin set Nyukingaku = 2500 where key = 900"));
        page->hide();
        page->show();
        QCOMPARE(page->totalModel()->row(0).balance, 59000 - 2500);
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // The bars and the line have a point for each of the twelve months, with the months' figures.
    void chartShowsTwelveMonths()
    {
        page->show();
        const QList<Receivables::Month> months =
            Receivables::months(t->db(), ReceivablesFixture::kAsOf, 55473);
        const ReceivablesChart *chart = page->chart();
        QCOMPARE(chart->salesBars()->count(), 12);
        QCOMPARE(chart->paymentBars()->count(), 12);
        QCOMPARE(chart->balanceLine()->count(), 12);
        QCOMPARE(chart->monthAxis()->categories().first(), QStringLiteral("2023/05"));
        QCOMPARE(chart->monthAxis()->categories().last(), QStringLiteral("2024/04"));
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(chart->salesBars()->at(i), double(months[i].sales));
            QCOMPARE(chart->paymentBars()->at(i), double(months[i].payments));
            QCOMPARE(chart->balanceLine()->at(i), QPointF(i, double(months[i].balance)));
        }
        QCOMPARE(chart->salesBars()->at(11), 28473.0);
        QCOMPARE(chart->paymentBars()->at(10), 30000.0);
        QCOMPARE(chart->balanceLine()->at(9).y(), 63000.0);
    }

    // The balance shares the bars' yen scale when of their size, and takes its own on the right
    // when it is many times larger or smaller.
    void chartScales_data()
    {
        QTest::addColumn<qint64>("bars");
        QTest::addColumn<qint64>("balance");
        QTest::addColumn<bool>("ownScale");
        QTest::addRow("same size") << qint64(800000) << qint64(1500000) << false;
        QTest::addRow("balance far larger") << qint64(30000) << qint64(2000000) << true;
        QTest::addRow("balance far smaller") << qint64(900000) << qint64(-20000) << true;
        QTest::addRow("nothing") << qint64(0) << qint64(0) << false;
    }
    void chartScales()
    {
        QFETCH(qint64, bars);
        QFETCH(qint64, balance);
        QFETCH(bool, ownScale);
        QList<Receivables::Month> months;
        for (int i = 0; i < 12; ++i)
            months.append({QDate(2026, 1, 1).addMonths(i), bars, bars / 2, balance});
        ReceivablesChart chart;
        chart.setMonths(months);
        QCOMPARE(chart.balanceAxis()->isVisible(), ownScale);
        QCategoryAxis *left = chart.amountAxis();
        QCategoryAxis *right = chart.balanceAxis();
        QVERIFY(left->min() <= std::min<qint64>(0, bars) && left->max() >= bars);
        QVERIFY(right->min() <= std::min<qint64>(0, balance) && right->max() >= balance);
        if (!ownScale)
            QCOMPARE(QPair(left->min(), left->max()), QPair(right->min(), right->max()));
        QVERIFY(left->categoriesLabels().contains(QStringLiteral("¥0")));
        if (bars >= 100000)
            QVERIFY(left->categoriesLabels().last().contains(QStringLiteral(",000")));
    }

    // CSV出力... writes the rows in the order shown; 印刷... hands the day shown to the report.
    void csvAndPrint()
    {
        page->show();
        page->table()->sortByColumn(Model::Balance, Qt::AscendingOrder);
        const QString path = t->folder() + QStringLiteral("/zandaka.csv");
        FileChoice::setNext(path);
        click("CsvBTN");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll()).remove(QChar(0xfeff)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(0),
                 QStringLiteral("取引先コード,取引先名,前回請求額,入金額,未請求売上,残高,最終締日"));
        QCOMPARE(lines.value(1), QStringLiteral("102,海山物産,10000,15000,0,-5000,2024/03/20"));
        QCOMPARE(lines.size(), 1 + 6 + 1); // ending with a line break
        QCOMPARE(Messages::takeHistory().value(0).text, QStringLiteral("6 件を出力しました\n%1").arg(path));

        QSignalSpy printed(page.get(), &ReceivablesPage::printRequested);
        click("InsatuBTN");
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed.first().first().toDate(), ReceivablesFixture::kAsOf);
    }

    // A failing database is told in Japanese and shows no figures; the page reads again afterwards.
    // A day that is no date is told, and the figures of the day before stay.
    void failuresAreTold()
    {
        page->show();
        t->exec(QStringLiteral("alter table Nyukin rename to NyukinAside"));
        click("SaiHyojiBTN");
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QVERIFY2(said.first().text.startsWith(QStringLiteral("売掛金残高を読み込めませんでした\n")),
                 qPrintable(said.first().text));
        QCOMPARE(page->rowsModel()->rowCount(), 0);
        QVERIFY(!page->shownAsOf().isValid());
        // 印刷... tries to read first and prints nothing without figures.
        QSignalSpy printed(page.get(), &ReceivablesPage::printRequested);
        click("InsatuBTN");
        QCOMPARE(printed.size(), 0);
        QCOMPARE(Messages::takeHistory().size(), 1);

        t->exec(QStringLiteral("alter table NyukinAside rename to Nyukin"));
        click("SaiHyojiBTN");
        QCOMPARE(page->rowsModel()->rowCount(), 6);

        typeDay(QStringLiteral("2024/13/40"));
        QCOMPARE(Messages::takeHistory().size(), 1);
        QCOMPARE(page->asOfField()->text(), QStringLiteral("2024/13/40")); // kept for correcting
        QCOMPARE(page->shownAsOf(), ReceivablesFixture::kAsOf);
        QCOMPARE(page->rowsModel()->rowCount(), 6);
    }

    // In the main window: the page is read only when turned to, the data menu's list export writes
    // its table, 印刷... opens the report window; a double click on a customer extracts
    // the four lists by that customer and shows the invoices; typing in the customer field lets go.
    void doubleClickOpensTheCustomersDocuments()
    {
        page.reset();
        t->writeConnectionSettings();
        // A customer whose name holds another's: extracting by the name would take its invoice too.
        t->exec(QStringLiteral(
            "insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM) values (50, '150', "
            "'青葉商事サービス')"));
        t->exec(
            QStringLiteral("insert into Seikyu (key, SeikyuNo, Simebi, TorihikisakiKey, Seikyugaku) values "
                           "(500, 'S-500', '2024-03-20', 50, 0)"));
        TFmain w;
        w.show();
        QTRY_VERIFY(w.Qseikyu->Active());
        QCOMPARE(w.UrikakePage->rowsModel()->rowCount(), 0);
        w.PageControl1->setCurrentWidget(w.UrikakePage);
        const ReceivablesModel &rows = *w.UrikakePage->rowsModel();
        QCOMPARE(rows.rowCount(), 6);
        // ﾃﾞｰﾀ → 一覧をCSV出力... on this page writes its table.
        const QString path = t->folder() + QStringLiteral("/menu.csv");
        FileChoice::setNext(path);
        w.findChild<QAction *>(QStringLiteral("CsvExportMenu"))->trigger();
        QCOMPARE(Messages::takeHistory().value(0).text, QStringLiteral("6 件を出力しました\n%1").arg(path));

        // 印刷... opens the printed list of the day shown.
        QDate printed;
        int printedRows = -1;
        onModal<TLRurikakekin>([&](TLRurikakekin *report) {
            printed = report->layout()->sheet().asOf;
            printedRows = int(report->layout()->sheet().rows.size());
            report->reject();
        });
        QTest::mouseClick(w.UrikakePage->findChild<TFlatButton *>(QStringLiteral("InsatuBTN")),
                          Qt::LeftButton);
        QCOMPARE(printed, ReceivablesFixture::kAsOf);
        QCOMPARE(printedRows, 6);

        const int row = rowOf(rows, QStringLiteral("101"));
        const int key = rows.row(row).key;
        QTableView *table = w.UrikakePage->table();
        const QRect cellRect = table->visualRect(table->model()->index(row, Model::Name));
        // A double click as the window system sends it: a click, then the second press.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellRect.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellRect.center());
        QCOMPARE(w.PageControl1->currentWidget()->objectName(), QStringLiteral("TabSheet3"));

        const QList<std::pair<TEngineQuery *, QString>> lists{{w.Qmitumori, QStringLiteral("Mitumori")},
                                                              {w.Qnohin, QStringLiteral("Nohin")},
                                                              {w.Qnyukin, QStringLiteral("Nyukin")},
                                                              {w.Qseikyu, QStringLiteral("Seikyu")}};
        for (const auto &[list, name] : lists) {
            const int expected =
                t->scalar(
                     QStringLiteral("select count(*) from %1 where TorihikisakiKey = %2").arg(name).arg(key))
                    .toInt();
            QCOMPARE(list->RecordCount(), expected);
        }
        QVERIFY(w.Qseikyu->RecordCount() > 0);
        QLineEdit *customer = w.findChild<QLineEdit *>(QStringLiteral("SeikyuTorihikisaki"));
        QCOMPARE(customer->text(), QStringLiteral("青葉商事"));

        customer->selectAll();
        QTest::keyClick(customer, Qt::Key_Delete);
        QTest::mouseClick(w.findChild<TFlatButton *>(QStringLiteral("SeikyuTyusyutuBTN")), Qt::LeftButton);
        QCOMPARE(w.Qseikyu->RecordCount(), t->scalar(QStringLiteral("select count(*) from Seikyu")).toInt());
        QVERIFY(Messages::takeHistory().isEmpty());
    }
};

QTEST_MAIN(tst_ReceivablesPage)
#include "tst_receivablespage.moc"
