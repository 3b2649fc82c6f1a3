#pragma once
// The help command of the main window and the SQL window: opens the program's manual in the
// desktop's browser, or says that none is installed. The browser is started by xdg-open, which
// reports a missing browser only by its exit status, later: the command waits for that status
// without holding the window, and then says where the manual lies and offers to copy that place.
#include <QStringList>

class QWidget;

namespace HelpCommand {

void showHelp(QWidget *parent);

// Said when no manual is installed.
extern const char *const kNoManualMessage;

// The program that opens the manual, with its arguments before the manual's path: xdg-open unless
// a test sets another.
void setOpenCommand(const QStringList &command);

} // namespace HelpCommand
