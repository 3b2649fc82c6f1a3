#include "report/ui/PrinterQueue.h"

#include <cups/cups.h>

namespace PrinterQueue {

namespace {

QString option(const cups_dest_t &dest, const char *name)
{
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\r\n") + reason;
}

} // namespace

std::optional<QString> refusal(const QString &printerName)
{
    const QByteArray name = printerName.toUtf8();
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return withReason(
            QStringLiteral("プリンタ「%1」が見つかりません．印刷できませんでした．").arg(printerName),
            QString::fromUtf8(cupsLastErrorString()));
    const bool accepting = option(*dest, "printer-is-accepting-jobs") != QLatin1String("false");
    const QString reason = option(*dest, "printer-state-message");
    cupsFreeDests(1, dest);
    if (accepting)
        return std::nullopt;
    return withReason(
        QStringLiteral("プリンタ「%1」は印刷を受け付けていません．印刷できませんでした．").arg(printerName),
        reason);
}

// The job is the last request of this thread to the server: its status is the server's answer.
std::optional<QString> refusalOfLastJob(const QString &printerName)
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    return withReason(QStringLiteral("プリンタ「%1」が印刷を受け付けませんでした．").arg(printerName),
                      QString::fromUtf8(cupsLastErrorString()));
}

std::optional<QString> holdNotice(const QString &printerName)
{
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printerName.toUtf8().constData(), nullptr);
    if (!dest)
        return std::nullopt;
    const bool stopped = option(*dest, "printer-state").toInt() == IPP_PSTATE_STOPPED;
    const QString reason = option(*dest, "printer-state-message");
    cupsFreeDests(1, dest);
    if (!stopped)
        return std::nullopt;
    return withReason(
        QStringLiteral("プリンタ「%1」は停止しています．印刷はプリンタが再開されるまで待機します．")
            .arg(printerName),
        reason);
}

} // namespace PrinterQueue
