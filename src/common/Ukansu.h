#pragma once
// Ukansu: the small helpers the editing windows share — truncating numbers, testing typed text, and
// the two routines every typed date passes through. None of them touches the database or the screen.
#include "common/AppError.h"

#include <optional>
#include <QDate>
#include <QDateTime>
#include <QString>

// A typed date text too short to be a date (one to three characters).
class DateError : public AppError
{
public:
    using AppError::AppError;
};

// x cut towards zero to n decimal places, in binary floating point as the editors always did:
// 0.29 cut to 2 places gives 0.28, -2.7 cut to 0 places gives -2.
double TruncDecimals(int n, double x);

// Not empty, and only the ASCII digits and "." ("1.2.3" and "." pass too).
bool IsDigitsOrPoint(QStringView text);
// Not empty, and only the ASCII digits and "-" ("-500", "5-0" and "-" pass).
bool IsDigitsOrHyphen(QStringView text);
// True when the text converts to a floating-point number by TextToFloat.
bool IsFloatText(QStringView text);

// The standard number conversion: blanks around, an optional sign, digits with at most one point,
// an optional exponent ("1.5E3"). Nothing when the text is no number or out of range.
std::optional<double> TextToFloat(QStringView text);
// A decimal integer within 32 bits; throws ConvertError "'text' は整数ではありません" otherwise.
int TextToInteger(QStringView text);
// The same for a number typed into the field with the given label; the message names the field:
// "取引先CDに整数を入力してください（'' は整数ではありません）".
int FieldTextToInteger(const QString &field, QStringView text);
// A typed number (TextToFloat) of the labelled field; throws ConvertError naming the field:
// "単価に数値を入力してください（'1.2.3' は数値ではありません）".
double FieldTextToFloat(const QString &field, QStringView text);

// The standard date conversion: "y/m/d" (a year of one or two digits is put within 50 years
// before and 49 after the current year), "m/d" in the current year, optionally followed by a blank
// and a time "h[:n[:s[.z]]]". Nothing for an impossible date or anything else.
std::optional<QDateTime> TextToDateTime(QStringView text);

// Turns what the user typed into a date field ("1225", "101225", "20101225", "H221225", "2010/1/5",
// "R8/12/10", "令和8年12月10日", "2026年12月10日") into "yyyy/mm/dd". The empty text stays empty. Throws
// DateError for one to three characters and ConvertError for a text that is no date.
QString NormalizeDateText(const QString &text);

// Reads "yyyy/mm/dd" without any century completion ("10/12/25" is the year 10). Returns the zero
// date kZeroDate (1899/12/30, common/ZeroDate.h) for anything that is no valid date. Throws
// ConvertError only for a part made of digits and points that is not a whole number ("2010/12/2.5").
QDate DateTextToDate(QStringView text);

// Key filter of the date fields: control characters, digits, "/" and the era letters M, T, S, H, R
// in either case.
bool IsDateFieldKey(QChar c);
