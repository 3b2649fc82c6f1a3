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

// The columns of the lines statement, in the order it selects them.
enum LineColumn { NoteKey, NohinNo, Hiduke, Gyo, SyohinNM, Kikaku, Suryo, Tani, Tanka, Kingaku };

// The invoice-line insert's parameters, found once: the run binds fifty lines for each customer.
struct LineParams
{
    explicit LineParams(TEngineQuery &insert)
    {
        for (const char *name :
             {"Key", "Gyo", "NohinYMD", "NohinNo", "SyohinNM", "Kikaku", "Suryo", "Tani", "Tanka", "Kingaku"})
            params.append(&insert.ParamByName(QLatin1String(name)));
    }
    TEngineParam &operator[](int i) const { return *params[i]; }
    QList<TEngineParam *> params; // in the order of the names above
};

void bindFloat(TEngineParam &p, const TEngineField &f)
{
    f.IsNull() ? p.setNullFloat() : p.setAsFloat(f.AsFloat());
}

// One delivery-note line as invoice line `gyo`; a NULL quantity, price or amount stays NULL. The
// note's date is read once per note.
void bindLine(const TEngineQuery &from, const LineParams &to, int key, int gyo, int &dateOfNote, QDate &date)
{
    const int note = from.Field(NoteKey).AsInteger();
    if (note != dateOfNote) {
        dateOfNote = note;
        date = from.Field(Hiduke).AsDate();
    }
    to[0].setAsInteger(key);
    to[1].setAsInteger(gyo);
    to[2].setAsDate(date);
    to[3].setAsString(from.Field(NohinNo).AsString());
    to[4].setAsString(from.Field(SyohinNM).AsString());
    to[5].setAsString(from.Field(Kikaku).AsString());
    bindFloat(to[6], from.Field(Suryo));
    to[7].setAsString(from.Field(Tani).AsString());
    bindFloat(to[8], from.Field(Tanka));
    const TEngineField kingaku = from.Field(Kingaku);
    kingaku.IsNull() ? to[9].setNullInteger() : to[9].setAsInteger(kingaku.AsInteger());
}

} // namespace

// The run's statements, prepared once and run for every customer.
struct InvoiceRun::Statements
{
    explicit Statements(TEngineDatabase *db)
        : customer(db), payments(db), notes(db), insertInvoice(db), lines(db), insertLine(db),
          markPayments(db), markNotes(db), carryOver(db)
    {
        customer.setSql({QStringLiteral("select TorihikisakiNM, ZenkaiSeikyuGaku from Torihikisaki"),
                         QStringLiteral("where key = :TorihikisakiKey")});
        // How many unbilled documents there are and their sum, in one statement per table.
        payments.setSql(
            QStringList{QStringLiteral("Select count(*) Kensu, sum(Nyukingaku) Nyukingaku from Nyukin")} +
            unbilled(QStringLiteral("NyukinYMD")));
        notes.setSql(QStringList{QStringLiteral("Select count(*) Kensu, sum(Kingaku) Kingaku from Nohin")} +
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
        lineParams.emplace(insertLine);
    }

    // Sets the customer and the closing date on every statement that selects unbilled documents.
    void select(int customerKey, const QDate &closing)
    {
        for (TEngineQuery *q : {&payments, &notes, &lines, &markPayments, &markNotes}) {
            q->ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customerKey);
            q->ParamByName(QStringLiteral("SeikyuSimebi")).setAsDate(closing);
        }
        customer.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(customerKey);
    }

    // The count and the sum of a customer's unbilled documents.
    static std::pair<qint64, qint64> countAndSum(TEngineQuery &q)
    {
        q.Open();
        const std::pair<qint64, qint64> result{q.Field(0).AsLargeInt(), q.Field(1).AsLargeInt()};
        q.Close();
        return result;
    }

    TEngineQuery customer, payments, notes, insertInvoice, lines, insertLine, markPayments, markNotes,
        carryOver;
    std::optional<LineParams> lineParams; // found once the insert has its statement
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
    // Saves of notes and payments take the customers' lock, their deletions the lock of their table:
    // holding all three, nobody changes what this step counts before it has marked it.
    for (const char *table : {"Torihikisaki", "Nohin", "Nyukin"})
        m_db.LockForNumbering(QLatin1String(table));
    m_q->select(customer, closing);
    const auto [payments, nyukin] = Statements::countAndSum(m_q->payments);
    const auto [notes, hanbai] = Statements::countAndSum(m_q->notes);
    if (payments == 0 && notes == 0)
        return std::nullopt; // the guard ends the transaction, which wrote nothing
    const int key = writeInvoice(customer, closing, nyukin, hanbai);
    m_q->markPayments.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markPayments.ExecSQL();
    m_q->markNotes.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(key);
    m_q->markNotes.ExecSQL();
    // Under these locks nobody adds or removes this customer's documents; a difference means a writer
    // that takes none of them, and the invoice would not match what it marks.
    if (m_q->markPayments.RowsAffected() != payments || m_q->markNotes.RowsAffected() != notes)
        throw EngineError(QStringLiteral("請求の対象となる納品書・入金がほかのコンピュータで変更されました"));
    transaction.commit();
    return key;
}

// Inserts the invoice with its lines and carries its amount over to the customer; the key.
int InvoiceRun::writeInvoice(int customer, const QDate &closing, qint64 nyukin, qint64 hanbai)
{
    Statements &q = *m_q;
    q.customer.Open();
    if (q.customer.IsEmpty())
        throw EngineError(QStringLiteral("取引先（key %1）が見つかりません").arg(customer));
    const QString name = q.customer.FieldByName(QStringLiteral("TorihikisakiNM")).AsString();
    const qint64 zenkai = q.customer.FieldByName(QStringLiteral("ZenkaiSeikyuGaku")).AsLargeInt();
    q.customer.Close();
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

    writeLines(n.key);

    q.carryOver.ParamByName(QStringLiteral("ZenkaiSeikyuGaku")).setAsInteger(int(seikyu));
    q.carryOver.ParamByName(QStringLiteral("Key")).setAsInteger(customer);
    q.carryOver.ExecSQL();
    if (q.carryOver.RowsAffected() != 1)
        throw EngineError(QStringLiteral("取引先（key %1）が見つかりません").arg(customer));
    return n.key;
}

// One invoice line for each line of the notes taken, by date, note and line.
void InvoiceRun::writeLines(int key)
{
    Statements &q = *m_q;
    q.lines.Open();
    int gyo = 0;
    int dateOfNote = -1;
    QDate date;
    for (q.lines.First(); !q.lines.Eof(); q.lines.Next()) {
        bindLine(q.lines, *q.lineParams, key, ++gyo, dateOfNote, date);
        q.insertLine.ExecSQL();
    }
    q.lines.Close();
}
