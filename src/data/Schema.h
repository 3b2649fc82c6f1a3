#pragma once
// The fifteen tables of the program: columns, primary keys and indexes, written as DDL for the
// engine in use. Index names carry the table's name in front, so that every one is unique in the
// database (names such as "NMIDX" would otherwise clash between tables).
#include "data/Engine.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Schema {

enum class ColumnType { Integer, Character, Float, Date, Timestamp, Blob, Memo };

struct Column
{
    const char *name;
    ColumnType type;
    int length = 0; // Shift-JIS bytes, for Character
    bool notNull = false;
};

struct Index
{
    const char *name;
    QList<const char *> columns;
};

struct Table
{
    const char *name;
    const char *statusText; // shown while the table is checked at start
    QList<Column> columns;
    QList<const char *> primaryKey;
    QList<Index> indexes;
    // Indexes of the program's own beyond the ones above: the lists' order (date and key), the
    // documents of a customer and of an invoice, what the customers owe and the sums per day. Created
    // at start on existing databases too, after the tax columns.
    QList<Index> ownIndexes = {};
    // Columns of the consumption-tax option, added later: created with the table, added at start to
    // an older table. They stay outside `columns`, so the statements that write whole rows leave them
    // NULL (the option off) and only the rules that know the tax write them.
    QList<Column> taxColumns = {};
};

// In the order they are checked at start.
const QList<Table> &tables();
const Table *table(const QString &name);

// The creation text of a table: CREATE TABLE and its CREATE INDEX statements, separated by ";".
QString creationScript(const Table &table, TEngineDialect dialect);
// CREATE INDEX IF NOT EXISTS for the table's own indexes, separated by ";".
QString ownIndexScript(const Table &table);
// CREATE INDEX IF NOT EXISTS for one index.
QString indexSql(const Table &table, const Index &index);
QString indexName(const Table &table, const Index &index);
// ALTER TABLE … ADD for one tax column missing from an older table.
QString addColumnSql(const Table &table, const Column &column, TEngineDialect dialect);

// A column name as it must stand in a statement ("left" is a reserved word on PostgreSQL).
QString columnSql(const char *name);

} // namespace Schema
