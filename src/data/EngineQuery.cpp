#include "data/Engine.h"

#include "data/EngineInternal.h"
#include "data/PageQuery.h"
#include "data/SqlText.h"

#include <algorithm>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <sqlite3.h>

using EngineInternal::errorFrom;

namespace {

// Prepared statements a query keeps for running the same text again.
constexpr int kPreparedKept = 8;
const QString kKeyParam = QStringLiteral("kadomel_key");

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

sqlite3_stmt *sqliteStatement(const QSqlQuery &q)
{
    const QVariant handle = q.result() ? q.result()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0)
        return *static_cast<sqlite3_stmt *const *>(handle.constData());
    return nullptr;
}

QString statementText(const QStringList &lines)
{
    QString text = lines.join(QLatin1Char('\n')).trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    return text;
}

} // namespace

struct TEngineQuery::Impl
{
    QSqlRecord record;
    QList<TEngineField::Kind> kinds;
    std::deque<QVariantList> rows;
    std::optional<SqlText::PageableSelect> pageable; // set while the result is read page by page
    QList<int> orderColumns;                         // result columns of the order items
    // Prepared statements kept for running the same text again, most recently used last.
    std::vector<std::pair<QString, std::unique_ptr<QSqlQuery>>> prepared;
    QHash<QString, SqlText::Positional> parsed; // statement texts read before
    // The statement text last split into its statements, and the statements: a query run again and
    // again with new parameter values (a save's inserts, a run's statements) splits its text once.
    QString splitText;
    QStringList statements;
    const QStringList &statementsOf(const QString &text)
    {
        if (text != splitText || statements.isEmpty()) {
            statements = SqlText::splitStatements(text);
            splitText = text;
        }
        return statements;
    }
    QSqlQuery direct;             // a statement without parameters, run as it stands
    QSqlQuery *current = &direct; // the statement run last
    QSqlQuery &run() { return *current; }
};

TEngineQuery::TEngineQuery(TEngineDatabase *db, QObject *parent)
    : QObject(parent), m_db(db), d(std::make_unique<Impl>())
{
    if (db)
        connect(db, &TEngineDatabase::aboutToClose, this, [this] {
            Close();
            dropPrepared();
        });
}

TEngineQuery::~TEngineQuery()
{
    dropPrepared();
}

void TEngineQuery::dropPrepared()
{
    d->direct = QSqlQuery();
    d->current = &d->direct;
    d->prepared.clear();
}

void TEngineQuery::clearSql()
{
    m_sql.clear();
    m_params.clear();
    m_paramIndex.clear();
}

void TEngineQuery::setSql(const QStringList &lines)
{
    clearSql();
    m_sql = lines;
}

