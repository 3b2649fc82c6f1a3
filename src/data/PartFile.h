#pragma once
// A file written beside its final name ("<target>.part-<pid>") and renamed over it only when it is
// complete; removed otherwise, together with the journal that SQLite may have left beside it. While
// it is written its writer holds a lock on it, so a part file that nobody holds is what a killed
// backup left behind: the next one written into that folder removes it.
#include <QString>

class PartFile
{
public:
    explicit PartFile(const QString &target);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    const QString &path() const { return m_path; }
    // Renames the part file over the target. Throws AppError naming the target when it cannot.
    void putInPlace();
    // A message of SQLite or pg_dump about writing the part file, naming the target instead (said
    // first when the message names no file).
    QString namingTarget(const QString &text) const;

    // Removes the part files in the folder, and their journals, that no writer holds: those of this
    // target, and those of backups (*.sqlite3, *.dump) and of restores.
    static void removeLeftovers(const QString &folder, const QString &targetName = {});
    static void syncFolder(const QString &folder);

private:
    void removeWithJournals() const;

    QString m_target;
    QString m_path;
    int m_lock = -1;
    bool m_done = false;
};
