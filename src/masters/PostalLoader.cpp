#include "masters/PostalLoader.h"

#include "data/Engine.h"

#include <QFile>

namespace {

// Rows go in as multi-row INSERT statements: the statement overhead per row of the engine layer and
// of the PostgreSQL round trip would otherwise dominate the load. The statement text of a full batch
// is built once and executed again and again with new values, so that the engine layer can keep it
// prepared.
class AddressInserter
{
public:
    explicit AddressInserter(TEngineDatabase &db)
        : m_db(db), m_batchRows(db.dialect() == TEngineDialect::SQLite ? kSqliteBatch : kServerBatch),
          m_full(&db)
    {
        for (int i = 0; i < m_batchRows; ++i) {
            m_codeNames.append(QStringLiteral("y%1").arg(i));
            m_addressNames.append(QStringLiteral("j%1").arg(i));
        }
        setUp(m_full, m_batchRows);
        m_codes.reserve(m_batchRows);
        m_addresses.reserve(m_batchRows);
    }

    void add(const PostalRecord &record)
    {
        m_codes.append(record.yubin);
        m_addresses.append(record.jyusyo);
        if (m_codes.size() == m_batchRows)
            flush(m_full);
    }

    void finish()
    {
        if (m_codes.isEmpty())
            return;
        TEngineQuery rest(&m_db);
        setUp(rest, int(m_codes.size()));
        flush(rest);
    }

private:
    // Rows per statement: the server gains most from fewer round trips.
    static constexpr int kSqliteBatch = 200;
    static constexpr int kServerBatch = 1000;

    void setUp(TEngineQuery &q, int rows) const
    {
        q.addSql(QStringLiteral("INSERT INTO Address (Yubin, Jyusyo) VALUES"));
        for (int i = 0; i < rows; ++i)
            q.addSql(QStringLiteral("%1(:%2, :%3)")
                         .arg(i ? QStringLiteral(",") : QString(), m_codeNames[i], m_addressNames[i]));
    }

    void flush(TEngineQuery &q)
    {
        for (qsizetype i = 0; i < m_codes.size(); ++i) {
            q.ParamByName(m_codeNames[i]).setAsInteger(m_codes[i]);
            q.ParamByName(m_addressNames[i]).setAsString(m_addresses[i]);
        }
        q.ExecSQL();
        m_codes.clear();
        m_addresses.clear();
    }

    TEngineDatabase &m_db;
    const int m_batchRows;
    QStringList m_codeNames;
    QStringList m_addressNames;
    TEngineQuery m_full;
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
    AddressInserter inserter(m_db);
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
