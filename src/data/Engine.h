#pragma once
// The storage engine layer: one session, one database, query and table objects over Qt SQL.
// Local mode keeps the data in an SQLite file in the database folder; remote mode talks to a
// PostgreSQL server. Everything the program stores or reads goes through these classes.
#include "common/AppError.h"
#include "common/ZeroDate.h"

#include <deque>
#include <functional>
#include <optional>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

enum class TSessionType { stLocal, stRemote };
enum class TEngineDialect { SQLite, PostgreSQL };

// Name of the SQLite file inside the local database folder.
inline constexpr auto kLocalDatabaseFile = "kadomel.sqlite3";

// What a command hears that acts on the row of a closed query (a list left closed by a failed
// connection or extraction).
inline const QString kClosedQueryMessage =
    QStringLiteral("データセットは閉じているため, この操作は実行できません");

// Shown when a lock held by another computer was not released within the session's retries.
inline const QString kLockMessage =
    QStringLiteral("ほかのコンピュータがデータを更新中のため、処理できませんでした。"
                   "しばらくしてからもう一度実行してください。");

// Told to a copy that tries to connect while a backup is being restored into the database.
inline const QString kRestoringMessage =
    QStringLiteral("バックアップから復元中のため、データベースに接続できません。"
                   "しばらくしてからもう一度実行してください。");

// Server mode: the key of the advisory lock that every open connection of the program holds shared.
// Restoring a backup takes it exclusively: no copy is connected then, and none can connect until the
// restore has ended (see lockForSoleUse for the local database).
inline const QString kServerPresenceKey = QStringLiteral("hashtext('kadomel:connected')");

// True for the file systems of another machine (NFS, SMB/CIFS and the like), on which SQLite's
// WAL journal is unsafe; takes the f_type of statfs.
bool isNetworkFileSystemType(qint64 type);

class TEngineSession
{
public:
    TSessionType SessionType = TSessionType::stLocal;
    QString RemoteAddress = QStringLiteral("127.0.0.1");
    int RemotePort = 12001;
    QString RemoteUser;
    QString RemotePassword;
    QString PrivateDir;
    bool Active = false;
    int LockRetryCount = 15;
    int LockWaitTime = 100; // milliseconds between lock retries

    // Asked in remote mode when no user name is set; false when the user cancels.
    std::function<bool(QString &user, QString &password)> LoginPrompt;
};

class TEngineQuery;
class QSqlQuery;
namespace SqlText {
struct Positional;
}

class TEngineDatabase : public QObject
{
    Q_OBJECT
public:
    explicit TEngineDatabase(TEngineSession *session, QString name = QStringLiteral("DataDB"),
                             QObject *parent = nullptr);
    ~TEngineDatabase() override;

    TEngineSession *session() const { return m_session; }
    const QString &DatabaseName() const { return m_name; }

    QString Directory;      // local mode: the database folder
    QString RemoteDatabase; // remote mode: the database name on the server

    void Open();  // throws EngineError
    void Close(); // closes every query open on this database first
    bool Connected() const;
    TEngineDialect dialect() const { return m_dialect; }

    void StartTransaction(); // a write transaction: SQLite BEGIN IMMEDIATE, PostgreSQL BEGIN
    // Durable on disk when it returns. Raises, leaving the transaction to be rolled back by the
    // caller, when a statement inside it failed: on PostgreSQL such a transaction has stored
    // nothing, on SQLite only a part, so a commit would report a success that did not happen.
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }
    bool TransactionFailed() const { return m_transactionFailed; }
    // Called by the layer when a statement fails; inside a transaction it marks it failed.
    void statementFailed();

    // Serialises writers that number rows of one table: holds until the transaction ends.
    // Tables are locked in one fixed order (see setLockOrder): asking for a table that comes
    // before one already locked in the same transaction raises, because two computers taking
    // the same tables in opposite orders would deadlock on the server.
    void LockForNumbering(const QString &table);
    // The order in which tables must be locked within one transaction (customers before documents).
    void setLockOrder(const QStringList &tables) { m_lockOrder = tables; }
    // The table's maximum key plus one (1 for an empty table), taken race-free inside the caller's
    // write transaction so that two users saving at once never draw the same key.
    int NewKey(const QString &table, const QString &keyColumn = QStringLiteral("key"));

    bool TableExists(const QString &table);
    QStringList TableFieldNames(const QString &table);

    // Runs one statement without parameters or results (used by the layer itself and by schema code).
    void ExecDirect(const QString &sql);

    // The SQLite journal in use ("wal", or "delete" on a network file system); empty on a server.
    QString journalMode() const { return m_journalMode; }
    // For tests: decides whether a folder lies on a network file system (default: statfs).
    static void setNetworkFolderProbe(std::function<bool(const QString &)> probe);

    QSqlDatabase connection() const;

    // Local mode: every open connection holds a shared lock on the file "<database>-users". Taking
    // it exclusively (restoring a backup) shows that no other connection is open, and keeps new ones
    // from opening until the returned descriptor is closed. -1 when another connection is open.
    static int lockForSoleUse(const QString &databaseFile);

