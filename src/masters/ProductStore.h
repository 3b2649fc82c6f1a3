#pragma once
// The products of the Syohin table: the list the master shows, reading, adding, changing and
// deleting one product. The product code is the key and is chosen by the user.
#include <optional>
#include <QList>
#include <QString>

class TEngineDatabase;
class TEngineQuery;

struct ProductRecord
{
    int SyohinCD = 0;
    QString SyohinNM;
    QString Kikaku;
    QString Tani;
    std::optional<double> Tanka; // no value when the field was left empty
    // The tax rate (10, 8, 0) with the qualified-invoice option; nothing for a product that has none
    // (it counts at 10), and a save without one leaves the stored rate as it is.
    std::optional<int> ZeiRitu = std::nullopt;
};

namespace ProductStore {

// "SELECT * FROM SYOHIN" ordered by code, with the list's columns and titles.
void setUpList(TEngineQuery &q);
// The product master's list: the same, and with the qualified-invoice option also 税率 as the
// product's editor names it ("10%" for a product without a rate).
void setUpListWithRates(TEngineQuery &q);

std::optional<ProductRecord> load(TEngineDatabase &db, int code);
// Throws EngineError when the code is already taken.
void insert(TEngineDatabase &db, const ProductRecord &product);
// Both throw EngineError when no product with the code is left (deleted meanwhile at another
// computer).
void update(TEngineDatabase &db, const ProductRecord &product);
void remove(TEngineDatabase &db, int code);

// The unit price as typed: nothing for an empty text; throws ConvertError for a text that is no
// number ("1.2.3").
std::optional<double> priceFromText(const QString &text);
// The rates a product or line can take, in the order the windows offer them, and their captions.
QList<int> taxRates();
QString taxRateCaption(int rate);
// The price as the edit window shows it: plain decimals, up to 15 significant digits.
QString priceText(const std::optional<double> &price);

} // namespace ProductStore
