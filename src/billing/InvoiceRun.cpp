#include "billing/InvoiceRun.h"

#include "common/Clock.h"
#include "data/Engine.h"

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

// One delivery-note line as an invoice line; a NULL quantity, price or amount stays NULL.
void copyLine(const TEngineQuery &from, TEngineQuery &to)
{
    for (const char *column : {"NohinNo", "SyohinNM", "Kikaku", "Tani"})
        to.ParamByName(QLatin1String(column)).setAsString(from.FieldByName(QLatin1String(column)).AsString());
    for (const char *column : {"Suryo", "Tanka"}) {
        const TEngineField f = from.FieldByName(QLatin1String(column));
        TEngineParam &p = to.ParamByName(QLatin1String(column));
        f.IsNull() ? p.setNullFloat() : p.setAsFloat(f.AsFloat());
    }
    const TEngineField kingaku = from.FieldByName(QStringLiteral("Kingaku"));
    TEngineParam &p = to.ParamByName(QStringLiteral("Kingaku"));
    kingaku.IsNull() ? p.setNullInteger() : p.setAsInteger(kingaku.AsInteger());
    to.ParamByName(QStringLiteral("NohinYMD")).setAsDate(from.FieldByName(QStringLiteral("Hiduke")).AsDate());
}

} // namespace

// The run's statements, prepared once and run for every customer.
struct InvoiceRun::Statements
{
    explicit Statements(TEngineDatabase *db)
        : customer(db), countPayments(db), countNotes(db), sumPayments(db), sumNotes(db), insertInvoice(db),
          lines(db), insertLine(db), markPayments(db), markNotes(db), carryOver(db)
    {
        customer.setSql({QStringLiteral("select TorihikisakiNM, ZenkaiSeikyuGaku from Torihikisaki"),
                         QStringLiteral("where key = :TorihikisakiKey")});
        countPayments.setSql(QStringList{QStringLiteral("Select count(*) Kensu from Nyukin")} +
                             unbilled(QStringLiteral("NyukinYMD")));
        countNotes.setSql(QStringList{QStringLiteral("Select count(*) kensu from Nohin")} +
                          unbilled(QStringLiteral("Hiduke")));
        sumPayments.setSql(QStringList{QStringLiteral("Select sum(Nyukingaku) Nyukingaku from Nyukin")} +
                           unbilled(QStringLiteral("NyukinYMD")));
        sumNotes.setSql(QStringList{QStringLiteral("Select sum(Kingaku) Kingaku from Nohin")} +
                        unbilled(QStringLiteral("Hiduke")));
        insertInvoice.setSql(
            {QStringLiteral("Insert Into Seikyu"),
             QStringLiteral(
                 "( Key,  SeikyuNo,  HakkoYMD,  HakkoY,  HakkoM,  Seq,  Simebi,  TorihikisakiKey,  "
                 "ZenkaiSeikyu,  NyukinGaku,  TyoseiGaku,  HanbaiGaku,  SeikyuGaku,  JisyaTanto,  "
                 "TorokuYMD, KosinYMD)"),
             QStringLiteral("Values"),
             QStringLiteral("(:Key, :SeikyuNo, :HakkoYMD, :HakkoY, :HakkoM, :Seq, :Simebi, :TorihikisakiKey, "
                            ":ZenkaiSeikyu, :NyukinGaku, :TyoseiGaku, :HanbaiGaku, :SeikyuGaku, :JisyaTanto, "
                            ":TorokuYMD, :KosinYMD)")});
        lines.setSql(
            {QStringLiteral("Select N.key, NohinNo, Hiduke, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, "
                            "M.Kingaku from Nohin N, NohinMesai M"),
             QStringLiteral("Where N.Key = M.Key"), QStringLiteral("and TorihikisakiKey = :TorihikisakiKey"),
             QStringLiteral("and SeikyuKey = 0"), QStringLiteral("and Hiduke <= :SeikyuSimebi"),
             QStringLiteral("Order By Hiduke, N.Key, Gyo")});
        insertLine.setSql(
            {QStringLiteral("Insert Into SeikyuMesai"),
             QStringLiteral(
                 "( Key,  Gyo,  NohinYMD,  NohinNo,  SyohinNM,  Kikaku,  Suryo,  Tani,  Tanka,  Kingaku)"),
             QStringLiteral("Values"),
             QStringLiteral(
                 "(:Key, :Gyo, :NohinYMD, :NohinNo, :SyohinNM, :Kikaku, :Suryo, :Tani, :Tanka, :Kingaku)")});
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
        for (TEngineQuery *q :
             {&countPayments, &countNotes, &sumPayments, &sumNotes, &lines, &markPayments, &markNotes}) {
            q->ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customerKey);
            q->ParamByName(QStringLiteral("SeikyuSimebi")).setAsDate(closing);
        }
        customer.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customerKey);
    }

    static qint64 first(TEngineQuery &q)
    {
        q.Open();
        const qint64 value = q.Field(0).AsLargeInt();
        q.Close();
        return value;
    }

    TEngineQuery customer, countPayments, countNotes, sumPayments, sumNotes, insertInvoice, lines, insertLine,
        markPayments, markNotes, carryOver;
};