Q_SIGNALS:
    void aboutToClose();

private:
    void openLocal(QSqlDatabase &db);
    void openRemote(QSqlDatabase &db);
    void beginLocalWrite();
    void closeTurnFile();
    void takePresence(const QString &databaseFile);
    void retryWriteLockOften(QSqlDatabase &db);
    static int onWriteLockBusy(void *self, int triesBefore);

    TEngineSession *m_session;
    QString m_name;
    QString m_connectionName;
    TEngineDialect m_dialect = TEngineDialect::SQLite;
    bool m_inTransaction = false;
    bool m_transactionFailed = false;
    QString m_journalMode;
    QStringList m_lockOrder;
    int m_lockedRank = -1; // rank of the last table locked in the current transaction
    // SQLite: the file beside the database on which copies waiting for the write lock hold a shared
    // lock, so that a copy about to write again lets them go first; -1 when not open.
    int m_turnFile = -1;
    int m_presenceFile = -1;   // SQLite: held shared while open (see lockForSoleUse)
    QElapsedTimer m_busySince; // since when the current statement waits for SQLite's write lock
};

// Rolls the transaction back when it goes out of scope without a successful commit().
// When the database is already inside a transaction, the guard joins it: commit() and the
// destructor leave it to the outer owner, so rules that write can run inside a caller's
// transaction (a document save that registers its customer) or on their own.
class TEngineTransaction
{
public:
    explicit TEngineTransaction(TEngineDatabase &db);
    bool joined() const { return m_joined; }
    ~TEngineTransaction();
    TEngineTransaction(const TEngineTransaction &) = delete;
    TEngineTransaction &operator=(const TEngineTransaction &) = delete;
    void commit();

private:
    TEngineDatabase *m_db;
    bool m_joined = false;
    bool m_done = false;
};

// Reads under one snapshot: every statement while it lives sees the database as the first one saw
// it, whatever other computers commit meanwhile, so that figures made of several statements add up.
// Takes no write lock and keeps no writer waiting (SQLite in WAL mode; a rollback journal holds
// writers' commits back until it ends). Only reads may run inside; inside a transaction it
// joins that transaction.
class TEngineReadSnapshot
{
public:
    explicit TEngineReadSnapshot(TEngineDatabase &db);
    ~TEngineReadSnapshot();
    TEngineReadSnapshot(const TEngineReadSnapshot &) = delete;
    TEngineReadSnapshot &operator=(const TEngineReadSnapshot &) = delete;

private:
    TEngineDatabase *m_db = nullptr; // nothing when joined
};

// One value of a result row. A NULL reads as 0, empty text or the zero date.
class TEngineField
{
public:
    enum class Kind { Integer, Float, Text, Date, DateTime, Blob, Unknown };

    TEngineField() = default;
    TEngineField(QString name, QVariant value, Kind kind);

    const QString &FieldName() const { return m_name; }
    Kind kind() const { return m_kind; }
    bool IsNull() const;
    int AsInteger() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    QString AsString() const; // dates as yyyy/mm/dd, time stamps yyyy/mm/dd hh:mm:ss, floats to 15 digits
    QDate AsDate() const;
    QDateTime AsDateTime() const;
    QByteArray AsBytes() const;
    QStringList AsLines() const;
    const QVariant &value() const { return m_value; }

private:
    QString m_name;
    QVariant m_value;
    Kind m_kind = Kind::Unknown;
};

