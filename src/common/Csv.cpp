#include "common/Csv.h"

#include "common/AppError.h"
#include "common/TextFiles.h"

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

QString formatRow(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &field : fields) {
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

QList<Record> parse(const QString &text)
{
    QList<Record> records;
    Record record;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    int line = 1;
    int quoteLine = 0;
    record.line = 1;
    auto endField = [&] {
        record.fields.append(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        if (!(record.fields.size() == 1 && record.fields.first().isEmpty()))
            records.append(record);
        record = Record{};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            inQuotes = true;
            wasQuoted = true;
            quoteLine = line;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
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

} // namespace Csv
