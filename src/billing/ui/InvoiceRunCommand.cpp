#include "billing/ui/InvoiceRunCommand.h"

#include "billing/InvoiceRun.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"

#include <QProgressDialog>

namespace InvoiceRunCommand {

QList<int> run(QWidget *parent, const QList<int> &customers, const QDate &closing,
               const std::function<void(int done, int total)> &step)
{
    InvoiceRun run(*DMdata->DataDB);
    QProgressDialog progress(QStringLiteral("請求書データを作成しています…"), QString(), 0,
                             int(customers.size()), parent);
    progress.setWindowTitle(QStringLiteral("請求書データ作成"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setCancelButton(nullptr);
    run.setProgress([&](int done, int total) {
        progress.setValue(done);
        if (step)
            step(done, total);
    });
    QList<int> created;
    try {
        created = run.run(customers, closing);
    } catch (const InvoiceRunError &e) {
        progress.reset();
        Messages::error(parent, kRunFailed);
        throw AppError(e.message());
    }
    progress.reset();
    const QString made = QStringLiteral("%1 件の請求書を作成しました").arg(created.size());
    if (run.refused().isEmpty())
        Messages::information(parent, made);
    else
        Messages::warning(parent, made + QStringLiteral("\n\n") + refusalReport(run.refused()));
    return created;
}

} // namespace InvoiceRunCommand
