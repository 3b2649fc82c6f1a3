#include "data/Backup.h"

#include "data/AppPaths.h"
#include "data/BackupLayout.h"
#include "data/BackupServer.h"
#include "data/BackupShared.h"
#include "data/Engine.h"
#include "data/IniFile.h"
#include "data/PartFile.h"
#include "data/TDMdata.h"

#include <cstdio>
#include <fcntl.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

using namespace BackupShared;

namespace {

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
        throw AppError(what + QStringLiteral("\n") + BackupShared::explained(reason));
    }

private:
    sqlite3 *m_db = nullptr;
};

bool isLocal(const TEngineDatabase &db)
{
    return db.session()->SessionType == TSessionType::stLocal;
}

// The tables and their columns in an SQLite file.
BackupLayout::Tables localTables(const RawSqlite &file)
{
    BackupLayout::Tables tables;
    for (const QString &table : file.column("select name from sqlite_master where type = 'table'")) {
        const QByteArray sql =
            "select name from pragma_table_info('" + table.toUtf8().replace("'", "''") + "')";
        QStringList columns;
        for (const QString &column : file.column(sql.constData()))
            columns.append(column.toLower());
        tables.insert(table.toLower(), columns);
    }
    return tables;
}

Backup::Summary describeLocal(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw AppError(QStringLiteral("%1 がありません").arg(QDir::toNativeSeparators(file)));
    Backup::checkIntegrity(file);
    RawSqlite backup(file, SQLITE_OPEN_READONLY);
    BackupLayout::refuseUnlessEmpty(file, BackupLayout::missing(localTables(backup)));
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

// The local database held for this process alone (see TEngineDatabase::lockForSoleUse) until the
// object goes; a connection that has just closed is waited for a moment.
class LocalSoleUse
{
public:
    explicit LocalSoleUse(const QString &databaseFile)
    {
        ensureFolderOf(databaseFile); // a restore into a new data folder
        QElapsedTimer waited;
        waited.start();
        while ((m_fd = TEngineDatabase::lockForSoleUse(databaseFile)) < 0) {
            if (waited.elapsed() > kSoleUseWaitMs)
                refuseOthersConnected();
            QThread::msleep(20);
        }
    }
    ~LocalSoleUse() { ::close(m_fd); }
    LocalSoleUse(const LocalSoleUse &) = delete;
    LocalSoleUse &operator=(const LocalSoleUse &) = delete;

private:
    int m_fd = -1;
};

// The connection of `db` closed while the object lives, and opened again afterwards if it was open.
class ClosedMeanwhile
{
public:
    explicit ClosedMeanwhile(TEngineDatabase &db) : m_db(db), m_wasOpen(db.Connected()) { db.Close(); }
    ~ClosedMeanwhile()
    {
        if (!m_wasOpen)
            return;
        try {
            m_db.Open();
        } catch (...) {
        }
    }
    ClosedMeanwhile(const ClosedMeanwhile &) = delete;
    ClosedMeanwhile &operator=(const ClosedMeanwhile &) = delete;

private:
    TEngineDatabase &m_db;
    bool m_wasOpen;
};

// The database without its write-ahead log: everything in the one file, the log files removed.
// Only possible while no other connection has it open.
void foldLog(const QString &databaseFile)
{
    RawSqlite database(databaseFile, SQLITE_OPEN_READWRITE);
    if (database.column("PRAGMA journal_mode=DELETE").value(0) != QLatin1String("delete"))
        refuseOthersConnected();
}

bool passesIntegrityCheck(const QString &file)
{
    try {
        Backup::checkIntegrity(file);
        return true;
    } catch (const AppError &) {
        return false;
    }
}

// A damaged database moved as it is, with its journal or write-ahead log, to `kept`.
void moveAside(const QString &databaseFile, const QString &kept)
{
    ensureFolderOf(kept);
    if (::rename(QFile::encodeName(databaseFile).constData(), QFile::encodeName(kept).constData()) != 0)
        throw AppError(QStringLiteral("壊れたデータベース %1 を %2 に移せません")
                           .arg(QDir::toNativeSeparators(databaseFile), QDir::toNativeSeparators(kept)));
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-journal")})
        if (QFileInfo::exists(databaseFile + suffix))
            ::rename(QFile::encodeName(databaseFile + suffix).constData(),
                     QFile::encodeName(kept + suffix).constData());
    QFile::remove(databaseFile + QStringLiteral("-shm"));
}

// Keeps the database as it is before a restore: a checked copy, or, when the database is damaged so
// that no checked copy can be made of it, the file itself, moved as it is (the restore is most
// needed then). Returns the kept file, empty when there was no database.
QString keepLocal(const QString &databaseFile, const QString &folder)
{
    if (!QFileInfo::exists(databaseFile))
        return {};
    const QString kept = keptName(folder, QStringLiteral(".sqlite3"));
    try {
        Backup::copyLocalFile(databaseFile, kept);
        return kept;
    } catch (const AppError &) {
        if (passesIntegrityCheck(databaseFile))
            throw;
    }
    const QString damaged = keptName(folder, QStringLiteral("-damaged.sqlite3"));
    moveAside(databaseFile, damaged);
    return damaged;
}

// With the database closed: keeps the database as it is, then puts a checked copy of the backup in
// its place; no other connection is open meanwhile.
QString replaceLocal(const QString &databaseFile, const QString &keepFolder, const QString &backupFile,
                     const Backup::Progress &progress)
{
    const LocalSoleUse soleUse(databaseFile);
    const QString kept = keepLocal(databaseFile, keepFolder);
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
    describeLocal(backupFile);
    const ClosedMeanwhile closed(db);
    return replaceLocal(Backup::localDatabaseFile(db), Backup::backupFolder(db), backupFile, progress);
}

} // namespace

