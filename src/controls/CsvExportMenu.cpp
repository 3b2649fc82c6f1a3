#include "controls/CsvExportMenu.h"

#include "controls/FileChoice.h"
#include "controls/Messages.h"
#include "data/ListCsv.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace CsvExportMenu {
namespace {

const QString kUtf8 = QStringLiteral("CSV UTF-8 (*.csv)");
const QString kCp932 = QStringLiteral("CSV Shift-JIS/CP932 (*.csv)");

} // namespace

QString filters()
{
    return kUtf8 + QStringLiteral(";;") + kCp932;
}

Rows rowsOf(TEngineQuery *list)
{
    return [list] { return ListCsv::listRows(*list); };
}

void addTo(QWidget *grid, const Rows &rows, const QString &suggestedName)
{
    auto *action = new QAction(QStringLiteral("CSV出力..."), grid);
    action->setObjectName(QStringLiteral("CsvExport"));
    grid->addAction(action);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(action, &QAction::triggered, grid,
                     [grid, rows, suggestedName] { exportRows(grid->window(), rows, suggestedName); });
}

void exportRows(QWidget *parent, const Rows &produce, const QString &suggestedName)
{
    QString filter = kUtf8;
    const QString path = FileChoice::save(parent, QStringLiteral("CSV出力"),
                                          suggestedName + QStringLiteral(".csv"), filters(), &filter);
    if (path.isEmpty())
        return;
    Messages::guarded(parent, [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore
        {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        const QList<QStringList> rows = produce();
        ListCsv::write(path, rows, filter == kCp932 ? Csv::Encoding::Cp932 : Csv::Encoding::Utf8);
        Messages::information(parent,
                              QStringLiteral("%1 件を出力しました\n%2").arg(rows.size() - 1).arg(path));
    });
}

} // namespace CsvExportMenu
