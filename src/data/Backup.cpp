#include "data/Backup.h"

#include "data/AppPaths.h"
#include "data/Engine.h"
#include "data/IniFile.h"

#include <cstdio>
#include <fcntl.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kOthersConnected = QStringLiteral(
    "ほかのコンピュータ（またはこのコンピュータのもう一つのプログラム）がデータベースに接続しているため、"
    "復元できません。ほかのプログラムを終了してから、もう一度実行してください。");

// The tables counted in a backup's summary, in the order of Summary's fields.
const char *const kCountedTables[] = {"Torihikisaki", "Mitumori", "Nohin", "Seikyu", "Nyukin"};

// One raw SQLite connection, closed when it goes out of scope.
class RawSqlite
{
public:
    RawSqlite(const QString &path, int flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK)
            fail(QStringLiteral("%1 を開けません").arg(QDir::toNativeSeparators(path)));
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~RawSqlite() { sqlite3_close_v2(m_db); }
    RawSqlite(const RawSqlite &) = delete;
    RawSqlite &operator=(const RawSqlite &) = delete;

    sqlite3 *handle() const { return m_db; }

    // The first column of every row the statement gives.
    QStringList column(const char *sql) const
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            fail(QString::fromUtf8(sql));
        QStringList values;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            values.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            fail(QString::fromUtf8(sql));
        return values;
    }
    void exec(const char *sql) const { column(sql); }

    [[noreturn]] void fail(const QString &what) const
    {
        const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        throw AppError(what + QStringLiteral("\n（") + reason + QStringLiteral("）"));
    }

private:
    sqlite3 *m_db = nullptr;
};

// A file written beside its final name and renamed over it only when complete; removed otherwise.
class PartFile
{
public:
    explicit PartFile(const QString &target)
        : m_target(target),
          m_path(target + QStringLiteral(".part-%1").arg(QCoreApplication::applicationPid()))
    {
        QFile::remove(m_path);
    }
    ~PartFile()
    {
        if (!m_done)
            QFile::remove(m_path);
    }
    const QString &path() const { return m_path; }
    void putInPlace()
    {
        if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) != 0)
            throw AppError(QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(m_target)));
        m_done = true;
        syncFolder(QFileInfo(m_target).absolutePath());
    }
    static void syncFolder(const QString &folder)
    {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

private:
    QString m_target;
    QString m_path;
    bool m_done = false;
};

void ensureFolderOf(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("フォルダ %1 を作成できません").arg(QDir::toNativeSeparators(folder)));
}

// A free name for the database as it was before a restore; never one already there (that may be
// the very backup being restored).
QString keptName(const QString &folder, const QString &suffix)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QDir(folder).filePath(QStringLiteral("before-restore-%1%2").arg(stamp, suffix));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QDir(folder).filePath(QStringLiteral("before-restore-%1-%2%3").arg(stamp).arg(n).arg(suffix));
    return name;
}

