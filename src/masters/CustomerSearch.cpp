#include "masters/CustomerSearch.h"

#include "data/Engine.h"
#include "data/LikeFilter.h"

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
    const TEngineDialect dialect = q.database() ? q.database()->dialect() : TEngineDialect::SQLite;
    q.setSql(
        {QStringLiteral("select key, TorihikisakiCD, TorihikisakiNM, Busyo From torihikisaki"),
         QStringLiteral("where ") + LikeFilter::containsCondition(dialect, QStringLiteral("TorihikisakiNM"),
                                                                  QStringLiteral("Pattern"))});
    q.ParamByName(QStringLiteral("Pattern")).setAsString(LikeFilter::containsPattern(dialect, fragment));
    declareColumns(q);
}

} // namespace CustomerSearch
