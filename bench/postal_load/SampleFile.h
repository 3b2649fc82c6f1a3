#pragma once
// A national-sized postal-code file made from the sample's lines, and the rows of a postal file
// written out as plain CSV for the sqlite3 command-line import.
#include <QString>

// Writes `lines` lines cycling through the sample's lines, each with a code of its own
// (field 3), in the sample's bytes otherwise (Shift-JIS, CR LF).
void writeNationalSizedFile(const QString &samplePath, const QString &outPath, int lines);

// Reads the postal file with the program's reader and writes "code,address" lines in UTF-8.
qint64 writeImportCsv(const QString &postalPath, const QString &csvPath);
