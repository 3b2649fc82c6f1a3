#pragma once
// Where the documents shipped with the program lie: "readme.txt" and the manual. A portable copy has
// them beside the program; an installed one in its data folder (share/kadomel beside bin, or the
// user's and system's XDG data folders).
#include <QString>

namespace AppDocuments {

// The readme file to show: the first one found, else the name beside the program (whose
// absence the viewer then reports).
QString readmePath();

// The manual's start page (docs/manual/index.html), or an empty text when none is installed.
QString manualPath();

} // namespace AppDocuments
