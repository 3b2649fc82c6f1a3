#include "billing/InvoiceRun.h"

#include "common/Clock.h"
#include "common/DisplayFormat.h"
#include "data/Engine.h"
#include "data/RowStatements.h"
#include "masters/OwnCompanyStore.h"

#include <limits>

namespace {

QString amountTooLarge(const QString &customerName)
{
    return QStringLiteral("取引先「%1」の請求額が扱える金額（±2,147,483,647円）を超えるため、"
                          "請求書を作成できませんでした。入金額・納品書の金額を確認してください")
        .arg(customerName);
}

bool fits32(qint64 v)
{
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

// The three conditions of a customer's unbilled documents up to the closing date.
QStringList unbilled(const QString &dateColumn)
{
    return {QStringLiteral("Where TorihikisakiKey = :TorihikisakiKey"), QStringLiteral("and SeikyuKey = 0"),
            QStringLiteral("and %1 <= :SeikyuSimebi").arg(dateColumn)};
}

// The customer with the number and the sum of its unbilled payments and delivery notes, read by
// one statement (one row for an existing customer: the sums are aggregates over no group).
QStringList customerWithUnbilled()
{
    const auto countAndSum = [](const QString &amount, const QString &table,
                                const QString &dateColumn) -> QString {
        return QStringLiteral("(select count(*) Kensu, sum(%1) Gaku from %2 ").arg(amount, table) +
               unbilled(dateColumn).join(QLatin1Char(' ')) + QLatin1Char(')');
    };
    return {QStringLiteral("select t.TorihikisakiNM, t.ZenkaiSeikyuGaku, p.Kensu, p.Gaku, n.Kensu, n.Gaku"),
            QStringLiteral("from Torihikisaki t,"),
            countAndSum(QStringLiteral("Nyukingaku"), QStringLiteral("Nyukin"), QStringLiteral("NyukinYMD")) +
                QStringLiteral(" p,"),
            countAndSum(QStringLiteral("Kingaku"), QStringLiteral("Nohin"), QStringLiteral("Hiduke")) +
                QStringLiteral(" n"),
            QStringLiteral("where t.key = :TorihikisakiKey")};
}

} // namespace

QString refusalReport(const QList<InvoiceRunRefusal> &refused)
{
    QStringList lines{QStringLiteral("次の取引先の請求書は作成しませんでした（%1 件）").arg(refused.size())};
    for (const InvoiceRunRefusal &r : refused)
        lines << r.message;
    return lines.join(QLatin1Char('\n'));
}

// The run's statements, prepared once and run for every customer.
struct InvoiceRun::Statements
{
    Statements(TEngineDatabase *db, bool withTax)
        : customer(db), insertInvoice(db), copyLines(db), markPayments(db), markNotes(db), carryOver(db)
    {
        // With the tax option the lines take their rates along (a note's line without one counts at 10).
        const QString rateColumn = withTax ? QStringLiteral(",  ZeiRitu") : QString();
        const QString rateValue = withTax ? QStringLiteral(", coalesce(M.ZeiRitu, 10)") : QString();
        customer.setSql(customerWithUnbilled());
        insertInvoice.setSql({RowStatements::insertSql(
            QStringLiteral("Seikyu"), RowStatements::schemaColumns(QStringLiteral("Seikyu")))});
        // One invoice line for each line of the notes taken, numbered by date, note and line.
        copyLines.setSql(
            {QStringLiteral("Insert Into SeikyuMesai"),
             QStringLiteral(
                 "( Key,  Gyo,  NohinYMD,  NohinNo,  SyohinNM,  Kikaku,  Suryo,  Tani,  Tanka,  Kingaku%1)")
                 .arg(rateColumn),
             QStringLiteral(
                 "Select cast(:Key as integer), row_number() over (Order By N.Hiduke, N.Key, M.Gyo), "
                 "N.Hiduke, N.NohinNo, M.SyohinNM, M.Kikaku, M.Suryo, M.Tani, M.Tanka, M.Kingaku%1")
                 .arg(rateValue),
             QStringLiteral("From Nohin N, NohinMesai M"), QStringLiteral("Where N.Key = M.Key"),
             QStringLiteral("and N.TorihikisakiKey = :TorihikisakiKey"),
             QStringLiteral("and N.SeikyuKey = 0"), QStringLiteral("and N.Hiduke <= :SeikyuSimebi")});
        markPayments.setSql(
            QStringList{QStringLiteral("Update Nyukin"), QStringLiteral("Set SeikyuKey = :SeikyuKey")} +
            unbilled(QStringLiteral("NyukinYMD")));
        markNotes.setSql(
            QStringList{QStringLiteral("Update Nohin"), QStringLiteral("Set SeikyuKey = :SeikyuKey")} +
            unbilled(QStringLiteral("Hiduke")));
        carryOver.setSql({QStringLiteral("Update Torihikisaki"),
                          QStringLiteral("Set ZenkaiSeikyuGaku = :ZenkaiSeikyuGaku"),
                          QStringLiteral("Where Key = :Key")});
    }

