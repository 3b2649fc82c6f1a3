#include "data/SjisLengthValidator.h"

#include "data/Schema.h"

#include <QStringEncoder>

namespace {

qsizetype unitByteLength(QStringEncoder &encoder, QStringView unit)
{
    const QByteArray bytes = encoder.encode(unit);
    if (encoder.hasError() || bytes.isEmpty()) {
        encoder.resetState();
        return 2 * unit.size();
    }
    return bytes.size();
}

} // namespace

qsizetype sjisByteLength(QStringView text)
{
    // ICU knows CP932 as "windows-31j"; plain Shift_JIS where it does not.
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS", QStringConverter::Flag::Stateless);
    qsizetype length = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        const bool pair =
            text[start].isHighSurrogate() && start + 1 < text.size() && text[start + 1].isLowSurrogate();
        const qsizetype width = pair ? 2 : 1;
        const QStringView unit = text.mid(start, width);
        length += unit.front().unicode() < 0x80 ? 1 : unitByteLength(encoder, unit);
        start += width;
    }
    return length;
}

int columnByteLength(const QString &table, const QString &column)
{
    const Schema::Table *t = Schema::table(table);
    if (!t)
        return 0;
    for (const Schema::Column &c : t->columns) {
        if (c.type == Schema::ColumnType::Character &&
            column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.length;
    }
    return 0;
}

SjisLengthValidator::SjisLengthValidator(int maxBytes, QObject *parent)
    : QValidator(parent), m_maxBytes(maxBytes)
{
}

QValidator::State SjisLengthValidator::validate(QString &input, int &) const
{
    return sjisByteLength(input) <= m_maxBytes ? Acceptable : Invalid;
}
