#pragma once
// Closing days (締日) and closing dates of the invoice run: the days the run offers, the customers a
// day selects, and the latest closing date of a day on or before today.
//
// A customer's closing day is 1 to 31, 99 for the month's end, or 0 for the company's own day. A day
// chosen for a run selects every customer whose effective day it is: its own day, or 0 when the day
// is the company's.
#include <optional>
#include <QDate>
#include <QList>
#include <QString>

class TEngineDatabase;

namespace ClosingDays {

inline constexpr int kMonthEnd = 99;
inline const QString kMonthEndCaption = QStringLiteral("月末");

// The company's closing day and the fiscal-year start month of the own-company row (99 and 4
// without a row).
struct CompanyDays
{
    int companyDay = kMonthEnd;
    int fiscalYearStart = 4;
};
CompanyDays readCompany(TEngineDatabase &db);

// The days a run offers: the company day first, then every distinct day 1 to 98 that customers have,
// ascending (a customer day equal to the company day is listed again), and "月末" last when
// customers have day 99 and the company day is another.
QList<int> offered(TEngineDatabase &db, int companyDay);
// "月末" for 99, else the number.
QString caption(int day);
// The day of a caption: 99 for "月末", the number otherwise; nothing for other text.
std::optional<int> fromCaption(const QString &caption);

// The latest closing date of the day on or before today; nothing for a day without one (0, 32–98).
std::optional<QDate> defaultClosingDate(int day, const QDate &today);
// A customer's effective day: its own, or the company day for 0.
int effectiveDay(int customerDay, int companyDay);

// The customers (keys, ascending) whose effective closing day is the day.
QList<int> customersForDay(TEngineDatabase &db, int day, int companyDay);

} // namespace ClosingDays
