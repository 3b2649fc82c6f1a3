#pragma once
// Comma-separated files as spreadsheets write and read them: a field holding a comma, a double
// quote or a line break is put in double quotes (a quote inside doubled), rows end in CR LF. Written
// in UTF-8 with a byte-order mark (which spreadsheets need to see UTF-8) or in CP932 (Shift-JIS as
// Windows has it); read in either, told apart by the bytes. A text that a spreadsheet would take for
// a formula (beginning with =, +, -, @, tab or CR) is written behind a "'", which a spreadsheet
// shows as text and the import takes off again; numbers are written as they are.
#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Csv {

enum class Encoding { Utf8, Cp932 };

// "utf-8" or "cp932" (either case; "sjis" and "shift_jis" for the latter); nothing otherwise.
std::optional<Encoding> encodingFromName(const QString &name);

// The field as written: behind a "'" when it begins with =, +, -, @, tab or CR, or with "'"s
// before one of them, and is no number ("-500", "-12.5" and "1e-05" stay numbers).
QString guardFormula(const QString &field);
// What guardFormula wrote, read back: one leading "'" taken off a guarded text.
QString unguardFormula(const QString &field);

// One row: the fields guarded and quoted where needed, joined by commas, ended by CR LF.
QString formatRow(const QStringList &fields);
// The rows in the encoding; UTF-8 begins with its byte-order mark. Throws AppError naming the row
// (1 = the first) and the character when CP932 cannot hold a character of it.
QByteArray encode(const QList<QStringList> &rows, Encoding encoding);

struct Record
{
    int line = 0; // the line of the file on which the record begins (1 = the first)
    QStringList fields;
    // The fields whose bytes are no text in the file's encoding (their text is empty).
    QList<qsizetype> undecodable;
};
// The text of the file's bytes: UTF-8 (with or without its byte-order mark) when they are valid
// UTF-8, otherwise CP932. `encoding` tells which it was.
QString decode(const QByteArray &bytes, Encoding *encoding = nullptr);
// The records of the file's bytes, each field decoded on its own, so that a byte that is no text
// spoils only its own field (named in Record::undecodable) and is never replaced silently. The
// encoding is UTF-8 when the bytes begin with its byte-order mark or are valid UTF-8, CP932 when they
// are valid CP932, and otherwise the one of the two that reads more fields. A line break inside
// quotes belongs to the field (kept as it stands); empty lines are skipped. Throws AppError naming
// the line for a quote that is never closed.
QList<Record> read(const QByteArray &bytes, Encoding *encoding = nullptr);

} // namespace Csv
