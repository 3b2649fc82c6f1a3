#include "data/Engine.h"

#include "data/SqlText.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <sqlite3.h>

namespace {

QString errorText(const QSqlError &e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    return text.isEmpty() ? QStringLiteral("データベースの操作に失敗しました") : text;
}

[[noreturn]] void fail(const QSqlQuery &q)
{
    throw EngineError(errorText(q.lastError()));
}

// Dates go to both engines as text in one sortable form: SQLite stores them that way, and
// PostgreSQL converts the text to the column's date or time-stamp type.
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

TEngineField::Kind kindFromDeclaredType(const QByteArray &declared)
{
    const QByteArray t = declared.toUpper();
    if (t.startsWith("INT"))
        return TEngineField::Kind::Integer;
    if (t.startsWith("FLOAT") || t.startsWith("REAL") || t.startsWith("DOUBLE"))
        return TEngineField::Kind::Float;
    if (t == "DATE")
        return TEngineField::Kind::Date;
    if (t.startsWith("TIMESTAMP"))
        return TEngineField::Kind::DateTime;
    if (t == "BLOB")
        return TEngineField::Kind::Blob;
    if (t.isEmpty())
        return TEngineField::Kind::Unknown;
    return TEngineField::Kind::Text;
}

TEngineField::Kind kindFromMetaType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return TEngineField::Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return TEngineField::Kind::Float;
    case QMetaType::QDate:
        return TEngineField::Kind::Date;
    case QMetaType::QDateTime:
        return TEngineField::Kind::DateTime;
    case QMetaType::QByteArray:
        return TEngineField::Kind::Blob;
    case QMetaType::QString:
        return TEngineField::Kind::Text;
    default:
        return TEngineField::Kind::Unknown;
    }
}

int connectionCounter = 0;

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
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
    m_session->Active = true;
    m_inTransaction = false;
}

void TEngineDatabase::openLocal(QSqlDatabase &db)
{
    db.setDatabaseName(QDir(Directory).filePath(QLatin1String(kLocalDatabaseFile)));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_session->LockRetryCount * m_session->LockWaitTime));
    if (!db.open())
        throw EngineError(errorText(db.lastError()));
    QSqlQuery q(db);
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"})
        if (!q.exec(QLatin1String(pragma)))
            fail(q);
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
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db.open())
        throw EngineError(errorText(db.lastError()));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET client_min_messages TO WARNING")))
        fail(q);
}

void TEngineDatabase::Close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    Q_EMIT aboutToClose();
    {
        QSqlDatabase db = connection();
        if (db.isOpen() && m_inTransaction)
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    m_inTransaction = false;
    QSqlDatabase::removeDatabase(m_connectionName);
}

void TEngineDatabase::ExecDirect(const QString &sql)
{
    if (!Connected())
        Open();
    QSqlQuery q(connection());
    if (!q.exec(sql))
        fail(q);
}

void TEngineDatabase::StartTransaction()
{
    if (m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 already has an active transaction.").arg(m_name));
    if (!Connected())
        Open();
    ExecDirect(m_dialect == TEngineDialect::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                                   : QStringLiteral("BEGIN"));
    m_inTransaction = true;
    m_lockedRank = -1;
}

void TEngineDatabase::Commit()
{
    if (!m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 has no active transaction.").arg(m_name));
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QString text = errorText(q.lastError());
        Rollback();
        throw EngineError(text);
    }
    m_inTransaction = false;
}

void TEngineDatabase::Rollback()
{
    if (!m_inTransaction)
        throw EngineError(QStringLiteral("Database %1 has no active transaction.").arg(m_name));
    m_inTransaction = false;
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("ROLLBACK")))
        fail(q);
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
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"));
    q.addBindValue(QString(QStringLiteral("kadomel:") + table.toLower()));
    if (!q.exec())
        fail(q);
}

int TEngineDatabase::NewKey(const QString &table, const QString &keyColumn)
{
    LockForNumbering(table);
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("select max(%1) from %2").arg(keyColumn, table)) || !q.next())
        fail(q);
    return q.value(0).toInt() + 1;
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
        fail(q);
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
        fail(q);
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

void TEngineTable::EmptyTable()
{
    m_db->ExecDirect(QStringLiteral("DELETE FROM ") + TableName);
}

// ---------------------------------------------------------------------------------------------
// Query

struct TEngineQuery::Impl
{
    QSqlQuery query;
    QSqlRecord record;
    QList<TEngineField::Kind> kinds;
};

TEngineQuery::TEngineQuery(TEngineDatabase *db, QObject *parent)
    : QObject(parent), m_db(db), d(std::make_unique<Impl>())
{
    if (db)
        connect(db, &TEngineDatabase::aboutToClose, this, &TEngineQuery::Close);
}

