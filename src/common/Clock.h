#pragma once
// The program's one source of "today" and "now". Default dates, closing dates and the calendar ask
// here instead of the system clock, so that tests can fix the moment they run at.
#include <QDate>
#include <QDateTime>

namespace Clock {

QDate today();
QDateTime now();

// Fixes the clock at the given local moment; an invalid moment gives the system clock back.
void setFixed(const QDateTime &moment);
void reset();

} // namespace Clock
