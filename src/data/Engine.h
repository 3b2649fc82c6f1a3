#pragma once
// The storage engine layer: one session, one database, query and table objects over Qt SQL.
// Local mode keeps the data in an SQLite file in the database folder; remote mode talks to a
// PostgreSQL server. Everything the program stores or reads goes through these classes.
#include "common/AppError.h"

#include <functional>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

enum class TSessionType { stLocal, stRemote };
enum class TEngineDialect { SQLite, PostgreSQL };

// Where date values stand for "no date": a NULL or unreadable date reads as this.
inline const QDate kZeroDate{1899, 12, 30};
inline const QDateTime kZeroDateTime{kZeroDate, QTime(0, 0)};

// Name of the SQLite file inside the local database folder.
inline constexpr auto kLocalDatabaseFile = "kadomel.sqlite3";

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
    void Commit();           // durable on disk when it returns
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }

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

    QSqlDatabase connection() const;

Q_SIGNALS:
    void aboutToClose();

private:
    void openLocal(QSqlDatabase &db);
    void openRemote(QSqlDatabase &db);

    TEngineSession *m_session;
    QString m_name;
    QString m_connectionName;
    TEngineDialect m_dialect = TEngineDialect::SQLite;
    bool m_inTransaction = false;
    QStringList m_lockOrder;
    int m_lockedRank = -1; // rank of the last table locked in the current transaction
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
    int width = -1; // pixels; the grid's default when negative
    bool visible = true;
};

// Position of a row that survives closing and reopening the same statement.
struct TBookmark
{
    int row = -1;
    QVariant key;
    bool isValid() const { return row >= 0; }
};

class TEngineQuery : public QObject
{
    Q_OBJECT
public:
    explicit TEngineQuery(TEngineDatabase *db, QObject *parent = nullptr);
    ~TEngineQuery() override;

    TEngineDatabase *database() const { return m_db; }

    // The statement as lines.
    QStringList &SQL() { return m_sql; }
    void clearSql() { m_sql.clear(); }
    void addSql(const QString &line) { m_sql.append(line); }
    void setSql(const QStringList &lines) { m_sql = lines; }

    TEngineParam &ParamByName(const QString &name);
    QStringList paramNames() const; // in the order they stand in the statement

    void Open();    // a statement returning rows; throws EngineError
    void ExecSQL(); // statements separated by ";" are run in order
    // Rows changed by the last statement that ExecSQL ran (an UPDATE or DELETE that must hit a
    // row checks this).
    int RowsAffected() const { return m_rowsAffected; }
    void Close();
    bool Active() const { return m_active; }

    // Result set.
    int FieldCount() const;
    QString FieldName(int i) const;
    TEngineField Field(int i) const;
    TEngineField FieldByName(const QString &name) const; // throws EngineError for an unknown field
    bool hasField(const QString &name) const;
    int fieldIndex(const QString &name) const;

    void First();
    void Next();
    void Prior();
    void Last();
    bool MoveTo(int row);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const;
    int RecNo() const { return m_row; } // 0-based; -1 when empty
    int RecordCount();                  // reads the whole result

    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark &bookmark);
    bool Locate(int key, const QString &keyField = QStringLiteral("key"));

    // Rows fetched so far and reading any row without moving the current one (for grids).
    int fetchedRowCount() const { return m_fetched; }
    bool fetchedAll() const { return m_fetchedAll; }
    int fetchMore(int rows);
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

private:
    struct Impl;
    void runStatement(const QString &statement, bool expectRows);
    void moveToRow(int row);
    bool seekPhysical(int row) const;
    void masterMoved();
    TEngineField::Kind kindOf(int column) const;

    QPointer<TEngineDatabase> m_db;
    QStringList m_sql;
    QList<QPair<QString, TEngineParam>> m_params;
    QList<TFieldDef> m_fieldDefs;
    std::unique_ptr<Impl> d;
    QPointer<TEngineQuery> m_master;
    QMetaObject::Connection m_masterMoved;
    QMetaObject::Connection m_masterClosed;
    bool m_active = false;
    int m_rowsAffected = 0;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    // Rows read from the result so far; reading a row for a grid extends them.
    mutable int m_fetched = 0;
    mutable bool m_fetchedAll = false;
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
