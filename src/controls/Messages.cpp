#include "controls/Messages.h"

#include "common/AppError.h"

#include <QApplication>
#include <QQueue>

namespace Messages {
namespace {

struct TestState
{
    bool on = false;
    bool defaultAnswer = true;
    QQueue<bool> answers;
    QList<Record> history;
};

TestState &testState()
{
    static TestState state;
    return state;
}

QString caption()
{
    return QApplication::applicationName().isEmpty() ? QStringLiteral("Kadomel")
                                                     : QApplication::applicationName();
}

bool ask(QWidget *parent, Kind kind, const QString &text)
{
    TestState &t = testState();
    if (t.on) {
        t.history.append({kind, text});
        if (kind == Kind::ConfirmYesNo || kind == Kind::ConfirmOkCancel)
            return t.answers.isEmpty() ? t.defaultAnswer : t.answers.dequeue();
        return true;
    }
    switch (kind) {
    case Kind::Information:
        QMessageBox::information(parent, caption(), text);
        return true;
    case Kind::Error:
        QMessageBox::critical(parent, caption(), text);
        return true;
    case Kind::Warning:
        QMessageBox::warning(parent, caption(), text);
        return true;
    case Kind::ConfirmYesNo:
        return QMessageBox::question(parent, caption(), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    case Kind::ConfirmOkCancel:
        return QMessageBox::question(parent, caption(), text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Ok;
    }
    return false;
}

} // namespace

void information(QWidget *parent, const QString &text)
{
    ask(parent, Kind::Information, text);
}
void error(QWidget *parent, const QString &text)
{
    ask(parent, Kind::Error, text);
}
void warning(QWidget *parent, const QString &text)
{
    ask(parent, Kind::Warning, text);
}
bool confirmYesNo(QWidget *parent, const QString &text)
{
    return ask(parent, Kind::ConfirmYesNo, text);
}
bool confirmOkCancel(QWidget *parent, const QString &text)
{
    return ask(parent, Kind::ConfirmOkCancel, text);
}

void showException(QWidget *parent, const std::exception &e)
{
    if (auto *app = dynamic_cast<const AppError *>(&e))
        error(parent, app->message());
    else
        error(parent, QString::fromUtf8(e.what()));
}

bool guarded(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        showException(parent, e);
        return false;
    }
}

void setTestMode(bool on, bool defaultAnswer)
{
    TestState &t = testState();
    t.on = on;
    t.defaultAnswer = defaultAnswer;
    t.answers.clear();
    t.history.clear();
}

void queueAnswer(bool answer)
{
    testState().answers.enqueue(answer);
}

QList<Record> takeHistory()
{
    return std::exchange(testState().history, {});
}

} // namespace Messages
