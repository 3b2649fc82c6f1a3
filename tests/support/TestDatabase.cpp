#include "TestDatabase.h"

#include "data/AppPaths.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDir>

#include <QSqlQuery>
#include <QUrl>

namespace {

bool wantPostgres()
{
    return qEnvironmentVariable("KADOMEL_TEST_ENGINE") == QLatin1String("pg");
}

// Drops every table of the test database, so each test starts empty.
void dropAllTables(TEngineDatabase &db)
{
    QStringList tables;
    {
        QSqlQuery q(db.connection());
        q.exec(QStringLiteral("select tablename from pg_tables where schemaname = current_schema()"));
        while (q.next())
            tables.append(q.value(0).toString());
    }
    for (const QString &t : tables)
        db.ExecDirect(QStringLiteral("DROP TABLE IF EXISTS \"%1\" CASCADE").arg(t));
}

} // namespace

std::function<void()> &TestDatabase::onCreate()
{
    static std::function<void()> hook;
    return hook;
}

TestDatabase::TestDatabase(bool createTables)
{
    if (onCreate())
        onCreate()();
    qputenv("KADOMEL_HOME", m_dir.path().toUtf8());
    m_pg = wantPostgres();
    m_module = std::make_unique<TDMdata>();
    if (m_pg && qEnvironmentVariableIsEmpty("KADOMEL_TEST_PG")) {
        m_skipReason = QStringLiteral("KADOMEL_TEST_PG is not set: no PostgreSQL server for this test");
        return;
    }
    configure(m_module->Session1, *m_module->DataDB);
    try {
        m_module->DataDB->Open();
        if (m_pg)
            dropAllTables(*m_module->DataDB);
        if (createTables)
            m_module->CheckTables();
        m_ok = true;
    } catch (const AppError &e) {
        m_skipReason = QStringLiteral("test database: ") + e.message();
    }
}

TestDatabase::~TestDatabase() = default;

QString TestDatabase::localFolder() const
{
    const QString folder = m_dir.filePath(QStringLiteral("DB"));
    QDir().mkpath(folder);
    return folder;
}

void TestDatabase::writeConnectionSettings() const
{
    ConnectionSettings s;
    if (m_pg) {
        TEngineSession session;
        TEngineDatabase db(&session, QStringLiteral("Probe"));
        configure(session, db);
        s = ConnectionSettings::takenFrom(session, db);
    } else {
        s.folder = localFolder();
    }
    IniFile ini(AppPaths::iniPath());
    s.write(ini);
}

void TestDatabase::configure(TEngineSession &session, TEngineDatabase &db) const
{
    if (!m_pg) {
        session.SessionType = TSessionType::stLocal;
        db.Directory = localFolder();
        return;
    }
    const QUrl url(qEnvironmentVariable("KADOMEL_TEST_PG"));
    session.SessionType = TSessionType::stRemote;
    session.RemoteAddress = url.host();
    session.RemotePort = url.port(5432);
    session.RemoteUser = url.userName();
    session.RemotePassword = url.password();
    db.RemoteDatabase = url.path().mid(1);
}

void TestDatabase::exec(const QStringList &lines)
{
    TEngineQuery q(&db());
    q.setSql(lines);
    q.ExecSQL();
}

QVariant TestDatabase::scalar(const QString &sql)
{
    TEngineQuery q(&db());
    q.addSql(sql);
    q.Open();
    return q.IsEmpty() ? QVariant() : q.Field(0).value();
}

QStringList TestDatabase::fingerprint()
{
    QStringList lines;
    for (const Schema::Table &table : Schema::tables()) {
        // A table without a primary key (Address, the receipt settings) is read in the order of all
        // its columns: the engine's own order changes when rows are deleted and inserted again.
        QStringList order;
        for (const char *column : table.primaryKey)
            order.append(Schema::columnSql(column));
        if (order.isEmpty())
            for (const Schema::Column &column : table.columns)
                order.append(Schema::columnSql(column.name));
        TEngineQuery q(&db());
        q.addSql(QStringLiteral("SELECT * FROM %1%2")
                     .arg(QString::fromLatin1(table.name),
                          order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + order.join(u',')));
        q.Open();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        int rows = 0;
        for (; !q.Eof(); q.Next(), ++rows) {
            for (int i = 0; i < q.FieldCount(); ++i) {
                const TEngineField field = q.Field(i);
                const QVariant &v = field.value();
                const QByteArray value = field.IsNull()                        ? QByteArray("\\N")
                                         : v.typeId() == QMetaType::QByteArray ? v.toByteArray()
                                                                               : v.toString().toUtf8();
                hash.addData(QByteArray(QByteArray::number(value.size()) + ':' + value));
            }
        }
        lines.append(QStringLiteral("%1 %2 %3")
                         .arg(QString::fromLatin1(table.name))
                         .arg(rows)
                         .arg(QString::fromLatin1(hash.result().toHex().left(16))));
    }
    return lines;
}
