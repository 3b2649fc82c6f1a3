#pragma once
// The consumption tax of the own company's qualified-invoice option (適格請求書): the registration
// number's check, the tax rate of a line, and a document's sums per rate with the tax computed once
// per document and rate from the rate's sum (never line by line). Whole yen, integer arithmetic only.
#include <optional>
#include <QList>
#include <QString>

namespace ConsumptionTax {

// How the tax of one rate is rounded to whole yen (JisyaJyoho.ZeiHasuuKBN).
enum class Rounding { Down = 0, HalfUp = 1, Up = 2 }; // 切り捨て, 四捨五入, 切り上げ

// The own company's choices; with `enabled` false nothing of the tax is computed, stored or shown.
struct Settings
{
    bool enabled = false;          // TekikakuKBN 1
    QString registrationNumber;    // TourokuNo, "T" and 13 digits
    bool pricesIncludeTax = false; // ZeiKomiKBN 1: amounts are 税込
    Rounding rounding = Rounding::Down;
};

inline constexpr int kStandardRate = 10;
inline constexpr int kReducedRate = 8;
inline constexpr int kUntaxed = 0; // 非課税・不課税

// The rate a stored ZeiRitu stands for: NULL (a product or line made before the option) is 10.
int rateOf(const std::optional<int> &stored);
// The rounding kept in ZeiHasuuKBN; NULL or a number it does not know is 切り捨て.
Rounding roundingOf(const std::optional<int> &stored);

// "T" followed by 13 half-width digits.
bool isWellFormedRegistrationNumber(const QString &number);
// Well formed and its first digit is the check digit of the 12 after it: 9 − (Σ digit × weight
// mod 9), the weights 1 and 2 alternating from the lowest digit.
bool hasValidCheckDigit(const QString &number);

// The tax of one rate's sum, rounded as chosen: sum × rate / 100, or sum × rate / (100 + rate) when
// the sum includes the tax. A negative sum (returns) rounds its size the same way.
qint64 taxOf(qint64 sum, int rate, bool sumIncludesTax, Rounding rounding);

// One line as the sums see it: its rate and its amount (with tax when prices include it).
struct RatedAmount
{
    int rate = kStandardRate;
    qint64 amount = 0;
};

// A document's sums per rate (Taisyo10, Zei10, Taisyo8, Zei8, Hikazei).
struct RateSums
{
    qint64 Taisyo10 = 0, Zei10 = 0, Taisyo8 = 0, Zei8 = 0, Hikazei = 0;
    bool has10 = false, has8 = false, hasUntaxed = false; // which rates the lines use

    qint64 tax() const { return Zei10 + Zei8; }
    // The lines' sum before tax (小計): the taxed sums less their tax when prices include it.
    qint64 subtotal(bool pricesIncludeTax) const;
    // What the customer pays: with tax added when prices exclude it.
    qint64 total(bool pricesIncludeTax) const;
    int ratesUsed() const { return int(has10) + int(has8) + int(hasUntaxed); }
};

RateSums sumsOf(const QList<RatedAmount> &lines, const Settings &settings);

// "¥1,005", "-¥300"
QString yen(qint64 amount);
// The printed summary of the rates used, saying whether the rate's sum holds its tax: without it
// "10%対象（税抜）¥1,005 消費税 ¥100", with it "10%対象（税込）¥1,105 内消費税 ¥100"; "非課税 ¥500".
QStringList summaryLines(const RateSums &sums, bool pricesIncludeTax);
// The mark of a reduced-rate line and the note explaining it.
inline const QString kReducedMark = QStringLiteral("※");
inline const QString kReducedNote = QStringLiteral("※は軽減税率対象");

} // namespace ConsumptionTax
