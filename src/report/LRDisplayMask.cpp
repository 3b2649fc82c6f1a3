#include "report/LRDisplayMask.h"

#include <cmath>
#include <QLocale>
#include <QRegularExpression>

namespace {

// Splits a number pattern into its sections, keeping quoted text whole.
QStringList patternSections(const QString &pattern)
{
    QStringList sections{QString()};
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(QString());
            continue;
        }
        sections.last().append(c);
    }
    return sections;
}

QString groupThousands(const QString &digits)
{
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.append(u',');
        out.append(digits[i]);
    }
    return out;
}

// Formats the absolute value by one section: the digit placeholders form one number, the rest
// of the section is copied around it.
QString formatSection(double value, const QString &section)
{
    QString prefix, suffix;
    int intZeros = 0, fracZeros = 0, fracHashes = 0;
    bool inNumber = false, afterNumber = false, afterPoint = false, thousands = false;
    QChar quote;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        const bool placeholder = quote.isNull() && (c == u'0' || c == u'#' || c == u',' || c == u'.');
        if (placeholder && !afterNumber) {
            inNumber = true;
            if (c == u',')
                thousands = true;
            else if (c == u'.')
                afterPoint = true;
            else if (afterPoint)
                (c == u'0' ? fracZeros : fracHashes)++;
            else if (c == u'0')
                ++intZeros;
            continue;
        }
        if (inNumber)
            afterNumber = true;
        QString &target = afterNumber ? suffix : prefix;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                target.append(c);
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'\\' && i + 1 < section.size()) {
            target.append(section[++i]);
        } else {
            target.append(c);
        }
    }
    QString number = QString::number(std::fabs(value), 'f', fracZeros + fracHashes);
    QString intPart = number.section(u'.', 0, 0);
    QString fracPart = number.section(u'.', 1);
    while (fracPart.size() > fracZeros && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (intPart == u"0" && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(u'0');
    if (thousands)
        intPart = groupThousands(intPart);
    return prefix + intPart + (fracPart.isEmpty() ? QString() : u'.' + fracPart) + suffix;
}

QString formatNumber(double value, const QString &pattern)
{
    const QStringList sections = patternSections(pattern);
    if (value == 0 && sections.size() > 2 && !sections[2].isEmpty())
        return formatSection(value, sections[2]);
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty())
        return formatSection(value, sections[1]);
    const QString text = formatSection(value, sections[0]);
    return value < 0 ? u'-' + text : text;
}

// Edit mask: each placeholder takes the next character of the text, other characters of the
// mask are printed as they stand. Only the first section of the mask is the pattern.
QString formatEditMask(const QString &text, const QString &mask)
{
    static const QString placeholders = QStringLiteral("09#LlAaCc");
    const QString pattern = mask.section(u';', 0, 0);
    QString out;
    int next = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'!' || c == u'<' || c == u'>')
            continue;
        if (c == u'\\' && i + 1 < pattern.size())
            out.append(pattern[++i]);
        else if (placeholders.contains(c))
            out.append(next < text.size() ? text[next++] : QChar(u' '));
        else
            out.append(c);
    }
    return out + text.mid(next);
}

} // namespace

QString formatWithDisplayMask(const QString &text, const QString &mask)
{
    if (text.isEmpty() || mask.isEmpty())
        return text;
    static const QRegularExpression numeric(QStringLiteral("^[0-9+\\-.]+$"));
    if (numeric.match(text).hasMatch()) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (ok)
            return formatNumber(value, mask);
    }
    return formatEditMask(text, mask);
}
