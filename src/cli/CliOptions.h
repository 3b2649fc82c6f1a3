#pragma once
// The command line of kadomel-cli, read into what each command needs. Reading refuses what it
// cannot use with a message for the user (CliError).
#include "common/AppError.h"

#include <optional>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CliError : public AppError
{
public:
    using AppError::AppError;
};

struct CliOptions
{
    enum class Command {
        Help,
        Version,
        Render,
        ImportPostal,
        InvoiceRun,
        Backup,
        Restore,
        Export,
        Import,
        Receivables
    };
    Command command = Command::Help;
    QString home;                // --home DIR: the folder used in place of the program's folder
    QString kind;                // render: mitumori, nohin, seikyu, ryosyusyou, ineitest, ineidata
    QList<int> keys;             // render: --key N, in order
    QString pdf;                 // render, receivables: --pdf FILE
    QString pngFolder;           // render: --png DIR
    QString postalFile;          // import-postal FILE
    QDate closing;               // invoice-run, render --kind seikyu: --closing yyyy/mm/dd
    std::optional<int> day;      // invoice-run: --day D, the customers of a closing day
    std::optional<int> customer; // invoice-run: --customer K, one customer
    bool withSettled = false;    // render --closing: --with-settled, also the invoices settled to 0
    QString file;                // backup, restore, export, import: FILE
    QString table;               // export, import: customers, products, … (what is written or read)
    QDate from;                  // export: --from yyyy/mm/dd
    QDate to;                    // export: --to yyyy/mm/dd
    QString encoding = QStringLiteral("utf-8"); // export, receivables: --encoding utf-8|cp932
    bool yes = false;                           // restore, import: --yes, without asking
    bool skipExisting = false;                  // import: --skip-existing, leave stored codes as they are
    bool goodRowsOnly = false;                  // import: --good-rows-only, import the rows without errors
    QDate asOf;                                 // receivables: --as-of yyyy/mm/dd; null: today
    QString csv;                                // receivables: --csv FILE

    // Throws CliError for an unknown command or option, a missing or extra value.
    static CliOptions parse(const QStringList &arguments);
    static QString usage();
};
