#include "data/SqlText.h"

namespace SqlText {
namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Length of the quoted text or comment that starts at i, or 0 when none starts there.
qsizetype skipQuotedOrComment(const QString &s, qsizetype i)
{
    const QChar c = s.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        qsizetype j = i + 1;
        while (j < s.size()) {
            if (s.at(j) == c) {
                if (j + 1 < s.size() && s.at(j + 1) == c) { // doubled quote inside the text
                    j += 2;
                    continue;
                }
                return j + 1 - i;
            }
            ++j;
        }
        return s.size() - i;
    }
    if (c == QLatin1Char('-') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('-')) {
        const qsizetype end = s.indexOf(QLatin1Char('\n'), i);
        return (end < 0 ? s.size() : end) - i;
    }
    if (c == QLatin1Char('/') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('*')) {
        const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
        return (end < 0 ? s.size() : end + 2) - i;
    }
    return 0;
}

} // namespace

QStringList splitStatements(const QString &text)
{
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (const qsizetype skip = skipQuotedOrComment(text, i)) {
            i += skip;
            continue;
        }
        if (text.at(i) == QLatin1Char(';')) {
            out.append(text.mid(start, i - start));
            start = i + 1;
        }
        ++i;
    }
    out.append(text.mid(start));
    QStringList statements;
    for (const QString &s : out)
        if (!s.trimmed().isEmpty())
            statements.append(s.trimmed());
    return statements;
}

Positional toPositional(const QString &statement)
{
    Positional p;
    p.sql.reserve(statement.size());
    for (qsizetype i = 0; i < statement.size();) {
        if (const qsizetype skip = skipQuotedOrComment(statement, i)) {
            p.sql += statement.mid(i, skip);
            i += skip;
            continue;
        }
        const QChar c = statement.at(i);
        if (c == QLatin1Char(':') && i + 1 < statement.size() && statement.at(i + 1) == QLatin1Char(':')) {
            p.sql += QLatin1String("::"); // a type cast, not a parameter
            i += 2;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < statement.size() && isNameStart(statement.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < statement.size() && isNameChar(statement.at(j)))
                ++j;
            p.params.append(statement.mid(i + 1, j - i - 1));
            p.sql += QLatin1Char('?');
            i = j;
            continue;
        }
        p.sql += c;
        ++i;
    }
    return p;
}

} // namespace SqlText
