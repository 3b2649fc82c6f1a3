#pragma once
// What the database and query halves of the engine layer share: turning a driver's failure into
// the program's exception, and the form in which values are bound.
#include "common/AppError.h"

#include <QSqlError>
#include <QVariant>

namespace EngineInternal {

// The engine's message; a lock that was not obtained in time (SQLite busy or locked, a
// PostgreSQL lock or deadlock timeout) gives the program's lock message, the engine's after it.
EngineError errorFrom(const QSqlError &error);
bool isLockError(const QSqlError &error);

// Dates go to both engines as text in one sortable form: SQLite stores them that way, and
// PostgreSQL converts the text to the column's date or time-stamp type.
QVariant bindable(const QVariant &value);

} // namespace EngineInternal
