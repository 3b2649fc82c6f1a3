#include "documents/DocumentStore.h"

#include "common/Clock.h"
#include "common/DisplayFormat.h"
#include "data/Engine.h"
#include "data/RowStatements.h"
#include "data/Schema.h"
#include "data/SjisLengthValidator.h"
#include "documents/BilledDocuments.h"

namespace DocumentStore {

namespace {

bool isEstimate(Kind kind)
{
    return kind == Kind::Mitumori;
}

QString headerTable(Kind kind)
{
    return isEstimate(kind) ? QStringLiteral("Mitumori") : QStringLiteral("Nohin");
}

QString lineTable(Kind kind)
{
    return isEstimate(kind) ? QStringLiteral("MitumoriMesai") : QStringLiteral("NohinMesai");
}

QString documentName(Kind kind)
{
    return isEstimate(kind) ? QStringLiteral("見積書") : QStringLiteral("納品書");
}

void openByKey(TEngineQuery &q, const QString &select, int key, const QString &order = {})
{
    q.addSql(select);
    q.addSql(QStringLiteral("where key = :key"));
    if (!order.isEmpty())
        q.addSql(order);
    q.ParamByName(QStringLiteral("key")).setAsInteger(key);
    q.Open();
}

QList<DocumentLine> readLines(TEngineDatabase &db, const QString &table, int key)
{
    TEngineQuery q(&db);
    openByKey(q, QStringLiteral("select * from %1").arg(table), key, QStringLiteral("Order By Gyo"));
    QList<DocumentLine> lines;
    for (q.First(); !q.Eof(); q.Next()) {
        DocumentLine line;
        line.Gyo = q.integer("Gyo");
        line.SyohinNM = q.text("SyohinNM");
        line.Suryo = q.optionalFloat("Suryo");
        line.Tani = q.text("Tani");
        line.Tanka = q.optionalFloat("Tanka");
        line.Kingaku = q.optionalLargeInt("Kingaku");
        line.ZeiRitu = q.optionalInteger(QStringLiteral("ZeiRitu"));
        lines.append(line);
    }
    return lines;
}

DocumentRecord readHeader(const TEngineQuery &q, Kind kind)
{
    DocumentRecord d;
    d.key = q.integer("key");
    d.number = q.text(Numbering::info(kind).numberColumn);
    d.Hiduke = q.date("Hiduke");
    d.Seq = q.integer("Seq");
    d.TorihikisakiKey = q.integer("TorihikisakiKey");
    d.UkewatasiBasyo = q.text("UkewatasiBasyo");
    d.JisyaTanto = q.text("JisyaTanto");
    d.Kingaku = q.largeInt("Kingaku");
    if (isEstimate(kind)) {
        d.Title = q.text("Title");
        d.YukoKigen = q.text("YukoKigen");
        d.Nouki = q.text("Nouki");
        d.SiharaiJyoken = q.text("SiharaiJyoken");
    } else {
        d.SeikyuKey = q.integer("SeikyuKey");
    }
    if (!q.FieldByName(QStringLiteral("Zei10")).IsNull()) {
        ConsumptionTax::RateSums sums;
        sums.Taisyo10 = q.largeInt("Taisyo10");
        sums.Zei10 = q.largeInt("Zei10");
        sums.Taisyo8 = q.largeInt("Taisyo8");
        sums.Zei8 = q.largeInt("Zei8");
        sums.Hikazei = q.largeInt("Hikazei");
        d.taxSums = sums;
    }
    return d;
}

QString amountText(qint64 value)
{
    return formatNumber(DisplayFormat::kInteger, double(value));
}

qint64 sumOf(const QList<DocumentLine> &lines)
{
    qint64 sum = 0;
    for (const DocumentLine &line : lines)
        sum += line.Kingaku.value_or(0); // each within 32 bits after checkAmounts: no overflow
    return sum;
}

// The customer of the document: registered now when it names none. The customers' lock is held
// until the commit, so a customer that exists here cannot be deleted before the document is stored.
int customerFor(TEngineDatabase &db, const DocumentRecord &document, const CustomerRecord &newCustomer)
{
    db.LockForNumbering(QStringLiteral("Torihikisaki"));
    if (document.TorihikisakiKey == 0) {
        CustomerRecord c = newCustomer;
        c.key = 0;
        c.TorihikisakiCD = 0;
        c.Kisyuzan = 0;
        c.ZenkaiSeikyuGaku = 0;
        c.SeikyuSimebi = 0;
        return CustomerStore::insert(db, c);
    }
    if (!CustomerStore::load(db, document.TorihikisakiKey))
        throw AppError(QStringLiteral("取引先（Key %1）は他のコンピュータで削除されています。"
                                      "取引先を選び直してから保存してください")
                           .arg(document.TorihikisakiKey));
    return document.TorihikisakiKey;
}

void execWithKey(TEngineQuery &q, const QString &statement, const QString &where, int key)
{
    q.setSql({statement, where});
    q.ParamByName(QStringLiteral("Key")).setAsInteger(key);
    q.ExecSQL();
}

[[noreturn]] void throwGone(Kind kind, int key)
{
    throw AppError(
        QStringLiteral("この%1（Key %2）は他のコンピュータで削除されています。保存できませんでした")
            .arg(documentName(kind))
            .arg(key));
}

// The invoice that holds the stored delivery note. The row is locked first (an update that changes
// nothing), so that an invoice run at another computer cannot mark it between this read and the
// save's delete: the note keeps whatever invoice holds it when the save commits.
int heldByInvoice(TEngineDatabase &db, int key)
{
    TEngineQuery q(&db);
    execWithKey(q, QStringLiteral("update Nohin set SeikyuKey = SeikyuKey"),
                QStringLiteral("where Key = :Key"), key);
    if (q.RowsAffected() == 0)
        throwGone(Kind::Nohin, key);
    q.clearSql();
    openByKey(q, QStringLiteral("select SeikyuKey from Nohin"), key);
    return q.IsEmpty() ? 0 : q.Field(0).AsInteger();
}

// Deletes the stored document before it is written anew; returns the invoice that held a delivery
// note. Raises when the document is gone (deleted at another computer since it was opened), and when
// an invoice run or an invoice deletion at another computer changed the note's invoice since then:
// the invoice would no longer count what the note says.
int deleteStored(TEngineDatabase &db, Kind kind, const DocumentRecord &document)
{
    const int key = document.key;
    const int seikyuKey = isEstimate(kind) ? 0 : heldByInvoice(db, key);
    if (!isEstimate(kind))
        BilledDocuments::checkUnchanged(BilledDocuments::Kind::DeliveryNote, key, document.SeikyuKey,
                                        seikyuKey);
    TEngineQuery q(&db);
    execWithKey(q, QStringLiteral("DELETE from %1").arg(lineTable(kind)), QStringLiteral("WHERE Key = :Key"),
                key);
    execWithKey(q, QStringLiteral("DELETE from %1").arg(headerTable(kind)),
                QStringLiteral("WHERE Key = :Key"), key);
    if (q.RowsAffected() == 0)
        throwGone(kind, key);
    return seikyuKey;
}

// Every column of the table, for a whole row written anew; with the tax option on, its tax columns
// too (left out they stay NULL).
void insertWholeRow(TEngineQuery &q, const QString &table, bool withTax)
{
    QStringList columns = RowStatements::schemaColumns(table);
    if (withTax)
        for (const Schema::Column &c : Schema::table(table)->taxColumns)
            columns.append(QLatin1String(c.name));
    q.setSql({RowStatements::insertSql(table, columns)});
}

void bindSums(TEngineQuery &q, const ConsumptionTax::RateSums &s)
{
    const std::pair<const char *, qint64> sums[] = {{"Taisyo10", s.Taisyo10},
                                                    {"Zei10", s.Zei10},
                                                    {"Taisyo8", s.Taisyo8},
                                                    {"Zei8", s.Zei8},
                                                    {"Hikazei", s.Hikazei}};
    for (const auto &[name, value] : sums)
        q.ParamByName(QLatin1String(name)).setAsInteger(int(value)); // within 32 bits after checkAmounts
}

void insertHeader(TEngineDatabase &db, Kind kind, const DocumentRecord &d, const SavedDocument &s,
                  int seikyuKey, const ConsumptionTax::Settings &tax)
{
    TEngineQuery q(&db);
    insertWholeRow(q, headerTable(kind), tax.enabled);
    if (tax.enabled)
        bindSums(q, taxSumsOf(d.lines, tax));
    if (isEstimate(kind)) {
        q.ParamByName(QStringLiteral("Title")).setAsString(d.Title);
        q.ParamByName(QStringLiteral("YukoKigen")).setAsString(d.YukoKigen);
        q.ParamByName(QStringLiteral("Nouki")).setAsString(d.Nouki);
        q.ParamByName(QStringLiteral("SiharaiJyoken")).setAsString(d.SiharaiJyoken);
    } else {
        q.ParamByName(QStringLiteral("SeikyuKey")).setAsInteger(seikyuKey);
    }
    q.ParamByName(QStringLiteral("key")).setAsInteger(s.key);
    q.ParamByName(Numbering::info(kind).numberColumn).setAsString(s.number);
    q.ParamByName(QStringLiteral("Hiduke")).setAsDate(d.Hiduke);
    q.ParamByName(QStringLiteral("HidukeY")).setAsInteger(d.Hiduke.year());
    q.ParamByName(QStringLiteral("HidukeM")).setAsInteger(d.Hiduke.month());
    q.ParamByName(QStringLiteral("Seq")).setAsInteger(s.Seq);
    q.ParamByName(QStringLiteral("TorihikisakiKey")).setAsInteger(s.TorihikisakiKey);
    q.ParamByName(QStringLiteral("Ukewatasibasyo")).setAsString(d.UkewatasiBasyo);
    q.ParamByName(QStringLiteral("Kingaku")).setAsInteger(int(sumOf(d.lines)));
    q.ParamByName(QStringLiteral("JisyaTanto")).setAsString(d.JisyaTanto);
    q.ParamByName(QStringLiteral("KosinYMD")).setAsDateTime(Clock::now());
    q.ExecSQL();
}

void setDecimal(TEngineParam &p, const std::optional<double> &v)
{
    if (v)
        p.setAsFloat(*v);
    else
        p.setNullFloat();
}

void insertLines(TEngineDatabase &db, Kind kind, const QList<DocumentLine> &lines, int key, bool withTax)
{
    TEngineQuery q(&db);
    insertWholeRow(q, lineTable(kind), withTax);
    for (const DocumentLine &line : lines) {
        if (withTax)
            q.ParamByName(QStringLiteral("ZeiRitu")).setAsInteger(ConsumptionTax::rateOf(line.ZeiRitu));
        q.ParamByName(QStringLiteral("key")).setAsInteger(key);
        q.ParamByName(QStringLiteral("Gyo")).setAsInteger(line.Gyo);
        q.ParamByName(QStringLiteral("SyohinNM")).setAsString(line.SyohinNM);
        q.ParamByName(QStringLiteral("Kikaku")).setAsString(QString());
        setDecimal(q.ParamByName(QStringLiteral("Suryo")), line.Suryo);
        q.ParamByName(QStringLiteral("Tani")).setAsString(line.Tani);
        setDecimal(q.ParamByName(QStringLiteral("Tanka")), line.Tanka);
        if (line.Kingaku)
            q.ParamByName(QStringLiteral("Kingaku")).setAsInteger(int(*line.Kingaku));
        else
            q.ParamByName(QStringLiteral("Kingaku")).setNullInteger();
        q.ExecSQL();
    }
}

} // namespace

std::optional<DocumentRecord> load(TEngineDatabase &db, Kind kind, int key)
{
    TEngineQuery q(&db);
    openByKey(q, QStringLiteral("select * from %1").arg(headerTable(kind)), key);
    if (q.IsEmpty())
        return std::nullopt;
    DocumentRecord d = readHeader(q, kind);
    d.lines = readLines(db, lineTable(kind), key);
    return d;
}

std::optional<DocumentRecord> noteFromEstimate(TEngineDatabase &db, int estimateKey, const QDate &today)
{
    const std::optional<DocumentRecord> estimate = load(db, Kind::Mitumori, estimateKey);
    if (!estimate)
        return std::nullopt;
    DocumentRecord note;
    note.Hiduke = today;
    note.TorihikisakiKey = estimate->TorihikisakiKey;
    note.UkewatasiBasyo = estimate->UkewatasiBasyo;
    note.JisyaTanto = estimate->JisyaTanto;
    note.Kingaku = estimate->Kingaku;
    note.lines = estimate->lines;
    return note;
}

namespace {

// The rate of every line, for telling whether an edit changed what the invoice taxes.
QList<std::pair<int, int>> ratesOf(const QList<DocumentLine> &lines)
{
    QList<std::pair<int, int>> rates;
    for (const DocumentLine &line : lines)
        rates.append({line.Gyo, ConsumptionTax::rateOf(line.ZeiRitu)});
    return rates;
}

} // namespace

ConsumptionTax::RateSums taxSumsOf(const QList<DocumentLine> &lines, const ConsumptionTax::Settings &tax)
{
    QList<ConsumptionTax::RatedAmount> amounts;
    for (const DocumentLine &line : lines)
        amounts.append({ConsumptionTax::rateOf(line.ZeiRitu), line.Kingaku.value_or(0)});
    return ConsumptionTax::sumsOf(amounts, tax);
}

bool changesBilledNote(const DocumentRecord &opened, const DocumentRecord &edited)
{
    return opened.SeikyuKey != 0 &&
           (sumOf(edited.lines) != opened.Kingaku || edited.TorihikisakiKey != opened.TorihikisakiKey ||
            edited.Hiduke != opened.Hiduke || ratesOf(edited.lines) != ratesOf(opened.lines));
}

void checkAmounts(const QList<DocumentLine> &lines)
{
    qint64 sum = 0;
    for (const DocumentLine &line : lines) {
        const qint64 amount = line.Kingaku.value_or(0);
        if (!DocumentLines::fitsAmount(amount))
            throw AppError(QStringLiteral("%1行目の金額 %2 は大きすぎるため保存できません。"
                                          "金額は -2,147,483,648 から 2,147,483,647 までです")
                               .arg(line.Gyo)
                               .arg(amountText(amount)));
        sum += amount;
    }
    if (!DocumentLines::fitsAmount(sum))
        throw AppError(QStringLiteral("合計金額 %1 は大きすぎるため保存できません。"
                                      "合計は -2,147,483,648 から 2,147,483,647 までです")
                           .arg(amountText(sum)));
}

void checkTexts(Kind kind, const QList<DocumentLine> &lines)
{
    const struct
    {
        QString column;
        QString label;
        QString DocumentLine::*text;
    } texts[] = {{QStringLiteral("SyohinNM"), QStringLiteral("品名"), &DocumentLine::SyohinNM},
                 {QStringLiteral("Tani"), QStringLiteral("単位"), &DocumentLine::Tani}};
    for (const DocumentLine &line : lines)
        for (const auto &t : texts) {
            const int limit = columnByteLength(lineTable(kind), t.column);
            if (sjisByteLength(line.*(t.text)) > limit)
                throw AppError(QStringLiteral("%1行目の%2「%3」が長すぎるため保存できません。"
                                              "%2は%4バイト（全角%5文字）までです")
                                   .arg(line.Gyo)
                                   .arg(t.label, line.*(t.text))
                                   .arg(limit)
                                   .arg(limit / 2));
        }
}

void checkHeader(const DocumentRecord &document, const SaveOptions &options)
{
    if (!document.Hiduke.isValid() || document.Hiduke == kZeroDate)
        throw AppError(
            QStringLiteral("日付がないか、日付として読めません。日付を入力してから保存してください"));
    if (document.TorihikisakiKey == 0 && options.newCustomer.TorihikisakiNM.trimmed().isEmpty())
        throw AppError(QStringLiteral("取引先の会社名がありません。取引先を選ぶか、新規取引先の会社名を"
                                      "入力してから保存してください"));
}

SavedDocument save(TEngineDatabase &db, Kind kind, const DocumentRecord &document, const SaveOptions &options)
{
    checkAmounts(document.lines);
    checkTexts(kind, document.lines);
    checkHeader(document, options);
    TEngineTransaction transaction(db);
    SavedDocument saved;
    saved.TorihikisakiKey = customerFor(db, document, options.newCustomer);
    db.LockForNumbering(headerTable(kind));
    const int seikyuKey = document.key != 0 ? deleteStored(db, kind, document) : 0;
    const Numbering::Numbered n = Numbering::take(db, kind, options.settings, options.fiscalYearStart,
                                                  document.Hiduke, document.key, document.number);
    saved.key = n.key;
    saved.number = n.number;
    saved.Seq = n.seq;
    insertHeader(db, kind, document, saved, seikyuKey, options.tax);
    insertLines(db, kind, document.lines, saved.key, options.tax.enabled);
    transaction.commit();
    return saved;
}

} // namespace DocumentStore
