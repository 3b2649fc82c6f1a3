#pragma once
// The display patterns of the program's grids, fields and printed pages, formatted the same way
// everywhere.
//
// Number patterns: "0" a digit always shown, "#" a digit shown when significant, "." the decimal
// point, "," anywhere in a section turns thousands separators on, text in quotes and any other
// character is copied. Up to three sections separated by ";": positive, negative, zero. Values are
// rounded half away from zero to the digit places of the pattern (2.5 -> 3, 0.125 -> 0.13), after
// reading the double to 18 significant digits, so 2.675 (2.67499... in binary) gives 2.67.
// - "#,#0": 1234 -> "1,234", 0 -> "0"
// - "#,##.##": 1234.5 -> "1,234.5", 0.5 -> ".5", 0 -> "" (no digit is forced, so zero shows empty)
// - "#,#": 0 -> ""
// - "0.00": 1.5 -> "1.50"
// - "000-0000": 600000 -> "060-0000"
// - "¥#,#0;¥-#,#0;¥0": -1234 -> "¥-1,234"
// A backslash in a pattern is written as the yen sign "¥": it is what the pattern's backslash
// always showed on Japanese screens. A negative value without a negative section gets "-" before
// its first digit; a value that rounds to zero never shows a minus sign and takes the zero section
// when there is one.
//
// Date patterns: "yyyy", "yy", "m", "mm", "d", "dd", "h", "hh", "n", "nn" (minutes; "m"/"mm" right
// after an hour mean minutes too), "s", "ss", "zzz", text in single or double quotes copied, any
// other character copied. An invalid date gives the empty text.
#include <QDate>
#include <QDateTime>
#include <QString>

QString formatNumber(QStringView pattern, double value);
QString formatDate(QStringView pattern, const QDate &date);
QString formatDateTime(QStringView pattern, const QDateTime &moment);

namespace DisplayFormat {

inline constexpr auto kInteger = u"#,#0";
inline constexpr auto kQuantity = u"#,##.##";
inline constexpr auto kIntegerOrBlank = u"#,#";
inline constexpr auto kYen = u"\\#,#0;\\-#,#0;\\0";
inline constexpr auto kTwoDecimals = u"0.00";
inline constexpr auto kPostalCode = u"000-0000";
inline constexpr auto kDate = u"yyyy/mm/dd";
inline constexpr auto kDateJapanese = u"yyyy'年 'm'月 'd'日'";

// "¥1,234", "¥-1,234", "¥0"
QString formatYen(double amount);
// 600000 -> "060-0000"
QString formatPostalCode(int code);

} // namespace DisplayFormat
