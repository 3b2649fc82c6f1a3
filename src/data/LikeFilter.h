#pragma once
// "Holds this fragment anywhere" conditions for text columns, alike on both engines: the typed text
// goes into the statement as a parameter, "%", "_" and the backslash stand for themselves, and
// ASCII letters match without regard to case (as SQLite's like does; PostgreSQL's like folds
// nothing, so there both sides are written in small ASCII letters).
#include "data/Engine.h"

#include <QString>

namespace LikeFilter {

// "<column> like :<param> escape '\'", with the column folded where the engine needs it.
QString containsCondition(TEngineDialect dialect, const QString &column, const QString &param);
// The longest fragment taken, in UTF-16 units: far beyond any text column, and short enough that
// its pattern, escapes included, stays well within the length SQLite allows a like pattern.
inline constexpr qsizetype maxFragmentLength = 1000;

// The value for that parameter. A NUL is dropped: no stored text holds one, and the server refuses
// it in a parameter. Half a surrogate pair stands for the replacement character U+FFFD, alike on
// both engines (the server's connection would send it as "?", which then matched a "?"). A fragment longer
// than maxFragmentLength raises an AppError saying so.
QString containsPattern(TEngineDialect dialect, const QString &fragment);

} // namespace LikeFilter