// A named parameter of a statement; names are found without regard to case.
class TEngineParam
{
public:
    void setAsInteger(int v) { m_value = v; }
    void setAsString(const QString &v) { m_value = v; }
    void setAsFloat(double v) { m_value = v; }
    void setAsDate(const QDate &v);
    void setAsDateTime(const QDateTime &v);
    void setAsMemo(const QStringList &lines) { m_value = lines.join(QLatin1Char('\n')); }
    void setAsBlob(const QByteArray &bytes) { m_value = bytes; }
    void setNullInteger() { m_value = QVariant(QMetaType::fromType<int>()); }
    void setNullFloat() { m_value = QVariant(QMetaType::fromType<double>()); }
    void setNullBlob() { m_value = QVariant(QMetaType::fromType<QByteArray>()); }
    void setValue(const QVariant &v) { m_value = v; }
    const QVariant &value() const { return m_value; }
    bool isSet() const { return m_value.isValid(); }

private:
    QVariant m_value;
};

// Display declaration of one result column for the list grids.
struct TFieldDef
{
    QString name;
    QString label;  // column title; the field name when empty
    QString format; // display format such as "#,#0"; none when empty
    int width = -1; // pixels; sized to title and contents when negative
    bool visible = true;
};

// Position of a row that survives closing and reopening the same statement: its row number in
// the rows read, its key, and the values it is ordered by (a list read page by page finds the
// place of a row that is gone by them).
struct TBookmark
{
    int row = -1;
    QVariant key;
    QVariantList orderValues;
    bool isValid() const { return row >= 0; }
};

// A query. Its result is read into memory when it opens, so that no open result stands in the
// way of another computer's write (SQLite keeps a read snapshot while a statement is being read).
// A paged query (the lists of the windows) whose statement ends in ORDER BY of plain result
// columns, the last of them unique, holds only the rows around the current one: it reads a page
// at a time from either end, after or before the rows it holds, or around a key.
class TEngineQuery : public QObject
{
    Q_OBJECT
public:
    explicit TEngineQuery(TEngineDatabase *db, QObject *parent = nullptr);
    ~TEngineQuery() override;

    TEngineDatabase *database() const { return m_db; }

    // The statement as lines. A new statement (clearSql, setSql) starts without parameter values.
    const QStringList &SQL() const { return m_sql; }
    void clearSql();
    void addSql(const QString &line) { m_sql.append(line); }
    void setSql(const QStringList &lines);

    // The reference stays valid until the statement is cleared or replaced.
    TEngineParam &ParamByName(const QString &name);
    QStringList paramNames() const; // in the order they stand in the statement

    // Read page by page where the statement allows it (see the class comment).
    void setPaged(bool paged) { m_paged = paged; }
    bool paged() const { return m_paged; }
    void setPageSize(int rows) { m_pageSize = qMax(1, rows); }
    int pageSize() const { return m_pageSize; }
    // True while the open result is read page by page.
    bool windowed() const;

    // Only rows for which the filter returns true are kept; it is called with the query standing
    // on the row in question. Takes effect at the next Open.
    void setFilter(std::function<bool(const TEngineQuery &)> filter) { m_filter = std::move(filter); }
    bool Filtered() const { return bool(m_filter); }

    void Open();    // a statement returning rows; throws EngineError
    void ExecSQL(); // statements separated by ";" are run in order
    void Close();
    bool Active() const { return m_active; }
    // Rows changed by the statements the last ExecSQL ran, together (an UPDATE or DELETE that must
    // hit a row checks this).
    int RowsAffected() const { return m_rowsAffected; }

    // Result set.
    int FieldCount() const;
    QString FieldName(int i) const;
    TEngineField Field(int i) const;
    // Throws EngineError for an unknown field, and the closed-query message on a closed query.
    TEngineField FieldByName(const QString &name) const;
    // The current row's field by name, read as its TEngineField reads it (a NULL as 0, empty text
    // or the zero date); the optional forms give nothing for a NULL instead.
    QString text(const QString &name) const { return FieldByName(name).AsString(); }
    int integer(const QString &name) const { return FieldByName(name).AsInteger(); }
    qint64 largeInt(const QString &name) const { return FieldByName(name).AsLargeInt(); }
    QDate date(const QString &name) const { return FieldByName(name).AsDate(); }
    QDateTime dateTime(const QString &name) const { return FieldByName(name).AsDateTime(); }
    QByteArray bytes(const QString &name) const { return FieldByName(name).AsBytes(); }
    QStringList lines(const QString &name) const { return FieldByName(name).AsLines(); }
    std::optional<int> optionalInteger(const QString &name) const;
    std::optional<qint64> optionalLargeInt(const QString &name) const;
    std::optional<double> optionalFloat(const QString &name) const;
    // Throws EngineError with kClosedQueryMessage unless the query is open: a command that acts on
    // the selected row of a list cannot say which row is meant while the list is closed.
    void CheckActive() const;
    bool hasField(const QString &name) const;
    int fieldIndex(const QString &name) const;