TEngineParam &TEngineQuery::ParamByName(const QString &name)
{
    const QString key = name.toLower();
    if (TEngineParam *param = m_paramIndex.value(key))
        return *param;
    m_params.emplace_back();
    m_paramIndex.insert(key, &m_params.back());
    return m_params.back();
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

// ---------------------------------------------------------------------------------------------
// Running statements

// A parameter's value by its name in lower case (the statement's own, then the query's, then the
// master's field of the same name).
QVariant TEngineQuery::paramValue(const QString &name, const QVariantMap &extra) const
{
    const auto found = extra.constFind(name);
    if (found != extra.constEnd())
        return *found;
    const TEngineParam *param = m_paramIndex.value(name);
    if (param && param->isSet())
        return param->value();
    if (m_master && m_master->Active() && m_master->hasField(name))
        return m_master->FieldByName(name).value();
    throw EngineError(QStringLiteral("パラメータ '%1' に値がありません").arg(name));
}

// Runs one statement; its result (if any) is left in d->current. With keep, a statement with
// parameters is prepared once and kept, so that running the same text again only binds the new
// values (inserts in a loop).
void TEngineQuery::runStatement(const QString &statement, const QVariantMap &extra, bool keep)
{
    if (!m_db)
        throw EngineError(QStringLiteral("データベースが指定されていません"));
    if (!m_db->Connected())
        m_db->Open(); // a connection that failed earlier is tried once more
    const SqlText::Positional &p = parsed(statement);
    QVariantList values;
    values.reserve(p.params.size());
    for (const QString &name : p.params)
        values.append(EngineInternal::bindable(paramValue(name, extra)));

    // A statement that returns rows is prepared each time: SQLite prepares it again by itself
    // when its table changed, and Qt's driver then misreads the rows of a kept one.
    QSqlQuery *q = &d->direct;
    if (keep && !p.params.isEmpty()) {
        q = preparedFor(p.sql);
    } else {
        d->direct = QSqlQuery(m_db->connection());
        d->direct.setForwardOnly(true);
        if (!p.params.isEmpty() && !d->direct.prepare(p.sql)) {
            m_db->statementFailed();
            throw errorFrom(d->direct.lastError());
        }
    }
    d->current = q;
    for (int i = 0; i < values.size(); ++i)
        q->bindValue(i, values.at(i));
    if (p.params.isEmpty() ? q->exec(p.sql) : q->exec())
        return;
    const QSqlError error = q->lastError();
    d->current = &d->direct;
    if (q != &d->direct)
        d->prepared.pop_back(); // a statement that failed is prepared afresh next time
    m_db->statementFailed();
    throw errorFrom(error);
}

// The statement with positional markers and its parameter names in lower case, read once per
// text: a statement run again and again in a loop is not read again.
const SqlText::Positional &TEngineQuery::parsed(const QString &statement)
{
    auto found = d->parsed.constFind(statement);
    if (found != d->parsed.constEnd())
        return *found;
    if (d->parsed.size() >= 32)
        d->parsed.clear();
    SqlText::Positional p = SqlText::toPositional(statement);
    for (QString &name : p.params)
        name = name.toLower();
    return *d->parsed.insert(statement, std::move(p));
}

// The kept statement for the text, prepared now when there is none; it becomes the most recent.
QSqlQuery *TEngineQuery::preparedFor(const QString &sql)
{
    auto &prepared = d->prepared;
    auto found =
        std::find_if(prepared.begin(), prepared.end(), [&](const auto &e) { return e.first == sql; });
    if (found != prepared.end()) {
        std::rotate(found, found + 1, prepared.end());
        return prepared.back().second.get();
    }
    auto q = std::make_unique<QSqlQuery>(m_db->connection());
    q->setForwardOnly(true);
    if (!q->prepare(sql)) {
        m_db->statementFailed();
        throw errorFrom(q->lastError());
    }
    if (prepared.size() >= size_t(kPreparedKept))
        prepared.erase(prepared.begin());
    prepared.emplace_back(sql, std::move(q));
    return prepared.back().second.get();
}

void TEngineQuery::readRecord()
{
    d->record = d->run().record();
    d->kinds.clear();
    sqlite3_stmt *stmt = sqliteStatement(d->run());
    for (int i = 0; i < d->record.count(); ++i) {
        // SQLite reports the declared type of a column, so that dates stored as text read as dates.
        d->kinds.append(stmt ? kindFromDeclaredType(QByteArray(sqlite3_column_decltype(stmt, i)))
                             : kindFromMetaType(d->record.field(i).metaType().id()));
    }
}

// Reads the rows of the statement run last and ends it, so that it holds no read snapshot.
QList<QVariantList> TEngineQuery::readRows(int limit)
{
    QList<QVariantList> rows;
    const int columns = d->record.count();
    while ((limit < 0 || rows.size() < limit) && d->run().next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(d->run().value(c));
        rows.append(std::move(row));
    }
    d->run().finish();
    return rows;
}

void TEngineQuery::Open()
{
    Close();
    const QString text = statementText(m_sql);
    const bool tryPaged = m_paged && !m_filter && m_db && !m_db->InTransaction();
    d->pageable = tryPaged ? SqlText::pageableSelect(text) : std::nullopt;
    if (!d->pageable || !openPaged())
        openFull(text);
    m_active = true;
    applyFilter();
    m_row = d->rows.empty() ? -1 : 0;
    m_eof = d->rows.empty();
    m_bof = true;
    Q_EMIT afterOpen();
    Q_EMIT afterScroll();
}

void TEngineQuery::openFull(const QString &text)
{
    d->pageable.reset();
    runStatement(SqlText::withGroupOrder(text));
    readRecord();
    const QList<QVariantList> rows = readRows();
    d->rows.assign(rows.begin(), rows.end());
    m_atStart = m_atEnd = true;
}

// False when the statement cannot be read page by page after all (an order column that is not
// in the result): the caller then reads it whole.
bool TEngineQuery::openPaged()
{
    QList<QVariantList> rows;
    try {
        QVariantMap binds;
        runStatement(PageQuery::pageSql(*d->pageable, {false, nullptr, PageQuery::LeadGroup::Any, m_pageSize},
                                        m_db->dialect() == TEngineDialect::SQLite, binds),
                     binds);
        readRecord();
        d->orderColumns.clear();
        for (const SqlText::OrderItem &item : d->pageable->order)
            d->orderColumns.append(d->record.indexOf(item.column));
        if (d->orderColumns.contains(-1)) {
            d->run().finish();
            return false;
        }
        rows = readRows();
    } catch (const EngineError &) {
        d->current = &d->direct;
        return false;
    }
    d->rows.assign(rows.begin(), rows.end());
    m_atStart = true;
    m_atEnd = rows.size() < m_pageSize;
    return true;
}

bool TEngineQuery::windowed() const
{
    return m_active && d->pageable.has_value();
}

QVariantList TEngineQuery::orderValuesOf(const QVariantList &row) const
{
    QVariantList values;
    for (int column : d->orderColumns)
        values.append(row.value(column));
    return values;
}

// Up to limit rows of the list in reading order, strictly beyond the boundary when one is given.
QList<QVariantList> TEngineQuery::fetchPage(const QVariantList *boundary, bool backward, int limit)
{
    const bool nullsLow = m_db->dialect() == TEngineDialect::SQLite;
    auto read = [&](const QVariantList *from, PageQuery::LeadGroup group, int rows) {
        QVariantMap binds;
        runStatement(PageQuery::pageSql(*d->pageable, {backward, from, group, rows}, nullsLow, binds), binds);
        return readRows();
    };
    if (!boundary)
        return read(nullptr, PageQuery::LeadGroup::Any, limit);
    const bool leadNull = boundary->first().isNull();
    QList<QVariantList> rows =
        read(boundary, leadNull ? PageQuery::LeadGroup::Null : PageQuery::LeadGroup::NotNull, limit);
    if (rows.size() < limit && PageQuery::otherGroupAhead(*d->pageable, backward, leadNull, nullsLow))
        rows += read(nullptr, leadNull ? PageQuery::LeadGroup::NotNull : PageQuery::LeadGroup::Null,
                     limit - int(rows.size()));
    return rows;
}

void TEngineQuery::ExecSQL()
{
    Close();
    m_rowsAffected = 0;
    for (const QString &statement : d->statementsOf(m_sql.join(QLatin1Char('\n')))) {
        runStatement(statement, {}, true);
        m_rowsAffected += std::max(0, d->run().numRowsAffected()); // the rows of every statement
        d->run().finish();
    }
    d->current = &d->direct;
}

void TEngineQuery::Close()
{
    const bool wasActive = m_active;
    d->current = &d->direct;
    d->record = QSqlRecord();
    d->kinds.clear();
    d->rows.clear();
    d->pageable.reset();
    d->orderColumns.clear();
    m_active = false;
    m_row = -1;
    m_eof = m_bof = true;
    m_atStart = m_atEnd = true;
    if (wasActive)
        Q_EMIT afterClose();
}

void TEngineQuery::applyFilter()
{
    if (!m_filter)
        return;
    std::deque<QVariantList> kept;
    for (int i = 0; i < int(d->rows.size()); ++i) {
        m_row = i;
        if (m_filter(*this))
            kept.push_back(d->rows[i]);
    }
    d->rows.swap(kept);
}

// ---------------------------------------------------------------------------------------------
// Fields

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

int TEngineQuery::fetchedRowCount() const
{
    return m_active ? int(d->rows.size()) : 0;
}

QVariant TEngineQuery::valueAt(int row, int column) const
{
    if (!m_active || row < 0 || row >= int(d->rows.size()) || column < 0 || column >= d->record.count())
        return QVariant();
    return d->rows[row].value(column);
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

void TEngineQuery::CheckActive() const
{
    if (!m_active)
        throw EngineError(kClosedQueryMessage);
}

TEngineField TEngineQuery::FieldByName(const QString &name) const
{
    CheckActive();
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(QStringLiteral("フィールド '%1' が見つかりません").arg(name));
    return fieldAt(m_row, i);
}

std::optional<int> TEngineQuery::optionalInteger(const QString &name) const
{
    const TEngineField f = FieldByName(name);
    return f.IsNull() ? std::nullopt : std::optional<int>(f.AsInteger());
}

std::optional<qint64> TEngineQuery::optionalLargeInt(const QString &name) const
{
    const TEngineField f = FieldByName(name);
    return f.IsNull() ? std::nullopt : std::optional<qint64>(f.AsLargeInt());
}

std::optional<double> TEngineQuery::optionalFloat(const QString &name) const
{
    const TEngineField f = FieldByName(name);
    return f.IsNull() ? std::nullopt : std::optional<double>(f.AsFloat());
}

// ---------------------------------------------------------------------------------------------
// Moving

void TEngineQuery::moveToRow(int row)
{
    m_row = row;
    m_eof = false;
    m_bof = row == 0 && m_atStart;
    Q_EMIT afterScroll();
}

void TEngineQuery::replaceWindow(QList<QVariantList> rows, bool atStart, bool atEnd, int current)
{
    d->rows.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    m_atStart = atStart;
    m_atEnd = atEnd;
    m_row = d->rows.empty() ? -1 : qBound(0, current, int(d->rows.size()) - 1);
    Q_EMIT windowReset();
}

void TEngineQuery::insertRows(QList<QVariantList> rows, bool front)
{
    if (rows.isEmpty())
        return;
    const int count = int(rows.size());
    Q_EMIT rowsAboutToBeInserted(front ? 0 : int(d->rows.size()), count);
    if (front) {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            d->rows.push_front(std::move(*it));
        m_row += count;
    } else {
        for (QVariantList &row : rows)
            d->rows.push_back(std::move(row));
    }
    Q_EMIT rowsInserted();
}

int TEngineQuery::fetchMore(int rows)
{
    if (!windowed() || m_atEnd || d->rows.empty())
        return 0;
    const QVariantList boundary = orderValuesOf(d->rows.back());
    QList<QVariantList> page = fetchPage(&boundary, false, rows);
    const int count = int(page.size());
    m_atEnd = count < rows;
    insertRows(std::move(page), false);
    return count;
}

int TEngineQuery::fetchFront(int rows)
{
    if (!windowed() || m_atStart || d->rows.empty())
        return 0;
    const QVariantList boundary = orderValuesOf(d->rows.front());
    QList<QVariantList> page = fetchPage(&boundary, true, rows);
    std::reverse(page.begin(), page.end());
    const int count = int(page.size());
    m_atStart = count < rows;
    insertRows(std::move(page), true);
    return count;
}

bool TEngineQuery::MoveTo(int row)
{
    if (!m_active || row < 0 || row >= int(d->rows.size()))
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
    if (!m_atStart) {
        QList<QVariantList> page = fetchPage(nullptr, false, m_pageSize);
        const bool end = page.size() < m_pageSize;
        replaceWindow(std::move(page), true, end, 0);
        if (IsEmpty()) {
            m_eof = true;
            Q_EMIT afterScroll();
            return;
        }
    }
    moveToRow(0);
}

void TEngineQuery::Next()
{
    if (IsEmpty())
        return;
    if (m_row + 1 < int(d->rows.size()) || fetchMore(m_pageSize) > 0) {
        moveToRow(m_row + 1);
        return;
    }
    m_eof = true;
}

void TEngineQuery::Prior()
{
    if (IsEmpty())
        return;
    if (m_row > 0 || fetchFront(m_pageSize) > 0) {
        moveToRow(m_row - 1);
        return;
    }
    m_bof = true;
}

void TEngineQuery::Last()
{
    if (IsEmpty())
        return;
    if (!m_atEnd) {
        QList<QVariantList> page = fetchPage(nullptr, true, m_pageSize);
        std::reverse(page.begin(), page.end());
        const bool start = page.size() < m_pageSize;
        replaceWindow(std::move(page), start, true, int(page.size()) - 1);
        if (IsEmpty()) {
            m_eof = true;
            Q_EMIT afterScroll();
            return;
        }
    }
    moveToRow(int(d->rows.size()) - 1);
    m_eof = true; // as at the end of the data: a following Next does not move
}

int TEngineQuery::RecordCount()
{
    if (!m_active)
        return 0;
    if (fetchedAll())
        return int(d->rows.size());
    runStatement(PageQuery::countSql(*d->pageable));
    d->run().next();
    const int count = d->run().value(0).toInt();
    d->run().finish();
    return count;
}

TBookmark TEngineQuery::GetBookmark() const
{
    TBookmark b;
    if (IsEmpty())
        return b;
    b.row = m_row;
    if (hasField(QStringLiteral("key")))
        b.key = FieldByName(QStringLiteral("key")).value();
    if (windowed())
        b.orderValues = orderValuesOf(d->rows[m_row]);
    return b;
}

void TEngineQuery::GotoBookmark(const TBookmark &bookmark)
{
    if (!bookmark.isValid() || IsEmpty())
        return;
    const int keyIndex = fieldIndex(QStringLiteral("key"));
    if (keyIndex >= 0 && bookmark.key.isValid()) {
        if (!windowed() && valueAt(bookmark.row, keyIndex) == bookmark.key) {
            moveToRow(bookmark.row);
            return;
        }
        if (Locate(bookmark.key.toInt()))
            return;
    }
    if (windowed() && bookmark.orderValues.size() == d->orderColumns.size()) {
        // The row is gone: the one that follows it in the list's order takes its place.
        QList<QVariantList> after = fetchPage(&bookmark.orderValues, false, m_pageSize);
        if (after.isEmpty()) {
            Last();
            return;
        }
        QList<QVariantList> before = fetchPage(&bookmark.orderValues, true, m_pageSize / 2);
        std::reverse(before.begin(), before.end());
        const int current = int(before.size());
        const bool start = before.size() < m_pageSize / 2, end = after.size() < m_pageSize;
        replaceWindow(before + after, start, end, current);
        moveToRow(current);
        return;
    }
    if (!MoveTo(bookmark.row))
        moveToRow(int(d->rows.size()) - 1);
}

bool TEngineQuery::Locate(int key, const QString &keyField)
{
    const int column = fieldIndex(keyField);
    if (column < 0 || IsEmpty())
        return false;
    for (int row = 0; row < int(d->rows.size()); ++row) {
        if (fieldAt(row, column).AsInteger() == key) {
            moveToRow(row);
            return true;
        }
    }
    if (!windowed() || fetchedAll())
        return false;
    // Read the row by its key, then a page before and after it.
    runStatement(PageQuery::rowByKeySql(*d->pageable, d->record.fieldName(column), kKeyParam),
                 {{kKeyParam, key}});
    const QList<QVariantList> found = readRows(1);
    if (found.isEmpty())
        return false;
    const QVariantList boundary = orderValuesOf(found.first());
    const int half = qMax(1, m_pageSize / 2);
    QList<QVariantList> before = fetchPage(&boundary, true, half);
    std::reverse(before.begin(), before.end());
    const QList<QVariantList> after = fetchPage(&boundary, false, half);
    const int current = int(before.size());
    const bool start = before.size() < half, end = after.size() < half;
    replaceWindow(before + found + after, start, end, current);
    moveToRow(current);
    return true;
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
