#include "common/Ukansu.h"

#include "common/Clock.h"
#include "common/Wareki.h"
#include "common/ZeroDate.h"

#include <cmath>
#include <QRegularExpression>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool allOf(QStringView text, bool (*accept)(QChar))
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!accept(c))
            return false;
    }
    return true;
}

// Length of the text as the Shift-JIS bytes the date field held: one byte for ASCII and half-width
// katakana, two for everything else.
qsizetype sjisLength(QStringView text)
{
    qsizetype length = 0;
    for (QChar c : text)
        length += (c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F)) ? 1 : 2;
    return length;
}

// Reads numbers, blanks and separators from left to right.
class Scanner
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    bool skipBlanks()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && m_text[m_pos] == u' ')
            ++m_pos;
        return m_pos > start;
    }
    bool take(QChar c)
    {
        skipBlanks();
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    // A number of one to four digits; its digit count goes to digits.
    std::optional<int> number(int *digits = nullptr)
    {
        skipBlanks();
        const qsizetype start = m_pos;
        int value = 0;
        while (!atEnd() && isAsciiDigit(m_text[m_pos]) && m_pos - start < 4)
            value = value * 10 + (m_text[m_pos++].unicode() - u'0');
        if (m_pos == start || (!atEnd() && isAsciiDigit(m_text[m_pos])))
            return std::nullopt;
        if (digits)
            *digits = int(m_pos - start);
        return value;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// A year of one or two digits lands within 50 years before and 49 years after the current year.
int completeCentury(int year)
{
    const int current = Clock::today().year();
    int full = current - current % 100 + year;
    if (full < current - 50)
        full += 100;
    else if (full > current + 49)
        full -= 100;
    return full;
}

std::optional<QDate> scanDate(Scanner &s)
{
    int digits = 0;
    const auto first = s.number(&digits);
    if (!first || !s.take(u'/'))
        return std::nullopt;
    const auto second = s.number();
    if (!second)
        return std::nullopt;
    int year = Clock::today().year();
    int month = *first;
    int day = *second;
    if (s.take(u'/')) {
        const auto third = s.number();
        if (!third)
            return std::nullopt;
        year = digits <= 2 ? completeCentury(*first) : *first;
        month = *second;
        day = *third;
    }
    const QDate date(year, month, day);
    if (year < 1 || year > 9999 || !date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> scanTime(Scanner &s)
{
    const auto hour = s.number();
    if (!hour)
        return std::nullopt;
    int minute = 0, second = 0, msec = 0;
    if (s.take(u':')) {
        const auto m = s.number();
        if (!m)
            return std::nullopt;
        minute = *m;
        if (s.take(u':')) {
            const auto sec = s.number();
            if (!sec)
                return std::nullopt;
            second = *sec;
            if (s.take(u'.')) {
                const auto ms = s.number();
                if (!ms)
                    return std::nullopt;
                msec = *ms;
            }
        }
    }
    if (*hour > 23 || minute > 59 || second > 59 || msec > 999)
        return std::nullopt;
    return QTime(*hour, minute, second, msec);
}

QString insertSlash(QString text, qsizetype before)
{
    text.insert(before, u'/');
    return text;
}

// The year an era letter and its two-digit era year stand for; 0 for a letter that is no era. Only
// ASCII letters count: some other letters upper-case to one ("ſ" becomes "S").
int eraBaseYear(QChar letter)
{
    if (letter.unicode() >= 0x80)
        return 0;
    switch (letter.toUpper().unicode()) {
    case u'M':
        return 1867;
    case u'T':
        return 1911;
    case u'S':
        return 1925;
    case u'H':
        return 1988;
    case u'R':
        return 2018;
    default:
        return 0;
    }
}

// Steps 3 to 6 of the normaliser: the short forms a user types, each tried on the text left by the
// step before (a text one step has changed no longer has the length the later steps look for).
QString expandShortForms(QString text)
{
    if (sjisLength(text) == 4 && IsDigitsOrPoint(text))
        text = insertSlash(insertSlash(QString::number(Clock::today().year()) + text, 4), 7);
    if (sjisLength(text) == 6 && IsDigitsOrPoint(text))
        text = insertSlash(insertSlash(text, 2), 5);
    if (sjisLength(text) == 7 && eraBaseYear(text[0]) && IsDigitsOrPoint(QStringView(text).mid(1))) {
        const int year = TextToInteger(QStringView(text).mid(1, 2)) + eraBaseYear(text[0]);
        text = QString::number(year) + u'/' + text.mid(3, 2) + u'/' + text.mid(5, 2);
    }
    if (sjisLength(text) == 8 && IsDigitsOrPoint(text))
        text = insertSlash(insertSlash(text, 4), 7);
    return text;
}

// Full-width digits and slashes, as an input method gives them, in their ASCII forms.
QString halfWidthDigits(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c.unicode() == 0xFF0F)
            c = u'/';
    }
    return text;
}

// The written forms of a date as "y/m/d": an era letter with slashes ("R8/12/10"), an era name or a
// western year in kanji ("令和8年12月10日", "令和元年5月1日", "2026年12月10日"). Any other text, and an
// era name the calendar does not know, comes back as it was.
QString readWrittenForms(const QString &typed)
{
    const QString text = halfWidthDigits(typed);
    static const QRegularExpression kanji(
        QStringLiteral("^(\\D*?)(元|\\d{1,4})年(\\d{1,2})月(\\d{1,2})日?$"));
    if (const QRegularExpressionMatch m = kanji.match(text); m.hasMatch()) {
        const QString era = m.captured(1);
        const int number = m.captured(2) == u"元" ? 1 : m.captured(2).toInt();
        const int year = era.isEmpty() ? (m.captured(2) == u"元" ? 0 : number) : WesternYearOf(era, number);
        if (year == 0)
            return typed;
        return QStringLiteral("%1/%2/%3").arg(year).arg(m.captured(3), m.captured(4));
    }
    static const QRegularExpression letter(QStringLiteral("^([A-Za-z])(\\d{1,2})/(\\d{1,2})/(\\d{1,2})$"));
    if (const QRegularExpressionMatch m = letter.match(text); m.hasMatch() && eraBaseYear(m.captured(1)[0])) {
        const int year = eraBaseYear(m.captured(1)[0]) + m.captured(2).toInt();
        return QStringLiteral("%1/%2/%3").arg(year).arg(m.captured(3), m.captured(4));
    }
    return typed;
}

// A part of a date text as DateTextToDate reads it: 0 unless digits (and points) only.
int datePart(QStringView part)
{
    if (!IsDigitsOrPoint(part))
        return 0;
    if (part.contains(u'.'))
        return TextToInteger(part); // throws: a point never makes a whole number
    // Digits only: a number too long for a date part is simply no date.
    bool ok = false;
    const int value = part.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

double TruncDecimals(int n, double x)
{
    const long double p = std::pow(10.0L, n);
    const long double q = std::pow(10.0L, -n);
    const double product = static_cast<double>(x * p);
    // std::trunc instead of a cast to a 64-bit integer, so that huge values cannot overflow.
    return static_cast<double>(std::trunc(product) * q);
}

bool IsDigitsOrPoint(QStringView text)
{
    return allOf(text, [](QChar c) { return isAsciiDigit(c) || c == u'.'; });
}

bool IsDigitsOrHyphen(QStringView text)
{
    return allOf(text, [](QChar c) { return isAsciiDigit(c) || c == u'-'; });
}

std::optional<double> TextToFloat(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    auto digitsFrom = [&t, &i] {
        const qsizetype start = i;
        while (i < t.size() && isAsciiDigit(t[i]))
            ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype mantissa = digitsFrom();
    if (i < t.size() && t[i] == u'.') {
        ++i;
        mantissa += digitsFrom();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        if (digitsFrom() == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsFloatText(QStringView text)
{
    return TextToFloat(text).has_value();
}

int TextToInteger(QStringView text)
{
    // Qt's conversion stops reading at a NUL, so "5" NUL "9" would read as 5: such a text is none.
    bool ok = !text.contains(QChar(0));
    const int value = ok ? text.trimmed().toInt(&ok, 10) : 0;
    if (!ok)
        throw ConvertError(QStringLiteral("'%1' は整数ではありません").arg(text));
    return value;
}

int FieldTextToInteger(const QString &field, QStringView text)
{
    try {
        return TextToInteger(text);
    } catch (const ConvertError &e) {
        throw ConvertError(QStringLiteral("%1に整数を入力してください（%2）").arg(field, e.message()));
    }
}

double FieldTextToFloat(const QString &field, QStringView text)
{
    if (const std::optional<double> value = TextToFloat(text))
        return *value;
    throw ConvertError(
        QStringLiteral("%1に数値を入力してください（'%2' は数値ではありません）").arg(field, text));
}

std::optional<QDateTime> TextToDateTime(QStringView text)
{
    Scanner s(text);
    const auto date = scanDate(s);
    if (!date)
        return std::nullopt;
    QTime time(0, 0);
    if (!s.atEnd()) {
        if (!s.skipBlanks())
            return std::nullopt;
        if (!s.atEnd()) {
            const auto t = scanTime(s);
            s.skipBlanks();
            if (!t || !s.atEnd())
                return std::nullopt;
            time = *t;
        }
    }
    return QDateTime(*date, time);
}

QString NormalizeDateText(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (sjisLength(text) < 4)
        throw DateError(text + QStringLiteral("は日付ではありません"));
    const QString expanded = expandShortForms(readWrittenForms(text));
    const auto value = TextToDateTime(expanded);
    if (!value)
        throw ConvertError(QStringLiteral("'%1' は日付または時刻ではありません").arg(expanded));
    return value->date().toString(QStringLiteral("yyyy/MM/dd"));
}

QDate DateTextToDate(QStringView text)
{
    QStringView part1, part2, part3;
    const qsizetype slash1 = text.indexOf(u'/');
    if (slash1 >= 0) {
        part1 = text.left(slash1);
        const QStringView rest = text.mid(slash1 + 1);
        const qsizetype slash2 = rest.indexOf(u'/');
        if (slash2 >= 0) {
            part2 = rest.left(slash2);
            part3 = rest.mid(slash2 + 1);
        }
    }
    const int year = datePart(part1);
    const int month = datePart(part2);
    const int day = datePart(part3);
    const QDate date(year, month, day);
    if (year < 1 || year > 9999 || !date.isValid())
        return kZeroDate;
    return date;
}

bool IsDateFieldKey(QChar c)
{
    return c.unicode() <= 32 || isAsciiDigit(c) || c == u'/' || eraBaseYear(c) != 0;
}
