#pragma once
// What kadomel-cli does, on the database the configuration names: connecting as the program's
// start-up does (data folder, connection, tables), loading a postal-code file, the invoice run.
#include <functional>
#include <memory>
#include <optional>
#include <QDate>
#include <QString>

class TDMdata;

namespace CliCommands {

// The database the configuration names, its tables made when missing. A configuration file that is
// no text is set aside first and `notify` told so. Throws AppError when the database cannot be
// opened or its tables cannot be made.
std::unique_ptr<TDMdata> openDatabase(const std::function<void(const QString &)> &notify);
// The same database for a restore, which checks the tables itself once it has replaced it: a server
// database is connected, a local one is left closed (so that a damaged one can still be restored).
std::unique_ptr<TDMdata> openForRestore(const std::function<void(const QString &)> &notify);
// The data module with the configuration's connection settings, not yet connected.
std::unique_ptr<TDMdata> configureDatabase(const std::function<void(const QString &)> &notify);

// Loads the file into Address; progress gets the percentage read. Returns the rows loaded.
qint64 importPostal(TDMdata &data, const QString &path, const std::function<void(int percent)> &progress);

// Runs the invoice run for the closing date over the customers of a closing day (as the window's
// closing-day mode selects them) or over one customer; progress gets the percentage of customers
// done. Returns the number of invoices made and, when the run skipped customers whose latest invoice
// has a later closing date, what it says about them (empty otherwise). Throws AppError starting with
// "データ作成に失敗しました" when a customer's step fails (the customers before it stay billed), or
// for an unknown customer.
struct InvoiceRunOutcome
{
    int made = 0;
    QString refusals;
};
InvoiceRunOutcome runInvoices(TDMdata &data, const QDate &closing, std::optional<int> day,
                              std::optional<int> customer, const std::function<void(int percent)> &progress);

} // namespace CliCommands
