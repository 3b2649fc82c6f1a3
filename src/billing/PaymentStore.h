#pragma once
// Payments received (Nyukin): reading one, the customer as the payment window shows it, the payment
// methods offered, and saving. A payment is also the receipt printed for it, so a new payment takes
// its receipt number and running number when it is stored.
//
// Saving is one write transaction: the customers' lock first (a customer cannot be deleted while a
// payment is being stored for it), then the payments' lock under which the key and the receipt
// number are taken, then the row.
#include "documents/Numbering.h"

#include <optional>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

class TEngineDatabase;

struct PaymentRecord
{
    int key = 0; // 0 for a payment not yet stored
    QString RyosyuNo;
    QDate NyukinYMD;
    int NyukinY = 0;
    int NyukinM = 0;
    int Seq = 0;
    int TorihikisakiKey = 0;
    int Nyukingaku = 0;
    QString NyukinHouhou;
    QString Tadasigaki;
    // The invoice that counted the payment; 0 while unbilled. For a save of a stored payment, the one
    // read when the window opened: the save refuses when the stored one differs.
    int SeikyuKey = 0;
    QDateTime TorokuYMD;
    QDateTime KosinYMD;
};

// The customer of a payment as the payment window shows it.
struct PaymentCustomer
{
    int key = 0;
    QString TorihikisakiNM;
    int ZenkaiSeikyuGaku = 0; // the previous invoice amount, which the copy button takes over
    // The previous invoice amount with thousands separators ("1,234,567").
    QString shownAmount() const;
};

namespace PaymentStore {

inline const QString kCash = QStringLiteral("現金");
inline const QString kCheque = QStringLiteral("小切手");
inline const QString kBill = QStringLiteral("手形");

// "現金", the bank names of the own company's three accounts that are not empty, "小切手", "手形".
QStringList paymentMethods(TEngineDatabase &db);
// The methods the stored payments name, each once, in the engine's order (the payment list's filter
// offers them); a payment without one gives an empty text.
QStringList methodsInUse(TEngineDatabase &db);

std::optional<PaymentRecord> load(TEngineDatabase &db, int key);
std::optional<PaymentCustomer> customer(TEngineDatabase &db, int key);

// Whether saving `edited` changes what the invoice of the billed payment `opened` counted: its amount,
// its customer or its date. The payment window asks before such a save.
bool changesBilled(const PaymentRecord &opened, const PaymentRecord &edited);

// The typed amount as whole yen. Throws ConvertError for a text that is no whole number, and for an
// amount that the amount column cannot hold.
int amountFromText(const QString &text);

// Stores the payment and returns its key.
// A new payment (key 0) is stored unbilled under the table's highest key plus one, with its running
// number and receipt number taken by the receipt settings (the typed RyosyuNo under "手入力"), its
// year and month, and the registration time.
// A stored payment gets its customer, date, amount, method, purpose text and the time of the
// change; its running number, year, month and invoice stay as they are, and so does its receipt
// number, except under "手入力", where the typed number is stored.
// Throws AppError without a customer, for a customer or payment that another computer has deleted,
// for a payment whose invoice key another computer changed since it was read (payment.SeikyuKey),
// and for texts too long for their columns; nothing is stored then.
int save(TEngineDatabase &db, const PaymentRecord &payment, const Numbering::SaibanSettei &settings,
         int fiscalYearStart);

} // namespace PaymentStore
