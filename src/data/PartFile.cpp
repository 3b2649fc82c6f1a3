#include "data/PartFile.h"

#include "data/Engine.h"

#include <fcntl.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <sys/file.h>
#include <unistd.h>

namespace {

// What SQLite keeps beside a database file while it writes it.
const char *const kJournalSuffixes[] = {"-journal", "-wal", "-shm"};

void removeJournalsOf(const QString &path)
{
    for (const char *suffix : kJournalSuffixes)
        QFile::remove(path + QLatin1String(suffix));
}

// True when no writer holds the part file (it was left by a backup that was killed).
bool isAbandoned(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

} // namespace

PartFile::PartFile(const QString &target)
    : m_target(target), m_path(target + QStringLiteral(".part-%1").arg(QCoreApplication::applicationPid()))
{
    removeLeftovers(QFileInfo(target).absolutePath(), QFileInfo(target).fileName());
    removeWithJournals();
    m_lock = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lock >= 0)
        flock(m_lock, LOCK_EX | LOCK_NB);
}

PartFile::~PartFile()
{
    if (!m_done)
        removeWithJournals();
    if (m_lock >= 0)
        ::close(m_lock);
}

void PartFile::removeWithJournals() const
{
    QFile::remove(m_path);
    removeJournalsOf(m_path);
}

void PartFile::putInPlace()
{
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) != 0)
        throw AppError(QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(m_target)));
    m_done = true;
    removeJournalsOf(m_path);
    syncFolder(QFileInfo(m_target).absolutePath());
}

QString PartFile::namingTarget(const QString &text) const
{
    const QString target = QDir::toNativeSeparators(m_target);
    const QString named = QString(text).replace(QDir::toNativeSeparators(m_path), target);
    return named.contains(target) ? named
                                  : QStringLiteral("%1 を書き込めませんでした\n%2").arg(target, named);
}

void PartFile::removeLeftovers(const QString &folder, const QString &targetName)
{
    static const QRegularExpression part(QStringLiteral("^(.+)\\.part-\\d+(-journal|-wal|-shm)?$"));
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.part-*")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = part.match(name);
        const QString of = m.captured(1);
        if (!m.hasMatch() ||
            !(of == targetName || of.endsWith(QLatin1String(".sqlite3")) ||
              of.endsWith(QLatin1String(".dump")) || of.endsWith(QLatin1String(".restoring"))))
            continue;
        const QString path = dir.filePath(name);
        if (m.captured(2).isEmpty()) {
            if (isAbandoned(path)) {
                QFile::remove(path);
                removeJournalsOf(path);
            }
        } else if (!QFileInfo::exists(dir.filePath(name.left(name.size() - m.captured(2).size())))) {
            QFile::remove(path); // a journal whose part file is gone
        }
    }
}

void PartFile::syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
