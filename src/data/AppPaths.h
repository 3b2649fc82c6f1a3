#pragma once
// Where the program keeps its configuration file and its default database folder.
//
// - KADOMEL_HOME, when set, names the folder (tests, portable copies, kadomel-cli --home).
// - An installed program (in <prefix>/bin, with its documents in <prefix>/share/doc/kadomel) keeps
//   both in the user's XDG folders, even when it may write to its own folder (root, a prefix in the
//   user's home): a system folder is no place for a user's data.
// - Any other copy (a build, a portable folder) keeps them beside the executable when that folder is
//   writable, and in the XDG folders otherwise.
//
// The XDG folders are $XDG_CONFIG_HOME/kadomel for kadomel.ini and $XDG_DATA_HOME/kadomel/DB for the
// database, named "kadomel" whatever the application's name, so that kadomel and kadomel-cli share them.
#include <QString>

namespace AppPaths {

QString programFolder(); // the folder "beside the program": KADOMEL_HOME, the executable's, or XDG config
QString iniPath();       // kadomel.ini
QString dataFolder();    // the "DB" folder that must exist at start
QString defaultDatabaseFolder();

// Creates the "DB" folder when missing, with the folder it lies in (a home folder named by
// KADOMEL_HOME that does not exist yet); throws AppError
// "データフォルダ作成失敗 <path>" when that fails.
void ensureDataFolder();

// The choice above for a given KADOMEL_HOME (empty when unset) and executable folder, made without
// creating anything.
struct Folders
{
    QString program;  // where kadomel.ini lies
    QString data;     // the "DB" folder
    bool xdg = false; // the user's XDG folders, made when missing (the others are used as they are)
};
Folders chooseFolders(const QString &home, const QString &exeDir);

// True when exeDir is the bin folder of an installation: <prefix>/bin beside <prefix>/share/doc/kadomel.
bool isInstalled(const QString &exeDir);

// Where an installation keeps the readme and the manual: <prefix>/share/doc/kadomel.
QString installedDocumentsFolder(const QString &exeDir);

} // namespace AppPaths
