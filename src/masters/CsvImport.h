#pragma once
// Customers and products read from a CSV file (as the export writes it, or from another program):
// UTF-8 with or without its byte-order mark, or CP932. Columns are found by the titles of the
// header row. Every row is checked first as the edit windows check it (numbers, required fields,
// Shift-JIS byte lengths); the preview lists each refused row with its line, column and reason.
// Writing is one transaction, and writes nothing while a row is refused unless only the good rows
// are asked for. A row whose code is already stored changes that customer or product, or is skipped.
#include "common/Csv.h"

#include <QList>
#include <QString>
#include <QStringList>

class TEngineDatabase;

namespace CsvImport {

enum class Kind { Customers, Products };
// customers or products.
std::optional<Kind> kindFromName(const QString &name);

struct Problem
{
    int line = 0;   // the line of the file (1 = the header)
    QString column; // the column's title; empty for the whole row
    QString reason;
    QString text() const; // "3 行目 取引先名: 入力してください"
};

struct Row
{
    int line = 0;
    int code = 0;
    QStringList fields; // by the kind's columns (see columns()); empty for a column the file lacks
    QList<Problem> problems;
    bool existing = false; // a customer or product with this code is stored
    bool ok() const { return problems.isEmpty(); }
};

struct Preview
{
    Kind kind = Kind::Customers;
    Csv::Encoding encoding = Csv::Encoding::Utf8;
    QStringList columns;     // the kind's column titles
    QList<bool> present;     // for each of them: whether the file has it
    QList<Problem> problems; // of the file as a whole (a missing required column, an open quote)
    QList<Row> rows;
    int refused() const;
    bool usable() const { return problems.isEmpty(); }
    QStringList problemTexts() const; // the file's and then every row's, in line order
};

// The column titles of a kind, as the export writes them.
QStringList columns(Kind kind);

// Reads and checks the file's bytes against the database (which codes exist); writes nothing.
Preview preview(TEngineDatabase &db, Kind kind, const QByteArray &bytes);
// The same for a file; throws AppError when it cannot be read.
Preview previewFile(TEngineDatabase &db, Kind kind, const QString &path);

enum class Existing { Update, Skip };
struct Outcome
{
    int added = 0;
    int updated = 0;
    int skipped = 0; // existing codes skipped, and refused rows left out
};
// Writes the rows in one transaction. Throws AppError, writing nothing, when the file is unusable or
// a row is refused and not goodRowsOnly (the message names the first refused rows).
Outcome apply(TEngineDatabase &db, const Preview &preview, Existing existing, bool goodRowsOnly);

} // namespace CsvImport
