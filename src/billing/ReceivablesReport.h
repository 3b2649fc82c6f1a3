#pragma once
// The list of receivables as it is printed: every customer's balance on the as-of day, their total
// and the own company's name, read for the printed list (report window and command line).
#include "billing/Receivables.h"
#include "report/layouts/ReceivablesLayout.h"

class TEngineDatabase;

namespace ReceivablesReport {

// The rows and their total as the list prints them, under the own company's name.
ReceivablesSheet sheetOf(const QList<Receivables::CustomerBalance> &rows, const QDate &asOf,
                         const QString &company);
// Reads the balances of the as-of day and the own company's name (empty without a company row).
ReceivablesSheet read(TEngineDatabase &db, const QDate &asOf);

} // namespace ReceivablesReport
