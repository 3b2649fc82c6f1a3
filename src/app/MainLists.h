#pragma once
// The four document lists of the main window as they open at start: statements and columns.
class TEngineQuery;

namespace MainLists {

void setUpEstimates(TEngineQuery &query);
void setUpDeliveryNotes(TEngineQuery &query);
void setUpPayments(TEngineQuery &query);
void setUpInvoices(TEngineQuery &query);

} // namespace MainLists
