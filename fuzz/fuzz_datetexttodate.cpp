// The date reader gives a valid date or the zero date for any text, and raises only the conversion
// error; a date it reads comes back the same from its own "yyyy/mm/dd" form.
#include "common/DisplayFormat.h"
#include "common/Ukansu.h"
#include "data/Engine.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QDate date;
    try {
        date = DateTextToDate(text);
    } catch (const ConvertError &) {
        return 0;
    }
    if (!date.isValid())
        std::abort();
    if (date != kZeroDate && DateTextToDate(formatDate(DisplayFormat::kDate, date)) != date)
        std::abort();
    return 0;
}
