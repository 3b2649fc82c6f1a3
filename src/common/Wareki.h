#pragma once
// Japanese era years, from ICU's Japanese calendar (ja_JP@calendar=japanese): era boundaries and
// names as ICU defines them, 令和 included.
#include <QDate>
#include <QString>

struct WarekiYear
{
    QString eraName; // "平成"; empty for a date before the first era
    int year = 0;    // year within the era, 1 for the era's first year
};

WarekiYear WarekiOf(const QDate &date);

// The western year of a year within a named era ("令和", 8 gives 2026); 0 for a name that is no era.
int WesternYearOf(const QString &eraName, int eraYear);

// The calendar's year line: era name, two-digit era year, "年（", the four-digit year, "）";
// 1998/07/01 gives "平成10年（1998）", 1989/01/07 "昭和64年（1989）".
QString WarekiYearText(const QDate &date);