namespace BackupShared {

void refuseOthersConnected(const QStringList &who)
{
    if (who.isEmpty())
        throw AppError(kOthersConnected);
    throw AppError(kOthersConnected + QStringLiteral("\n接続中:\n") + who.join(QLatin1Char('\n')));
}

QString keptName(const QString &folder, const QString &suffix)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QDir(folder).filePath(QStringLiteral("before-restore-%1%2").arg(stamp, suffix));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QDir(folder).filePath(QStringLiteral("before-restore-%1-%2%3").arg(stamp).arg(n).arg(suffix));
    return name;
}

void ensureFolderOf(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("フォルダ %1 を作成できません").arg(QDir::toNativeSeparators(folder)));
}

QString explained(const QString &message)
{
    if (message.contains(QLatin1String("No space left on device")) ||
        message.contains(QLatin1String("database or disk is full")))
        return QStringLiteral("ディスクの空きが足りないため、書き込めませんでした。\n（%1）").arg(message);
    if (message.contains(QLatin1String("disk I/O error")) ||
        message.contains(QLatin1String("Input/output error")))
        return QStringLiteral("ディスクへの読み書きに失敗しました。\n（%1）").arg(message);
    return message;
}

} // namespace BackupShared

namespace Backup {

QString localDatabaseFile(const TEngineDatabase &db)
{
    return QDir(db.Directory).absoluteFilePath(QLatin1String(kLocalDatabaseFile));
}

QString backupFolder(const TEngineDatabase &db)
{
    const QString base = isLocal(db) ? db.Directory : AppPaths::dataFolder();
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
    try {
        writeLocalCopy(source, part.path(), progress);
        checkIntegrity(part.path());
    } catch (const AppError &e) {
        throw AppError(part.namingTarget(e.message()));
    }
    part.putInPlace();
    if (progress)
        progress(100);
}

void writeLocalCopy(const QString &source, const QString &target, const Progress &progress)
{
    {
        RawSqlite from(source, SQLITE_OPEN_READWRITE);
        // One read snapshot for the whole copy: saves of other copies go on meanwhile and are not in
        // it, and the copy never has to start again because of them.
        from.exec("BEGIN");
        from.exec("select count(*) from sqlite_master");
        RawSqlite to(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
        if (!backup)
            to.fail(
                QStringLiteral("%1 へのバックアップを開始できません").arg(QDir::toNativeSeparators(target)));
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
            to.fail(
                QStringLiteral("%1 へのバックアップに失敗しました").arg(QDir::toNativeSeparators(target)));
        from.exec("COMMIT");
        // A backup is one file, without a write-ahead log beside it.
        to.exec("PRAGMA journal_mode=DELETE");
    }
}

void take(TEngineDatabase &db, const QString &target, const Progress &progress)
{
    if (!db.Connected())
        db.Open();
    if (isLocal(db)) {
        copyLocalFile(localDatabaseFile(db), target, progress);
        return;
    }
    if (progress)
        progress(0);
    BackupServer::dump(db, target);
    if (progress)
        progress(100);
}

Summary describe(const TEngineDatabase &db, const QString &backupFile)
{
    return isLocal(db) ? describeLocal(backupFile) : BackupServer::describe(backupFile);
}

Summary checkRestorable(TEngineDatabase &db, const QString &backupFile)
{
    const Summary summary = describe(db, backupFile);
    if (isLocal(db)) {
        const ClosedMeanwhile closed(db);
        const LocalSoleUse soleUse(localDatabaseFile(db));
    } else {
        if (!db.Connected())
            db.Open();
        BackupServer::checkNoOthersConnected(db);
    }
    return summary;
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

QString restore(TDMdata &data, const QString &backupFile, const Progress &progress)
{
    TEngineDatabase &db = *data.DataDB;
    QString kept;
    if (isLocal(db)) {
        kept = restoreLocal(db, backupFile, progress);
    } else {
        if (!db.Connected())
            db.Open();
        kept = BackupServer::restore(db, backupFile, backupFolder(db));
    }
    // A backup of an earlier version gets the current layout at once, as at a start.
    if (!db.Connected())
        db.Open();
    data.CheckTables();
    return kept;
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
    PartFile::removeLeftovers(folder);
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
