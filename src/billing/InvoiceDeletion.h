#pragma once
// Deleting an invoice: only a customer's latest invoice, and it undoes exactly what the invoice run
// did for it. Its lines and header go, the delivery notes and payments it took become unbilled
// again, and the customer's previous invoice amount goes back to the invoice's ZenkaiSeikyu. One
// durable transaction under the customers' and invoices' locks, so that a run or a deletion at
// another computer cannot come in between.
#include <QString>

class TEngineDatabase;

namespace InvoiceDeletion {

struct Result
{
    bool deleted = false;
    QString refusal; // why nothing was deleted, for the user
};

// The refusal for an invoice that is not the customer's latest.
QString notLatestMessage(const QString &customerName);

// Deletes the invoice with the key when it is its customer's latest. Throws EngineError when the
// invoice is gone (deleted at another computer) or the engine fails; nothing is changed then.
Result remove(TEngineDatabase &db, int invoiceKey);

} // namespace InvoiceDeletion
