#include "billing/PaymentStore.h"

#include "common/Clock.h"
#include "common/DisplayFormat.h"
#include "common/Ukansu.h"
#include "data/Engine.h"
#include "data/RowStatements.h"
#include "data/SjisLengthValidator.h"
#include "documents/BilledDocuments.h"
#include "masters/OwnCompanyStore.h"

#include <algorithm>
#include <limits>

namespace {

const QString kTable = QStringLiteral("Nyukin");

PaymentRecord readRow(const TEngineQuery &q)
{
    PaymentRecord p;
    p.key = q.integer("key");
    p.RyosyuNo = q.text("RyosyuNo");
    p.NyukinYMD = q.date("NyukinYMD");
    p.NyukinY = q.integer("NyukinY");
    p.NyukinM = q.integer("NyukinM");
    p.Seq = q.integer("Seq");
    p.TorihikisakiKey = q.integer("TorihikisakiKey");
    p.Nyukingaku = q.integer("Nyukingaku");
    p.NyukinHouhou = q.text("NyukinHouhou");
    p.Tadasigaki = q.text("Tadasigaki");
    p.SeikyuKey = q.integer("SeikyuKey");
    p.TorokuYMD = q.dateTime("TorokuYMD");
    p.KosinYMD = q.dateTime("KosinYMD");
    return p;
}

void openByKey(TEngineQuery &q, const QString &table, int key)
{
    q.addSql(QStringLiteral("select * from %1").arg(table));
    q.addSql(QStringLiteral("where key = :key"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.Open();
}

// The entry fields stop at the column's length; a text that comes another way is refused here
// rather than cut by one engine and stored whole by the other.
void checkLength(const QString &label, const QString &column, const QString &value)
{
    const int bytes = columnByteLength(kTable, column);
    if (sjisByteLength(value) > bytes)
        throw AppError(
            QStringLiteral("%1は%2バイト（全角%3文字）までです").arg(label).arg(bytes).arg(bytes / 2));
}

bool numberTyped(const Numbering::SaibanSettei &settings)
{
    return settings.SaibanHouhou == Numbering::kTenyuryoku;
}

void checkTexts(const PaymentRecord &p, const Numbering::SaibanSettei &settings)
{
    if (numberTyped(settings))
        checkLength(QStringLiteral("領収書№"), QStringLiteral("RyosyuNo"), p.RyosyuNo);
    checkLength(QStringLiteral("支払方法"), QStringLiteral("NyukinHouhou"), p.NyukinHouhou);
    checkLength(QStringLiteral("領収書但書"), QStringLiteral("Tadasigaki"), p.Tadasigaki);
}

// Under the customers' lock the customer cannot be deleted before the payment is stored.
void lockCustomer(TEngineDatabase &db, int customerKey)
{
    if (customerKey == 0)
        throw AppError(QStringLiteral("取引先が選択されていません。\r\n"
                                      "「取引先検索」で入金の取引先を選んでください"));
    db.LockForNumbering(QStringLiteral("Torihikisaki"));
    TEngineQuery q(&db);
    q.addSql(QStringLiteral("select count(*) from Torihikisaki where key = :key"));
    q.ParamByName(QStringLiteral("key")).setAsInteger(customerKey);
    q.Open();
    if (q.Field(0).AsInteger() == 0)
        throw AppError(QStringLiteral("取引先（Key %1）が見つかりません。ほかのコンピュータで削除された"
                                      "可能性があります。取引先を選び直してください")
                           .arg(customerKey));
}

void bindCommon(TEngineQuery &q, const PaymentRecord &p)
{
    q.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(p.TorihikisakiKey);
    q.ParamByName(QStringLiteral("NyukinYMD")).setAsDate(p.NyukinYMD);
    q.ParamByName(QStringLiteral("Nyukingaku")).setAsInteger(p.Nyukingaku);
    q.ParamByName(QStringLiteral("NyukinHouhou")).setAsString(p.NyukinHouhou);
    q.ParamByName(QStringLiteral("TadasiGaki")).setAsString(p.Tadasigaki);
}

int insert(TEngineDatabase &db, const PaymentRecord &p, const Numbering::SaibanSettei &settings,
           int fiscalYearStart)
{
    const Numbering::Numbered n = Numbering::take(db, Numbering::Kind::Ryosyusyou, settings, fiscalYearStart,
                                                  p.NyukinYMD, 0, p.RyosyuNo);
    TEngineQuery q(&db);
    // A new payment has not been changed yet: no time of change.
    q.setSql({RowStatements::insertSql(kTable,
                                       RowStatements::schemaColumns(kTable, {QStringLiteral("KosinYMD")}))});
    q.ParamByName(QStringLiteral("key")).setAsInteger(n.key);
    q.ParamByName(QStringLiteral("RyosyuNo")).setAsString(n.number);
    q.ParamByName(QStringLiteral("NyukinY")).setAsInteger(p.NyukinYMD.year());
    q.ParamByName(QStringLiteral("NyukinM")).setAsInteger(p.NyukinYMD.month());
    q.ParamByName(QStringLiteral("Seq")).setAsInteger(n.seq);
    bindCommon(q, p);
    q.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(0);
    q.ParamByName(QStringLiteral("TorokuYMD")).setAsDateTime(Clock::now());
    q.ExecSQL();
    return n.key;
}

// What a change of a stored payment leaves as it was: key, receipt number (unless typed), year,
// month, running number, invoice and registration time.
QStringList keptColumns()
{
    return {QStringLiteral("key"),      QStringLiteral("RyosyuNo"), QStringLiteral("NyukinY"),
            QStringLiteral("NyukinM"),  QStringLiteral("Seq"),      QStringLiteral("SeikyuKey"),
            QStringLiteral("TorokuYMD")};
}

// The receipt number is stored too when the user types it ("手入力"); a composed number stays as
// it was given when the payment was created. The row is changed only while it still carries the
// invoice key read when the window opened: an invoice run (or an invoice deletion) at another
// computer since then refuses the save, for the invoice would no longer count what the payment says.
void update(TEngineDatabase &db, const PaymentRecord &p, const Numbering::SaibanSettei &settings)
{
    const bool typedNumber = numberTyped(settings);
    TEngineQuery q(&db);
    QStringList columns = RowStatements::schemaColumns(kTable, keptColumns());
    if (typedNumber)
        columns.append(QStringLiteral("RyosyuNo"));
    q.setSql(
        {RowStatements::updateSql(kTable, columns, {QStringLiteral("Key"), QStringLiteral("SeikyuKey")})});
    bindCommon(q, p);
    if (typedNumber)
        q.ParamByName(QStringLiteral("RyosyuNo")).setAsString(p.RyosyuNo);
    q.ParamByName(QStringLiteral("KosinYMD")).setAsDateTime(Clock::now());
    q.ParamByName(QStringLiteral("Key")).setAsInteger(p.key);
    q.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(p.SeikyuKey);
    q.ExecSQL();
    if (q.RowsAffected() != 0)
        return;
    const std::optional<PaymentRecord> stored = PaymentStore::load(db, p.key);
    if (!stored)
        throw EngineError(QStringLiteral("入金（Key %1）が見つかりません。ほかのコンピュータで削除された"
                                         "可能性があります。入金一覧を開き直してください")
                              .arg(p.key));
    BilledDocuments::checkUnchanged(BilledDocuments::Kind::Payment, p.key, p.SeikyuKey, stored->SeikyuKey);
    throw EngineError(QStringLiteral("入金（Key %1）を保存できませんでした").arg(p.key));
}

} // namespace

QString PaymentCustomer::shownAmount() const
{
    return formatNumber(DisplayFormat::kInteger, ZenkaiSeikyuGaku);
}

namespace PaymentStore {

QStringList paymentMethods(TEngineDatabase &db)
{
    QStringList methods{kCash};
    if (const std::optional<OwnCompanyRecord> company = OwnCompanyStore::load(db)) {
        for (const BankAccount &account : company->accounts)
            if (!account.KinyuKikan.isEmpty())
                methods.append(account.KinyuKikan);
    }
    methods << kCheque << kBill;
    return methods;
}

QStringList methodsInUse(TEngineDatabase &db)
{
    QStringList methods;
    TEngineQuery q(&db);
    q.setSql({QStringLiteral("select distinct NyukinHouhou from Nyukin")});
    for (q.Open(); !q.Eof(); q.Next())
        methods.append(q.Field(0).AsString());
    return methods;
}

std::optional<PaymentRecord> load(TEngineDatabase &db, int key)
{
    TEngineQuery q(&db);
    openByKey(q, kTable, key);
    if (q.IsEmpty())
        return std::nullopt;
    return readRow(q);
}

std::optional<PaymentCustomer> customer(TEngineDatabase &db, int key)
{
    TEngineQuery q(&db);
    openByKey(q, QStringLiteral("torihikisaki"), key);
    if (q.IsEmpty())
        return std::nullopt;
    return PaymentCustomer{q.integer("key"), q.text("TorihikisakiNM"), q.integer("ZenkaiSeikyuGaku")};
}

bool changesBilled(const PaymentRecord &opened, const PaymentRecord &edited)
{
    return opened.SeikyuKey != 0 &&
           (edited.Nyukingaku != opened.Nyukingaku || edited.TorihikisakiKey != opened.TorihikisakiKey ||
            edited.NyukinYMD != opened.NyukinYMD);
}

int amountFromText(const QString &text)
{
    // A run of digits that does not fit is said to be too large, not "no whole number".
    const QStringView number = QStringView(text).trimmed();
    const QStringView digits = number.startsWith(u'-') ? number.mid(1) : number;
    const bool onlyDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                             [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool fits = false;
    static_cast<void>(number.toInt(&fits, 10));
    if (onlyDigits && !fits)
        throw ConvertError(QStringLiteral("入金額が大きすぎます。%1円までの金額を入力してください")
                               .arg(formatNumber(DisplayFormat::kInteger, std::numeric_limits<int>::max())));
    return FieldTextToInteger(QStringLiteral("入金額"), text);
}

int save(TEngineDatabase &db, const PaymentRecord &payment, const Numbering::SaibanSettei &settings,
         int fiscalYearStart)
{
    checkTexts(payment, settings);
    TEngineTransaction transaction(db);
    lockCustomer(db, payment.TorihikisakiKey);
    int key = payment.key;
    if (key == 0)
        key = insert(db, payment, settings, fiscalYearStart);
    else
        update(db, payment, settings);
    transaction.commit();
    return key;
}

} // namespace PaymentStore
