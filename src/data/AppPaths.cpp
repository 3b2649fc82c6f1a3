#include "data/AppPaths.h"

#include "common/AppError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {
namespace {

bool portable(QString *folder)
{
    const QString home = qEnvironmentVariable("KADOMEL_HOME");
    if (!home.isEmpty()) {
        *folder = QDir(home).absolutePath();
        return true;
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable()) {
        *folder = exeDir;
        return true;
    }
    return false;
}

QString xdg(QStandardPaths::StandardLocation location)
{
    return QDir(QStandardPaths::writableLocation(location)).filePath(QStringLiteral("kadomel"));
}

} // namespace

QString programFolder()
{
    QString folder;
    if (portable(&folder))
        return folder;
    const QString config = xdg(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(config);
    return config;
}

QString iniPath()
{
    return QDir(programFolder()).filePath(QStringLiteral("kadomel.ini"));
}

QString dataFolder()
{
    QString folder;
    if (portable(&folder))
        return QDir(folder).filePath(QStringLiteral("DB"));
    const QString data = xdg(QStandardPaths::GenericDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(QStringLiteral("DB"));
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
    if (!QDir().mkdir(folder))
        throw AppError(QStringLiteral("データフォルダ作成失敗 ") + QDir::toNativeSeparators(folder));
}

} // namespace AppPaths
