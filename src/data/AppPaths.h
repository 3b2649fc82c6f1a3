#pragma once
// Where the program keeps its configuration file and its default database folder: beside the
// executable when that folder is writable (portable use), otherwise in the user's XDG folders.
// KADOMEL_HOME names the folder to use instead of the executable's folder.
#include <QString>

namespace AppPaths {

QString programFolder(); // the folder "beside the program": KADOMEL_HOME, the executable's, or XDG config
QString iniPath();       // kadomel.ini
QString dataFolder();    // the "DB" folder that must exist at start
QString defaultDatabaseFolder();

// Creates the "DB" folder when missing (one level); throws AppError
// "データフォルダ作成失敗 <path>" when that fails.
void ensureDataFolder();

} // namespace AppPaths
