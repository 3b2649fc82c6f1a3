#include "data/LikeFilter.h"

#include "common/AppError.h"

namespace LikeFilter {

namespace {

// True when the UTF-16 unit at i is one half of a surrogate pair (a character beyond U+FFFF).
bool isPairAt(const QString &text, qsizetype i)
{
    if (text[i].isHighSurrogate())
        return i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return i > 0 && text[i - 1].isHighSurrogate() && text[i].isLowSurrogate();
}

} // namespace

QString containsCondition(TEngineDialect dialect, const QString &column, const QString &param)
{
    const QString folded =
        dialect == TEngineDialect::PostgreSQL
            ? QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')")
                  .arg(column)
            : column;
    return QStringLiteral("%1 like :%2 escape '\\'").arg(folded, param);
}

QString containsPattern(TEngineDialect dialect, const QString &fragment)
{
    if (fragment.size() > maxFragmentLength)
        throw AppError(QStringLiteral("抽出する文字列が長すぎます（%1 文字まで）").arg(maxFragmentLength));
    const bool smallLetters = dialect == TEngineDialect::PostgreSQL;
    QString pattern = QStringLiteral("%");
    for (qsizetype i = 0; i < fragment.size(); ++i) {
        const QChar c = fragment[i];
        if (c.isNull())
            continue;
        if (c.isSurrogate() && !isPairAt(fragment, i)) {
            pattern += QChar::ReplacementCharacter;
            continue;
        }
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += smallLetters && c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
    }
    return pattern + u'%';
}

} // namespace LikeFilter
