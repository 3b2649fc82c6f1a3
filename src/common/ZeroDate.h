#pragma once
// Where date values stand for "no date": a NULL or unreadable date reads as this.
#include <QDateTime>

inline const QDate kZeroDate{1899, 12, 30};
inline const QDateTime kZeroDateTime{kZeroDate, QTime(0, 0)};