    // Sets the customer and the closing date on every statement that selects unbilled documents.
    void select(int customerKey, const QDate &closing)
    {
        for (TEngineQuery *q : {&customer, &copyLines, &markPayments, &markNotes}) {
            q->ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customerKey);
            q->ParamByName(QStringLiteral("SeikyuSimebi")).setAsDate(closing);
        }
    }

    // The customer and its unbilled documents; nothing for a customer that is not there.
    std::optional<Unbilled> readUnbilled()
    {
        customer.Open();
        std::optional<Unbilled> u;
        if (!customer.IsEmpty())
            u = Unbilled{customer.Field(0).AsString(),   customer.Field(1).AsLargeInt(),
                         customer.Field(2).AsLargeInt(), customer.Field(3).AsLargeInt(),
                         customer.Field(4).AsLargeInt(), customer.Field(5).AsLargeInt()};
        customer.Close();
        return u;
    }

    TEngineQuery customer, insertInvoice, copyLines, markPayments, markNotes, carryOver;
};

InvoiceRun::InvoiceRun(TEngineDatabase &db)
    : m_db(db), m_numbering(Numbering::readSettings(db, Numbering::Kind::Seikyu)),
      m_fiscalYearStart(Numbering::readFiscalYearStart(db)), m_tax(OwnCompanyStore::taxSettings(db)),
      m_q(std::make_unique<Statements>(&db, m_tax.enabled))
{
}

InvoiceRun::~InvoiceRun() = default;

QList<int> InvoiceRun::run(const QList<int> &customers, const QDate &closing)
{
    QList<int> made;
    m_refused.clear();
    if (m_progress)
        m_progress(0, int(customers.size()));
    for (int i = 0; i < customers.size(); ++i) {
        try {
            if (const std::optional<int> key = billCustomer(customers[i], closing))
                made.append(*key);
        } catch (const ClosingOrderError &e) {
            m_refused.append({customers[i], e.message()});
        } catch (const AppError &e) {
            throw InvoiceRunError(customers[i], e.message());
        }
        if (m_progress)
            m_progress(i + 1, int(customers.size()));
    }
    return made;
}

std::optional<int> InvoiceRun::billCustomer(int customer, const QDate &closing)
{
    TEngineTransaction transaction(m_db);
    // Saves of notes and payments take the customers' lock, their deletions the lock of their table:
    // holding all three, nobody changes what this step counts before it has marked it.
    for (const char *table : {"Torihikisaki", "Nohin", "Nyukin"})
        m_db.LockForNumbering(QLatin1String(table));
    m_q->select(customer, closing);
    const std::optional<Unbilled> u = m_q->readUnbilled();
    if (!u || (u->paymentCount == 0 && u->noteCount == 0))
        return std::nullopt; // the guard ends the transaction, which wrote nothing
    checkClosingOrder(customer, closing, u->name);
    const int key = writeInvoice(customer, closing, *u);
    m_q->markPayments.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markPayments.ExecSQL();
    m_q->markNotes.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markNotes.ExecSQL();
    // Under these locks nobody adds or removes this customer's documents; a difference means a writer
    // that takes none of them, and the invoice would not match what it marks.
    if (m_q->markPayments.RowsAffected() != u->paymentCount || m_q->markNotes.RowsAffected() != u->noteCount)
        throw EngineError(QStringLiteral("請求の対象となる納品書・入金がほかのコンピュータで変更されました"));
    transaction.commit();
    return key;
}

// Under the customers' lock no other run adds an invoice for the customer meanwhile.
void InvoiceRun::checkClosingOrder(int customer, const QDate &closing, const QString &name)
{
    TEngineQuery q(&m_db);
    // The column itself (not an aggregate) keeps its date type on both engines.
    q.setSql({QStringLiteral("select Simebi from Seikyu"),
              QStringLiteral("where TorihikisakiKey = :TorihikisakiKey"),
              QStringLiteral("and Simebi > :SeikyuSimebi"), QStringLiteral("order by Simebi desc")});
    q.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customer);
    q.ParamByName(QStringLiteral("SeikyuSimebi")).setAsDate(closing);
    q.Open();
    if (q.IsEmpty())
        return;
    const QDate latest = q.Field(0).AsDate();
    throw ClosingOrderError(
        QStringLiteral("取引先「%1」には締日 %2 の請求書があるため、それより前の締日 %3 の"
                       "請求書は作成できません。締日 %2 以降で作成してください")
            .arg(name, formatDate(DisplayFormat::kDate, latest), formatDate(DisplayFormat::kDate, closing)));
}

