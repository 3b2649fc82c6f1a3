#pragma once
// The file dialogs of the backup and CSV commands. Tests give the next answers in advance; the
// dialog then does not open.
#include <QString>

class QWidget;

namespace FileChoice {

// The chosen file, or empty when the user cancelled; `filter` is the selected filter on return.
QString save(QWidget *parent, const QString &caption, const QString &suggested, const QString &filters,
             QString *filter = nullptr);
QString open(QWidget *parent, const QString &caption, const QString &filters);

// For tests: the next call returns this name (and filter) without a dialog; an empty name cancels.
void setNext(const QString &name, const QString &filter = {});

} // namespace FileChoice