// ---- PostgreSQL: pg_dump and pg_restore --------------------------------------------------------

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
    arguments << QStringLiteral("--host=%1").arg(c.hostName()) << QStringLiteral("--port=%1").arg(c.port())
              << QStringLiteral("--username=%1").arg(c.userName());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(postgresTool(tool), arguments);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        throw AppError(
            QStringLiteral("%1 に失敗しました\n%2")
                .arg(QLatin1String(tool), QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
    return p.readAllStandardOutput();
}

// Reads a dump without a server: its date and the rows of the counted tables.
Backup::Summary describeDump(const QString &file)
{
    auto run = [&](const QStringList &arguments) {
        QProcess p;
        p.start(postgresTool("pg_restore"), arguments);
        if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0)
            throw AppError(
                QStringLiteral("%1 は PostgreSQL のバックアップ（pg_dump のカスタム形式）ではないか、"
                               "壊れています\n%2")
                    .arg(QDir::toNativeSeparators(file),
                         QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    Backup::Summary summary;
    const QRegularExpressionMatch created =
        QRegularExpression(QStringLiteral("Archive created at (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)"))
            .match(run({QStringLiteral("--list"), file}));
    summary.taken = QDateTime::fromString(created.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QStringList arguments{QStringLiteral("--data-only"), QStringLiteral("--file=-")};
    for (const char *table : kCountedTables)
        arguments << QStringLiteral("--table=%1").arg(QString::fromLatin1(table).toLower());
    const QStringList lines = run(arguments << file).split(QLatin1Char('\n'));
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

void dumpServer(TEngineDatabase &db, const QString &target)
{
    ensureFolderOf(target);
    PartFile part(target);
    runPostgresTool(db, "pg_dump",
                    {QStringLiteral("--format=custom"), QStringLiteral("--file=%1").arg(part.path()),
                     QStringLiteral("--dbname=%1").arg(db.connection().databaseName())});
    describeDump(part.path()); // the dump reads back whole
    part.putInPlace();
}

// Whether another connection than this one is on the database. A connection just closed (a copy of
// the program that ended, the backup's own pg_dump) stays listed until its server process has ended,
// so the question is asked again for a moment before the answer counts.
bool othersConnected(TEngineDatabase &db)
{
    TEngineQuery others(&db);
    others.addSql(QStringLiteral("select count(*) from pg_stat_activity"));
    others.addSql(QStringLiteral("where datname = current_database() and pid <> pg_backend_pid()"));
    for (int tries = 0; tries < 30; ++tries) {
        others.Open();
        if (others.Field(0).AsInteger() == 0)
            return false;
        others.Close();
        QThread::msleep(100);
    }
    return true;
}

QString restoreServer(TEngineDatabase &db, const QString &backupFile)
{
    describeDump(backupFile);
    if (othersConnected(db))
        throw AppError(kOthersConnected);
    const QString kept = keptName(Backup::backupFolder(db), QStringLiteral(".dump"));
    dumpServer(db, kept);
    const QString database = db.connection().databaseName();
    runPostgresTool(db, "pg_restore",
                    {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                     QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                     QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                     QStringLiteral("--dbname=%1").arg(database), backupFile});
    // Statements prepared on the connection named the tables that were replaced.
    db.Close();
    db.Open();
    return kept;
}

// ---- SQLite -------------------------------------------------------------------------------------

Backup::Summary describeLocal(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw AppError(QStringLiteral("%1 がありません").arg(QDir::toNativeSeparators(file)));
    Backup::checkIntegrity(file);
    RawSqlite backup(file, SQLITE_OPEN_READONLY);
    Backup::Summary summary;
    summary.taken = QFileInfo(file).lastModified();
    int *counts[] = {&summary.customers, &summary.estimates, &summary.deliveryNotes, &summary.invoices,
                     &summary.payments};
    for (size_t i = 0; i < std::size(kCountedTables); ++i) {
        const QByteArray sql = QByteArray("select count(*) from ") + kCountedTables[i];
        *counts[i] = backup.column(sql.constData()).value(0).toInt();
    }
    return summary;
}

// The database without its write-ahead log: everything in the one file, the log files removed.
// Only possible while no other connection has it open.
void foldLog(const QString &databaseFile)
{
    RawSqlite database(databaseFile, SQLITE_OPEN_READWRITE);
    if (database.column("PRAGMA journal_mode=DELETE").value(0) != QLatin1String("delete"))
        throw AppError(kOthersConnected);
}

// With the database closed and no other connection open: keeps the database as it is, then puts a
// checked copy of the backup in its place.
QString replaceLocal(const QString &databaseFile, const QString &keepFolder, const QString &backupFile,
                     const Backup::Progress &progress)
{
    const int soleUse = TEngineDatabase::lockForSoleUse(databaseFile);
    if (soleUse < 0)
        throw AppError(kOthersConnected);
    struct Release
    {
        int fd;
        ~Release() { ::close(fd); }
    } release{soleUse};
    QString kept;
    if (QFileInfo::exists(databaseFile)) {
        kept = keptName(keepFolder, QStringLiteral(".sqlite3"));
        Backup::copyLocalFile(databaseFile, kept);
    }
    // The new database is complete and checked before it takes the place of the old one.
    const QString restoring = databaseFile + QStringLiteral(".restoring");
    Backup::copyLocalFile(backupFile, restoring, progress);
    try {
        if (QFileInfo::exists(databaseFile))
            foldLog(databaseFile);
        if (::rename(QFile::encodeName(restoring).constData(), QFile::encodeName(databaseFile).constData()) !=
            0)
            throw AppError(QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(databaseFile)));
    } catch (...) {
        QFile::remove(restoring);
        throw;
    }
    PartFile::syncFolder(QFileInfo(databaseFile).absolutePath());
    return kept;
}

QString restoreLocal(TEngineDatabase &db, const QString &backupFile, const Backup::Progress &progress)
{
    const QString databaseFile = Backup::localDatabaseFile(db);
    describeLocal(backupFile);
    db.Close();
    QString kept;
    try {
        kept = replaceLocal(databaseFile, Backup::backupFolder(db), backupFile, progress);
    } catch (...) {
        try {
            db.Open();
        } catch (...) {
        }
        throw;
    }
    db.Open();
    return kept;
}

} // namespace

namespace Backup {

QString localDatabaseFile(const TEngineDatabase &db)
{
    return QDir(db.Directory).absoluteFilePath(QLatin1String(kLocalDatabaseFile));
}

QString backupFolder(const TEngineDatabase &db)
{
    const QString base = db.dialect() == TEngineDialect::SQLite ? db.Directory : AppPaths::dataFolder();
    return QDir(base).absoluteFilePath(QStringLiteral("backup"));
}

void checkIntegrity(const QString &file)
{
    RawSqlite copy(file, SQLITE_OPEN_READONLY);
    QStringList result;
    try {
        result = copy.column("PRAGMA integrity_check");
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("%1 はデータベースのバックアップではないか、壊れています\n%2")
                           .arg(QDir::toNativeSeparators(file), e.message()));
    }
    if (result != QStringList{QStringLiteral("ok")})
        throw AppError(QStringLiteral("%1 の検査で異常が見つかりました\n%2")
                           .arg(QDir::toNativeSeparators(file), result.mid(0, 5).join(QLatin1Char('\n'))));
}

void copyLocalFile(const QString &source, const QString &target, const Progress &progress)
{
    if (!QFileInfo(source).isFile())
        throw AppError(QStringLiteral("%1 がありません").arg(QDir::toNativeSeparators(source)));
    ensureFolderOf(target);
    PartFile part(target);
    {
        RawSqlite from(source, SQLITE_OPEN_READWRITE);
        // One read snapshot for the whole copy: saves of other copies go on meanwhile and are not in
        // it, and the copy never has to start again because of them.
        from.exec("BEGIN");
        from.exec("select count(*) from sqlite_master");
        RawSqlite to(part.path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
        if (!backup)
            to.fail(QStringLiteral("バックアップを開始できません"));
        int rc = SQLITE_OK;
        while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            rc = sqlite3_backup_step(backup, 256);
            const int total = sqlite3_backup_pagecount(backup);
            if (progress && total > 0)
                progress(int(qint64(total - sqlite3_backup_remaining(backup)) * 99 / total));
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                QThread::msleep(20);
        }
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            to.fail(QStringLiteral("バックアップに失敗しました"));
        from.exec("COMMIT");
        // A backup is one file, without a write-ahead log beside it.
        to.exec("PRAGMA journal_mode=DELETE");
    }
    checkIntegrity(part.path());
    part.putInPlace();
    if (progress)
        progress(100);
}

void take(TEngineDatabase &db, const QString &target, const Progress &progress)
{
    if (!db.Connected())
        db.Open();
    if (db.dialect() == TEngineDialect::SQLite) {
        copyLocalFile(localDatabaseFile(db), target, progress);
        return;
    }
    if (progress)
        progress(0);
    dumpServer(db, target);
    if (progress)
        progress(100);
}

Summary describe(const TEngineDatabase &db, const QString &backupFile)
{
    return db.dialect() == TEngineDialect::SQLite ? describeLocal(backupFile) : describeDump(backupFile);
}

QString restoreQuestion(const Summary &summary)
{
    return QStringLiteral("%1 のバックアップから復元します。\n"
                          "取引先 %2 件、帳票 %3 件（見積 %4、納品 %5、請求 %6、入金 %7）\n\n"
                          "現在のデータはこのバックアップの内容に置き換わります"
                          "（現在のデータはバックアップとして残します）。よろしいですか？")
        .arg(summary.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
        .arg(summary.customers)
        .arg(summary.documents())
        .arg(summary.estimates)
        .arg(summary.deliveryNotes)
        .arg(summary.invoices)
        .arg(summary.payments);
}

QString restore(TEngineDatabase &db, const QString &backupFile, const Progress &progress)
{
    if (!db.Connected())
        db.Open();
    return db.dialect() == TEngineDialect::SQLite ? restoreLocal(db, backupFile, progress)
                                                  : restoreServer(db, backupFile);
}

QString takeDaily(const QString &databaseFile, const QString &folder, const QDate &today, int keep)
{
    if (keep <= 0 || !QFileInfo(databaseFile).isFile())
        return {};
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("フォルダ %1 を作成できません").arg(QDir::toNativeSeparators(folder)));
    // Two copies starting at once: the one that gets the lock writes, the other leaves it to it.
    const int lock =
        ::open(QFile::encodeName(QDir(folder).filePath(QStringLiteral(".daily-lock"))).constData(),
               O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (lock >= 0)
            ::close(lock);
        return {};
    }
    struct Release
    {
        int fd;
        ~Release() { ::close(fd); }
    } release{lock};
    QDir dir(folder);
    const QString target =
        dir.filePath(QStringLiteral("kadomel-%1.sqlite3").arg(today.toString(QStringLiteral("yyyyMMdd"))));
    QString written;
    if (!QFileInfo::exists(target)) {
        copyLocalFile(databaseFile, target);
        written = target;
    }
    const QStringList daily =
        dir.entryList({QStringLiteral("kadomel-\?\?\?\?\?\?\?\?.sqlite3")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + keep < daily.size(); ++i)
        dir.remove(daily.at(i));
    return written;
}

int dailyKeepSetting()
{
    return IniFile(AppPaths::iniPath()).readInteger(QStringLiteral("Backup"), QStringLiteral("keep"), 14);
}

} // namespace Backup
