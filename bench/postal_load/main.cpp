// Loads a national postal-code file through the program's loader into a fresh local database, and
// the same rows through the sqlite3 command-line tool's .import into the same table and index (the
// engine's own floor); prints the figures as "name: value" lines, the ratio last. --short: a file of
// 2,000 lines and 20 lookups.
#include "BenchSupport.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "masters/PostalLoader.h"
#include "SampleFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

using namespace bench;

namespace {

int generatedLines()
{
    return sized(124000, 2000);
}
int lookups()
{
    return sized(2000, 20);
}

QTextStream out(stdout);

void print(const char *name, const QString &value)
{
    out << name << ": " << value << Qt::endl;
}
void print(const char *name, double value, int decimals = 3)
{
    print(name, QString::number(value, 'f', decimals));
}

QString addressScript(TEngineDialect dialect)
{
    return Schema::creationScript(*Schema::table(QStringLiteral("Address")), dialect);
}

void openLocal(TEngineSession &session, TEngineDatabase &db, const QString &folder)
{
    session.SessionType = TSessionType::stLocal;
    db.Directory = folder;
    db.Open();
    for (const QString &statement : addressScript(db.dialect()).split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty())
            db.ExecDirect(statement);
    }
}

qint64 countRows(TEngineDatabase &db)
{
    QSqlQuery q(db.connection());
    q.exec(QStringLiteral("select count(*) from Address"));
    return q.next() ? q.value(0).toLongLong() : -1;
}

// Average milliseconds of the lookup the address fields use, on random codes of the table.
double measureLookup(TEngineDatabase &db)
{
    QList<int> codes;
    QSqlQuery all(db.connection());
    all.exec(QStringLiteral("select Yubin from Address"));
    while (all.next())
        codes.append(all.value(0).toInt());
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select * from Address"));
    q.addSql(QStringLiteral("where Yubin = :Yubin"));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lookups(); ++i) {
        q.ParamByName(QStringLiteral("Yubin"))
            .setAsInteger(codes[QRandomGenerator::global()->bounded(codes.size())]);
        q.Open();
        q.FieldByName(QStringLiteral("Jyusyo")).AsString();
        q.Close();
    }
    return double(timer.nsecsElapsed()) / 1e6 / lookups();
}

bool lookupUsesIndex(TEngineDatabase &db)
{
    QSqlQuery q(db.connection());
    q.exec(QStringLiteral("EXPLAIN QUERY PLAN select * from Address where Yubin = 600000"));
    while (q.next()) {
        if (q.value(3).toString().contains(QLatin1String("USING INDEX Address_IxYubin")))
            return true;
    }
    return false;
}

// Seconds the sqlite3 tool takes to import the CSV into a fresh database with the same table and
// index, in WAL mode with synchronous=FULL like the program's own database.
double sqliteImportSeconds(const QString &folder, const QString &csv, qint64 expectedRows)
{
    const QString file = folder + QStringLiteral("/import.sqlite3");
    QProcess create;
    create.start(QStringLiteral("sqlite3"),
                 {file, QStringLiteral("PRAGMA journal_mode=WAL;") + addressScript(TEngineDialect::SQLite)});
    if (!create.waitForFinished(60000) || create.exitCode() != 0)
        throw std::runtime_error("sqlite3 could not create the table (is the sqlite3 package installed?)");
    QProcess import;
    QElapsedTimer timer;
    timer.start();
    import.start(QStringLiteral("sqlite3"),
                 {QStringLiteral("-cmd"), QStringLiteral("PRAGMA synchronous=FULL;"), file,
                  QStringLiteral(".import --csv %1 Address").arg(csv)});
    if (!import.waitForFinished(600000) || import.exitCode() != 0)
        throw std::runtime_error("sqlite3 .import failed");
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    QProcess count;
    count.start(QStringLiteral("sqlite3"), {file, QStringLiteral("select count(*) from Address")});
    count.waitForFinished(60000);
    if (count.readAllStandardOutput().trimmed().toLongLong() != expectedRows)
        throw std::runtime_error("sqlite3 .import did not store every row");
    return seconds;
}

int run(const QStringList &args)
{
    QTemporaryDir work;
    QString postal = args.value(1);
    if (postal.isEmpty()) {
        postal = work.filePath(QStringLiteral("ken_all_generated.csv"));
        writeNationalSizedFile(QStringLiteral(KADOMEL_POSTAL_SAMPLE), postal, generatedLines());
    }
    print("file", postal);
    print("file_mb", double(QFileInfo(postal).size()) / 1e6, 1);

    TEngineSession session;
    TEngineDatabase db(&session);
    QDir(work.path()).mkpath(QStringLiteral("db"));
    openLocal(session, db, work.filePath(QStringLiteral("db")));

    PostalLoader loader(db);
    QElapsedTimer timer;
    timer.start();
    const qint64 lines = loader.load(postal);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    print("lines", QString::number(lines));
    print("program_load_seconds", seconds);
    print("program_lines_per_second", lines / seconds, 0);
    print("program_peak_rss_mb", peakMb(), 1);

    const qint64 rows = countRows(db);
    print("rows_in_address", QString::number(rows));
    if (rows != lines) {
        print("row_count_check", QStringLiteral("FAILED"));
        return 1;
    }
    print("row_count_check", QStringLiteral("ok"));
    print("lookup_ms", measureLookup(db), 4);
    print("lookup_uses_index", lookupUsesIndex(db) ? QStringLiteral("yes") : QStringLiteral("no"));
    db.Close();

    const QString csv = work.filePath(QStringLiteral("rows.csv"));
    writeImportCsv(postal, csv);
    const double floor = sqliteImportSeconds(work.path(), csv, lines);
    print("sqlite_import_seconds", floor);
    print("sqlite_import_lines_per_second", lines / floor, 0);
    print("ratio_vs_sqlite_import", seconds / floor, 2);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        return run(readMode(app.arguments()));
    } catch (const AppError &e) {
        QTextStream(stderr) << "postal_load: " << e.message() << Qt::endl;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "postal_load: " << e.what() << Qt::endl;
    }
    return 1;
}
