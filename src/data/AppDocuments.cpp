#include "data/AppDocuments.h"

#include "data/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppDocuments {
namespace {

// The folders searched in order: beside the program, then the installation's documents folder
// (share/doc/kadomel beside bin) and the installed data folders.
QStringList folders(const QString &exeDir)
{
    QStringList list{AppPaths::programFolder()};
    if (!exeDir.isEmpty()) {
        list << exeDir << AppPaths::installedDocumentsFolder(exeDir)
             << QDir(exeDir).filePath(QStringLiteral("../share/kadomel"));
    }
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        list << QDir(data).filePath(QStringLiteral("doc/kadomel"))
             << QDir(data).filePath(QStringLiteral("kadomel"));
    list.removeDuplicates();
    return list;
}

} // namespace

QString locate(const QString &relative, const QString &exeDir)
{
    for (const QString &folder : folders(exeDir)) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(relative));
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString readmePath()
{
    const QString found = locate(QStringLiteral("readme.txt"), QCoreApplication::applicationDirPath());
    return found.isEmpty() ? QDir(AppPaths::programFolder()).filePath(QStringLiteral("readme.txt")) : found;
}

QString manualPath()
{
    return locate(QStringLiteral("docs/manual/index.html"), QCoreApplication::applicationDirPath());
}

} // namespace AppDocuments
