// kadomel-cli: the printed documents, the postal-code load and the invoice run without a window. Failures
// print a message on stderr and end with a non-zero status; nothing is written then.
#include "billing/InvoiceBatch.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "data/Engine.h"
#include "data/TDMdata.h"
#include "report/engine/ReportFonts.h"
#include "report/layouts/DocumentOutput.h"

#include <cstdio>
#include <QGuiApplication>
#include <unistd.h>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// A bar on a terminal; nothing when stderr goes to a file or a pipe.
void showProgress(const QString &what, int percent)
{
    static int shown = -1;
    if (!isatty(fileno(stderr)) || percent == shown)
        return;
    shown = percent;
    const int filled = percent * 30 / 100;
    print(stderr, QStringLiteral("\r%1 [%2%3] %4%")
                      .arg(what, QString(filled, QLatin1Char('#')), QString(30 - filled, QLatin1Char('.')))
                      .arg(percent, 3));
    if (percent == 100)
        print(stderr, QStringLiteral("\n"));
}

int run(const CliOptions &options)
{
    if (options.command == CliOptions::Command::Help) {
        print(stdout, CliOptions::usage());
        return 0;
    }
    if (!options.home.isEmpty())
        qputenv("KADOMEL_HOME", options.home.toUtf8());
    const std::unique_ptr<TDMdata> data = CliCommands::openDatabase(
        [](const QString &notice) { print(stderr, notice + QStringLiteral("\n")); });
    if (options.command == CliOptions::Command::ImportPostal) {
        const qint64 rows = CliCommands::importPostal(*data, options.postalFile, [](int percent) {
            showProgress(QStringLiteral("郵便番号データ読み込み中"), percent);
        });
        print(stdout, QStringLiteral("%1 件の郵便番号データを読み込みました\n").arg(rows));
        return 0;
    }
    if (options.command == CliOptions::Command::InvoiceRun) {
        const CliCommands::InvoiceRunOutcome outcome =
            CliCommands::runInvoices(*data, options.closing, options.day, options.customer, [](int percent) {
                showProgress(QStringLiteral("請求書データ作成中"), percent);
            });
        print(stdout, QStringLiteral("%1 件の請求書を作成しました\n").arg(outcome.made));
        if (outcome.refusals.isEmpty())
            return 0;
        // The other customers are billed; the status tells a script that some were not.
        print(stderr, outcome.refusals + QStringLiteral("\n"));
        return 3;
    }
    const DocumentOutput::Kind kind = *DocumentOutput::kindFromName(options.kind);
    const std::unique_ptr<DocumentOutput::Job> job =
        options.closing.isValid()
            ? std::make_unique<DocumentOutput::Job>(kind, *data->DataDB,
                                                    [&](TEngineQuery &master) {
                                                        InvoiceBatch::select(master, options.closing,
                                                                             !options.withSettled);
                                                    })
            : std::make_unique<DocumentOutput::Job>(kind, *data->DataDB, options.keys);
    for (const QString &notice : job->takeNotices())
        print(stderr, notice + QStringLiteral("\n"));
    if (!options.pdf.isEmpty()) {
        job->printPdf(options.pdf);
        return 0;
    }
    const QList<QImage> pages = job->renderPages();
    DocumentOutput::savePages(pages, options.pngFolder);
    print(stdout, QStringLiteral("%1 ページを出力しました\n").arg(pages.size()));
    return 0;
}

// Qt's own notes (a missing runtime folder and the like) would mix into what scripts read.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message + QStringLiteral("\n"));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietQt);
    // Documents are drawn without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Kadomel"));
    installFontSubstitutions();
    try {
        return run(CliOptions::parse(app.arguments().mid(1)));
    } catch (const CliError &e) {
        print(stderr, e.message() + QStringLiteral("\n\n") + CliOptions::usage());
        return 2;
    } catch (const std::exception &e) {
        print(stderr, QString::fromUtf8(e.what()) + QStringLiteral("\n"));
        return 1;
    }
}
