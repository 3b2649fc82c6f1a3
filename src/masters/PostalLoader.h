#pragma once
// Replaces the rows of the Address table by the records of a postal-code file, in one transaction:
// other computers look codes up in the old rows until the whole file has been read and committed,
// and a bad file leaves Address as it was.
#include "masters/PostalFile.h"

#include <functional>

class QIODevice;
class TEngineDatabase;

class PostalLoader
{
public:
    enum class Phase { Reading, Registering };
    // done and total count bytes of the file while reading.
    using Progress = std::function<void(Phase phase, qint64 done, qint64 total)>;

    explicit PostalLoader(TEngineDatabase &db) : m_db(db) {}
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The number of rows Address holds afterwards. Throws PostalFileError for a file that cannot
    // be read or holds a bad line (the message names the line), EngineError for the database.
    qint64 load(const QString &path);
    qint64 load(QIODevice &device);

private:
    qint64 fillAddress(QIODevice &device);
    void report(Phase phase, qint64 done, qint64 total) const;

    TEngineDatabase &m_db;
    Progress m_progress;
};
