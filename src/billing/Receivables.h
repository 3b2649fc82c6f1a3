#pragma once
// What each customer owes on a given day, and how the months before it went.
//
// A customer's balance on the as-of day is what an invoice run with that closing date would bill:
// the previous invoice amount it would take, less the payments and plus the delivery notes not yet
// billed on that day (notes and payments dated after it are left out), plus the consumption tax of
// those notes when the qualified-invoice option is on with prices without tax (computed once per
// rate on their lines, as the run does). For a past day, documents billed by a later invoice count
// as unbilled and the previous amount is that of the latest invoice closed by then.
//
// Everything is read as sums and single index look-ups per customer; no document row is brought
// into the program.
#include <optional>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class TEngineDatabase;

namespace Receivables {

struct CustomerBalance
{
    int key = 0;
    QString code;               // TorihikisakiCD
    QString name;               // TorihikisakiNM
    qint64 previousInvoice = 0; // 前回請求額: the latest invoice's amount (the opening amount without one)
    qint64 payments = 0;        // 入金額 since that invoice, up to the as-of day
    qint64 unbilledSales = 0; // 未請求売上: unbilled delivery notes up to the as-of day, with their tax
    qint64 balance = 0;       // 残高 = previousInvoice − payments + unbilledSales
    QDate lastClosing;        // 最終締日 of the latest invoice up to the as-of day; null without one
    // Days from the closing date of the oldest invoice not yet paid to the as-of day, the payments
    // counted against the oldest invoices first; nothing when the invoices are paid.
    std::optional<int> daysUnpaid;
};

// Every customer with a figure other than zero, in the order of their codes.
QList<CustomerBalance> balances(TEngineDatabase &db, const QDate &asOf);

// The sums of the rows (key 0, name "合計"). Days unpaid add up to nothing: the total has none.
CustomerBalance total(const QList<CustomerBalance> &rows);

// One month of the picture: the delivery notes' amounts (without tax) and the payments dated in it
// up to the as-of day, and all customers' balance at its end (at the as-of day for its month).
struct Month
{
    QDate first; // the first day of the month
    qint64 sales = 0;
    qint64 payments = 0;
    qint64 balance = 0;
};

// The twelve months ending with the as-of day's month, oldest first. The balance of the last one is
// `balanceAtAsOf` (the table's total); each earlier month's end steps back from it by the later
// sales (with their tax when prices are without tax) and payments.
QList<Month> months(TEngineDatabase &db, const QDate &asOf, qint64 balanceAtAsOf);

// The CSV's header (取引先コード, 取引先名, 前回請求額, 入金額, 未請求売上, 残高, 最終締日) and one row per
// customer; amounts as plain integers, dates as yyyy/MM/dd.
QList<QStringList> csvRows(const QList<CustomerBalance> &rows);

} // namespace Receivables
