#include "data/AppPaths.h"

#include "common/AppError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {
namespace {

const QString kDataFolderName = QStringLiteral("DB");

QString xdgFolder(QStandardPaths::StandardLocation location)
{
    return QDir(QStandardPaths::writableLocation(location)).filePath(QStringLiteral("kadomel"));
}

Folders current()
{
    return chooseFolders(qEnvironmentVariable("KADOMEL_HOME"), QCoreApplication::applicationDirPath());
}

} // namespace

QString installedDocumentsFolder(const QString &exeDir)
{
    return QDir::cleanPath(QDir(exeDir).filePath(QStringLiteral("../share/doc/kadomel")));
}

bool isInstalled(const QString &exeDir)
{
    return !exeDir.isEmpty() && QDir(exeDir).dirName() == QLatin1String("bin") &&
           QFileInfo(installedDocumentsFolder(exeDir)).isDir();
}

Folders chooseFolders(const QString &home, const QString &exeDir)
{
    QString beside;
    if (!home.isEmpty())
        beside = QDir(home).absolutePath();
    else if (!exeDir.isEmpty() && !isInstalled(exeDir) && QFileInfo(exeDir).isWritable())
        beside = exeDir;
    if (!beside.isEmpty())
        return {beside, QDir(beside).filePath(kDataFolderName), false};
    return {xdgFolder(QStandardPaths::GenericConfigLocation),
            QDir(xdgFolder(QStandardPaths::GenericDataLocation)).filePath(kDataFolderName), true};
}

QString programFolder()
{
    const Folders folders = current();
    if (folders.xdg)
        QDir().mkpath(folders.program);
    return folders.program;
}

QString iniPath()
{
    return QDir(programFolder()).filePath(QStringLiteral("kadomel.ini"));
}

QString dataFolder()
{
    const Folders folders = current();
    // The XDG data folder may not exist yet; "DB" itself is made by ensureDataFolder.
    if (folders.xdg)
        QDir().mkpath(QFileInfo(folders.data).absolutePath());
    return folders.data;
}

QString defaultDatabaseFolder()
{
    return dataFolder();
}

void ensureDataFolder()
{
    const QString folder = dataFolder();
    if (QFileInfo(folder).isDir())
        return;
    // With the whole path: a folder named by KADOMEL_HOME (kadomel-cli --home) may not exist yet.
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("データフォルダ作成失敗 ") + QDir::toNativeSeparators(folder));
}

} // namespace AppPaths
