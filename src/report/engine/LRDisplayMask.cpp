#include "report/engine/LRDisplayMask.h"

#include "common/DisplayFormat.h"

#include <QRegularExpression>

namespace {

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
            return formatNumber(mask, value);
    }
    return formatEditMask(text, mask);
}
