#include "data/Engine.h"

#include "data/SqlText.h"

#include "data/EngineInternal.h"

#include <fcntl.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QThread>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace EngineInternal {

bool isLockError(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    bool numeric = false;
    const int sqliteCode = code.toInt(&numeric);
    if (numeric)
        return (sqliteCode & 0xff) == SQLITE_BUSY || (sqliteCode & 0xff) == SQLITE_LOCKED;
    // PostgreSQL: lock_not_available (lock_timeout), deadlock_detected.
    return code == QLatin1String("55P03") || code == QLatin1String("40P01");
}

EngineError errorFrom(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("データベースの操作に失敗しました");
    if (isLockError(error))
        text = kLockMessage + QStringLiteral("\r\n（") + text + QStringLiteral("）");
    return EngineError(text);
}

QVariant bindable(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate && !v.isNull())
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (v.typeId() == QMetaType::QDateTime && !v.isNull()) {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }
    return v;
}

} // namespace EngineInternal

using EngineInternal::errorFrom;

namespace {

std::function<bool(const QString &)> &networkFolderProbe()
{
    static std::function<bool(const QString &)> probe;
    return probe;
}

bool isNetworkFolder(const QString &folder)
{
    if (networkFolderProbe())
        return networkFolderProbe()(folder);
    struct statfs info
    {
    };
    if (statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return isNetworkFileSystemType(qint64(info.f_type));
}

int connectionCounter = 0;

// Beside the database file: held shared by the copies waiting for the write lock.
constexpr auto kTurnFileSuffix = "-turn";
// Beside the database file: held shared by every open connection.
constexpr auto kPresenceFileSuffix = "-users";

// Waits, at most `limitMs`, until no copy is waiting for the write lock.
void waitForWaitingCopies(int turnFile, int limitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (flock(turnFile, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (waited.elapsed() >= limitMs)
            return;
        QThread::usleep(200);
    }
    flock(turnFile, LOCK_UN);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Database

TEngineDatabase::TEngineDatabase(TEngineSession *session, QString name, QObject *parent)
    : QObject(parent), m_session(session), m_name(std::move(name)),
      m_connectionName(QStringLiteral("kadomel-%1").arg(++connectionCounter))
{
}

TEngineDatabase::~TEngineDatabase()
{
    Close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase TEngineDatabase::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool TEngineDatabase::Connected() const
{
    return QSqlDatabase::contains(m_connectionName) && connection().isOpen();
}

void TEngineDatabase::Open()
{
    if (Connected())
        return;
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
    const bool local = m_session->SessionType == TSessionType::stLocal;
    m_dialect = local ? TEngineDialect::SQLite : TEngineDialect::PostgreSQL;
    QSqlDatabase db = QSqlDatabase::addDatabase(local ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
                                                m_connectionName);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EngineError(QStringLiteral("データベースドライバがありません"));
    }
    try {
        local ? openLocal(db) : openRemote(db);
    } catch (...) {
        db.close();
        closeTurnFile();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
    m_session->Active = true;
    m_inTransaction = false;
    m_transactionFailed = false;
}

void TEngineDatabase::openLocal(QSqlDatabase &db)
{
    db.setDatabaseName(QDir(Directory).filePath(QLatin1String(kLocalDatabaseFile)));
    takePresence(db.databaseName());
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_session->LockRetryCount * m_session->LockWaitTime));
    if (!db.open())
        throw errorFrom(db.lastError());
    retryWriteLockOften(db);
    // WAL needs memory shared between the processes of one machine: on a folder of another
    // machine the rollback journal is the safe one.
    m_journalMode = isNetworkFolder(Directory) ? QStringLiteral("delete") : QStringLiteral("wal");
    QSqlQuery q(db);
    for (const QString &pragma : QStringList{QStringLiteral("PRAGMA journal_mode=") + m_journalMode,
                                             QStringLiteral("PRAGMA synchronous=FULL")})
        if (!q.exec(pragma))
            throw errorFrom(q.lastError());
    // Without the file (a read-only folder) writers still wait, only without taking turns.
    const QByteArray turnPath = QFile::encodeName(db.databaseName()) + kTurnFileSuffix;
    m_turnFile = ::open(turnPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

void TEngineDatabase::openRemote(QSqlDatabase &db)
{
    QString user = m_session->RemoteUser;
    QString password = m_session->RemotePassword;
    if (user.isEmpty() && m_session->LoginPrompt && !m_session->LoginPrompt(user, password))
        throw EngineError(QStringLiteral("ログインが取り消されました"));
    db.setHostName(m_session->RemoteAddress);
    db.setPort(m_session->RemotePort);
    db.setDatabaseName(RemoteDatabase);
    db.setUserName(user);
    db.setPassword(password);
    // The name lets a restore say which copies are still connected.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=Kadomel"));
    if (!db.open())
        throw errorFrom(db.lastError());
    m_journalMode.clear();
    QSqlQuery q(db);
    // A lock held by another computer is waited for as long as SQLite's busy timeout, then the
    // statement fails with the lock message instead of waiting for ever.
    const int lockMs = m_session->LockRetryCount * m_session->LockWaitTime;
    for (const QString &setting : QStringList{QStringLiteral("SET client_min_messages TO WARNING"),
                                              QStringLiteral("SET lock_timeout = %1").arg(lockMs)})
        if (!q.exec(setting))
            throw errorFrom(q.lastError());
    // Held until the connection ends; a restore holding it exclusively is waited for as for a lock.
    if (!q.exec(QStringLiteral("SELECT pg_advisory_lock_shared(%1)").arg(kServerPresenceKey)))
        throw EngineInternal::isLockError(q.lastError()) ? EngineError(kRestoringMessage)
                                                         : errorFrom(q.lastError());
}

void TEngineDatabase::Close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    Q_EMIT aboutToClose();
    {
        QSqlDatabase db = connection();
        if (db.isOpen()) {
            QSqlQuery q(db);
            if (m_inTransaction)
                q.exec(QStringLiteral("ROLLBACK"));
            // The data go from the WAL into the database file, so that a copy of the file
            // alone (a backup) holds everything. Another computer still reading only delays it.
            if (m_dialect == TEngineDialect::SQLite && m_journalMode == QLatin1String("wal"))
                q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        db.close();
    }
    closeTurnFile();
    m_inTransaction = false;
    m_transactionFailed = false;
    QSqlDatabase::removeDatabase(m_connectionName);
}

// SQLite's own busy handler sleeps longer and longer between tries (up to 100 ms), but the write
// lock of a copy that commits one short transaction after another is free only for moments, and the
// copy holding it waits for the waiting ones only so long: a copy waiting for the lock tries again
// every 0.2 ms until its time is up.
void TEngineDatabase::retryWriteLockOften(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData()))
        sqlite3_busy_handler(connection, &TEngineDatabase::onWriteLockBusy, this);
}

int TEngineDatabase::onWriteLockBusy(void *self, int triesBefore)
{
    auto *db = static_cast<TEngineDatabase *>(self);
    if (triesBefore == 0)
        db->m_busySince.start();
    if (db->m_busySince.elapsed() >= db->m_session->LockRetryCount * db->m_session->LockWaitTime)
        return 0;
    QThread::usleep(200);
    return 1;
}

void TEngineDatabase::closeTurnFile()
{
    if (m_turnFile >= 0)
        ::close(m_turnFile);
    m_turnFile = -1;
    if (m_presenceFile >= 0)
        ::close(m_presenceFile);
    m_presenceFile = -1;
}

// A backup being restored holds the file exclusively for a moment: wait for it as for a lock. Without
// the file (a read-only folder) the connection opens all the same.
void TEngineDatabase::takePresence(const QString &databaseFile)
{
    closeTurnFile();
    const QByteArray path = QFile::encodeName(databaseFile) + kPresenceFileSuffix;
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    QElapsedTimer waited;
    waited.start();
    while (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            waited.elapsed() >= m_session->LockRetryCount * m_session->LockWaitTime) {
            ::close(fd);
            throw EngineError(kRestoringMessage);
        }
        QThread::msleep(10);
    }
    m_presenceFile = fd;
}

int TEngineDatabase::lockForSoleUse(const QString &databaseFile)
{
    const QByteArray path = QFile::encodeName(databaseFile) + kPresenceFileSuffix;
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// SQLite's busy handler lets a waiting writer try again only now and then, while a copy committing
// one short transaction after another (the invoice run) takes the write lock again at once: the
// waiting copy would run out of time. So a copy waiting for the write lock says so on the turn file,
// and a copy about to begin a write first lets every such copy have its turn.
void TEngineDatabase::beginLocalWrite()
{
    if (m_turnFile < 0) {
        ExecDirect(QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    waitForWaitingCopies(m_turnFile, m_session->LockRetryCount * m_session->LockWaitTime);
    flock(m_turnFile, LOCK_SH);
    try {
        ExecDirect(QStringLiteral("BEGIN IMMEDIATE"));
    } catch (...) {
        flock(m_turnFile, LOCK_UN);
        throw;
    }
    flock(m_turnFile, LOCK_UN);
}

void TEngineDatabase::ExecDirect(const QString &sql)
{
    if (!Connected())
        Open();
    QSqlQuery q(connection());
    if (!q.exec(sql)) {
        statementFailed();
        throw errorFrom(q.lastError());
    }
}

void TEngineDatabase::statementFailed()
{
    if (m_inTransaction)
        m_transactionFailed = true;
}

void TEngineDatabase::StartTransaction()
{
    if (m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 already has an active transaction.").arg(m_name));
    if (!Connected())
        Open();
    if (m_dialect == TEngineDialect::SQLite)
        beginLocalWrite();
    else
        ExecDirect(QStringLiteral("BEGIN"));
    m_inTransaction = true;
    m_transactionFailed = false;
    m_lockedRank = -1;
}

void TEngineDatabase::Commit()
{
    if (!m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 has no active transaction.").arg(m_name));
    if (m_transactionFailed)
        throw EngineError(QStringLiteral("処理の途中で失敗した文があるため、変更を確定できません。"
                                         "変更は取り消されます。"));
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        // PostgreSQL has ended the transaction; SQLite keeps it (busy): the caller rolls back.
        m_transactionFailed = true;
        throw errorFrom(q.lastError());
    }
    m_inTransaction = false;
}

void TEngineDatabase::Rollback()
{
    if (!m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 has no active transaction.").arg(m_name));
    m_inTransaction = false;
    m_transactionFailed = false;
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("ROLLBACK")))
        throw errorFrom(q.lastError());
}

void TEngineDatabase::LockForNumbering(const QString &table)
{
    if (!m_inTransaction)
        throw EngineError(QStringLiteral("番号の採番はトランザクションの中で行ってください"));
    int rank = -1;
    for (int i = 0; i < m_lockOrder.size() && rank < 0; ++i)
        if (m_lockOrder.at(i).compare(table, Qt::CaseInsensitive) == 0)
            rank = i;
    if (rank >= 0 && rank < m_lockedRank)
        throw EngineError(QStringLiteral("テーブル %1 のロックは %2 より先に取ってください")
                              .arg(table, m_lockOrder.at(m_lockedRank)));
    m_lockedRank = qMax(m_lockedRank, rank);
    if (m_dialect == TEngineDialect::SQLite)
        return; // BEGIN IMMEDIATE already holds the database's write lock
    // The table name comes from the program, never from the user; a plain statement leaves no
    // prepared statement behind in a transaction that may fail.
    QSqlQuery q(connection());
    if (!q.exec(
            QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('kadomel:%1'))").arg(table.toLower()))) {
        statementFailed();
        throw errorFrom(q.lastError());
    }
}

int TEngineDatabase::NewKey(const QString &table, const QString &keyColumn)
{
    LockForNumbering(table);
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("select max(%1) from %2").arg(keyColumn, table)) || !q.next()) {
        statementFailed();
        throw errorFrom(q.lastError());
    }
    return q.value(0).toInt() + 1;
}

void TEngineDatabase::setNetworkFolderProbe(std::function<bool(const QString &)> probe)
{
    networkFolderProbe() = std::move(probe);
}

bool isNetworkFileSystemType(qint64 type)
{
    switch (quint32(type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x564C:     // NCP (NetWare)
    case 0x65735546: // FUSE (sshfs and other network mounts)
    case 0x5346414F: // AFS
    case 0x6B414653: // kAFS
    case 0x01161970: // GFS2
    case 0x47504653: // GPFS
    case 0x19830326: // FhGFS / BeeGFS
    case 0x0BD00BD0: // Lustre
    case 0x00C36400: // CephFS
        return true;
    default:
        return false;
    }
}

bool TEngineDatabase::TableExists(const QString &table)
{
    if (!Connected())
        Open();
    QSqlQuery q(connection());
    q.prepare(m_dialect == TEngineDialect::SQLite
                  ? QStringLiteral(
                        "select count(*) from sqlite_master where type = 'table' and lower(name) = lower(?)")
                  : QStringLiteral("select count(*) from information_schema.tables "
                                   "where table_schema = current_schema() and table_name = lower(?)"));
    q.addBindValue(table);
    if (!q.exec() || !q.next())
        throw errorFrom(q.lastError());
    return q.value(0).toInt() > 0;
}

QStringList TEngineDatabase::TableFieldNames(const QString &table)
{
    if (!Connected())
        Open();
    QSqlQuery q(connection());
    if (m_dialect == TEngineDialect::SQLite) {
        q.prepare(QStringLiteral("select name from pragma_table_info(?)"));
    } else {
        q.prepare(QStringLiteral("select column_name from information_schema.columns "
                                 "where table_schema = current_schema() and table_name = lower(?) "
                                 "order by ordinal_position"));
    }
    q.addBindValue(table);
    if (!q.exec())
        throw errorFrom(q.lastError());
    QStringList names;
    while (q.next())
        names.append(q.value(0).toString());
    if (names.isEmpty())
        throw EngineError(QStringLiteral("テーブル %1 がありません").arg(table));
    return names;
}

TEngineTransaction::TEngineTransaction(TEngineDatabase &db) : m_db(&db), m_joined(db.InTransaction())
{
    if (!m_joined)
        db.StartTransaction();
}

TEngineTransaction::~TEngineTransaction()
{
    if (!m_joined && !m_done && m_db->InTransaction()) {
        try {
            m_db->Rollback();
        } catch (...) {
        }
    }
}

void TEngineTransaction::commit()
{
    if (!m_joined)
        m_db->Commit();
    m_done = true;
}

TEngineReadSnapshot::TEngineReadSnapshot(TEngineDatabase &db)
{
    if (db.InTransaction())
        return;
    // SQLite's deferred transaction takes its snapshot at the first read; PostgreSQL's repeatable
    // read at the first statement.
    db.ExecDirect(db.dialect() == TEngineDialect::PostgreSQL
                      ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                      : QStringLiteral("BEGIN"));
    m_db = &db;
}

TEngineReadSnapshot::~TEngineReadSnapshot()
{
    if (!m_db)
        return;
    try {
        m_db->ExecDirect(QStringLiteral("ROLLBACK")); // it read only
    } catch (const AppError &) {
        // The connection is gone; its transaction went with it.
    }
}

void TEngineTable::EmptyTable()
{
    m_db->ExecDirect(QStringLiteral("DELETE FROM ") + TableName);
}