    void First();
    void Next();
    void Prior();
    void Last();
    bool MoveTo(int row); // a row among those held
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const;
    int RecNo() const { return m_row; } // 0-based among the rows held; -1 when empty
    int RecordCount();                  // all rows of the result (counted by the engine when paged)

    TBookmark GetBookmark() const;
    // Goes back to the bookmarked row; when it is gone, to the row that took its place (the next
    // one in the list's order), or the last row.
    void GotoBookmark(const TBookmark &bookmark);
    bool Locate(int key, const QString &keyField = QStringLiteral("key"));

    // The rows held, for grids: their number, whether rows lie beyond either end, reading more
    // at either end, and any held row without moving the current one.
    int fetchedRowCount() const;
    bool atStart() const { return m_atStart; }
    bool atEnd() const { return m_atEnd; }
    bool fetchedAll() const { return m_atStart && m_atEnd; }
    int fetchMore(int rows);  // rows after the last held; returns how many were added
    int fetchFront(int rows); // rows before the first held; returns how many were added
    QVariant valueAt(int row, int column) const;
    TEngineField fieldAt(int row, int column) const;

    // Column declarations for grids.
    QList<TFieldDef> &FieldDefs() { return m_fieldDefs; }

    // A detail query: its parameters take the master's current fields of the same name, and it
    // re-runs on every move of the master.
    void setDataSource(TEngineQuery *master);
    TEngineQuery *dataSource() const { return m_master; }

Q_SIGNALS:
    void afterOpen();
    void afterClose();
    void afterScroll();
    // Rows read at either end of those held: first is where they go, in the numbering before.
    void rowsAboutToBeInserted(int first, int count);
    void rowsInserted();
    // The rows held were replaced by others (a jump to the first or last row, or to a key).
    void windowReset();

private:
    struct Impl;
    void runStatement(const QString &statement, const QVariantMap &extra = {}, bool keep = false);
    QSqlQuery *preparedFor(const QString &sql);
    const SqlText::Positional &parsed(const QString &statement);
    QVariant paramValue(const QString &name, const QVariantMap &extra) const;
    void readRecord();
    QList<QVariantList> readRows(int limit = -1);
    void openFull(const QString &text);
    bool openPaged();
    QList<QVariantList> fetchPage(const QVariantList *boundary, bool backward, int limit);
    QVariantList orderValuesOf(const QVariantList &row) const;
    void replaceWindow(QList<QVariantList> rows, bool atStart, bool atEnd, int current);
    void insertRows(QList<QVariantList> rows, bool front);
    void applyFilter();
    void moveToRow(int row);
    void masterMoved();
    void dropPrepared();
    TEngineField::Kind kindOf(int column) const;

    QPointer<TEngineDatabase> m_db;
    QStringList m_sql;
    std::deque<TEngineParam> m_params;           // a deque keeps references valid as parameters are added
    QHash<QString, TEngineParam *> m_paramIndex; // by name in lower case
    QList<TFieldDef> m_fieldDefs;
    std::unique_ptr<Impl> d;
    QPointer<TEngineQuery> m_master;
    QMetaObject::Connection m_masterMoved;
    QMetaObject::Connection m_masterClosed;
    std::function<bool(const TEngineQuery &)> m_filter;
    bool m_paged = false;
    int m_pageSize = 128;
    bool m_active = false;
    int m_rowsAffected = 0;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_atStart = true;
    bool m_atEnd = true;
};

// A table by name: existence, field names, emptying.
class TEngineTable
{
public:
    TEngineTable(TEngineDatabase *db, QString tableName) : m_db(db), TableName(std::move(tableName)) {}
    bool Exists() const { return m_db->TableExists(TableName); }
    QStringList FieldNames() const { return m_db->TableFieldNames(TableName); }
    void EmptyTable();

private:
    TEngineDatabase *m_db;

public:
    QString TableName;
};
