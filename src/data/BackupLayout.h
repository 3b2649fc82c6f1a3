#pragma once
// Whether a backup holds this program's database: every table of the program with its columns. A
// backup written by an earlier version may lack the columns that the start adds to an older
// database (the customers' honorific, the tax columns); it is brought to the current layout when it
// is restored. Anything else (the right table names without their columns, another program's
// tables, a dump of another database) is refused before the database is touched.
#include <QHash>
#include <QString>
#include <QStringList>

namespace BackupLayout {

// Table name → its column names, all in lower case.
using Tables = QHash<QString, QStringList>;

// What the backup lacks ("Syohin", "Torihikisaki.TorihikisakiNM"); empty for a backup of this program.
QStringList missing(const Tables &tables);

// The tables of a PostgreSQL schema script (the CREATE TABLE statements that pg_restore writes).
Tables fromCreateStatements(const QString &script);

// Throws AppError naming the file and what it lacks unless `missing` is empty.
void refuseUnlessEmpty(const QString &file, const QStringList &missing);

} // namespace BackupLayout
