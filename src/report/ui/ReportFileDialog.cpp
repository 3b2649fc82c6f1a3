#include "report/ui/ReportFileDialog.h"

#include <optional>
#include <QFileDialog>

namespace ReportFileDialog {
namespace {

std::optional<QString> &nextName()
{
    static std::optional<QString> name;
    return name;
}

} // namespace

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &suggested,
                        const QString &filter)
{
    if (nextName())
        return *std::exchange(nextName(), std::nullopt);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

void setNextSaveFileName(const QString &name)
{
    nextName() = name;
}

} // namespace ReportFileDialog
