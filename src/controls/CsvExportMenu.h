#pragma once
// "CSV出力..." on a list: in the grid's context menu (the window's layout stays as it is) and as an
// action for a menu. It writes the rows the list's statement and extraction select, with the shown
// columns' titles, to a file the user chooses, in UTF-8 or CP932 as the chosen file type says.
#include <functional>
#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QWidget;
class TEngineQuery;

namespace CsvExportMenu {

// The file type choices of the save dialog; the first is UTF-8 with its byte-order mark.
QString filters();

// The header row and the rows to write, read when the command runs.
using Rows = std::function<QList<QStringList>()>;
// The rows of a list as it selects them now.
Rows rowsOf(TEngineQuery *list);

// Adds the command to the grid's context menu.
void addTo(QWidget *grid, const Rows &rows, const QString &suggestedName);

// Asks for the file, writes it and says how many rows were written; a failure is shown.
void exportRows(QWidget *parent, const Rows &rows, const QString &suggestedName);

} // namespace CsvExportMenu
