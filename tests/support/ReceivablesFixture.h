#pragma once
// A small set of customers for what each one owes: an opening amount, invoices made by the invoice
// run, payments larger than an invoice, a return (a negative delivery note), customers without an
// invoice, documents dated after the as-of day, and lines at both tax rates; with the figures
// worked out by hand for the as-of day.
#include <optional>
#include <QDate>
#include <QList>
#include <QString>

class TestDatabase;

namespace ReceivablesFixture {

inline const QDate kAsOf{2024, 4, 30};

// Writes the own company, seven customers (codes 101–107) and their documents, and runs the
// invoice run for 2024/02/20 and 2024/03/20.
void build(TestDatabase &t);

struct Expected
{
    QString code;
    QString name;
    qint64 previousInvoice, payments, unbilledSales, balance;
    QDate lastClosing;
    std::optional<int> daysUnpaid;
};

// The rows on kAsOf without the tax option, in the order of the codes (105 owes nothing and is
// not listed).
QList<Expected> expected();

} // namespace ReceivablesFixture
