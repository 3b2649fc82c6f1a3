#pragma once
// The help command of the main window and the SQL window: opens the program's manual in the
// desktop's browser, or says that none is installed.
class QWidget;

namespace HelpCommand {

void showHelp(QWidget *parent);

// Said when no manual is installed.
extern const char *const kNoManualMessage;

} // namespace HelpCommand
