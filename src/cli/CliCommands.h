#pragma once
// What kadomel-cli does, on the database the configuration names: connecting as the program's
// start-up does (data folder, connection, tables), loading a postal-code file, rendering documents.
#include <functional>
#include <memory>
#include <QString>

class TDMdata;

namespace CliCommands {

// Throws AppError when the database cannot be opened or its tables cannot be made.
std::unique_ptr<TDMdata> openDatabase();

// Loads the file into Address; progress gets the percentage read. Returns the rows loaded.
qint64 importPostal(TDMdata &data, const QString &path, const std::function<void(int percent)> &progress);

} // namespace CliCommands
