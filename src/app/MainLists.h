#pragma once
// The four document lists of the main window as they open at start: statements and columns.
#include "common/ConsumptionTax.h"

class TEngineQuery;
struct TBookmark;

namespace MainLists {

void setUpEstimates(TEngineQuery &query);
void setUpDeliveryNotes(TEngineQuery &query);
void setUpPayments(TEngineQuery &query);
void setUpInvoices(TEngineQuery &query);

// The amount columns' titles of the estimates, delivery notes and invoices: with the qualified-invoice
// option they say whether the amounts include tax ("金額（税抜）", "請求額（税込）"); without it they
// are the plain "金額" and "請求額". True when a title changed.
bool captionAmounts(TEngineQuery &estimates, TEngineQuery &notes, TEngineQuery &invoices,
                    const ConsumptionTax::Settings &tax);

// The refresh rules after a document command. Each closes the list and opens it again with the
// statement it holds, so the current extraction and order stay in force.

// Plain: the list shows its first row.
void reopen(TEngineQuery &query);
// Go to key: the row whose key it is, else the first row.
void reopenAtKey(TEngineQuery &query, int key);
// Go back to a bookmark taken before the command; a bookmarked row that is gone leaves the list on
// the row that now follows it (or the last row). An empty list stays where it is.
void reopenAt(TEngineQuery &query, const TBookmark &mark);
// Go back to the current row: bookmark now, reopen, go back.
void reopenKeepingPlace(TEngineQuery &query);

} // namespace MainLists
