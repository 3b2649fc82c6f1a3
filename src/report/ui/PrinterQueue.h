#pragma once
// What the print server (CUPS) says of a printer's queue. Qt hands a finished job to CUPS without
// telling whether CUPS took it, so a printer that refuses jobs would print nothing in silence: the
// print job asks here before it starts and once it has been handed over.
#include <optional>
#include <QString>

namespace PrinterQueue {

// Why the printer would refuse a job now (it does not accept jobs, or the server does not know it),
// as the message for the user; nothing when it takes jobs.
std::optional<QString> refusal(const QString &printerName);
// Why the server refused the job just handed over to it; nothing when it took the job.
std::optional<QString> refusalOfLastJob(const QString &printerName);
// That the printer is stopped (cupsdisable, or a fault): it takes jobs but holds them until it is
// started again. Nothing when it prints.
std::optional<QString> holdNotice(const QString &printerName);

} // namespace PrinterQueue