InvoiceRun::InvoiceRun(TEngineDatabase &db)
    : m_db(db), m_numbering(Numbering::readSettings(db, Numbering::Kind::Seikyu)),
      m_fiscalYearStart(Numbering::readFiscalYearStart(db)), m_q(std::make_unique<Statements>(&db))
{
}

InvoiceRun::~InvoiceRun() = default;

QList<int> InvoiceRun::run(const QList<int> &customers, const QDate &closing)
{
    QList<int> made;
    if (m_progress)
        m_progress(0, int(customers.size()));
    for (int i = 0; i < customers.size(); ++i) {
        try {
            if (const std::optional<int> key = billCustomer(customers[i], closing))
                made.append(*key);
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
    m_db.LockForNumbering(QStringLiteral("Torihikisaki"));
    m_q->select(customer, closing);
    const qint64 payments = Statements::first(m_q->countPayments);
    const qint64 notes = Statements::first(m_q->countNotes);
    if (payments == 0 && notes == 0)
        return std::nullopt; // the guard ends the transaction, which wrote nothing
    const int key = writeInvoice(customer, closing);
    m_q->markPayments.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markPayments.ExecSQL();
    m_q->markNotes.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markNotes.ExecSQL();
    // Under the customers' lock nobody adds or removes this customer's documents; a difference means
    // a writer that does not take it, and the invoice would not match what it marks.
    if (m_q->markPayments.RowsAffected() != payments || m_q->markNotes.RowsAffected() != notes)
        throw EngineError(QStringLiteral("請求の対象となる納品書・入金がほかのコンピュータで変更されました"));
    transaction.commit();
    return key;
}

// Inserts the invoice with its lines and carries its amount over to the customer; the key.
int InvoiceRun::writeInvoice(int customer, const QDate &closing)
{
    Statements &q = *m_q;
    q.customer.Open();
    if (q.customer.IsEmpty())
        throw EngineError(QStringLiteral("取引先（key %1）が見つかりません").arg(customer));
    const QString name = q.customer.FieldByName(QStringLiteral("TorihikisakiNM")).AsString();
    const qint64 zenkai = q.customer.FieldByName(QStringLiteral("ZenkaiSeikyuGaku")).AsLargeInt();
    q.customer.Close();
    const qint64 nyukin = Statements::first(q.sumPayments);
    const qint64 hanbai = Statements::first(q.sumNotes);
    const qint64 seikyu = zenkai - nyukin + hanbai;
    if (!fits32(nyukin) || !fits32(hanbai) || !fits32(seikyu))
        throw AppError(amountTooLarge(name));

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
    ins.ParamByName(QStringLiteral("JisyaTanto")).setAsString(QString());
    ins.ParamByName(QStringLiteral("TorokuYMD")).setAsDateTime(now);
    ins.ParamByName(QStringLiteral("KosinYMD")).setAsDateTime(now);
    ins.ExecSQL();

    q.lines.Open();
    TEngineQuery &line = q.insertLine;
    int gyo = 0;
    for (q.lines.First(); !q.lines.Eof(); q.lines.Next()) {
        line.ParamByName(QStringLiteral("Key")).setAsInteger(n.key);
        line.ParamByName(QStringLiteral("Gyo")).setAsInteger(++gyo);
        copyLine(q.lines, line);
        line.ExecSQL();
    }
    q.lines.Close();

    q.carryOver.ParamByName(QStringLiteral("ZenkaiSeikyuGaku")).setAsInteger(int(seikyu));
    q.carryOver.ParamByName(QStringLiteral("Key")).setAsInteger(customer);
    q.carryOver.ExecSQL();
    if (q.carryOver.RowsAffected() != 1)
        throw EngineError(QStringLiteral("取引先（key %1）が見つかりません").arg(customer));
    return n.key;
}
