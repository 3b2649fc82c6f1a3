#pragma once
// Customers and products read from a CSV file (as the export writes it, or from another program):
// UTF-8 with or without its byte-order mark, or CP932. Columns are found by the titles of the
// header row. Every row is checked first as the edit windows check it (numbers, required fields,
// Shift-JIS byte lengths) and for what a file can hold that a record cannot (bytes that are no text,
// a NUL); the preview lists each refused row with its line, column and reason, and each field that a
// row changes in a stored customer or product, old → new.
//
// A column the file lacks, a cell the row lacks, and an empty cell of a number column or of 敬称 leave
// the stored value as it is (a new customer takes 0, and 御中 when the file has no 敬称). A text written
// behind a "'" so that a spreadsheet shows it as text (see Csv) is read without it. A customer's 期首売掛残
// and 前回請求額 belong to the invoice run once it has an invoice: the import then leaves them as stored and
// says so.
//
// Which stored customer a row is: the one whose key and 登録日 the row carries (this database's own
// export), otherwise the one with the row's 取引先CD; 取引先CD 0 means "no code" and makes a new
// customer, registered at the row's 登録日 when it has one. A product is the one with its 商品CD.
//
// Writing is one transaction under the table's lock. It writes nothing while a row is refused (unless
// only the good rows are asked for), nor when a record the preview showed has been changed, added or
// deleted at another computer since, or a customer has had its first invoice meanwhile.
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

// A field of a stored record that a row changes.
struct Change
{
    int column = 0; // in the kind's columns (see columns())
    QString before; // as stored when the preview was read
    QString after;
};

struct Row
{
    int line = 0;
    int code = 0;
    QStringList fields; // the file's cells by the kind's columns; empty for a cell the file lacks
    QList<bool> cells;  // for each of the kind's columns: whether the row has a cell for it
    QList<Problem> problems;
    bool existing = false;  // the row is a stored customer or product
    int key = 0;            // its key (a product's code)
    QStringList values;     // what the row stores, by the kind's columns
    QList<Change> changes;  // the stored fields it changes; empty for a new record
    QStringList notes;      // values of the file that the import leaves as stored, and why
    QString sourceIdentity; // the key and 登録日 the row carries, when it carries both
    bool ok() const { return problems.isEmpty(); }
};

enum class Existing { Update, Skip };

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
    // The rows that would change a stored record.
    int updates(Existing existing) const;
    // What becomes of the row: why it is refused, 新規, 変更なし, 読み飛ばし or its changes
    // ("Tel: 03-1111-2222 → 03-9999-0000"), followed by its notes.
    QString result(const Row &row, Existing existing) const;
    // One line for every row that changes a stored record or has notes:
    // "3 行目（取引先CD 5）: Tel: 03-1111-2222 → 03-9999-0000".
    QStringList changeTexts(Existing existing) const;
};

// The column titles of a kind, as the export writes them.
QStringList columns(Kind kind);

// Reads and checks the file's bytes against the database (which records exist); writes nothing.
Preview preview(TEngineDatabase &db, Kind kind, const QByteArray &bytes);
// The same for a file; throws AppError when it cannot be read.
Preview previewFile(TEngineDatabase &db, Kind kind, const QString &path);

struct Outcome
{
    int added = 0;
    int updated = 0;
    int unchanged = 0; // stored records the file gives as they are
    int skipped = 0;   // existing codes skipped, and refused rows left out
};
// Writes the rows in one transaction. Throws AppError, writing nothing, when the file is unusable, a
// row is refused and not goodRowsOnly (the message names the first refused rows), or a record changed
// at another computer since the preview (the message names the rows).
Outcome apply(TEngineDatabase &db, const Preview &preview, Existing existing, bool goodRowsOnly);

} // namespace CsvImport
