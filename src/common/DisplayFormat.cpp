#include "common/DisplayFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <QList>
#include <string>

namespace {

const QChar kYenSign(0x00A5);

// --- Numbers -------------------------------------------------------------------------------------

// A value as decimal digits, rounded to a number of decimal places.
struct Decimal
{
    QString integerDigits; // without leading zeros; empty for zero
    QString fractionDigits;
    bool isZero = true;
};

// Adds one unit in the last place of digits; true when it carried out of the first digit.
bool incrementDigits(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

Decimal roundToPlaces(double magnitude, int places)
{
    // 18 significant digits: d.ddddddddddddddddde+XX
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.17e", magnitude);
    std::string digits = std::string(1, buffer[0]) + std::string(buffer + 2, 17);
    int pointAt = std::atoi(std::strchr(buffer, 'e') + 1) + 1; // digits before the decimal point

    const int keep = pointAt + places;
    if (keep < 0) {
        digits.clear();
    } else if (keep < int(digits.size())) {
        const bool roundUp = digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep));
        if (roundUp && incrementDigits(digits))
            ++pointAt;
    } else {
        digits.append(std::size_t(keep - int(digits.size())), '0');
    }

    Decimal result;
    result.isZero = digits.find_first_not_of('0') == std::string::npos;
    if (result.isZero)
        return result;
    std::string integer, fraction;
    if (pointAt > 0) {
        integer = digits.substr(0, std::size_t(pointAt));
        fraction = digits.substr(std::size_t(pointAt));
    } else {
        fraction = std::string(std::size_t(-pointAt), '0') + digits;
    }
    fraction.resize(std::size_t(places), '0');
    integer.erase(0, integer.find_first_not_of('0'));
    result.integerDigits = QString::fromLatin1(integer);
    result.fractionDigits = QString::fromLatin1(fraction);
    return result;
}

// One section of a number pattern, read into placeholders and literal text.
struct Token
{
    enum Kind { Zero, Hash, Point, Comma, Literal } kind;
    QString text;
    bool isDigit() const { return kind == Zero || kind == Hash; }
};

struct Section
{
    QList<Token> integerPart;
    QList<Token> fractionPart;
    bool hasPoint = false;
    bool thousands = false;
    int integerPlaces = 0;
    int forcedIntegerDigits = 0; // placeholders from the first "0" to the point
    int fractionPlaces = 0;
    int forcedFractionDigits = 0; // placeholders up to the last "0" after the point
};

QList<QStringView> splitSections(QStringView pattern)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(pattern.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(pattern.mid(start));
    return sections;
}

QList<Token> tokenize(QStringView text)
{
    QList<Token> tokens;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'0')
            tokens.append(Token{Token::Zero, {}});
        else if (c == u'#')
            tokens.append(Token{Token::Hash, {}});
        else if (c == u'.')
            tokens.append(Token{Token::Point, {}});
        else if (c == u',')
            tokens.append(Token{Token::Comma, {}});
        else if (c == u'"' || c == u'\'') {
            qsizetype end = text.indexOf(c, i + 1);
            if (end < 0)
                end = text.size();
            tokens.append(Token{Token::Literal, text.mid(i + 1, end - i - 1).toString()});
            i = end;
        } else {
            tokens.append(Token{Token::Literal, c == u'\\' ? QString(kYenSign) : QString(c)});
        }
    }
    return tokens;
}

Section parseSection(QStringView text)
{
    Section s;
    bool seenZero = false;
    for (const Token &t : tokenize(text)) {
        if (t.kind == Token::Comma)
            s.thousands = true;
        if (t.kind == Token::Point && !s.hasPoint) {
            s.hasPoint = true;
            continue;
        }
        if (!s.hasPoint) {
            s.integerPart.append(t);
            if (t.isDigit()) {
                ++s.integerPlaces;
                seenZero = seenZero || t.kind == Token::Zero;
                if (seenZero)
                    ++s.forcedIntegerDigits;
            }
        } else {
            s.fractionPart.append(t);
            if (t.isDigit()) {
                ++s.fractionPlaces;
                if (t.kind == Token::Zero)
                    s.forcedFractionDigits = s.fractionPlaces;
            }
        }
    }
    return s;
}

// Writes a rounded value through one section.
class SectionWriter
{
public:
    SectionWriter(const Section &section, const Decimal &value, bool minus)
        : m_section(section), m_signPending(minus)
    {
        m_integer = value.integerDigits.rightJustified(section.forcedIntegerDigits, u'0');
        m_fraction = value.fractionDigits.leftJustified(section.forcedFractionDigits, u'0');
        while (m_fraction.size() > section.forcedFractionDigits && m_fraction.endsWith(u'0'))
            m_fraction.chop(1);
    }

