#pragma once
// The invoices printed in one go: those of one closing date in the order of their running numbers,
// optionally without the settled ones (a payment came in and the invoice amount came to 0). The batch
// window and the command line select them the same way.
#include <QDate>

class TEngineDatabase;
class TEngineQuery;

namespace InvoiceBatch {

// The latest closing date of all invoices; today when there is none.
QDate defaultClosingDate(TEngineDatabase &db, const QDate &today);

// Gives the query the batch's statement and parameter (it is not opened).
void select(TEngineQuery &query, const QDate &closing, bool skipSettled);

} // namespace InvoiceBatch
