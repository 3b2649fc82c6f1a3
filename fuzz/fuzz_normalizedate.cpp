// Every text a user can type into a date field either normalises to a date that the date reader
// reads back, or raises the date or conversion error; nothing else.
#include "common/Clock.h"
#include "common/Ukansu.h"
#include "data/Engine.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool clockFixed = (Clock::setFixed(QDateTime(QDate(2026, 1, 15), QTime(12, 0))), true);
    (void)clockFixed;
    const QString typed = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString normalized;
    try {
        normalized = NormalizeDateText(typed);
    } catch (const DateError &) {
        return 0;
    } catch (const ConvertError &) {
        return 0;
    }
    if (normalized.isEmpty() != typed.isEmpty())
        std::abort();
    if (normalized.isEmpty())
        return 0;
    const QDate date = DateTextToDate(normalized);
    if (!date.isValid() || date.toString(QStringLiteral("yyyy/MM/dd")) != normalized)
        std::abort();
    return 0;
}