    QString write()
    {
        writeIntegerPart();
        if (!m_fraction.isEmpty())
            put(QStringLiteral("."));
        writeFractionPart();
        if (m_signPending)
            m_out.prepend(u'-');
        return m_out;
    }

private:
    void put(const QString &text)
    {
        if (m_signPending) {
            m_out += u'-';
            m_signPending = false;
        }
        m_out += text;
    }

    // Digit at place (counted from the point, 1 = units) with its thousands separator.
    void emitDigit(QChar digit, qsizetype place)
    {
        put(QString(digit));
        if (m_section.thousands && place > 1 && (place - 1) % 3 == 0)
            m_out += u',';
    }

    void writeIntegerPart()
    {
        const qsizetype length = m_integer.size();
        const int places = m_section.integerPlaces;
        int index = 0;
        for (const Token &t : m_section.integerPart) {
            if (t.kind == Token::Literal) {
                m_out += t.text;
                continue;
            }
            if (!t.isDigit())
                continue;
            if (index == 0) { // digits beyond the pattern's places go with its first placeholder
                for (qsizetype i = 0; i < length - places; ++i)
                    emitDigit(m_integer[i], length - i);
            }
            const qsizetype place = places - index;
            if (place <= length)
                emitDigit(m_integer[length - place], place);
            ++index;
        }
    }

    void writeFractionPart()
    {
        int index = 0;
        for (const Token &t : m_section.fractionPart) {
            if (t.kind == Token::Literal)
                m_out += t.text;
            else if (t.isDigit() && index++ < m_fraction.size())
                m_out += m_fraction[index - 1];
        }
    }

    const Section &m_section;
    QString m_integer;
    QString m_fraction;
    QString m_out;
    bool m_signPending;
};

QString formatGeneral(double value)
{
    return QString::number(value, 'g', 15).toUpper();
}

// --- Dates ---------------------------------------------------------------------------------------

qsizetype runLength(QStringView pattern, qsizetype from)
{
    qsizetype end = from;
    while (end < pattern.size() && pattern[end].toLower() == pattern[from].toLower())
        ++end;
    return end - from;
}

QString twoOrOne(int value, qsizetype run)
{
    return QString::number(value).rightJustified(run >= 2 ? 2 : 1, u'0');
}

} // namespace

QString formatNumber(QStringView pattern, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (pattern.isEmpty())
        return formatGeneral(value);

    const QList<QStringView> sections = splitSections(pattern);
    const bool negative = value < 0;
    const bool ownNegative = negative && sections.size() > 1 && !sections[1].isEmpty();
    Section section = parseSection(sections[ownNegative ? 1 : 0]);
    Decimal rounded = roundToPlaces(std::fabs(value), section.fractionPlaces);
    if (rounded.isZero && sections.size() > 2 && !sections[2].isEmpty()) {
        section = parseSection(sections[2]);
        rounded = Decimal{};
    }
    const bool minus = negative && !ownNegative && !rounded.isZero;
    if (rounded.isZero && ownNegative) // rounds to zero: shown as zero, not through the minus section
        section = parseSection(sections[0]);
    return SectionWriter(section, rounded, minus).write();
}

QString formatDateTime(QStringView pattern, const QDateTime &moment)
{
    if (!moment.isValid())
        return QString();
    const QDate date = moment.date();
    const QTime time = moment.time();
    QString out;
    bool afterHour = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            qsizetype end = pattern.indexOf(c, i + 1);
            if (end < 0)
                end = pattern.size();
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        const qsizetype run = runLength(pattern, i);
        if (lower == u'y')
            out += run >= 3 ? QString::number(date.year()).rightJustified(4, u'0')
                            : twoOrOne(date.year() % 100, 2);
        else if (lower == u'm')
            out += twoOrOne(afterHour ? time.minute() : date.month(), run);
        else if (lower == u'd')
            out += twoOrOne(date.day(), run);
        else if (lower == u'h')
            out += twoOrOne(time.hour(), run);
        else if (lower == u'n')
            out += twoOrOne(time.minute(), run);
        else if (lower == u's')
            out += twoOrOne(time.second(), run);
        else if (lower == u'z')
            out += QString::number(time.msec()).rightJustified(run >= 3 ? 3 : 1, u'0');
        else
            out += pattern.mid(i, run);
        if (QStringView(u"ymdhnsz").contains(lower))
            afterHour = lower == u'h';
        i += run;
    }
    return out;
}

QString formatDate(QStringView pattern, const QDate &date)
{
    return date.isValid() ? formatDateTime(pattern, QDateTime(date, QTime(0, 0))) : QString();
}

namespace DisplayFormat {

QString formatYen(double amount)
{
    return formatNumber(kYen, amount);
}

QString formatPostalCode(int code)
{
    return formatNumber(kPostalCode, code);
}

} // namespace DisplayFormat
