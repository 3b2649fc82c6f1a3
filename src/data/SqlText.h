#pragma once
// Reading statement texts: splitting a script at its semicolons and turning the named parameters
// (":name", found without regard to case) into positional markers that both engines accept.
#include <optional>
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

namespace SqlText {

// One column of an ORDER BY clause: "m.Hiduke DESC" gives expression "m.Hiduke", column "Hiduke".
struct OrderItem
{
    QString expression;
    QString column;
    bool descending = false;
};

// A SELECT that can be read page by page: its text without the ORDER BY clause and the plain
// columns of that clause. None for other statements (no ORDER BY, an ORDER BY of expressions or
// positions, or a statement that groups, limits, combines or removes duplicates).
struct PageableSelect
{
    QString body;
    QList<OrderItem> order;
};
std::optional<PageableSelect> pageableSelect(const QString &statement);

// A statement grouped without an ORDER BY gets one on its grouping columns, so that the groups
// come in ascending order on both engines.
QString withGroupOrder(const QString &statement);

} // namespace SqlText
