#include "billing/ReceivablesReport.h"

#include "masters/OwnCompanyStore.h"

namespace ReceivablesReport {
namespace {

ReceivablesSheet::Row printedRow(const Receivables::CustomerBalance &b)
{
    return {b.code,          b.name,    b.previousInvoice, b.payments,
            b.unbilledSales, b.balance, b.lastClosing,     b.daysUnpaid};
}

} // namespace

ReceivablesSheet sheetOf(const QList<Receivables::CustomerBalance> &rows, const QDate &asOf,
                         const QString &company)
{
    ReceivablesSheet sheet;
    sheet.asOf = asOf;
    sheet.company = company;
    sheet.rows.reserve(rows.size());
    for (const Receivables::CustomerBalance &row : rows)
        sheet.rows.append(printedRow(row));
    sheet.total = printedRow(Receivables::total(rows));
    return sheet;
}

ReceivablesSheet read(TEngineDatabase &db, const QDate &asOf)
{
    const std::optional<OwnCompanyRecord> company = OwnCompanyStore::load(db);
    return sheetOf(Receivables::balances(db, asOf), asOf, company ? company->JisyaNM : QString());
}

} // namespace ReceivablesReport
