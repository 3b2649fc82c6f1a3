#include "common/ConsumptionTax.h"

#include "common/DisplayFormat.h"

namespace ConsumptionTax {

int rateOf(const std::optional<int> &stored)
{
    // A rate the program does not know counts at the standard rate rather than untaxed.
    if (stored == kReducedRate || stored == kUntaxed)
        return *stored;
    return kStandardRate;
}

Rounding roundingOf(const std::optional<int> &stored)
{
    switch (stored.value_or(0)) {
    case 1:
        return Rounding::HalfUp;
    case 2:
        return Rounding::Up;
    default:
        return Rounding::Down;
    }
}

bool isWellFormedRegistrationNumber(const QString &number)
{
    if (number.size() != 14 || number.front() != QLatin1Char('T'))
        return false;
    for (int i = 1; i < number.size(); ++i)
        if (number[i] < QLatin1Char('0') || number[i] > QLatin1Char('9'))
            return false;
    return true;
}

bool hasValidCheckDigit(const QString &number)
{
    if (!isWellFormedRegistrationNumber(number))
        return false;
    // number[1] is the check digit; number[2..13] the base number, its lowest digit last.
    int weighted = 0;
    for (int n = 1; n <= 12; ++n) {
        const int digit = number[14 - n].digitValue();
        weighted += digit * (n % 2 == 1 ? 1 : 2);
    }
    return number[1].digitValue() == 9 - weighted % 9;
}

qint64 taxOf(qint64 sum, int rate, bool sumIncludesTax, Rounding rounding)
{
    if (rate <= 0 || sum == 0)
        return 0;
    const qint64 size = sum < 0 ? -sum : sum;
    const qint64 numerator = size * rate;
    const qint64 denominator = sumIncludesTax ? 100 + rate : 100;
    qint64 tax = numerator / denominator;
    const qint64 rest = numerator % denominator;
    if ((rounding == Rounding::Up && rest != 0) || (rounding == Rounding::HalfUp && 2 * rest >= denominator))
        ++tax;
    return sum < 0 ? -tax : tax;
}

qint64 RateSums::subtotal(bool pricesIncludeTax) const
{
    const qint64 lines = Taisyo10 + Taisyo8 + Hikazei;
    return pricesIncludeTax ? lines - tax() : lines;
}

qint64 RateSums::total(bool pricesIncludeTax) const
{
    const qint64 lines = Taisyo10 + Taisyo8 + Hikazei;
    return pricesIncludeTax ? lines : lines + tax();
}

RateSums sumsOf(const QList<RatedAmount> &lines, const Settings &settings)
{
    RateSums s;
    for (const RatedAmount &line : lines) {
        if (line.rate == kReducedRate) {
            s.Taisyo8 += line.amount;
            s.has8 = true;
        } else if (line.rate == kUntaxed) {
            s.Hikazei += line.amount;
            s.hasUntaxed = true;
        } else {
            s.Taisyo10 += line.amount;
            s.has10 = true;
        }
    }
    s.Zei10 = taxOf(s.Taisyo10, kStandardRate, settings.pricesIncludeTax, settings.rounding);
    s.Zei8 = taxOf(s.Taisyo8, kReducedRate, settings.pricesIncludeTax, settings.rounding);
    return s;
}

QString yen(qint64 amount)
{
    const QString digits = formatNumber(DisplayFormat::kInteger, double(amount < 0 ? -amount : amount));
    return (amount < 0 ? QStringLiteral("-¥") : QStringLiteral("¥")) + digits;
}

QStringList summaryLines(const RateSums &sums, bool pricesIncludeTax)
{
    const QString line = pricesIncludeTax ? QStringLiteral("%1%対象（税込）%2 内消費税 %3")
                                          : QStringLiteral("%1%対象（税抜）%2 消費税 %3");
    QStringList lines;
    if (sums.has10)
        lines << line.arg(QString::number(kStandardRate), yen(sums.Taisyo10), yen(sums.Zei10));
    if (sums.has8)
        lines << line.arg(QString::number(kReducedRate), yen(sums.Taisyo8), yen(sums.Zei8));
    if (sums.hasUntaxed)
        lines << QStringLiteral("非課税 %1").arg(yen(sums.Hikazei));
    return lines;
}

} // namespace ConsumptionTax
