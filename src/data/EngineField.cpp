#include "data/Engine.h"

#include <limits>
#include <optional>

namespace {

// The digits at [from, from + count), or -1 when any is no digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    if (from + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The date at the head of the stored form, "yyyy-mm-dd", read directly and without a time of day
// (a local date and time asks the system's time zone each time).
std::optional<QDate> storedDate(QStringView t)
{
    if (t.size() < 10 || t[4] != u'-' || t[7] != u'-')
        return std::nullopt;
    const QDate date(digitsAt(t, 0, 4), digitsAt(t, 5, 2), digitsAt(t, 8, 2));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// The form in which dates and time stamps are stored, "yyyy-mm-dd[ hh:mm:ss[.zzz]]", read
// directly: lists read it for every cell they show.
std::optional<QDateTime> storedForm(QStringView t)
{
    const std::optional<QDate> read = storedDate(t);
    if (!read)
        return std::nullopt;
    const QDate date = *read;
    if (t.size() == 10)
        return QDateTime(date, QTime(0, 0));
    if (t.size() < 19 || (t[10] != u' ' && t[10] != u'T') || t[13] != u':' || t[16] != u':')
        return std::nullopt;
    int ms = 0;
    if (t.size() > 19) {
        if (t[19] != u'.' || t.size() != 23 || (ms = digitsAt(t, 20, 3)) < 0)
            return std::nullopt;
    }
    const QTime time(digitsAt(t, 11, 2), digitsAt(t, 14, 2), digitsAt(t, 17, 2), ms);
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

QDate parseDate(const QString &text)
{
    if (const auto stored = storedDate(QStringView(text).left(10)))
        return *stored;
    const QString head = text.left(10);
    QDate d = QDate::fromString(head, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(head, QStringLiteral("yyyy/MM/dd"));
    return d;
}

QDateTime parseDateTime(const QString &text)
{
    if (const auto stored = storedForm(text))
        return *stored;
    QString t = text.trimmed();
    t.replace(QLatin1Char('T'), QLatin1Char(' ')).replace(QLatin1Char('/'), QLatin1Char('-'));
    for (const char *format : {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    const QDate d = parseDate(t);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

} // namespace

TEngineField::TEngineField(QString name, QVariant value, Kind kind)
    : m_name(std::move(name)), m_value(std::move(value)), m_kind(kind)
{
}

bool TEngineField::IsNull() const
{
    return !m_value.isValid() || m_value.isNull();
}

int TEngineField::AsInteger() const
{
    const qint64 v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw ConvertError(QStringLiteral("%1 の値 %2 は扱える整数の範囲（%3～%4）を超えています")
                               .arg(m_name)
                               .arg(v)
                               .arg(std::numeric_limits<int>::min())
                               .arg(std::numeric_limits<int>::max()));
    return int(v);
}

// Sums are 64-bit on both engines; a float is truncated toward zero.
qint64 TEngineField::AsLargeInt() const
{
    if (IsNull())
        return 0;
    if (m_value.typeId() == QMetaType::QString) {
        bool ok = false;
        const qint64 v = m_value.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw ConvertError(
                QStringLiteral("%1: '%2' は整数ではありません").arg(m_name, m_value.toString()));
        return v;
    }
    if (m_value.typeId() == QMetaType::Double || m_value.typeId() == QMetaType::Float) {
        const double d = m_value.toDouble();
        if (!(d > -9.2e18 && d < 9.2e18))
            throw ConvertError(QStringLiteral("%1 の値 %2 は整数にできません").arg(m_name).arg(d));
        return qint64(d);
    }
    return m_value.toLongLong();
}

double TEngineField::AsFloat() const
{
    return IsNull() ? 0.0 : m_value.toDouble();
}

QDate TEngineField::AsDate() const
{
    if (IsNull())
        return kZeroDate;
    if (m_value.typeId() == QMetaType::QDate)
        return m_value.toDate();
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime().date();
    const QDate d = parseDate(m_value.toString());
    return d.isValid() ? d : kZeroDate;
}

QDateTime TEngineField::AsDateTime() const
{
    if (IsNull())
        return kZeroDateTime;
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime();
    if (m_value.typeId() == QMetaType::QDate)
        return QDateTime(m_value.toDate(), QTime(0, 0));
    const QDateTime dt = parseDateTime(m_value.toString());
    return dt.isValid() ? dt : kZeroDateTime;
}

QString TEngineField::AsString() const
{
    if (IsNull())
        return QString();
    switch (m_kind) {
    case Kind::Date:
        return AsDate().toString(QStringLiteral("yyyy/MM/dd"));
    case Kind::DateTime:
        return AsDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    case Kind::Float:
        return QString::number(m_value.toDouble(), 'g', 15);
    case Kind::Blob:
        return QString::fromUtf8(m_value.toByteArray());
    default:
        break;
    }
    if (m_value.typeId() == QMetaType::Double)
        return QString::number(m_value.toDouble(), 'g', 15);
    if (m_value.typeId() == QMetaType::QDate)
        return m_value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return m_value.toString();
}

QByteArray TEngineField::AsBytes() const
{
    return IsNull() ? QByteArray() : m_value.toByteArray();
}

QStringList TEngineField::AsLines() const
{
    if (IsNull())
        return {};
    QString text = m_value.toString();
    text.remove(QLatin1Char('\r'));
    return text.split(QLatin1Char('\n'));
}

void TEngineParam::setAsDate(const QDate &v)
{
    m_value = v;
}

void TEngineParam::setAsDateTime(const QDateTime &v)
{
    m_value = v;
}
