#pragma once
// What a database holds of the program's layout, read from the engine's own catalogue in two
// statements: its tables with their columns, and its indexes. The read takes no lock that another
// computer's open write transaction holds, so that a start never waits for one; a start that finds
// everything in place changes nothing (DDL would wait on a server for every open write transaction
// on its table).
#include <QHash>
#include <QSet>
#include <QString>

class TEngineDatabase;

class SchemaCatalogue
{
public:
    static SchemaCatalogue read(TEngineDatabase &db);

    // Names are compared without regard to case (a server folds them to lower case).
    bool hasTable(const QString &table) const;
    bool hasColumn(const QString &table, const QString &column) const;
    bool hasIndex(const QString &index) const;

private:
    QHash<QString, QSet<QString>> m_columns; // table → its columns, in lower case
    QSet<QString> m_indexes;                 // in lower case
};
