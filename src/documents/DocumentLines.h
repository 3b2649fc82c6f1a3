#pragma once
// The line grid of the estimate and delivery note editors without the grid: what a cell accepts
// from the keyboard, how a line amount is formed from quantity and unit price, which amount texts
// count towards the total, and how a grid row becomes a stored line and back.
#include "common/ConsumptionTax.h"

#include <array>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The five columns of a line: name (or product code), quantity, unit, unit price, amount.
inline constexpr int kLineColumns = 5;
inline constexpr int kMaxLines = 99;
using LineCells = std::array<QString, kLineColumns>;
// The grid's narrow tax-rate column after the five, shown only with the qualified-invoice option.
inline constexpr int kRateColumn = kLineColumns;

struct DocumentLine
{
    int Gyo = 0; // the grid row, 1 to 99; gaps between rows are kept
    QString SyohinNM;
    std::optional<double> Suryo;
    QString Tani;
    std::optional<double> Tanka;
    std::optional<qint64> Kingaku; // 64 bits so that the save can refuse what a column cannot hold
    // The tax rate (10, 8, 0) with the qualified-invoice option; nothing for a line made without it,
    // which counts at 10.
    std::optional<int> ZeiRitu = std::nullopt;
};

namespace DocumentLines {

// Quantity and unit price take "-", "." and the digits, the amount "-" and the digits, name and
// unit anything; control characters (code 32 and below) always pass.
bool acceptsKey(int column, QChar c);

// Quantity times unit price, multiplied in double precision and cut toward zero: 3 x 33.3 = 99,
// -1 x 2.5 = -2, 0.29 x 100 = 28. Nothing when either text is no number (an empty one is none).
std::optional<qint64> lineAmount(const QString &quantity, const QString &unitPrice);

// An amount cell counts when it is a whole number: digits with at most one leading minus sign. A
// number beyond 64 bits reads as the nearest 64-bit value (the save refuses it anyway).
std::optional<qint64> amountOf(const QString &text);

// The text with full-width digits and point ("１２", "．") as half-width ones, so that a code typed
// with the input method on reads as the code.
QString halfWidthDigits(const QString &text);

// The sum of the amounts that count; saturates instead of wrapping.
qint64 total(const QList<QString> &amountCells);

// "合計：1,234,567"
QString totalText(qint64 total);

// The editors' tax caption beside the total: "小計：3,973　消費税：297", with the tax of each rate
// when more than one is used: "小計：3,973　消費税：297（10%：100　8%：197）".
QString taxText(const ConsumptionTax::RateSums &sums, bool pricesIncludeTax);

// Quantities and prices as the grid shows them: general decimals, up to 15 significant digits.
QString numberText(double value);

// The stored line of a grid row; nothing when all five cells are empty.
std::optional<DocumentLine> fromCells(int gyo, const LineCells &cells);
LineCells toCells(const DocumentLine &line);

// The rate column's texts: "10%", "8%※" (a reduced-rate line is marked), "0%" (非課税・不課税).
QStringList rateTexts();
QString rateText(int rate);
// The rate of a rate cell; 10 for an empty or unknown text.
int rateFromText(const QString &text);

// True when the value fits the 32-bit amount columns.
bool fitsAmount(qint64 value);

} // namespace DocumentLines
