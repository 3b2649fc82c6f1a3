#include "masters/CsvImport.h"

#include "common/AppError.h"
#include "common/Ukansu.h"
#include "data/Engine.h"
#include "data/SjisLengthValidator.h"
#include "masters/CustomerStore.h"
#include "masters/PostalLookup.h"
#include "masters/ProductStore.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace CsvImport {
namespace {

enum class Type { Key, Code, Text, Honorific, Amount, ClosingDay, Price, Registered };

struct Column
{
    const char *title;
    const char *field; // the table's column
    Type type;
    bool required = false;
    int leastCode = 0; // of a code
};

// In the order of the export's columns.
const QList<Column> &customerColumns()
{
    static const QList<Column> c{{"key", "key", Type::Key},
                                 {"取引先CD", "TorihikisakiCD", Type::Code, true, 0},
                                 {"取引先名", "TorihikisakiNM", Type::Text, true},
                                 {"敬称", "Keisyo", Type::Honorific},
                                 {"〒", "Yubin", Type::Text},
                                 {"住所１", "Jyusyo1", Type::Text},
                                 {"住所２", "Jyusyo2", Type::Text},
                                 {"Tel", "Tel", Type::Text},
                                 {"Fax", "Fax", Type::Text},
                                 {"部署", "Busyo", Type::Text},
                                 {"担当者", "Tantosya", Type::Text},
                                 {"Mail", "Mail", Type::Text},
                                 {"期首売掛残", "Kisyuzan", Type::Amount},
                                 {"前回請求額", "ZenkaiSeikyuGaku", Type::Amount},
                                 {"締日", "SeikyuSimebi", Type::ClosingDay},
                                 {"登録日", "TorokuYMD", Type::Registered}};
    return c;
}
// The customer columns the rules below name.
enum CustomerColumn { cKey = 0, cCode = 1, cKisyuzan = 12, cZenkai = 13, cRegistered = 15 };

const QList<Column> &productColumns()
{
    static const QList<Column> c{{"商品CD", "SyohinCD", Type::Code, true, 1},
                                 {"商品名", "SyohinNM", Type::Text, true},
                                 {"規格", "Kikaku", Type::Text},
                                 {"単位", "Tani", Type::Text},
                                 {"単価", "Tanka", Type::Price}};
    return c;
}

const QList<Column> &columnsOf(Kind kind)
{
    return kind == Kind::Customers ? customerColumns() : productColumns();
}

int codeColumn(Kind kind)
{
    return kind == Kind::Customers ? cCode : 0;
}

QString tableOf(Kind kind)
{
    return kind == Kind::Customers ? QStringLiteral("Torihikisaki") : QStringLiteral("Syohin");
}

// 取引先 or 商品, for messages.
QString recordWord(Kind kind)
{
    return kind == Kind::Customers ? QStringLiteral("取引先") : QStringLiteral("商品");
}

const QString kRegisteredFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// A value as a message quotes it: a long one cut short, so that a huge cell is not repeated.
QString quoted(const QString &value)
{
    constexpr int kShown = 20;
    return value.size() <= kShown ? value : value.left(kShown) + QStringLiteral("…");
}

// A whole number as a spreadsheet may write it: surrounding blanks and, between groups of three
// digits, commas ("1,234,567"); "1,2,3" is no number.
std::optional<qint64> wholeNumber(const QString &text)
{
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+$"));
    QString t = text.trimmed();
    if (grouped.match(t).hasMatch())
        t.remove(QLatin1Char(','));
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

std::optional<QDateTime> registeredTime(const QString &text)
{
    return TextToDateTime(text.trimmed());
}

// Why the value cannot go into the column; empty when it can.
QString checkValue(const Column &c, const QString &value, const QString &table)
{
    const QString trimmed = value.trimmed();
    if (value.contains(QChar(u'\0')))
        return QStringLiteral("NUL 文字が含まれています");
    if (c.required && trimmed.isEmpty())
        return QStringLiteral("入力してください");
    switch (c.type) {
    case Type::Key:
        return {};
    case Type::Text: {
        const QString stored = Csv::unguardFormula(value);
        const int limit = columnByteLength(table, QLatin1String(c.field));
        if (limit > 0 && sjisByteLength(stored) > limit)
            return QStringLiteral("長すぎます（%1 バイトまで、%2 バイトあります）")
                .arg(limit)
                .arg(sjisByteLength(stored));
        return {};
    }
    case Type::Honorific:
        if (!trimmed.isEmpty() && !CustomerStore::honorifics().contains(trimmed))
            return QStringLiteral("%1 のいずれかを入力してください")
                .arg(CustomerStore::honorifics().join(QStringLiteral("、")));
        return {};
    case Type::Code:
    case Type::Amount:
    case Type::ClosingDay: {
        if (trimmed.isEmpty())
            return {};
        const std::optional<qint64> n = wholeNumber(trimmed);
        if (!n)
            return QStringLiteral("整数ではありません（%1）").arg(quoted(trimmed));
        if (*n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
            return QStringLiteral("数値が大きすぎます（%1）").arg(quoted(trimmed));
        if (c.type == Type::Code && *n < c.leastCode)
            return QStringLiteral("%1 以上の整数を入力してください").arg(c.leastCode);
        if (c.type == Type::ClosingDay && !((*n >= 0 && *n <= 31) || *n == 99))
            return QStringLiteral("0～31 または 99（月末）を入力してください");
        return {};
    }
    case Type::Price:
        try {
            ProductStore::priceFromText(trimmed);
        } catch (const AppError &) {
            return QStringLiteral("数値ではありません（%1）").arg(quoted(trimmed));
        }
        return {};
    case Type::Registered:
        if (!trimmed.isEmpty() && !registeredTime(trimmed))
            return QStringLiteral("日時ではありません（%1）").arg(quoted(trimmed));
        return {};
    }
    return {};
}

// The value a checked cell gives its column, as stored records' values are written (see valuesOf);
// nothing when the cell leaves the stored value as it is. A new customer's empty 敬称 stays empty, as
// a document editor may register one.
std::optional<QString> givenValue(const Column &c, const QString &cell, bool fresh)
{
    const QString trimmed = cell.trimmed();
    switch (c.type) {
    case Type::Key:
        return std::nullopt; // keys are the program's own
    case Type::Text:
        if (QLatin1String(c.field) == QLatin1String("Yubin"))
            return PostalLookup::storedCode(Csv::unguardFormula(cell));
        return Csv::unguardFormula(cell);
    case Type::Honorific:
        return trimmed.isEmpty() && !fresh ? std::nullopt : std::optional<QString>(trimmed);
    case Type::Code:
    case Type::Amount:
    case Type::ClosingDay:
        if (trimmed.isEmpty())
            return std::nullopt;
        return QString::number(*wholeNumber(trimmed));
    case Type::Price:
        return ProductStore::priceText(ProductStore::priceFromText(trimmed));
    case Type::Registered:
        if (trimmed.isEmpty())
            return std::nullopt;
        return registeredTime(trimmed)->toString(kRegisteredFormat);
    }
    return std::nullopt;
}

// A stored record as text by the kind's columns, and back.
QStringList valuesOf(const CustomerRecord &c)
{
    const auto n = [](int v) { return QString::number(v); };
    return {n(c.key),
            n(c.TorihikisakiCD),
            c.TorihikisakiNM,
            c.Keisyo,
            c.Yubin,
            c.Jyusyo1,
            c.Jyusyo2,
            c.Tel,
            c.Fax,
            c.Busyo,
            c.Tantosya,
            c.Mail,
            n(c.Kisyuzan),
            n(c.ZenkaiSeikyuGaku),
            n(c.SeikyuSimebi),
            c.TorokuYMD.isValid() ? c.TorokuYMD.toString(kRegisteredFormat) : QString()};
}

CustomerRecord customerOf(const QStringList &v)
{
    CustomerRecord c;
    c.key = v.at(0).toInt();
    c.TorihikisakiCD = v.at(1).toInt();
    c.TorihikisakiNM = v.at(2);
    c.Keisyo = v.at(3);
    c.Yubin = v.at(4);
    c.Jyusyo1 = v.at(5);
    c.Jyusyo2 = v.at(6);
    c.Tel = v.at(7);
    c.Fax = v.at(8);
    c.Busyo = v.at(9);
    c.Tantosya = v.at(10);
    c.Mail = v.at(11);
    c.Kisyuzan = v.at(12).toInt();
    c.ZenkaiSeikyuGaku = v.at(13).toInt();
    c.SeikyuSimebi = v.at(14).toInt();
    c.TorokuYMD = QDateTime::fromString(v.at(15), kRegisteredFormat);
    return c;
}

QStringList valuesOf(const ProductRecord &p)
{
    return {QString::number(p.SyohinCD), p.SyohinNM, p.Kikaku, p.Tani, ProductStore::priceText(p.Tanka)};
}

ProductRecord productOf(const QStringList &v)
{
    return {v.at(0).toInt(), v.at(1), v.at(2), v.at(3), ProductStore::priceFromText(v.at(4))};
}

// The values a new record starts from.
QStringList freshValues(Kind kind)
{
    if (kind == Kind::Products)
        return valuesOf(ProductRecord{});
    CustomerRecord c;
    c.Keisyo = CustomerStore::honorifics().first();
    return valuesOf(c);
}

QStringList storedValues(TEngineDatabase &db, Kind kind, int key)
{
    return kind == Kind::Customers ? valuesOf(*CustomerStore::load(db, key))
                                   : valuesOf(*ProductStore::load(db, key));
}

// A customer as this database's export names it: its key and registration time.
QString sourceIdentity(int key, const QDateTime &registered)
{
    return QString::number(key) + QLatin1Char('@') + registered.toString(kRegisteredFormat);
}

// The stored record a row is (see the header); `leftOut` are keys this import has just added.
struct Identity
{
    bool existing = false;
    int key = 0;
    QString problem; // why it cannot be told
};

Identity identify(TEngineDatabase &db, Kind kind, const Row &row, const QSet<int> &leftOut = {})
{
    if (kind == Kind::Products)
        return {ProductStore::load(db, row.code).has_value(), row.code, {}};
    if (!row.sourceIdentity.isEmpty()) {
        const int key = row.fields.at(cKey).trimmed().toInt();
        const std::optional<CustomerRecord> c = CustomerStore::load(db, key);
        if (c && !leftOut.contains(key) && sourceIdentity(key, c->TorokuYMD) == row.sourceIdentity)
            return {true, key, {}};
    }
    if (row.code == 0)
        return {};
    QList<int> keys = CustomerStore::keysByCode(db, row.code);
    keys.removeIf([&](int key) { return leftOut.contains(key); });
    if (keys.size() > 1)
        return {
            false, 0,
            QStringLiteral("取引先CD %1 の取引先が %2 件登録されているため、どれを更新するか決められません")
                .arg(row.code)
                .arg(keys.size())};
    return keys.isEmpty() ? Identity{} : Identity{true, keys.first(), {}};
}

bool isAmount(Kind kind, int column)
{
    return kind == Kind::Customers && (column == cKisyuzan || column == cZenkai);
}

// A customer with an invoice keeps its carried amounts; the file's other values are noted.
void keepCarriedAmounts(TEngineDatabase &db, const Preview &p, Row &row, const QStringList &stored)
{
    if (p.kind != Kind::Customers || !row.existing || !CustomerStore::hasInvoice(db, row.key))
        return;
    for (const int c : {int(cKisyuzan), int(cZenkai)}) {
        if (row.values.at(c) != stored.at(c))
            row.notes.append(
                QStringLiteral("%1 は請求書のある取引先では取り込みません（ファイル %2、登録済み %3）")
                    .arg(p.columns.at(c), row.values.at(c), stored.at(c)));
        row.values[c] = stored.at(c);
    }
}

// The values, changes and notes of a checked row.
void settle(TEngineDatabase &db, const Preview &p, Row &row)
{
    const QList<Column> &defs = columnsOf(p.kind);
    const QStringList stored = row.existing ? storedValues(db, p.kind, row.key) : freshValues(p.kind);
    row.values = stored;
    for (qsizetype c = 0; c < defs.size(); ++c)
        if (const std::optional<QString> v =
                row.cells.at(c) ? givenValue(defs.at(c), row.fields.at(c), !row.existing) : std::nullopt)
            row.values[c] = *v;
    if (!row.existing)
        return;
    if (p.kind == Kind::Customers)
        row.values[cRegistered] = stored.at(cRegistered); // kept as registered
    keepCarriedAmounts(db, p, row, stored);
    for (qsizetype c = 0; c < defs.size(); ++c)
        if (row.values.at(c) != stored.at(c))
            row.changes.append({int(c), stored.at(c), row.values.at(c)});
}

QString shownValue(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("（空）") : quoted(value);
}

QString changeText(const Preview &p, const Change &change)
{
    return QStringLiteral("%1: %2 → %3")
        .arg(p.columns.at(change.column), shownValue(change.before), shownValue(change.after));
}

// The problems of the bytes of a record that are no text.
QList<Problem> undecodable(const Csv::Record &record, const QStringList &header, Csv::Encoding encoding)
{
    QList<Problem> problems;
    for (const qsizetype i : record.undecodable)
        problems.append({record.line,
                         i < header.size() && !header.at(i).trimmed().isEmpty()
                             ? header.at(i).trimmed()
                             : QStringLiteral("%1 列目").arg(i + 1),
                         QStringLiteral("%1 として読めないバイトがあります")
                             .arg(encoding == Csv::Encoding::Utf8 ? QStringLiteral("UTF-8")
                                                                  : QStringLiteral("Shift-JIS（CP932）"))});
    return problems;
}

// The columns' places in the file; the file's problems when a required column is missing.
QList<int> findColumns(Preview &p, const Csv::Record &header)
{
    QList<int> at;
    for (const Column &c : columnsOf(p.kind)) {
        qsizetype i = -1;
        for (qsizetype h = 0; h < header.fields.size() && i < 0; ++h)
            if (header.fields.at(h).trimmed() == QString::fromUtf8(c.title))
                i = h;
        at.append(int(i));
        p.present.append(i >= 0);
        if (i < 0 && c.required)
            p.problems.append(
                {header.line, QString::fromUtf8(c.title), QStringLiteral("この見出しの列がありません")});
    }
    return at;
}

// A row as read and checked, before it is compared with what is stored.
Row checkedRow(const Preview &p, const Csv::Record &record, const QList<int> &at, const QStringList &header)
{
    const QList<Column> &defs = columnsOf(p.kind);
    const QString table = tableOf(p.kind);
    Row row;
    row.line = record.line;
    row.problems = undecodable(record, header, p.encoding);
    if (record.fields.size() > header.size())
        row.problems.append(
            {row.line, {}, QStringLiteral("見出しより列が多くあります（%1 列）").arg(record.fields.size())});
    for (qsizetype c = 0; c < defs.size(); ++c) {
        const bool has = at.at(c) >= 0 && at.at(c) < record.fields.size();
        const QString value = has ? record.fields.at(at.at(c)) : QString();
        row.fields.append(value);
        row.cells.append(has);
        const bool spoilt = has && record.undecodable.contains(at.at(c));
        const QString why = has && !spoilt ? checkValue(defs.at(c), value, table) : QString();
        if (!why.isEmpty())
            row.problems.append({row.line, QString::fromUtf8(defs.at(c).title), why});
        else if (!has && defs.at(c).required)
            row.problems.append(
                {row.line, QString::fromUtf8(defs.at(c).title), QStringLiteral("入力してください")});
    }
    if (!row.ok())
        return row;
    row.code = int(wholeNumber(row.fields.at(codeColumn(p.kind))).value_or(0));
    if (p.kind == Kind::Customers) {
        bool keyOk = false;
        const int key = row.fields.at(cKey).trimmed().toInt(&keyOk);
        const QString registered = row.fields.at(cRegistered).trimmed();
        if (keyOk && !registered.isEmpty())
            row.sourceIdentity = sourceIdentity(key, *registeredTime(registered));
    }
    return row;
}

// Two rows that would write the same record: the second is refused.
class SameRecordCheck
{
public:
    explicit SameRecordCheck(const Preview &p) : m_p(p) {}

    void check(Row &row)
    {
        if (row.existing) {
            if (m_storedKeys.contains(row.key))
                refuse(row, QStringLiteral("%1 行目と同じ%2です")
                                .arg(m_storedKeys.value(row.key))
                                .arg(recordWord(m_p.kind)));
            else
                m_storedKeys.insert(row.key, row.line);
            return;
        }
        if (!row.sourceIdentity.isEmpty() && m_sources.contains(row.sourceIdentity)) {
            refuse(row, QStringLiteral("%1 行目と同じ取引先です（key と登録日が同じ）")
                            .arg(m_sources.value(row.sourceIdentity)));
            return;
        }
        if (!row.sourceIdentity.isEmpty())
            m_sources.insert(row.sourceIdentity, row.line);
        if (row.code == 0)
            return; // no code: every other such row is a customer of its own
        // New records with one code: customers exported from one database may share a code (each
        // then carries its own key and 登録日); otherwise the second is a mistake of the file.
        const auto seen = m_newCodes.constFind(row.code);
        if (seen != m_newCodes.constEnd() &&
            (row.sourceIdentity.isEmpty() || seen->second.isEmpty() || row.sourceIdentity == seen->second)) {
            refuse(row, QStringLiteral("%1 行目と同じコードです").arg(seen->first));
            return;
        }
        if (seen == m_newCodes.constEnd())
            m_newCodes.insert(row.code, {row.line, row.sourceIdentity});
    }

private:
    void refuse(Row &row, const QString &why)
    {
        row.problems.append({row.line, m_p.columns.at(codeColumn(m_p.kind)), why});
    }

    const Preview &m_p;
    QHash<int, int> m_storedKeys;                   // key → the first line
    QHash<QString, int> m_sources;                  // the key and 登録日 of a new row → its line
    QHash<int, std::pair<int, QString>> m_newCodes; // code → the first line and its source identity
};

} // namespace

std::optional<Kind> kindFromName(const QString &name)
{
    if (name == QLatin1String("customers"))
        return Kind::Customers;
    if (name == QLatin1String("products"))
        return Kind::Products;
    return std::nullopt;
}

QString Problem::text() const
{
    return column.isEmpty() ? QStringLiteral("%1 行目: %2").arg(line).arg(reason)
                            : QStringLiteral("%1 行目 %2: %3").arg(line).arg(column, reason);
}

int Preview::refused() const
{
    int n = 0;
    for (const Row &r : rows)
        n += r.ok() ? 0 : 1;
    return n;
}

QStringList Preview::problemTexts() const
{
    QStringList texts;
    for (const Problem &p : problems)
        texts.append(p.text());
    for (const Row &r : rows)
        for (const Problem &p : r.problems)
            texts.append(p.text());
    return texts;
}

int Preview::updates(Existing existing) const
{
    if (existing == Existing::Skip)
        return 0;
    int n = 0;
    for (const Row &r : rows)
        n += r.ok() && !r.changes.isEmpty() ? 1 : 0;
    return n;
}

QString Preview::result(const Row &row, Existing existing) const
{
    if (!row.ok()) {
        QStringList why;
        for (const Problem &p : row.problems)
            why.append(p.column.isEmpty() ? p.reason : p.column + QStringLiteral(": ") + p.reason);
        return why.join(QStringLiteral(" / "));
    }
    if (row.existing && existing == Existing::Skip)
        return QStringLiteral("登録済み（読み飛ばし）");
    QStringList parts;
    for (const Change &c : row.changes)
        parts.append(changeText(*this, c));
    const QString what = !row.existing     ? QStringLiteral("新規")
                         : parts.isEmpty() ? QStringLiteral("変更なし")
                                           : QStringLiteral("更新 ") + parts.join(QStringLiteral("、"));
    return (QStringList{what} + row.notes).join(QStringLiteral(" / "));
}

QStringList Preview::changeTexts(Existing existing) const
{
    QStringList texts;
    for (const Row &r : rows) {
        if (!r.ok() || !r.existing || existing == Existing::Skip ||
            (r.changes.isEmpty() && r.notes.isEmpty()))
            continue;
        texts.append(QStringLiteral("%1 行目（%2 %3）: %4")
                         .arg(r.line)
                         .arg(columns.at(codeColumn(kind)))
                         .arg(r.code)
                         .arg(result(r, existing)));
    }
    return texts;
}

QStringList columns(Kind kind)
{
    QStringList titles;
    for (const Column &c : columnsOf(kind))
        titles.append(QString::fromUtf8(c.title));
    return titles;
}

Preview preview(TEngineDatabase &db, Kind kind, const QByteArray &bytes)
{
    Preview p;
    p.kind = kind;
    p.columns = columns(kind);
    QList<Csv::Record> records;
    try {
        records = Csv::read(bytes, &p.encoding);
    } catch (const AppError &e) {
        p.problems.append({0, {}, e.message()});
        return p;
    }
    if (records.isEmpty()) {
        p.problems.append({1, {}, QStringLiteral("見出しの行がありません")});
        return p;
    }
    const Csv::Record &header = records.first();
    p.problems = undecodable(header, {}, p.encoding);
    const QList<int> at = findColumns(p, header);
    if (!p.problems.isEmpty())
        return p;
    SameRecordCheck same(p);
    for (const Csv::Record &record : records.mid(1)) {
        Row row = checkedRow(p, record, at, header.fields);
        if (row.ok()) {
            const Identity identity = identify(db, kind, row);
            if (!identity.problem.isEmpty())
                row.problems.append({row.line, p.columns.at(codeColumn(kind)), identity.problem});
            row.existing = identity.existing;
            row.key = identity.key;
        }
        if (row.ok())
            same.check(row);
        if (row.ok())
            settle(db, p, row);
        p.rows.append(row);
    }
    return p;
}

Preview previewFile(TEngineDatabase &db, Kind kind, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("%1 を開けません\n%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return preview(db, kind, file.readAll());
}

namespace {

// Why the stored record can no longer take the row's changes; empty when it can.
QString conflictOf(TEngineDatabase &db, const Preview &p, const Row &row, const QStringList &stored)
{
    for (const Change &c : row.changes)
        if (isAmount(p.kind, c.column) && CustomerStore::hasInvoice(db, row.key))
            return QStringLiteral("請求書が作成されたため %1 は変更できません").arg(p.columns.at(c.column));
    QStringList changed;
    for (const Change &c : row.changes)
        if (stored.at(c.column) != c.before)
            changed.append(p.columns.at(c.column));
    if (changed.isEmpty())
        return {};
    return QStringLiteral("%1 がほかのコンピュータで変更されました").arg(changed.join(QStringLiteral("、")));
}

int insertValues(TEngineDatabase &db, Kind kind, const QStringList &values)
{
    if (kind == Kind::Products) {
        ProductStore::insert(db, productOf(values));
        return values.at(0).toInt();
    }
    return CustomerStore::insert(db, customerOf(values));
}

void updateValues(TEngineDatabase &db, Kind kind, const QStringList &values)
{
    if (kind == Kind::Products)
        ProductStore::update(db, productOf(values));
    else
        CustomerStore::update(db, customerOf(values));
}

} // namespace

Outcome apply(TEngineDatabase &db, const Preview &preview, Existing existing, bool goodRowsOnly)
{
    if (!preview.usable())
        throw AppError(QStringLiteral("読み込めないファイルです\n") +
                       preview.problemTexts().join(QLatin1Char('\n')));
    if (preview.refused() > 0 && !goodRowsOnly)
        throw AppError(
            QStringLiteral("エラーのある行が %1 行あるため、何も登録していません\n").arg(preview.refused()) +
            preview.problemTexts().mid(0, 10).join(QLatin1Char('\n')));
    Outcome outcome;
    TEngineTransaction transaction(db);
    // What the preview read is compared again under the table's lock, which the invoice run, document
    // saves and other imports take too: nothing changes it until this import commits.
    db.LockForNumbering(tableOf(preview.kind));
    QStringList conflicts;
    QSet<int> added;
    for (const Row &row : preview.rows) {
        if (!row.ok()) {
            ++outcome.skipped;
            continue;
        }
        const Identity now = identify(db, preview.kind, row, added);
        if (now.existing != row.existing || now.key != row.key) {
            conflicts.append(
                QStringLiteral("%1 行目: %2")
                    .arg(row.line)
                    .arg(row.existing
                             ? QStringLiteral("%1がほかのコンピュータで削除されたか、コードが変更されました")
                                   .arg(recordWord(preview.kind))
                             : QStringLiteral("同じコードの%1がほかのコンピュータで登録されました")
                                   .arg(recordWord(preview.kind))));
            continue;
        }
        if (row.existing && existing == Existing::Skip) {
            ++outcome.skipped;
            continue;
        }
        if (!row.existing) {
            added.insert(insertValues(db, preview.kind, row.values));
            ++outcome.added;
            continue;
        }
        const QStringList stored = storedValues(db, preview.kind, row.key);
        if (const QString why = conflictOf(db, preview, row, stored); !why.isEmpty()) {
            conflicts.append(QStringLiteral("%1 行目: %2").arg(row.line).arg(why));
        } else if (row.changes.isEmpty()) {
            ++outcome.unchanged;
        } else {
            QStringList values = stored;
            for (const Change &c : row.changes)
                values[c.column] = c.after;
            updateValues(db, preview.kind, values);
            ++outcome.updated;
        }
    }
    if (!conflicts.isEmpty())
        throw AppError(QStringLiteral("読み込んだ後にほかのコンピュータでデータが変更されたため、何も登録して"
                                      "いません。もう一度ファイルを読み込んでください\n") +
                       conflicts.mid(0, 10).join(QLatin1Char('\n')));
    transaction.commit();
    return outcome;
}

} // namespace CsvImport
