// Times the main window's receivables page (売掛・売上) opening, on 1,000 and on 100,000 documents (delivery
// notes with two lines each, payments and invoices of 200 customers over eight years; the notes and
// payments before the last closing date billed, those after it not; the tax option on, so that the
// unbilled notes' lines are read for their tax): the page made, shown and painted with its table and
// chart (median of 31 opens), and beside it what it reads: every customer's balance on the as-of day
// and the twelve months of the chart. On SQLite, and on PostgreSQL when KADOMEL_TEST_PG names a
// server (its tables are dropped). Prints "name: value" lines; "ratio_vs_1k" is the 100,000-document
// open over the 1,000-document open. --short: 100 and 1,000 documents, one open and one read each
// (the figures keep their names).
#include "BenchMessages.h"
#include "BenchSupport.h"
#include "billing/Receivables.h"
#include "billing/ui/ReceivablesPage.h"
#include "common/Clock.h"
#include "data/TDMdata.h"

#include <cstdio>
#include <functional>
#include <QApplication>
#include <QElapsedTimer>

using namespace bench;

namespace {

int readCount()
{
    return sized(31, 1);
}
constexpr int kCustomers = 200;
constexpr int kSpanDays = 2920;
const QDate kAsOf{2026, 11, 30};
constexpr int kLastClosingDaysBefore = 10; // notes and payments after it are unbilled

// The engine's expression for the date `daysBefore` (an SQL expression) days before the as-of day,
// and the year (as a number or as text) and the month number of a date expression.
struct Dialect
{
    bool pg;
    QString date(const QString &daysBefore) const
    {
        return pg ? QStringLiteral("(date '2026-11-30' - (%1))").arg(daysBefore)
                  : QStringLiteral("date('2026-11-30', '-' || (%1) || ' days')").arg(daysBefore);
    }
    QString year(const QString &d) const
    {
        return pg ? QStringLiteral("cast(extract(year from %1) as integer)").arg(d)
                  : QStringLiteral("cast(strftime('%Y', %1) as integer)").arg(d);
    }
    QString yearText(const QString &d) const
    {
        return pg ? QStringLiteral("to_char(%1, 'YYYY')").arg(d)
                  : QStringLiteral("strftime('%Y', %1)").arg(d);
    }
    QString month(const QString &d) const
    {
        return pg ? QStringLiteral("cast(extract(month from %1) as integer)").arg(d)
                  : QStringLiteral("cast(strftime('%m', %1) as integer)").arg(d);
    }
};

void fill(TEngineDatabase &db, int documents)
{
    const Dialect sql{db.dialect() == TEngineDialect::PostgreSQL};
    const int notes = documents * 6 / 10, payments = documents * 3 / 10, invoices = documents / 10;
    // Document n of `count` is dated evenly over the span, the last at the as-of day.
    const auto daysBefore = [](int count) {
        return QStringLiteral("(%1 - n) * %2 / %1").arg(count).arg(kSpanDays);
    };
    const auto billed = [&](int count, int invoiceCount) {
        return QStringLiteral("case when (%1) > %2 then 1 + n %% %3 else 0 end")
            .arg(daysBefore(count))
            .arg(kLastClosingDaysBefore)
            .arg(invoiceCount);
    };
    TEngineTransaction tr(db);
    exec(db, QStringLiteral("insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM, TekikakuKBN, "
                            "ZeiKomiKBN, ZeiHasuuKBN) values (0, 'ベンチ商会', 20, 4, 1, 0, 0)"));
    exec(db,
         QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, SeikyuSimebi, "
                        "ZenkaiSeikyuGaku) select n, n, '株式会社サンプル商事' || n, 20, n * 1000 from %1")
             .arg(numberSeries(db, kCustomers)));
    const QString noteDate = sql.date(daysBefore(notes));
    exec(db,
         QStringLiteral("insert into Nohin (key, NohinNo, Hiduke, HidukeY, HidukeM, Seq, TorihikisakiKey, "
                        "Kingaku, JisyaTanto, SeikyuKey, Taisyo10, Zei10, Taisyo8, Zei8, Hikazei) "
                        "select n, 'N-' || n, %1, %2, %3, n, 1 + n %% %4, 3000 + n %% 997, '山田', %5, "
                        "2000 + n %% 997, 200, 1000, 80, 0 from %6")
             .arg(noteDate, sql.year(noteDate), sql.month(noteDate))
             .arg(kCustomers)
             .arg(billed(notes, invoices), numberSeries(db, notes))
             .replace(QStringLiteral("%%"), QStringLiteral("%")));
    for (int gyo : {1, 2})
        exec(db, QStringLiteral("insert into NohinMesai (Key, Gyo, SyohinNM, Kingaku, ZeiRitu) "
                                "select n, %1, '品', %2, %3 from %4")
                     .arg(gyo)
                     .arg(gyo == 1 ? QStringLiteral("2000 + n % 997") : QStringLiteral("1000"))
                     .arg(gyo == 1 ? 10 : 8)
                     .arg(numberSeries(db, notes)));
    const QString paymentDate = sql.date(daysBefore(payments));
    exec(db,
         QStringLiteral("insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, "
                        "TorihikisakiKey, Nyukingaku, NyukinHouhou, Tadasigaki, SeikyuKey) "
                        "select n, 'R-' || n, %1, %2, %3, n, 1 + n %% %4, 5000 + n %% 1013, '振込', '', %5 "
                        "from %6")
             .arg(paymentDate, sql.year(paymentDate), sql.month(paymentDate))
             .arg(kCustomers)
             .arg(billed(payments, invoices), numberSeries(db, payments))
             .replace(QStringLiteral("%%"), QStringLiteral("%")));
    // The invoices up to the last closing date; the latest ones close on it. Each bills ¥35,000 of
    // sales and chains to the customer's invoice before it (k counts the customer's invoices). Most
    // customers pay each invoice by the next one; a tenth pay three invoices late and so owe the last
    // three: the page walks back through a few of their invoices for the oldest unpaid one.
    const QString closing = sql.date(
        QStringLiteral("%1 + (%2 - n) * %3 / %2").arg(kLastClosingDaysBefore).arg(invoices).arg(kSpanDays));
    const QString k = QStringLiteral("((n - 1) / %1)").arg(kCustomers);
    const QString late = QStringLiteral("n % %1 % 10 = 9").arg(kCustomers);
    const QString owedBefore = QStringLiteral("case when %1 then (case when %2 >= 3 then 3 else %2 end) "
                                              "else (case when %2 >= 1 then 1 else 0 end) end")
                                   .arg(late, k);
    const QString paid =
        QStringLiteral("case when %2 >= (case when %1 then 3 else 1 end) then 1 else 0 end").arg(late, k);
    exec(db, QStringLiteral("insert into Seikyu (key, SeikyuNo, HakkoYMD, HakkoY, HakkoM, Seq, Simebi, "
                            "TorihikisakiKey, ZenkaiSeikyu, Nyukingaku, Tyoseigaku, Hanbaigaku, Seikyugaku, "
                            "JisyaTanto) select n, 'S-' || n, %1, %2, %3, n, %1, 1 + n % %4, (%5) * 35000, "
                            "(%6) * 35000, 0, 35000, ((%5) - (%6) + 1) * 35000, '' from %7")
                 .arg(closing, sql.yearText(closing), sql.month(closing))
                 .arg(kCustomers)
                 .arg(owedBefore, paid, numberSeries(db, invoices)));
    tr.commit();
    if (sql.pg) // as the server's autovacuum does after a large change
        exec(db, QStringLiteral("analyze Nohin; analyze NohinMesai; analyze Nyukin; analyze Seikyu; "
                                "analyze Torihikisaki"));
}

