#include "data/SchemaCatalogue.h"

#include "data/Engine.h"

namespace {

// Every column of every table of the database (SQLite) or of the connection's schema (PostgreSQL):
// table name, column name.
QString columnsSql(TEngineDialect dialect)
{
    if (dialect == TEngineDialect::SQLite)
        return QStringLiteral("select m.name, p.name from sqlite_master m, pragma_table_info(m.name) p "
                              "where m.type = 'table'");
    return QStringLiteral("select c.relname, a.attname from pg_class c "
                          "join pg_namespace n on n.oid = c.relnamespace "
                          "join pg_attribute a on a.attrelid = c.oid "
                          "where n.nspname = current_schema() and c.relkind in ('r', 'p') "
                          "and a.attnum > 0 and not a.attisdropped");
}

QString indexesSql(TEngineDialect dialect)
{
    if (dialect == TEngineDialect::SQLite)
        return QStringLiteral("select name from sqlite_master where type = 'index'");
    return QStringLiteral("select c.relname from pg_class c join pg_namespace n on n.oid = c.relnamespace "
                          "where n.nspname = current_schema() and c.relkind = 'i'");
}

template<typename Row> void forEachRow(TEngineDatabase &db, const QString &sql, Row row)
{
    TEngineQuery q(&db);
    q.addSql(sql);
    q.Open();
    for (; !q.Eof(); q.Next())
        row(q);
}

} // namespace

SchemaCatalogue SchemaCatalogue::read(TEngineDatabase &db)
{
    if (!db.Connected())
        db.Open();
    SchemaCatalogue catalogue;
    forEachRow(db, columnsSql(db.dialect()), [&](TEngineQuery &q) {
        catalogue.m_columns[q.Field(0).AsString().toLower()].insert(q.Field(1).AsString().toLower());
    });
    forEachRow(db, indexesSql(db.dialect()),
               [&](TEngineQuery &q) { catalogue.m_indexes.insert(q.Field(0).AsString().toLower()); });
    return catalogue;
}

bool SchemaCatalogue::hasTable(const QString &table) const
{
    return m_columns.contains(table.toLower());
}

bool SchemaCatalogue::hasColumn(const QString &table, const QString &column) const
{
    return m_columns.value(table.toLower()).contains(column.toLower());
}

bool SchemaCatalogue::hasIndex(const QString &index) const
{
    return m_indexes.contains(index.toLower());
}
