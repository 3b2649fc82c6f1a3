#include "common/CustomerSearch.h"

#include "data/Engine.h"

namespace CustomerSearch {
namespace {

TFieldDef column(const char *name, const QString &label = {}, int width = -1)
{
    return TFieldDef{QLatin1String(name), label, {}, width, true};
}

void declareColumns(TEngineQuery &q)
{
    q.FieldDefs() = {column("key"), column("TorihikisakiCD", QStringLiteral("取引先CD")),
                     column("TorihikisakiNM", QStringLiteral("取引先名"), 200),
                     column("Busyo", QStringLiteral("部署"), 160)};
}

// A like pattern that finds the fragment anywhere, with "%", "_" and the backslash standing for
// themselves (escaped by a backslash). A NUL is dropped: no name can hold one, and the server
// refuses it in a parameter. With smallLetters, ASCII capitals are written as small letters.
QString containsPattern(const QString &fragment, bool smallLetters)
{
    QString pattern = QStringLiteral("%");
    for (QChar c : fragment) {
        if (c.isNull())
            continue;
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += smallLetters && c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
    }
    return pattern + u'%';
}

} // namespace

void setUpAll(TEngineQuery &q)
{
    q.Close();
    q.setSql({QStringLiteral("select key, TorihikisakiCD, TorihikisakiNM, Busyo From torihikisaki")});
    declareColumns(q);
}

void setUpByName(TEngineQuery &q, const QString &fragment)
{
    q.Close();
    // SQLite's like folds the case of ASCII letters and of nothing else. PostgreSQL's like folds
    // nothing and its ilike and lower() fold every letter, so there the name's ASCII capitals are
    // turned into small letters and the pattern is written in small letters.
    const bool pg = q.database() && q.database()->dialect() == TEngineDialect::PostgreSQL;
    const QString name =
        pg ? QStringLiteral(
                 "translate(TorihikisakiNM, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')")
           : QStringLiteral("TorihikisakiNM");
    q.setSql({QStringLiteral("select key, TorihikisakiCD, TorihikisakiNM, Busyo From torihikisaki"),
              QStringLiteral("where %1 like :Pattern escape '\\'").arg(name)});
    q.ParamByName(QStringLiteral("Pattern")).setAsString(containsPattern(fragment, pg));
    declareColumns(q);
}

} // namespace CustomerSearch