TEngineQuery::~TEngineQuery()
{
    if (m_active) {
        d->query = QSqlQuery();
        m_active = false;
    }
}

TEngineParam &TEngineQuery::ParamByName(const QString &name)
{
    for (auto &p : m_params)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    m_params.append({name, TEngineParam()});
    return m_params.last().second;
}

QStringList TEngineQuery::paramNames() const
{
    QStringList names;
    for (const QString &statement : SqlText::splitStatements(m_sql.join(QLatin1Char('\n'))))
        for (const QString &n : SqlText::toPositional(statement).params)
            if (!names.contains(n, Qt::CaseInsensitive))
                names.append(n);
    return names;
}

void TEngineQuery::runStatement(const QString &statement, bool expectRows)
{
    if (!m_db)
        throw EngineError(QStringLiteral("データベースが指定されていません"));
    if (!m_db->Connected())
        m_db->Open(); // a connection that failed earlier is tried once more
    d->query = QSqlQuery(m_db->connection());
    QSqlQuery &q = d->query;
    q.setForwardOnly(!expectRows);
    const SqlText::Positional p = SqlText::toPositional(statement);
    if (p.params.isEmpty()) {
        if (!q.exec(p.sql))
            fail(q);
        return;
    }
    if (!q.prepare(p.sql))
        fail(q);
    for (const QString &name : p.params) {
        QVariant value;
        bool found = false;
        for (const auto &param : m_params) {
            if (param.first.compare(name, Qt::CaseInsensitive) == 0 && param.second.isSet()) {
                value = param.second.value();
                found = true;
            }
        }
        if (!found && m_master && m_master->Active() && m_master->hasField(name)) {
            value = m_master->FieldByName(name).value();
            found = true;
        }
        if (!found)
            throw EngineError(QStringLiteral("パラメータ '%1' に値がありません").arg(name));
        q.addBindValue(bindable(value));
    }
    if (!q.exec())
        fail(q);
}

void TEngineQuery::Open()
{
    Close();
    QString text = m_sql.join(QLatin1Char('\n')).trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    try {
        runStatement(text, true);
    } catch (...) {
        d->query = QSqlQuery();
        throw;
    }
    d->record = d->query.record();
    d->kinds.clear();
    sqlite3_stmt *stmt = nullptr;
    const QVariant handle = d->query.result() ? d->query.result()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0)
        stmt = *static_cast<sqlite3_stmt *const *>(handle.constData());
    for (int i = 0; i < d->record.count(); ++i) {
        const char *declared = stmt ? sqlite3_column_decltype(stmt, i) : nullptr;
        d->kinds.append(stmt ? kindFromDeclaredType(QByteArray(declared))
                             : kindFromMetaType(d->record.field(i).metaType().id()));
    }
    m_active = true;
    m_fetched = 0;
    m_fetchedAll = false;
    const bool hasRow = seekPhysical(0);
    m_row = hasRow ? 0 : -1;
    m_eof = !hasRow;
    m_bof = true;
    Q_EMIT afterOpen();
    Q_EMIT afterScroll();
}

void TEngineQuery::ExecSQL()
{
    Close();
    m_rowsAffected = 0;
    for (const QString &statement : SqlText::splitStatements(m_sql.join(QLatin1Char('\n')))) {
        runStatement(statement, false);
        m_rowsAffected = d->query.numRowsAffected();
        d->query = QSqlQuery();
    }
}

void TEngineQuery::Close()
{
    const bool wasActive = m_active;
    d->query = QSqlQuery();
    d->record = QSqlRecord();
    d->kinds.clear();
    m_active = false;
    m_row = -1;
    m_eof = m_bof = true;
    m_fetched = 0;
    m_fetchedAll = false;
    if (wasActive)
        Q_EMIT afterClose();
}

int TEngineQuery::FieldCount() const
{
    return m_active ? d->record.count() : 0;
}

QString TEngineQuery::FieldName(int i) const
{
    return d->record.fieldName(i);
}

int TEngineQuery::fieldIndex(const QString &name) const
{
    if (!m_active)
        return -1;
    const int dot = name.indexOf(QLatin1Char('.'));
    return d->record.indexOf(dot >= 0 ? name.mid(dot + 1) : name); // QSqlRecord ignores case
}

bool TEngineQuery::hasField(const QString &name) const
{
    return fieldIndex(name) >= 0;
}

TEngineField::Kind TEngineQuery::kindOf(int column) const
{
    return column >= 0 && column < d->kinds.size() ? d->kinds.at(column) : TEngineField::Kind::Unknown;
}

