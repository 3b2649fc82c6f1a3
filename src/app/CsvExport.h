#pragma once
// Customers, products and documents written as a CSV file for a spreadsheet: one header row with
// the titles of the lists' columns, then the rows. Estimates and delivery notes take one row per
// line, their document's fields repeated on each; a document without lines takes one row. Invoices
// carry their tax sums after the list's columns: per rate the amount without tax and the tax, and
// the untaxed amount (empty for an invoice made without the consumption-tax option).
#include "common/Csv.h"

#include <optional>
#include <QDate>
#include <QList>
#include <QStringList>

class TEngineDatabase;
class TEngineQuery;

namespace CsvExport {

enum class Kind { Customers, Products, Estimates, Deliveries, Invoices, Payments };

// customers, products, estimates, deliveries, invoices, payments.
QStringList kindNames();
std::optional<Kind> kindFromName(const QString &name);

// The header row and the rows of the kind. Documents are taken by the date their list is ordered by
// (invoices by closing date), from `from` to `to`; an invalid date leaves that end open.
QList<QStringList> rows(TEngineDatabase &db, Kind kind, const QDate &from = {}, const QDate &to = {});

// The rows of the main window's invoice list as it selects them now, with the tax columns.
QList<QStringList> invoiceListRows(TEngineQuery &list);

} // namespace CsvExport
