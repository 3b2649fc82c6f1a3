#pragma once
// The save dialog of the report window. Tests give the next file name in advance; the dialog
// then does not open.
#include <QString>

class QWidget;

namespace ReportFileDialog {

// The chosen file name, or empty when the user cancelled.
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &suggested,
                        const QString &filter);

// For tests: the next call returns this name without a dialog (an empty name is a cancel).
void setNextSaveFileName(const QString &name);

} // namespace ReportFileDialog
