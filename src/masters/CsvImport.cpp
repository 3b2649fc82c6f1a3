#include "masters/CsvImport.h"

#include "common/AppError.h"
#include "data/Engine.h"
#include "data/SjisLengthValidator.h"
#include "masters/CustomerStore.h"
#include "masters/ProductStore.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace CsvImport {
namespace {

enum class Type { Code, Text, Honorific, Amount, ClosingDay, Price, Ignored };

struct Column
{
    const char *title;
    const char *field; // the table's column
    Type type;
    bool required = false;
};

// In the order of the export's columns; "key" and the registration date are written but not read.
const QList<Column> &customerColumns()
{
    static const QList<Column> c{{"key", "key", Type::Ignored},
                                 {"取引先CD", "TorihikisakiCD", Type::Code, true},
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
                                 {"登録日", "TorokuYMD", Type::Ignored}};
    return c;
}

const QList<Column> &productColumns()
{
    static const QList<Column> c{{"商品CD", "SyohinCD", Type::Code, true},
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

QString tableOf(Kind kind)
{
    return kind == Kind::Customers ? QStringLiteral("Torihikisaki") : QStringLiteral("Syohin");
}

// A whole number as a spreadsheet may write it: grouping commas and surrounding blanks allowed.
std::optional<qint64> wholeNumber(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

// Why the value cannot go into the column; empty when it can.
QString checkValue(const Column &c, const QString &value, const QString &table)
{
    const QString trimmed = value.trimmed();
    if (c.required && trimmed.isEmpty())
        return QStringLiteral("入力してください");
    switch (c.type) {
    case Type::Ignored:
        return {};
    case Type::Text: {
        const int limit = columnByteLength(table, QLatin1String(c.field));
        if (limit > 0 && sjisByteLength(value) > limit)
            return QStringLiteral("長すぎます（%1 バイトまで、%2 バイトあります）")
                .arg(limit)
                .arg(sjisByteLength(value));
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
            return QStringLiteral("整数ではありません（%1）").arg(trimmed);
        if (*n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
            return QStringLiteral("数値が大きすぎます（%1）").arg(trimmed);
        if (c.type == Type::Code && *n <= 0)
            return QStringLiteral("1 以上の整数を入力してください");
        if (c.type == Type::ClosingDay && !((*n >= 0 && *n <= 31) || *n == 99))
            return QStringLiteral("0～31 または 99（月末）を入力してください");
        return {};
    }
    case Type::Price:
        try {
            ProductStore::priceFromText(trimmed);
        } catch (const AppError &) {
            return QStringLiteral("数値ではありません（%1）").arg(trimmed);
        }
        return {};
    }
    return {};
}

int intOf(const QString &text)
{
    return int(wholeNumber(text).value_or(0));
}

CustomerRecord customerFrom(const Row &row, const QList<bool> &present, CustomerRecord c)
{
    const QStringList &f = row.fields;
    auto set = [&](int i, auto apply) {
        if (present.at(i))
            apply(f.at(i));
    };
    set(1, [&](const QString &v) { c.TorihikisakiCD = intOf(v); });
    set(2, [&](const QString &v) { c.TorihikisakiNM = v; });
    set(3, [&](const QString &v) { c.Keisyo = CustomerStore::shownHonorific(v.trimmed()); });
    set(4, [&](const QString &v) { c.Yubin = v; });
    set(5, [&](const QString &v) { c.Jyusyo1 = v; });
    set(6, [&](const QString &v) { c.Jyusyo2 = v; });
    set(7, [&](const QString &v) { c.Tel = v; });
    set(8, [&](const QString &v) { c.Fax = v; });
    set(9, [&](const QString &v) { c.Busyo = v; });
    set(10, [&](const QString &v) { c.Tantosya = v; });
    set(11, [&](const QString &v) { c.Mail = v; });
    set(12, [&](const QString &v) { c.Kisyuzan = intOf(v); });
    set(13, [&](const QString &v) { c.ZenkaiSeikyuGaku = intOf(v); });
    set(14, [&](const QString &v) { c.SeikyuSimebi = intOf(v); });
    return c;
}

ProductRecord productFrom(const Row &row, const QList<bool> &present, ProductRecord p)
{
    const QStringList &f = row.fields;
    p.SyohinCD = row.code;
    if (present.at(1))
        p.SyohinNM = f.at(1);
    if (present.at(2))
        p.Kikaku = f.at(2);
    if (present.at(3))
        p.Tani = f.at(3);
    if (present.at(4))
        p.Tanka = ProductStore::priceFromText(f.at(4).trimmed());
    return p;
}

bool codeExists(TEngineDatabase &db, Kind kind, int code)
{
    return kind == Kind::Customers ? CustomerStore::keyByCode(db, code).has_value()
                                   : ProductStore::load(db, code).has_value();
}

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
    const QList<Column> &defs = columnsOf(kind);
    QList<Csv::Record> records;
    try {
        records = Csv::parse(Csv::decode(bytes, &p.encoding));
    } catch (const AppError &e) {
        p.problems.append({0, {}, e.message()});
        return p;
    }
    if (records.isEmpty()) {
        p.problems.append({1, {}, QStringLiteral("見出しの行がありません")});
        return p;
    }
    // Where each of the kind's columns stands in the file; -1 when it is not there.
    QList<int> at;
    const QStringList header = records.first().fields;
    for (const Column &c : defs) {
        qsizetype i = -1;
        for (qsizetype h = 0; h < header.size() && i < 0; ++h)
            if (header.at(h).trimmed() == QString::fromUtf8(c.title))
                i = h;
        at.append(int(i));
        p.present.append(i >= 0);
        if (i < 0 && c.required)
            p.problems.append({records.first().line, QString::fromUtf8(c.title),
                               QStringLiteral("この見出しの列がありません")});
    }
    if (!p.problems.isEmpty())
        return p;
    const QString table = tableOf(kind);
    QHash<int, int> firstLineOfCode;
    for (const Csv::Record &record : records.mid(1)) {
        Row row;
        row.line = record.line;
        if (record.fields.size() > header.size())
            row.problems.append(
                {row.line,
                 {},
                 QStringLiteral("見出しより列が多くあります（%1 列）").arg(record.fields.size())});
        for (qsizetype c = 0; c < defs.size(); ++c) {
            const QString value = at.at(c) >= 0 ? record.fields.value(at.at(c)) : QString();
            row.fields.append(value);
            const QString why = at.at(c) >= 0 ? checkValue(defs.at(c), value, table) : QString();
            if (!why.isEmpty())
                row.problems.append({row.line, QString::fromUtf8(defs.at(c).title), why});
        }
        const int codeColumn = kind == Kind::Customers ? 1 : 0;
        row.code = intOf(row.fields.at(codeColumn));
        if (row.ok()) {
            if (firstLineOfCode.contains(row.code))
                row.problems.append(
                    {row.line, p.columns.at(codeColumn),
                     QStringLiteral("%1 行目と同じコードです").arg(firstLineOfCode.value(row.code))});
            else
                firstLineOfCode.insert(row.code, row.line);
        }
        if (row.ok())
            row.existing = codeExists(db, kind, row.code);
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
    // Codes are looked up again under the table's lock: another computer may have added one since
    // the preview, and no other import or save can add one until this one commits.
    db.LockForNumbering(tableOf(preview.kind));
    for (const Row &row : preview.rows) {
        if (!row.ok()) {
            ++outcome.skipped;
            continue;
        }
        if (preview.kind == Kind::Customers) {
            const std::optional<int> key = CustomerStore::keyByCode(db, row.code);
            if (key && existing == Existing::Skip) {
                ++outcome.skipped;
            } else if (key) {
                CustomerStore::update(db, customerFrom(row, preview.present, *CustomerStore::load(db, *key)));
                ++outcome.updated;
            } else {
                CustomerRecord fresh;
                fresh.Keisyo = CustomerStore::honorifics().first();
                CustomerStore::insert(db, customerFrom(row, preview.present, fresh));
                ++outcome.added;
            }
            continue;
        }
        const std::optional<ProductRecord> stored = ProductStore::load(db, row.code);
        if (stored && existing == Existing::Skip) {
            ++outcome.skipped;
        } else if (stored) {
            ProductStore::update(db, productFrom(row, preview.present, *stored));
            ++outcome.updated;
        } else {
            ProductStore::insert(db, productFrom(row, preview.present, {}));
            ++outcome.added;
        }
    }
    transaction.commit();
    return outcome;
}

} // namespace CsvImport
