#include "masters/PostalLoader.h"

#include "data/Engine.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

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
        QString sql = QStringLiteral("INSERT INTO Address (Yubin, Jyusyo) VALUES ");
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
    // The rows are replaced inside one transaction: a lookup at another computer reads the old rows
    // until the commit and the new ones after it, never an empty or half-filled table, and a bad
    // file rolls everything back. A second load at the same moment waits for the lock, so that its
    // delete sees this load's rows.
    TEngineTransaction transaction(m_db);
    m_db.LockForNumbering(QStringLiteral("Address"));
    m_db.ExecDirect(QStringLiteral("DELETE FROM Address"));
    const qint64 rows = fillAddress(device);
    if (rows == 0)
        throw PostalFileError(QStringLiteral("郵便番号データが1行もありません。"));
    report(Phase::Registering, device.size(), device.size());
    transaction.commit();
    return rows;
}

qint64 PostalLoader::fillAddress(QIODevice &device)
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

void PostalLoader::report(Phase phase, qint64 done, qint64 total) const
{
    if (m_progress)
        m_progress(phase, done, total);
}
