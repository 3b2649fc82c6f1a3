#include "common/Wareki.h"

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/timezone.h>

#include <memory>

namespace {

constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr double kMillisecondsPerDay = 86400000.0;

QString toQString(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// Noon of the date in GMT, so that no time zone can move it to another day.
UDate noonOf(const QDate &date)
{
    return double(date.toJulianDay() - kUnixEpochJulianDay) * kMillisecondsPerDay + kMillisecondsPerDay / 2;
}

std::unique_ptr<icu::Calendar> japaneseCalendar(const icu::Locale &locale, UErrorCode &status)
{
    return std::unique_ptr<icu::Calendar>(
        icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
}

const icu::Locale &japaneseLocale()
{
    static const icu::Locale locale("ja_JP@calendar=japanese");
    return locale;
}

} // namespace

int WesternYearOf(const QString &eraName, int eraYear)
{
    if (eraName.isEmpty() || eraYear < 1)
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar = japaneseCalendar(japaneseLocale(), status);
    icu::DateFormatSymbols symbols(japaneseLocale(), "japanese", status);
    if (U_FAILURE(status) || !calendar)
        return 0;
    int32_t eraCount = 0;
    const icu::UnicodeString *eras = symbols.getEras(eraCount);
    for (int32_t era = 0; era < eraCount; ++era) {
        if (toQString(eras[era]) != eraName)
            continue;
        // The middle of the year, which lies within the era for every year but a short first or last.
        calendar->clear();
        calendar->set(UCAL_ERA, era);
        calendar->set(UCAL_YEAR, eraYear);
        calendar->set(UCAL_MONTH, UCAL_JUNE);
        calendar->set(UCAL_DATE, 30);
        const int32_t year = calendar->get(UCAL_EXTENDED_YEAR, status);
        return U_SUCCESS(status) ? year : 0;
    }
    return 0;
}

WarekiYear WarekiOf(const QDate &date)
{
    if (!date.isValid())
        return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale &locale = japaneseLocale();
    std::unique_ptr<icu::Calendar> calendar = japaneseCalendar(locale, status);
    icu::DateFormatSymbols symbols(locale, "japanese", status);
    if (U_FAILURE(status) || !calendar)
        return {};
    calendar->setTime(noonOf(date), status);
    const int32_t era = calendar->get(UCAL_ERA, status);
    const int32_t year = calendar->get(UCAL_YEAR, status);
    int32_t eraCount = 0;
    const icu::UnicodeString *eras = symbols.getEras(eraCount);
    if (U_FAILURE(status) || era < 0 || era >= eraCount || year < 1)
        return {};
    return {toQString(eras[era]), year};
}

QString WarekiYearText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    const WarekiYear wareki = WarekiOf(date);
    const QString eraPart = wareki.eraName.isEmpty()
                                ? QString()
                                : wareki.eraName + QStringLiteral("%1").arg(wareki.year, 2, 10, QChar(u'0'));
    return eraPart + QStringLiteral("年（%1）").arg(date.year(), 4, 10, QChar(u'0'));
}
