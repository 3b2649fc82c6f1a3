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

namespace SqlText {
namespace {

// A word of the statement outside quotes, comments and brackets, lower-cased.
struct Word
{
    QString text;
    qsizetype start;
    qsizetype end;
};

QList<Word> topLevelWords(const QString &s)
{
    QList<Word> words;
    int depth = 0;
    for (qsizetype i = 0; i < s.size();) {
        if (const qsizetype skip = skipQuotedOrComment(s, i)) {
            i += skip;
            continue;
        }
        const QChar c = s.at(i);
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (isNameStart(c) && (i == 0 || !isNameChar(s.at(i - 1)))) {
            qsizetype j = i + 1;
            while (j < s.size() && isNameChar(s.at(j)))
                ++j;
            if (depth == 0)
                words.append({s.mid(i, j - i).toLower(), i, j});
            i = j;
            continue;
        }
        ++i;
    }
    return words;
}

bool isPlainName(QStringView text)
{
    if (text.isEmpty() || !isNameStart(text.front()))
        return false;
    for (QChar c : text)
        if (!isNameChar(c))
            return false;
    return true;
}

// "alias.column" or "column", either part a plain name.
std::optional<OrderItem> orderItem(const QString &text)
{
    QStringList parts = text.simplified().split(QLatin1Char(' '));
    OrderItem item;
    if (parts.size() == 2) {
        const QString direction = parts.takeLast().toLower();
        if (direction != QLatin1String("asc") && direction != QLatin1String("desc"))
            return std::nullopt;
        item.descending = direction == QLatin1String("desc");
    }
    if (parts.size() != 1)
        return std::nullopt;
    item.expression = parts.first();
    const QStringList names = item.expression.split(QLatin1Char('.'));
    if (names.size() > 2)
        return std::nullopt;
    for (const QString &name : names)
        if (!isPlainName(name))
            return std::nullopt;
    item.column = names.last();
    return item;
}

qsizetype findWords(const QList<Word> &words, const char *first, const char *second)
{
    for (qsizetype i = words.size() - 2; i >= 0; --i)
        if (words[i].text == QLatin1String(first) && words[i + 1].text == QLatin1String(second))
            return i;
    return -1;
}

} // namespace

std::optional<PageableSelect> pageableSelect(const QString &statement)
{
    const QList<Word> words = topLevelWords(statement);
    if (words.isEmpty() || words.first().text != QLatin1String("select"))
        return std::nullopt;
    for (const Word &w : words)
        for (const char *refused : {"union", "intersect", "except", "limit", "offset", "fetch", "group",
                                    "having", "distinct", "for", "window", "into"})
            if (w.text == QLatin1String(refused))
                return std::nullopt;
    const qsizetype at = findWords(words, "order", "by");
    if (at < 0)
        return std::nullopt;
    PageableSelect result;
    result.body = statement.left(words[at].start).trimmed();
    const QString clause = statement.mid(words[at + 1].end);
    // Commas inside brackets would belong to an expression, which is refused by orderItem anyway.
    for (const QString &part : clause.split(QLatin1Char(','))) {
        const std::optional<OrderItem> item = orderItem(part);
        if (!item)
            return std::nullopt;
        result.order.append(*item);
    }
    return result;
}

QString withGroupOrder(const QString &statement)
{
    const QList<Word> words = topLevelWords(statement);
    const qsizetype at = findWords(words, "group", "by");
    if (at < 0 || findWords(words, "order", "by") >= 0)
        return statement;
    qsizetype end = -1;
    for (qsizetype i = at + 2; i < words.size(); ++i) {
        if (words[i].text == QLatin1String("limit") || words[i].text == QLatin1String("offset"))
            return statement; // an order would have to stand before it: left as written
        if (words[i].text == QLatin1String("having") && end < 0)
            end = words[i].start;
    }
    QString text = statement.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    const qsizetype from = words[at + 1].end;
    const QString columns = text.mid(from, (end < 0 ? text.size() : end) - from).trimmed();
    return text + QStringLiteral(" order by ") + columns;
}

} // namespace SqlText
