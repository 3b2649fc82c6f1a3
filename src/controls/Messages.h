#pragma once
// Every message and question of the program goes through here, so that tests can read what was
// said and give the answer instead of a person.
#include <functional>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace Messages {

enum class Kind { Information, Error, Warning, ConfirmYesNo, ConfirmOkCancel };

struct Record
{
    Kind kind;
    QString text;
};

void information(QWidget *parent, const QString &text);
void error(QWidget *parent, const QString &text);
void warning(QWidget *parent, const QString &text);
// Yes/No question (deletions); true for Yes.
bool confirmYesNo(QWidget *parent, const QString &text);
// OK/Cancel question; true for OK.
bool confirmOkCancel(QWidget *parent, const QString &text);

// Shows the text of a failure the way the application's default handler does: error icon, OK.
void showException(QWidget *parent, const std::exception &e);

// Runs a command; a failure it throws is shown as an error and the command is abandoned.
// Returns false when it failed.
bool guarded(QWidget *parent, const std::function<void()> &command);

// For tests: while set, no box is shown; each message is recorded and questions take the answers
// queued (true = Yes/OK), then the default answer.
void setTestMode(bool on, bool defaultAnswer = true);
void queueAnswer(bool answer);
QList<Record> takeHistory();

} // namespace Messages
