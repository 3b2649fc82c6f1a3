#include "common/Csv.h"

#include "common/AppError.h"
#include "common/TextFiles.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace Csv {

std::optional<Encoding> encodingFromName(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (n == QLatin1String("cp932") || n == QLatin1String("sjis") || n == QLatin1String("shift_jis"))
        return Encoding::Cp932;
    return std::nullopt;
}

namespace {

bool isFormulaStart(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// "-500", "+3", "-12.5", "1e-05": a number as the lists write it, which a spreadsheet reads as one.
bool isNumber(const QString &field)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(field).hasMatch();
}

// The "'"s at the start of the field, when a formula character follows them; -1 otherwise.
qsizetype quotesBeforeFormula(const QString &field)
{
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == u'\'')
        ++i;
    return i < field.size() && isFormulaStart(field.at(i)) ? i : -1;
}

} // namespace

QString guardFormula(const QString &field)
{
    if (quotesBeforeFormula(field) < 0 || isNumber(field))
        return field;
    return QLatin1Char('\'') + field;
}

QString unguardFormula(const QString &field)
{
    return quotesBeforeFormula(field) > 0 ? field.mid(1) : field;
}

QString formatRow(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &unguarded : fields) {
        const QString field = guardFormula(unguarded);
        const bool needsQuotes = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                                 field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
        if (!needsQuotes) {
            quoted.append(field);
            continue;
        }
        QString q = field;
        q.replace(QLatin1Char('"'), QLatin1String("\"\""));
        quoted.append(QLatin1Char('"') + q + QLatin1Char('"'));
    }
    return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

QByteArray encode(const QList<QStringList> &rows, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        QByteArray bytes("\xEF\xBB\xBF");
        for (const QStringList &row : rows)
            bytes += formatRow(row).toUtf8();
        return bytes;
    }
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS", QStringConverter::Flag::Stateless);
    QByteArray bytes;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString text = formatRow(rows.at(r));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QStringView unit = QStringView(text).mid(i, width);
            const QByteArray encoded = encoder.encode(unit);
            if (encoder.hasError() || (encoded == "?" && unit != QLatin1String("?")))
                throw AppError(QStringLiteral("%1 行目の「%2」は CP932（Shift-JIS）で表せません。"
                                              "UTF-8 で出力してください。")
                                   .arg(r + 1)
                                   .arg(unit.toString()));
            bytes += encoded;
            i += width - 1;
        }
    }
    return bytes;
}

QString decode(const QByteArray &bytes, Encoding *encoding)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (encoding)
            *encoding = Encoding::Utf8;
        return QString::fromUtf8(bytes.mid(3));
    }
    const QString text = decodeUtf8OrCp932(bytes);
    if (encoding)
        *encoding = text.toUtf8() == bytes ? Encoding::Utf8 : Encoding::Cp932;
    return text;
}

namespace {

// A record's fields as bytes, before decoding.
struct RawRecord
{
    int line = 0;
    QList<QByteArray> fields;
};

// Splits the bytes into records and fields. The separators (comma, quote, CR, LF) are ASCII bytes,
// which in UTF-8 and in CP932 never occur inside a character, so the split needs no decoding.
QList<RawRecord> split(const QByteArray &bytes)
{
    QList<RawRecord> records;
    RawRecord record{1, {}};
    QByteArray field;
    bool inQuotes = false;
    bool wasQuoted = false;
    int line = 1;
    int quoteLine = 0;
    auto endField = [&] {
        record.fields.append(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        if (!(record.fields.size() == 1 && record.fields.first().isEmpty()))
            records.append(record);
        record = RawRecord{};
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < bytes.size() && bytes.at(i + 1) == '"') {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && field.isEmpty() && !wasQuoted) {
            inQuotes = true;
            wasQuoted = true;
            quoteLine = line;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
            endRecord();
            ++line;
            record.line = line;
        } else {
            field += c;
        }
    }
    if (inQuotes)
        throw AppError(QStringLiteral("%1 行目の「\"」が閉じられていません").arg(quoteLine));
    if (!field.isEmpty() || !record.fields.isEmpty())
        endRecord();
    return records;
}

// Decodes one field at a time, strictly: nothing for bytes that are no text in the encoding.
class FieldDecoder
{
public:
    explicit FieldDecoder(Encoding encoding) : m_encoding(encoding) { make(); }
    std::optional<QString> operator()(const QByteArray &bytes)
    {
        m_decoder->resetState();
        QString text = m_decoder->decode(bytes);
        if (!m_decoder->hasError())
            return text;
        make(); // ICU's decoder keeps reporting an error once it met one
        return std::nullopt;
    }

private:
    // A byte-order mark inside a field is a character of it; the file's own is taken off before.
    // The decoder is made in place: one moved after it was made (ICU's) no longer hears of errors.
    void make()
    {
        const QStringConverter::Flags flags =
            QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
        if (m_encoding == Encoding::Utf8) {
            m_decoder.emplace(QStringConverter::Utf8, flags);
            return;
        }
        m_decoder.emplace("windows-31j", flags);
        if (!m_decoder->isValid())
            m_decoder.emplace("Shift_JIS", flags);
    }

    Encoding m_encoding;
    std::optional<QStringDecoder> m_decoder;
};

QList<Record> decodeRecords(const QList<RawRecord> &raw, Encoding encoding, int *undecodable)
{
    FieldDecoder decode(encoding);
    QList<Record> records;
    records.reserve(raw.size());
    *undecodable = 0;
    for (const RawRecord &r : raw) {
        Record record{r.line, {}, {}};
        record.fields.reserve(r.fields.size());
        for (const QByteArray &bytes : r.fields) {
            const std::optional<QString> text = decode(bytes);
            if (!text) {
                record.undecodable.append(record.fields.size());
                ++*undecodable;
            }
            record.fields.append(text.value_or(QString()));
        }
        records.append(record);
    }
    return records;
}

} // namespace

QList<Record> read(const QByteArray &bytes, Encoding *encoding)
{
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QList<RawRecord> raw = split(bom ? bytes.mid(3) : bytes);
    int utf8Faults = 0;
    QList<Record> records = decodeRecords(raw, Encoding::Utf8, &utf8Faults);
    Encoding chosen = Encoding::Utf8;
    if (!bom && utf8Faults > 0) {
        int cp932Faults = 0;
        QList<Record> cp932 = decodeRecords(raw, Encoding::Cp932, &cp932Faults);
        if (cp932Faults < utf8Faults) {
            records = std::move(cp932);
            chosen = Encoding::Cp932;
        }
    }
    if (encoding)
        *encoding = chosen;
    return records;
}

} // namespace Csv
