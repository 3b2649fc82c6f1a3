#include "data/BackupServer.h"

#include "data/BackupLayout.h"
#include "data/BackupShared.h"
#include "data/Engine.h"
#include "data/PartFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

using namespace BackupShared;

namespace {

QString postgresTool(const char *name)
{
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (path.isEmpty())
        throw AppError(
            QStringLiteral("%1 が見つかりません。サーバーのデータベースのバックアップと復元には PostgreSQL "
                           "のクライアント（Debian のパッケージ postgresql-client）が必要です。"
                           "インストールしてから、もう一度実行してください。")
                .arg(QLatin1String(name)));
    return path;
}

// Runs a PostgreSQL tool on the server database of `db` (its connection's host, port, user and
// password); returns its standard output. Throws AppError with the tool's message when it fails.
QByteArray runPostgresTool(const TEngineDatabase &db, const char *tool, QStringList arguments)
{
    const QSqlDatabase c = db.connection();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), c.password());
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("5"));
    env.insert(QStringLiteral("PGAPPNAME"), QStringLiteral("Kadomel %1").arg(QLatin1String(tool)));
    arguments << QStringLiteral("--host=%1").arg(c.hostName()) << QStringLiteral("--port=%1").arg(c.port())
              << QStringLiteral("--username=%1").arg(c.userName());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(postgresTool(tool), arguments);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        throw AppError(QStringLiteral("%1 に失敗しました\n%2")
                           .arg(QLatin1String(tool),
                                explained(QString::fromLocal8Bit(p.readAllStandardError()).trimmed())));
    return p.readAllStandardOutput();
}

// pg_restore's text output of a dump, read without a server.
QString readDump(const QString &file, QStringList arguments)
{
    QProcess p;
    p.start(postgresTool("pg_restore"), arguments << file);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        throw AppError(QStringLiteral("%1 は PostgreSQL のバックアップ（pg_dump のカスタム形式）ではないか、"
                                      "壊れています\n%2")
                           .arg(QDir::toNativeSeparators(file),
                                QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The dump's date and the rows of the counted tables.
Backup::Summary summarize(const QString &file)
{
    Backup::Summary summary;
    const QRegularExpressionMatch created =
        QRegularExpression(QStringLiteral("Archive created at (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)"))
            .match(readDump(file, {QStringLiteral("--list")}));
    summary.taken = QDateTime::fromString(created.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QStringList arguments{QStringLiteral("--data-only"), QStringLiteral("--file=-")};
    for (const char *table : kCountedTables)
        arguments << QStringLiteral("--table=%1").arg(QString::fromLatin1(table).toLower());
    const QStringList lines = readDump(file, arguments).split(QLatin1Char('\n'));
    int *counts[] = {&summary.customers, &summary.estimates, &summary.deliveryNotes, &summary.invoices,
                     &summary.payments};
    int *current = nullptr;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("COPY "))) {
            current = nullptr;
            for (size_t i = 0; i < std::size(kCountedTables); ++i)
                if (line.section(QLatin1Char(' '), 1, 1)
                        .section(QLatin1Char('.'), -1)
                        .compare(QLatin1String(kCountedTables[i]), Qt::CaseInsensitive) == 0)
                    current = counts[i];
        } else if (line == QLatin1String("\\.")) {
            current = nullptr;
        } else if (current) {
            ++*current;
        }
    }
    return summary;
}

// Who else is connected to the database, one line each. The copies of the program waiting to
// connect until a restore has ended (for the presence lock) do not count.
QStringList otherConnections(TEngineDatabase &db)
{
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select host(client_addr), application_name, backend_start"));
    q.addSql(QStringLiteral("from pg_stat_activity where datname = current_database()"));
    q.addSql(QStringLiteral("and pid <> pg_backend_pid()"));
    q.addSql(QStringLiteral("and not (wait_event_type = 'Lock' and wait_event = 'advisory')"));
    q.addSql(QStringLiteral("order by backend_start"));
    q.Open();
    QStringList who;
    for (; !q.Eof(); q.Next()) {
        const QString address = q.Field(0).AsString();
        const QString program = q.Field(1).AsString();
        who.append(
            QStringLiteral("%1（%2、%3 から）")
                .arg(address.isEmpty() ? QStringLiteral("サーバー上のプログラム") : address,
                     program.isEmpty() ? QStringLiteral("名前のないプログラム") : program,
                     q.Field(2).AsDateTime().toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))));
    }
    return who;
}

// The program's presence lock held exclusively on the connection of `db`: no other copy of the
// program is connected, and a copy that connects meanwhile waits until it is released (and gives up
// after its lock wait). Other connections that the server lists (an older copy, another program)
// refuse the restore too; a connection that has just closed stays listed until its server process
// has ended, so they are asked for again for a moment before they count.
class SoleUse
{
public:
    explicit SoleUse(TEngineDatabase &db) : m_db(db)
    {
        QElapsedTimer waited;
        waited.start();
        while (!lock(QStringLiteral("pg_try_advisory_lock"))) {
            if (waited.elapsed() > kSoleUseWaitMs)
                refuseOthersConnected(otherConnections(db));
            QThread::msleep(20);
        }
        for (QStringList others; !(others = otherConnections(db)).isEmpty();) {
            if (waited.elapsed() > kSoleUseWaitMs) {
                release();
                refuseOthersConnected(others);
            }
            QThread::msleep(50);
        }
    }
    ~SoleUse() { release(); }
    SoleUse(const SoleUse &) = delete;
    SoleUse &operator=(const SoleUse &) = delete;

private:
    bool lock(const QString &function)
    {
        TEngineQuery q(&m_db);
        q.addSql(QStringLiteral("select %1(%2)").arg(function, kServerPresenceKey));
        q.Open();
        return q.Field(0).value().toBool();
    }
    void release() noexcept
    {
        try {
            if (m_db.Connected())
                lock(QStringLiteral("pg_advisory_unlock"));
        } catch (...) {
        }
    }

    TEngineDatabase &m_db;
};

} // namespace

namespace BackupServer {

Backup::Summary describe(const QString &file)
{
    const Backup::Summary summary = summarize(file);
    BackupLayout::refuseUnlessEmpty(
        file, BackupLayout::missing(BackupLayout::fromCreateStatements(
                  readDump(file, {QStringLiteral("--schema-only"), QStringLiteral("--file=-")}))));
    return summary;
}

void dump(TEngineDatabase &db, const QString &target)
{
    ensureFolderOf(target);
    PartFile part(target);
    try {
        runPostgresTool(db, "pg_dump",
                        {QStringLiteral("--format=custom"), QStringLiteral("--file=%1").arg(part.path()),
                         QStringLiteral("--dbname=%1").arg(db.connection().databaseName())});
        summarize(part.path()); // the dump reads back whole
    } catch (const AppError &e) {
        throw AppError(part.namingTarget(e.message()));
    }
    part.putInPlace();
}

void checkNoOthersConnected(TEngineDatabase &db)
{
    const SoleUse soleUse(db);
}

QString restore(TEngineDatabase &db, const QString &backupFile, const QString &keepFolder)
{
    describe(backupFile);
    QString kept;
    {
        const SoleUse soleUse(db);
        kept = keptName(keepFolder, QStringLiteral(".dump"));
        dump(db, kept);
        runPostgresTool(db, "pg_restore",
                        {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                         QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                         QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                         QStringLiteral("--dbname=%1").arg(db.connection().databaseName()), backupFile});
    }
    // Statements prepared on the connection named the tables that were replaced; closing it also
    // lets the other copies in again.
    db.Close();
    db.Open();
    return kept;
}

} // namespace BackupServer
