#pragma once
// Backups of the database and restoring one. The local database is copied with SQLite's online
// backup, page by page from one read snapshot, so that copies of the program may go on saving
// meanwhile; the copy is checked (integrity_check) before it is put in place. A server database is
// dumped and restored by PostgreSQL's own pg_dump and pg_restore.
#include <functional>
#include <QDateTime>
#include <QString>

class TDMdata;
class TEngineDatabase;

namespace Backup {

using Progress = std::function<void(int percent)>;

// The name of the database file of a local database.
QString localDatabaseFile(const TEngineDatabase &db);
// Where backups of this database are kept: the folder "backup" in the local database's folder, or
// in the data folder for a server database.
QString backupFolder(const TEngineDatabase &db);

// Writes a backup of the database to `target` (replacing it only when the whole backup is written
// and checked). Throws AppError with the reason when it fails; then `target` is left as it was.
void take(TEngineDatabase &db, const QString &target, const Progress &progress = {});

// The local backup itself: database file to target file through SQLite's online backup.
void copyLocalFile(const QString &source, const QString &target, const Progress &progress = {});
// The online backup itself, into `target` as it is (no part file, no check).
void writeLocalCopy(const QString &source, const QString &target, const Progress &progress = {});
// Throws AppError unless the SQLite file passes integrity_check.
void checkIntegrity(const QString &file);

// What a backup holds, shown before it is restored.
struct Summary
{
    QDateTime taken;
    int customers = 0;
    int estimates = 0;
    int deliveryNotes = 0;
    int invoices = 0;
    int payments = 0;
    int documents() const { return estimates + deliveryNotes + invoices + payments; }
};
// Reads the backup file for the engine of `db` (an SQLite file, or a dump for a server). Throws
// AppError for a file that is no backup of this kind, is damaged, or holds another database than
// this program's (its tables and columns; an earlier version's layout is accepted).
Summary describe(const TEngineDatabase &db, const QString &backupFile);
// As describe, and refuses (AppError) while another copy of the program is connected, naming on a
// server those connected: asked before the restore's question, so that a restore that cannot be
// done is refused first. The restore asks again.
Summary checkRestorable(TEngineDatabase &db, const QString &backupFile);
// The question asked before restoring: the backup's date and counts.
QString restoreQuestion(const Summary &summary);

// Replaces the database of the data module with the backup's contents, then brings it to the
// current layout as a start does (CheckTables). Refuses (AppError) while another copy of the program
// is connected to it, and keeps other copies from connecting until it is done (they wait, then give
// up with kRestoringMessage). The database as it was is kept as a backup first; its path is
// returned. Local: a checked copy of the database is kept, or the file itself as it is when it is
// damaged (named "...-damaged.sqlite3"); the backup is copied into a new file beside the database
// and checked, and only then renamed over it; the connection is closed meanwhile and opened again.
// Server: while the program's presence lock is held exclusively, the database is dumped and the
// backup restored in one transaction (pg_restore --clean --single-transaction).
QString restore(TDMdata &data, const QString &backupFile, const Progress &progress = {});

// The automatic backup of a local database at the first start of a day: writes
// "kadomel-yyyymmdd.sqlite3" into `folder` unless it is there already, then keeps only the `keep`
// newest of them. Two copies starting at once: one writes, the other does nothing. Returns the file
// written, empty when none was. keep <= 0 turns it off.
QString takeDaily(const QString &databaseFile, const QString &folder, const QDate &today, int keep);
// How many daily backups to keep: kadomel.ini [Backup] keep, 14 when not set.
int dailyKeepSetting();

} // namespace Backup
