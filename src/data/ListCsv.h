#pragma once
// A list written as a CSV file: its shown columns' titles as the header row, then every row its
// statement selects (with the extraction in force), values as a spreadsheet reads them back.
#include "common/Csv.h"

#include <QList>
#include <QStringList>

class TEngineQuery;
struct TFieldDef;

namespace ListCsv {

// The header row and every row of the open query as `columns` name them (a NULL as an empty cell).
QList<QStringList> collect(TEngineQuery &query, const QList<TFieldDef> &columns);
// The columns a list shows, in its order.
QList<TFieldDef> shownColumns(const QList<TFieldDef> &defs);
// The header row and every row of a list: its statement run again with its parameters.
QList<QStringList> listRows(TEngineQuery &list);
// The same with the columns named (fields of the list's statement, shown or not).
QList<QStringList> listRows(TEngineQuery &list, const QList<TFieldDef> &columns);

// Writes the rows to the file, replacing it only when all is written. Throws AppError.
void write(const QString &path, const QList<QStringList> &rows, Csv::Encoding encoding);

} // namespace ListCsv
