#include "data/AppDocuments.h"

#include "data/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppDocuments {
namespace {

// The folders searched in order: beside the program, then the installed data folders.
QStringList folders()
{
    QStringList list{AppPaths::programFolder()};
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty()) {
        list << exeDir << QDir(exeDir).filePath(QStringLiteral("../share/kadomel"));
    }
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        list << QDir(data).filePath(QStringLiteral("kadomel"));
    list.removeDuplicates();
    return list;
}

QString firstExisting(const QString &relative)
{
    for (const QString &folder : folders()) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(relative));
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace

QString readmePath()
{
    const QString found = firstExisting(QStringLiteral("readme.txt"));
    return found.isEmpty() ? QDir(AppPaths::programFolder()).filePath(QStringLiteral("readme.txt")) : found;
}

QString manualPath()
{
    return firstExisting(QStringLiteral("docs/manual/index.html"));
}

} // namespace AppDocuments
