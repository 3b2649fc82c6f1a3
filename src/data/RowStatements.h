#pragma once
// INSERT and UPDATE texts of whole rows, built from one list of columns: every column is bound as
// the named parameter of its own name, so that a column added to a table's list is written by
// both statements (and a column left unbound makes the statement fail instead of storing NULL).
#include <QString>
#include <QStringList>

namespace RowStatements {

// The table's columns in the schema's order, without those named in `except` (names compare
// without regard to case). Empty for a table the schema does not know.
QStringList schemaColumns(const QString &table, const QStringList &except = {});

// "insert into T (a, b) values (:a, :b)"
QString insertSql(const QString &table, const QStringList &columns);
// "update T set a = :a, b = :b where k = :k and m = :m": the columns of `where` select the row.
QString updateSql(const QString &table, const QStringList &columns, const QStringList &where);

} // namespace RowStatements
