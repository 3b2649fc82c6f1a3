#include "data/RowStatements.h"

#include "data/Schema.h"

namespace RowStatements {
namespace {

QString columnSql(const QString &name)
{
    return Schema::columnSql(name.toLatin1().constData());
}

// "a = :a" for each column, joined by `separator`.
QString assignments(const QStringList &columns, const QString &separator)
{
    QStringList parts;
    for (const QString &c : columns)
        parts.append(columnSql(c) + QStringLiteral(" = :") + c);
    return parts.join(separator);
}

} // namespace

QStringList schemaColumns(const QString &table, const QStringList &except)
{
    QStringList columns;
    if (const Schema::Table *t = Schema::table(table))
        for (const Schema::Column &c : t->columns)
            if (!except.contains(QLatin1String(c.name), Qt::CaseInsensitive))
                columns.append(QLatin1String(c.name));
    return columns;
}

QString insertSql(const QString &table, const QStringList &columns)
{
    QStringList names;
    QStringList params;
    for (const QString &c : columns) {
        names.append(columnSql(c));
        params.append(QLatin1Char(':') + c);
    }
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(table, names.join(QLatin1String(", ")), params.join(QLatin1String(", ")));
}

QString updateSql(const QString &table, const QStringList &columns, const QStringList &where)
{
    return QStringLiteral("update %1 set %2 where %3")
        .arg(table, assignments(columns, QStringLiteral(", ")), assignments(where, QStringLiteral(" and ")));
}

} // namespace RowStatements
