#include "masters/PostalLoader.h"

#include "data/Engine.h"
#include "data/Schema.h"
#include "data/SqlText.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kStagingTable = QStringLiteral("Address_load");

// Rows go in as multi-row INSERT statements prepared once: the statement overhead per row of Qt
// SQL and of the PostgreSQL round trip would otherwise dominate the load.
class AddressInserter
{
public:
    AddressInserter(QSqlDatabase db, TEngineDialect dialect)
        : m_db(db), m_batchSize(dialect == TEngineDialect::SQLite ? 200 : 1000), m_full(prepare(m_batchSize))
    {
        m_codes.reserve(m_batchSize);
        m_addresses.reserve(m_batchSize);
    }

    void add(const PostalRecord &record)
    {
        m_codes.append(record.yubin);
        m_addresses.append(record.jyusyo);
        if (m_codes.size() == m_batchSize)
            flush(m_full);
    }

    void finish()
    {
        if (m_codes.isEmpty())
            return;
        QSqlQuery rest = prepare(int(m_codes.size()));
        flush(rest);
    }

private:
    QSqlQuery prepare(int rows)
    {
        QString sql = QStringLiteral("INSERT INTO %1 (Yubin, Jyusyo) VALUES ").arg(kStagingTable);
        for (int i = 0; i < rows; ++i)
            sql += i ? QStringLiteral(",(?,?)") : QStringLiteral("(?,?)");
        QSqlQuery query(m_db);
        if (!query.prepare(sql))
            throw EngineError(query.lastError().text());
        return query;
    }

    void flush(QSqlQuery &query)
    {
        for (qsizetype i = 0; i < m_codes.size(); ++i) {
            query.bindValue(int(2 * i), m_codes[i]);
            query.bindValue(int(2 * i + 1), m_addresses[i]);
        }
        if (!query.exec())
            throw EngineError(query.lastError().text());
        m_codes.clear();
        m_addresses.clear();
    }

    QSqlDatabase m_db;
    int m_batchSize;
    QSqlQuery m_full;
    QList<int> m_codes;
    QStringList m_addresses;
};

const Schema::Table &addressTable()
{
    const Schema::Table *table = Schema::table(QStringLiteral("Address"));
    Q_ASSERT(table);
    return *table;
}

} // namespace

qint64 PostalLoader::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PostalFileError(
            QStringLiteral("ファイル「%1」を開けません。\r\n%2").arg(path, file.errorString()));
    return load(file);
}

qint64 PostalLoader::load(QIODevice &device)
{
    TEngineTransaction transaction(m_db);
    createStagingTable();
    const qint64 rows = fillStagingTable(device);
    if (rows == 0)
        throw PostalFileError(QStringLiteral("郵便番号データが1行もありません。"));
    report(Phase::Registering, device.size(), device.size());
    exchangeWithAddress();
    transaction.commit();
    return rows;
}

void PostalLoader::createStagingTable()
{
    Schema::Table staging = addressTable();
    const QByteArray name = kStagingTable.toLatin1();
    staging.name = name.constData();
    staging.indexes.clear(); // the index is built once, after the rows are in
    m_db.ExecDirect(QStringLiteral("DROP TABLE IF EXISTS ") + kStagingTable);
    for (const QString &statement : SqlText::splitStatements(Schema::creationScript(staging, m_db.dialect())))
        m_db.ExecDirect(statement);
}

qint64 PostalLoader::fillStagingTable(QIODevice &device)
{
    constexpr qint64 kReportEvery = 2000;
    const qint64 total = device.size();
    report(Phase::Reading, 0, total);
    PostalFileReader reader(device);
    AddressInserter inserter(m_db.connection(), m_db.dialect());
    PostalRecord record;
    qint64 rows = 0;
    while (reader.next(record)) {
        inserter.add(record);
        if (++rows % kReportEvery == 0)
            report(Phase::Reading, reader.bytesConsumed(), total);
    }
    inserter.finish();
    report(Phase::Reading, reader.bytesConsumed(), total);
    return rows;
}

void PostalLoader::exchangeWithAddress()
{
    m_db.ExecDirect(QStringLiteral("DROP TABLE IF EXISTS Address"));
    m_db.ExecDirect(QStringLiteral("ALTER TABLE %1 RENAME TO Address").arg(kStagingTable));
    // Creating the table again is a no-op now; its index statements build the index.
    for (const QString &statement :
         SqlText::splitStatements(Schema::creationScript(addressTable(), m_db.dialect())))
        m_db.ExecDirect(statement);
}

void PostalLoader::report(Phase phase, qint64 done, qint64 total) const
{
    if (m_progress)
        m_progress(phase, done, total);
}
