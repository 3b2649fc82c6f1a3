// Fills a fresh local database with ROWS estimates (default 100,000) and times what the main window
// does at start for its estimate list: open the statement and move to the last row, then show the
// rows around it in the grid. Prints "name: value" lines.
#include "app/MainLists.h"
#include "controls/TDBGridEx.h"
#include "data/TDMdata.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

void fill(TEngineDatabase &db, int rows)
{
    TEngineTransaction tr(db);
    TEngineQuery customer(&db);
    customer.addSql(
        QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '株式会社サンプル商事')"));
    customer.ExecSQL();
    TEngineQuery q(&db);
    q.addSql(QStringLiteral(
        "insert into Mitumori (key, MitumoriNo, Hiduke, Title, TorihikisakiKey, Kingaku, "
        "JisyaTanto, KosinYMD) values (:key, :no, :hiduke, :title, 1, :kingaku, '山田', :kosin)"));
    const QDate start(2000, 1, 1);
    for (int key = 1; key <= rows; ++key) {
        q.ParamByName(QStringLiteral("key")).setAsInteger(key);
        q.ParamByName(QStringLiteral("no"))
            .setAsString(QStringLiteral("M-%1").arg(key, 7, 10, QLatin1Char('0')));
        q.ParamByName(QStringLiteral("hiduke")).setAsDate(start.addDays(key / 20));
        q.ParamByName(QStringLiteral("title"))
            .setAsString(QStringLiteral("事務所改装工事一式 第%1期").arg(key));
        q.ParamByName(QStringLiteral("kingaku")).setAsInteger(key * 137);
        q.ParamByName(QStringLiteral("kosin"))
            .setAsDateTime(QDateTime(start.addDays(key / 20), QTime(9, 30)));
        q.ExecSQL();
    }
    tr.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    TDMdata data;
    data.DataDB->Directory = dir.path();
    data.DataDB->Open();
    data.CheckTables();
    fill(*data.DataDB, rows);

    TEngineQuery list(data.DataDB);
    MainLists::setUpEstimates(list);
    TDBGridEx grid;
    grid.resize(650, 420);
    grid.setQuery(&list);
    grid.show();

    QElapsedTimer timer;
    timer.start();
    list.Open();
    list.Last();
    QApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    for (int i = 0; i < 100; ++i)
        list.Prior();
    QApplication::processEvents();
    const double moveMs = timer.nsecsElapsed() / 1e6 / 100;

    std::printf("rows: %d\n", rows);
    std::printf("grid_rows_known: %d\n", int(grid.model()->rowCount()));
    std::printf("open_at_last_row_ms: %.1f\n", openMs);
    std::printf("move_one_row_ms: %.3f\n", moveMs);
    return list.RecNo() == rows - 101 ? 0 : 1;
}