TEngineField TEngineQuery::fieldAt(int row, int column) const
{
    const QVariant v = valueAt(row, column);
    TEngineField::Kind kind = kindOf(column);
    if (kind == TEngineField::Kind::Unknown && !v.isNull())
        kind = kindFromMetaType(v.typeId());
    return TEngineField(d->record.fieldName(column), v, kind);
}

TEngineField TEngineQuery::Field(int i) const
{
    return fieldAt(m_row, i);
}

TEngineField TEngineQuery::FieldByName(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(QStringLiteral("フィールド '%1' が見つかりません").arg(name));
    return fieldAt(m_row, i);
}

bool TEngineQuery::seekPhysical(int row) const
{
    if (!m_active || row < 0)
        return false;
    QSqlQuery &q = d->query;
    if (q.at() == row)
        return true;
    const bool ok = q.seek(row);
    if (ok)
        m_fetched = qMax(m_fetched, row + 1);
    else if (row >= m_fetched)
        m_fetchedAll = true;
    return ok;
}

QVariant TEngineQuery::valueAt(int row, int column) const
{
    if (!seekPhysical(row) || column < 0 || column >= d->record.count())
        return QVariant();
    return d->query.value(column);
}

int TEngineQuery::fetchMore(int rows)
{
    if (!m_active || m_fetchedAll)
        return m_fetched;
    const int target = m_fetched + rows - 1;
    if (!seekPhysical(target)) {
        // Past the end: find the last row and count it.
        if (d->query.last()) {
            m_fetched = d->query.at() + 1;
        }
        m_fetchedAll = true;
    }
    return m_fetched;
}

void TEngineQuery::moveToRow(int row)
{
    m_row = row;
    m_eof = false;
    m_bof = row == 0;
    Q_EMIT afterScroll();
}

bool TEngineQuery::MoveTo(int row)
{
    if (!seekPhysical(row))
        return false;
    moveToRow(row);
    return true;
}

bool TEngineQuery::IsEmpty() const
{
    return !m_active || m_row < 0;
}

void TEngineQuery::First()
{
    if (IsEmpty())
        return;
    moveToRow(0);
}

void TEngineQuery::Next()
{
    if (IsEmpty())
        return;
    if (seekPhysical(m_row + 1)) {
        moveToRow(m_row + 1);
        return;
    }
    m_eof = true;
}

void TEngineQuery::Prior()
{
    if (IsEmpty())
        return;
    if (m_row > 0) {
        moveToRow(m_row - 1);
        return;
    }
    m_bof = true;
}

void TEngineQuery::Last()
{
    if (IsEmpty())
        return;
    const int last = RecordCount() - 1;
    moveToRow(last);
    m_eof = true; // as at the end of the data: a following Next does not move
}

int TEngineQuery::RecordCount()
{
    if (!m_active)
        return 0;
    if (!m_fetchedAll) {
        if (d->query.last())
            m_fetched = d->query.at() + 1;
        m_fetchedAll = true;
    }
    return m_fetched;
}

TBookmark TEngineQuery::GetBookmark() const
{
    TBookmark b;
    if (IsEmpty())
        return b;
    b.row = m_row;
    if (hasField(QStringLiteral("key")))
        b.key = FieldByName(QStringLiteral("key")).value();
    return b;
}

void TEngineQuery::GotoBookmark(const TBookmark &bookmark)
{
    if (!bookmark.isValid() || IsEmpty())
        return;
    const int keyIndex = fieldIndex(QStringLiteral("key"));
    if (keyIndex >= 0 && bookmark.key.isValid()) {
        if (seekPhysical(bookmark.row) && valueAt(bookmark.row, keyIndex) == bookmark.key) {
            moveToRow(bookmark.row);
            return;
        }
        if (Locate(bookmark.key.toInt()))
            return;
    }
    if (!MoveTo(bookmark.row))
        moveToRow(RecordCount() - 1);
}

bool TEngineQuery::Locate(int key, const QString &keyField)
{
    const int column = fieldIndex(keyField);
    if (column < 0 || IsEmpty())
        return false;
    for (int row = 0; seekPhysical(row); ++row) {
        if (fieldAt(row, column).AsInteger() == key) {
            moveToRow(row);
            return true;
        }
    }
    return false;
}

void TEngineQuery::setDataSource(TEngineQuery *master)
{
    disconnect(m_masterMoved);
    disconnect(m_masterClosed);
    m_master = master;
    if (!master)
        return;
    m_masterMoved = connect(master, &TEngineQuery::afterScroll, this, &TEngineQuery::masterMoved);
    m_masterClosed = connect(master, &TEngineQuery::afterClose, this, &TEngineQuery::Close);
}

void TEngineQuery::masterMoved()
{
    if (!m_master || !m_master->Active()) {
        Close();
        return;
    }
    Open();
}
