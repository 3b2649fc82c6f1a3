#pragma once
// Reading statement texts: splitting a script at its semicolons and turning the named parameters
// (":name", found without regard to case) into positional markers that both engines accept.
#include <QString>
#include <QStringList>

namespace SqlText {

// The statements of a text separated by ";" outside quotes and comments; empty ones are dropped.
QStringList splitStatements(const QString &text);

struct Positional
{
    QString sql;        // the statement with "?" in place of each parameter
    QStringList params; // parameter names in the order they stand, as written
};
Positional toPositional(const QString &statement);

} // namespace SqlText
