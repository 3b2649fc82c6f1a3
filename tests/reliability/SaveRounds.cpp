#include "SaveRounds.h"

#include "billing/PaymentStore.h"
#include "data/ConnectionSettings.h"
#include "data/TDMdata.h"
#include "documents/DocumentStore.h"
#include "masters/CustomerStore.h"

#include <QTextStream>
#include <QUrl>

namespace SaveRounds {

namespace {

QString tagOf(int copy, int round)
{
    return QStringLiteral("w%1-%2").arg(copy).arg(round);
}

QList<DocumentLine> linesFor(int copy, int round)
{
    QList<DocumentLine> lines;
    for (int gyo = 1; gyo <= linesOf(round); ++gyo) {
        DocumentLine line;
        line.Gyo = gyo;
        line.SyohinNM = QStringLiteral("商品%1").arg(gyo);
        line.Suryo = gyo;
        line.Tani = QStringLiteral("個");
        line.Tanka = 100 * copy + round;
        line.Kingaku = qint64(gyo) * (100 * copy + round);
        lines.append(line);
    }
    return lines;
}

// One round of one copy: the customer it enters documents for, and where its lines go.
class Round
{
public:
    Round(TEngineDatabase &db, int copy, QTextStream &out, Counts &counts)
        : m_db(db), m_copy(copy), m_out(out), m_counts(counts),
          m_fiscalYearStart(Numbering::readFiscalYearStart(db))
    {
        for (Numbering::Kind kind :
             {Numbering::Kind::Mitumori, Numbering::Kind::Nohin, Numbering::Kind::Ryosyusyou})
            m_settings[int(kind)] = Numbering::readSettings(db, kind);
    }

    void run(int round)
    {
        // Every tenth note registers a new customer, as the editor does for a name typed in; now and
        // then one is registered in the customer master instead.
        saveDocument(DocumentStore::Kind::Nohin, round, round % 10 == 0);
        if (round % 25 == 5)
            registerCustomer(round);
        saveDocument(DocumentStore::Kind::Mitumori, round, m_customer == 0);
        if (m_customer != 0)
            savePayment(round);
    }

private:
    template<typename Save> void attempt(const QString &kind, const QString &tag, Save save)
    {
        try {
            const QString done = save(); // a new customer's line goes first
            m_out << kind << ' ' << done << '\n';
            ++m_counts.saves;
        } catch (const AppError &e) {
            m_out << "error " << kind << ' ' << tag << ' ' << e.message().simplified() << '\n';
            ++m_counts.errors;
        }
    }

    void saveDocument(DocumentStore::Kind kind, int round, bool newCustomer)
    {
        const bool estimate = kind == DocumentStore::Kind::Mitumori;
        const QString tag = tagOf(m_copy, round) + (estimate ? QStringLiteral("m") : QStringLiteral("n"));
        DocumentRecord d;
        d.Hiduke = dateOf(m_copy, round);
        d.TorihikisakiKey = newCustomer ? 0 : m_customer;
        (estimate ? d.Title : d.UkewatasiBasyo) = tag;
        d.JisyaTanto = QStringLiteral("担当%1").arg(m_copy);
        d.lines = linesFor(m_copy, round);
        DocumentStore::SaveOptions options;
        options.settings = m_settings[int(kind)];
        options.fiscalYearStart = m_fiscalYearStart;
        options.newCustomer.TorihikisakiNM = tag + QStringLiteral("-c");
        options.newCustomer.Keisyo = QStringLiteral("御中");
        attempt(estimate ? QStringLiteral("mitumori") : QStringLiteral("nohin"), tag, [&] {
            const SavedDocument saved = DocumentStore::save(m_db, kind, d, options);
            if (d.TorihikisakiKey == 0) {
                m_customer = saved.TorihikisakiKey;
                m_out << "customer " << saved.TorihikisakiKey << ' ' << options.newCustomer.TorihikisakiNM
                      << '\n';
            }
            return QStringLiteral("%1 %2 %3").arg(saved.key).arg(tag).arg(d.lines.size());
        });
    }

    void registerCustomer(int round)
    {
        const QString tag = tagOf(m_copy, round) + QStringLiteral("-k");
        attempt(QStringLiteral("customer"), tag, [&] {
            CustomerRecord c;
            c.TorihikisakiNM = tag;
            c.Keisyo = QStringLiteral("様");
            m_customer = CustomerStore::insert(m_db, c);
            return QStringLiteral("%1 %2").arg(m_customer).arg(tag);
        });
    }

    void savePayment(int round)
    {
        const QString tag = tagOf(m_copy, round) + QStringLiteral("p");
        attempt(QStringLiteral("nyukin"), tag, [&] {
            PaymentRecord p;
            p.NyukinYMD = dateOf(m_copy, round);
            p.TorihikisakiKey = m_customer;
            p.Nyukingaku = 1000 + round;
            p.NyukinHouhou = PaymentStore::kCash;
            p.Tadasigaki = tag;
            const int key =
                PaymentStore::save(m_db, p, m_settings[int(Numbering::Kind::Ryosyusyou)], m_fiscalYearStart);
            return QStringLiteral("%1 %2").arg(key).arg(tag);
        });
    }

    TEngineDatabase &m_db;
    const int m_copy;
    QTextStream &m_out;
    Counts &m_counts;
    int m_fiscalYearStart;
    Numbering::SaibanSettei m_settings[4];
    int m_customer = 0;
};

} // namespace

// The database is named as the configuration file names it, so that the copies connect as the
// program does.
void open(TDMdata &data, const QString &where)
{
    const QUrl server(where);
    ConnectionSettings settings;
    if (server.scheme() == QLatin1String("postgresql")) {
        settings.type = QStringLiteral("remote");
        settings.ip = server.host();
        settings.port = server.port(5432);
        settings.name = server.path().mid(1);
        settings.user = server.userName();
        settings.pass = server.password();
    } else {
        settings.folder = where;
    }
    settings.applyTo(data.Session1, *data.DataDB);
    data.DataDB->Open();
}

QDate dateOf(int copy, int round)
{
    return QDate(2024, 1, 1).addDays((copy * 7 + round) % 120);
}

int linesOf(int round)
{
    return 1 + round % 5;
}

Counts run(TEngineDatabase &db, int copy, int rounds, QTextStream &out)
{
    Counts counts;
    Round r(db, copy, out, counts);
    for (int round = 0; round < rounds; ++round)
        r.run(round);
    out.flush();
    return counts;
}

} // namespace SaveRounds
