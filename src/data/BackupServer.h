#pragma once
// Backups of a server database, by PostgreSQL's own pg_dump (custom format) and pg_restore.
#include "data/Backup.h"

namespace BackupServer {

// Reads a dump without a server: its date and counts. Throws AppError for a file that is no dump or
// no dump of this program's database.
Backup::Summary describe(const QString &file);
void dump(TEngineDatabase &db, const QString &target);

// Refuses (AppError, naming them) while another connection is on the database.
void checkNoOthersConnected(TEngineDatabase &db);

// Keeps the database as it is in a dump in `keepFolder`, then replaces it with the backup's in one
// transaction; no other copy of the program is connected meanwhile. Returns the kept dump.
QString restore(TEngineDatabase &db, const QString &backupFile, const QString &keepFolder);

} // namespace BackupServer
