#include "BenchSupport.h"

#include "data/Engine.h"
#include "data/TDMdata.h"

#include <algorithm>
#include <cstdio>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <sys/resource.h>

namespace bench {
namespace {

bool shortMode = false;
bool failed = false;

} // namespace

QStringList readMode(const QStringList &arguments)
{
    QStringList others = arguments;
    shortMode = others.removeAll(QStringLiteral("--short")) > 0;
    return others;
}

int sized(int full, int small)
{
    return shortMode ? small : full;
}

QStringList childArguments(QStringList arguments)
{
    if (shortMode)
        arguments.append(QStringLiteral("--short"));
    return arguments;
}

void fail(const QString &what)
{
    std::fprintf(stderr, "FAILED: %s\n", qPrintable(what));
    std::fflush(stderr);
    failed = true;
}

int exitCode()
{
    return failed ? 1 : 0;
}

void useServer(TDMdata &data, const QUrl &server)
{
    data.Session1.SessionType = TSessionType::stRemote;
    data.Session1.RemoteAddress = server.host();
    data.Session1.RemotePort = server.port(5432);
    data.Session1.RemoteUser = server.userName();
    data.Session1.RemotePassword = server.password();
    data.DataDB->RemoteDatabase = server.path().mid(1);
}

void report(const char *name, double value)
{
    std::printf("%s: %.3f\n", name, value);
    std::fflush(stdout);
}

void exec(TEngineDatabase &db, const QString &sql)
{
    TEngineQuery q(&db);
    q.addSql(sql);
    q.ExecSQL();
}

void dropTables(TEngineDatabase &db)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select tablename from pg_tables where schemaname = current_schema()"));
    q.Open();
    QStringList tables;
    for (; !q.Eof(); q.Next())
        tables << q.Field(0).AsString();
    for (const QString &table : tables)
        db.ExecDirect(QStringLiteral("drop table if exists \"%1\" cascade").arg(table));
}

QString numberSeries(const TEngineDatabase &db, int rows)
{
    if (db.dialect() == TEngineDialect::PostgreSQL)
        return QStringLiteral("generate_series(1, %1) g(n)").arg(rows);
    return QStringLiteral("(with recursive s(n) as (select 1 union all select n + 1 from s where n < %1) "
                          "select n from s) g")
        .arg(rows);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void onEachEngine(const std::function<void(const char *engine, const Connect &connect)> &run)
{
    QTemporaryDir dir;
    int folder = 0;
    run("sqlite", [&](TDMdata &data) {
        data.DataDB->Directory = dir.filePath(QString::number(++folder));
        QDir().mkpath(data.DataDB->Directory);
    });

    const QUrl server(qEnvironmentVariable("KADOMEL_TEST_PG"));
    if (server.isValid() && !server.isEmpty())
        run("postgresql", [&](TDMdata &data) { useServer(data, server); });
}

} // namespace bench