struct Figures
{
    double openMs; // the page shown and painted
    double readMs; // its figures alone
    int customers;
};

double pageOpenMs(TEngineDatabase &db)
{
    QList<double> opens;
    QElapsedTimer timer;
    for (int i = 0; i < readCount(); ++i) {
        timer.start();
        ReceivablesPage page(&db);
        page.resize(1000, 700);
        page.show();
        QApplication::processEvents();
        page.grab(); // everything painted, the chart too
        opens << timer.nsecsElapsed() / 1e6;
    }
    return median(opens);
}

Figures measure(TDMdata &data, int documents)
{
    TEngineDatabase &db = *data.DataDB;
    if (db.dialect() == TEngineDialect::PostgreSQL)
        dropTables(db);
    data.CheckTables();
    fill(db, documents);

    QList<double> reads;
    QElapsedTimer timer;
    int customers = 0;
    for (int i = 0; i < readCount(); ++i) {
        timer.start();
        const QList<Receivables::CustomerBalance> rows = Receivables::balances(db, kAsOf);
        Receivables::months(db, kAsOf, Receivables::total(rows).balance);
        reads << timer.nsecsElapsed() / 1e6;
        customers = int(rows.size());
    }
    return {pageOpenMs(db), median(reads), customers};
}

void run(const char *engine, const Connect &connect)
{
    const int smaller = sized(1000, 100), larger = sized(100000, 1000);
    Figures small{}, large{};
    for (int documents : {smaller, larger}) {
        TDMdata data;
        connect(data);
        data.DataDB->Open();
        (documents == smaller ? small : large) = measure(data, documents);
    }
    std::printf("engine: %s\n", engine);
    std::printf("page_open_ms_1k: %.2f\n", small.openMs);
    std::printf("page_open_ms_100k: %.2f\n", large.openMs);
    std::printf("read_ms_1k: %.2f\n", small.readMs);
    std::printf("read_ms_100k: %.2f\n", large.readMs);
    std::printf("customers_listed_100k: %d\n", large.customers);
    std::printf("peak_rss_mb: %.0f\n", peakMb());
    std::printf("read_ratio_vs_1k: %.2f\n", large.readMs / small.readMs);
    std::printf("ratio_vs_1k: %.2f\n", large.openMs / small.openMs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    readMode(app.arguments());
    recordMessages();
    Clock::setFixed(QDateTime(kAsOf, QTime(12, 0))); // the page's as-of day

    onEachEngine(run);
    showRecordedMessages();
    return exitCode();
}
