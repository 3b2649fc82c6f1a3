#include "documents/DocumentLines.h"

#include "common/ConsumptionTax.h"
#include "common/DisplayFormat.h"
#include "common/Ukansu.h"

#include <cmath>
#include <limits>

namespace DocumentLines {

namespace {

constexpr int kQuantity = 1;
constexpr int kUnitPrice = 3;
constexpr int kAmount = 4;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qint64 saturated(double value)
{
    constexpr double limit = 9.2e18; // within the 64-bit range
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

std::optional<double> decimalOf(const QString &text)
{
    const std::optional<double> v = TextToFloat(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return v;
}

} // namespace

bool acceptsKey(int column, QChar c)
{
    if (c.unicode() <= 32 || isDigit(c))
        return true;
    switch (column) {
    case kQuantity:
    case kUnitPrice:
        return c == QLatin1Char('-') || c == QLatin1Char('.');
    case kAmount:
        return c == QLatin1Char('-');
    default:
        return true;
    }
}

std::optional<qint64> lineAmount(const QString &quantity, const QString &unitPrice)
{
    const std::optional<double> q = decimalOf(quantity);
    const std::optional<double> p = decimalOf(unitPrice);
    if (!q || !p)
        return std::nullopt;
    return saturated(std::trunc(*q * *p));
}

std::optional<qint64> amountOf(const QString &text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(text).mid(negative ? 1 : 0);
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits)
        if (!isDigit(c))
            return std::nullopt;
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (ok)
        return v;
    return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

QString halfWidthDigits(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == QChar(0xFF0E))
            c = QLatin1Char('.');
    }
    return result;
}

qint64 total(const QList<QString> &amountCells)
{
    qint64 sum = 0;
    for (const QString &cell : amountCells) {
        const std::optional<qint64> v = amountOf(cell);
        if (v && __builtin_add_overflow(sum, *v, &sum))
            sum = *v > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    }
    return sum;
}

QString totalText(qint64 total)
{
    return QStringLiteral("合計：") + formatNumber(DisplayFormat::kInteger, double(total));
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

std::optional<DocumentLine> fromCells(int gyo, const LineCells &cells)
{
    bool empty = true;
    for (const QString &cell : cells)
        empty = empty && cell.isEmpty();
    if (empty)
        return std::nullopt;
    DocumentLine line;
    line.Gyo = gyo;
    line.SyohinNM = cells[0];
    line.Suryo = decimalOf(cells[kQuantity]);
    line.Tani = cells[2];
    line.Tanka = decimalOf(cells[kUnitPrice]);
    line.Kingaku = amountOf(cells[kAmount]);
    return line;
}

LineCells toCells(const DocumentLine &line)
{
    LineCells cells;
    cells[0] = line.SyohinNM;
    cells[kQuantity] = line.Suryo ? numberText(*line.Suryo) : QString();
    cells[2] = line.Tani;
    cells[kUnitPrice] = line.Tanka ? numberText(*line.Tanka) : QString();
    cells[kAmount] = line.Kingaku ? QString::number(*line.Kingaku) : QString();
    return cells;
}

QString taxText(const ConsumptionTax::RateSums &sums, bool pricesIncludeTax)
{
    const auto number = [](qint64 v) { return formatNumber(DisplayFormat::kInteger, double(v)); };
    QString text = QStringLiteral("小計：%1　消費税：%2")
                       .arg(number(sums.subtotal(pricesIncludeTax)), number(sums.tax()));
    if (sums.has10 && sums.has8)
        text += QStringLiteral("（10%：%1　8%：%2）").arg(number(sums.Zei10), number(sums.Zei8));
    return text;
}

QStringList rateTexts()
{
    return {rateText(10), rateText(8), rateText(0)};
}

QString rateText(int rate)
{
    const int r = ConsumptionTax::rateOf(rate);
    return QString::number(r) +
           (r == ConsumptionTax::kReducedRate ? QStringLiteral("%※") : QStringLiteral("%"));
}

int rateFromText(const QString &text)
{
    for (int rate : {ConsumptionTax::kReducedRate, ConsumptionTax::kUntaxed})
        if (text == rateText(rate))
            return rate;
    return ConsumptionTax::kStandardRate;
}

bool fitsAmount(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

} // namespace DocumentLines
