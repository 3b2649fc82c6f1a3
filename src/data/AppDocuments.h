#pragma once
// Where the documents shipped with the program lie: "readme.txt" and the manual. A portable copy has
// them beside the program; an installed one in its documents folder (share/doc/kadomel beside bin),
// else in the user's and system's XDG data folders (doc/kadomel or kadomel there).
#include <QString>

namespace AppDocuments {

// The readme file to show: the first one found, else the name beside the program (whose
// absence the viewer then reports).
QString readmePath();

// The manual's start page (docs/manual/index.html), or an empty text when none is installed.
QString manualPath();

// The first file of that relative path found for a program in exeDir: beside the program (its
// folder, KADOMEL_HOME), in the installation's documents folder, then in the XDG data folders; an
// empty text when there is none.
QString locate(const QString &relative, const QString &exeDir);

} // namespace AppDocuments
