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
    // The cast gives the parameter a type that PostgreSQL can infer inside the concatenation.
    // PostgreSQL takes a backslash in a pattern as an escape unless told there is none; SQLite has
    // no escape by default and refuses an empty one.
    const bool pg = q.database() && q.database()->dialect() == TEngineDialect::PostgreSQL;
    q.setSql({QStringLiteral("select key, TorihikisakiCD, TorihikisakiNM, Busyo From torihikisaki"),
              QStringLiteral("where torihikisakiNM like ('%' || cast(:Fragment as varchar) || '%')") +
                  (pg ? QStringLiteral(" escape ''") : QString())});
    q.ParamByName(QStringLiteral("Fragment")).setAsString(fragment);
    declareColumns(q);
}

} // namespace CustomerSearch