// Inserts the invoice with its lines and carries its amount over to the customer; the key.
int InvoiceRun::writeInvoice(int customer, const QDate &closing, const Unbilled &u)
{
    Statements &q = *m_q;
    const qint64 zenkai = u.previousInvoiceAmount, nyukin = u.paymentSum, hanbai = u.noteSum;
    qint64 seikyu = zenkai - nyukin + hanbai;
    if (!fits32(nyukin) || !fits32(hanbai) || !fits32(seikyu))
        throw AppError(amountTooLarge(u.name));

    const Numbering::Numbered n =
        Numbering::take(m_db, Numbering::Kind::Seikyu, m_numbering, m_fiscalYearStart, closing);
    const QDateTime now = Clock::now();
    TEngineQuery &ins = q.insertInvoice;
    ins.ParamByName(QStringLiteral("Key")).setAsInteger(n.key);
    ins.ParamByName(QStringLiteral("SeikyuNo")).setAsString(n.number);
    ins.ParamByName(QStringLiteral("HakkoYMD")).setAsDate(now.date());
    ins.ParamByName(QStringLiteral("HakkoY")).setAsString(QString::number(now.date().year()));
    ins.ParamByName(QStringLiteral("HakkoM")).setAsInteger(now.date().month());
    ins.ParamByName(QStringLiteral("Seq")).setAsInteger(n.seq);
    ins.ParamByName(QStringLiteral("Simebi")).setAsDate(closing);
    ins.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customer);
    ins.ParamByName(QStringLiteral("ZenkaiSeikyu")).setAsInteger(int(zenkai));
    ins.ParamByName(QStringLiteral("NyukinGaku")).setAsInteger(int(nyukin));
    ins.ParamByName(QStringLiteral("TyoseiGaku")).setAsInteger(0);
    ins.ParamByName(QStringLiteral("HanbaiGaku")).setAsInteger(int(hanbai));
    ins.ParamByName(QStringLiteral("SeikyuGaku")).setAsInteger(int(seikyu));
    ins.ParamByName(QStringLiteral("JisyaTanto")).setAsString(QStringLiteral("")); // empty text, not NULL
    ins.ParamByName(QStringLiteral("TorokuYMD")).setAsDateTime(now);
    ins.ParamByName(QStringLiteral("KosinYMD")).setAsDateTime(now);
    ins.ExecSQL();

    q.copyLines.ParamByName(QStringLiteral("Key")).setAsInteger(n.key);
    q.copyLines.ExecSQL();

    if (m_tax.enabled) {
        const ConsumptionTax::RateSums sums = invoiceTaxSums(n.key);
        if (!m_tax.pricesIncludeTax)
            seikyu += sums.tax();
        for (const qint64 v : {seikyu, sums.Taisyo10, sums.Taisyo8, sums.Hikazei})
            if (!fits32(v))
                throw AppError(amountTooLarge(u.name));
        storeTaxSums(n.key, sums, seikyu);
    }

    q.carryOver.ParamByName(QStringLiteral("ZenkaiSeikyuGaku")).setAsInteger(int(seikyu));
    q.carryOver.ParamByName(QStringLiteral("Key")).setAsInteger(customer);
    q.carryOver.ExecSQL();
    if (q.carryOver.RowsAffected() != 1)
        throw EngineError(QStringLiteral("取引先（key %1）が見つかりません").arg(customer));
    return n.key;
}

// The sums per rate of the invoice's own lines, each rate's tax rounded once.
ConsumptionTax::RateSums InvoiceRun::invoiceTaxSums(int invoiceKey)
{
    TEngineQuery q(&m_db);
    q.setSql({QStringLiteral("select ZeiRitu, sum(Kingaku) from SeikyuMesai"),
              QStringLiteral("where Key = :Key"), QStringLiteral("group by ZeiRitu")});
    q.ParamByName(QStringLiteral("Key")).setAsInteger(invoiceKey);
    q.Open();
    QList<ConsumptionTax::RatedAmount> amounts;
    for (q.First(); !q.Eof(); q.Next())
        amounts.append({ConsumptionTax::rateOf(
                            q.Field(0).IsNull() ? std::nullopt : std::optional<int>(q.Field(0).AsInteger())),
                        q.Field(1).AsLargeInt()});
    return ConsumptionTax::sumsOf(amounts, m_tax);
}

// Writes the sums per rate and the invoice amount that includes their tax.
void InvoiceRun::storeTaxSums(int invoiceKey, const ConsumptionTax::RateSums &s, qint64 seikyu)
{
    TEngineQuery q(&m_db);
    q.setSql({RowStatements::updateSql(QStringLiteral("Seikyu"),
                                       {QStringLiteral("Taisyo10"), QStringLiteral("Zei10"),
                                        QStringLiteral("Taisyo8"), QStringLiteral("Zei8"),
                                        QStringLiteral("Hikazei"), QStringLiteral("Seikyugaku")},
                                       {QStringLiteral("key")})});
    const std::pair<const char *, qint64> values[] = {{"Taisyo10", s.Taisyo10}, {"Zei10", s.Zei10},
                                                      {"Taisyo8", s.Taisyo8},   {"Zei8", s.Zei8},
                                                      {"Hikazei", s.Hikazei},   {"Seikyugaku", seikyu}};
    for (const auto &[name, value] : values)
        q.ParamByName(QLatin1String(name)).setAsInteger(int(value)); // each within the invoice's 32-bit total
    q.ParamByName(QStringLiteral("key")).setAsInteger(invoiceKey);
    q.ExecSQL();
}
