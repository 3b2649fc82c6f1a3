// kadomel-cli: the printed documents, the postal-code load, the invoice run and the list of
// receivables without a window. Failures print a message on stderr and end with a non-zero status;
// nothing is written then.
#include "app/CsvExport.h"
#include "billing/InvoiceBatch.h"
#include "billing/ReceivablesReport.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "common/AppInfo.h"
#include "common/Clock.h"
#include "data/Backup.h"
#include "data/Engine.h"
#include "data/ListCsv.h"
#include "data/TDMdata.h"
#include "masters/CsvImport.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/DocumentOutput.h"

#include <cstdio>
#include <iostream>
#include <QGuiApplication>
#include <string>
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

// Restoring replaces everything stored: the user sees what the backup holds and says yes, unless
// --yes already said it.
int restore(TDMdata &data, const CliOptions &options)
{
    // Refused before the question when it cannot be done.
    const Backup::Summary summary = Backup::checkRestorable(*data.DataDB, options.file);
    print(stderr, Backup::restoreQuestion(summary) + QStringLiteral(" [y/N] "));
    if (!options.yes) {
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != "y" && answer != "Y" && answer != "yes") {
            print(stderr, QStringLiteral("復元を取りやめました\n"));
            return 1;
        }
    } else {
        print(stderr, QStringLiteral("y\n"));
    }
    const QString kept = Backup::restore(
        data, options.file, [](int percent) { showProgress(QStringLiteral("復元中"), percent); });
    print(stdout, kept.isEmpty()
                      ? QStringLiteral("復元しました\n")
                      : QStringLiteral("復元しました（それまでのデータは %1 に残しました）\n").arg(kept));
    return 0;
}

// Asks on the terminal unless --yes has answered already; true for yes.
bool answeredYes(const QString &question, bool yes)
{
    print(stderr, question + QStringLiteral(" [y/N] "));
    if (yes) {
        print(stderr, QStringLiteral("y\n"));
        return true;
    }
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

// Each problem of the file is said once. Nothing is written while a row is refused (unless
// --good-rows-only), and stored records are changed only after the changes were shown and confirmed.
int importCsv(TDMdata &data, const CliOptions &options)
{
    const CsvImport::Kind kind = *CsvImport::kindFromName(options.table);
    const CsvImport::Existing existing =
        options.skipExisting ? CsvImport::Existing::Skip : CsvImport::Existing::Update;
    const CsvImport::Preview preview = CsvImport::previewFile(*data.DataDB, kind, options.file);
    for (const QString &problem : preview.problemTexts())
        print(stderr, problem + QStringLiteral("\n"));
    if (!preview.usable()) {
        print(stderr, QStringLiteral("読み込めないファイルのため、何も登録していません\n"));
        return 1;
    }
    if (preview.refused() > 0 && !options.goodRowsOnly) {
        print(stderr, QStringLiteral("エラーのある行が %1 行あるため、何も登録していません"
                                     "（--good-rows-only でエラーのない行だけ登録します）\n")
                          .arg(preview.refused()));
        return 1;
    }
    for (const QString &change : preview.changeTexts(existing))
        print(stdout, change + QStringLiteral("\n"));
    const int updates = preview.updates(existing);
    if (updates > 0 &&
        !answeredYes(
            QStringLiteral("登録済みの%1 %2 件を上のとおり変更します。よろしいですか？")
                .arg(kind == CsvImport::Kind::Customers ? QStringLiteral("取引先") : QStringLiteral("商品"))
                .arg(updates),
            options.yes)) {
        print(stderr,
              QStringLiteral("取込を取りやめました。何も登録していません（--yes で確認せずに登録します）\n"));
        return 1;
    }
    const CsvImport::Outcome outcome =
        CsvImport::apply(*data.DataDB, preview, existing, options.goodRowsOnly);
    print(stdout, QStringLiteral("追加 %1 件、更新 %2 件、変更なし %3 件、読み飛ばし %4 件\n")
                      .arg(outcome.added)
                      .arg(outcome.updated)
                      .arg(outcome.unchanged)
                      .arg(outcome.skipped));
    return 0;
}

// The balances of the as-of day (today without --as-of) as CSV, one row per customer, or as the
// printed list in a PDF file.
int receivables(TDMdata &data, const CliOptions &options)
{
    const QDate asOf = options.asOf.isValid() ? options.asOf : Clock::today();
    if (!options.csv.isEmpty()) {
        const QList<Receivables::CustomerBalance> rows = Receivables::balances(*data.DataDB, asOf);
        ListCsv::write(options.csv, Receivables::csvRows(rows), *Csv::encodingFromName(options.encoding));
        print(stdout, QStringLiteral("%1 件の取引先を書き出しました\n").arg(rows.size()));
        return 0;
    }
    TLightRep root;
    ReceivablesLayout layout(root);
    layout.setSheet(ReceivablesReport::read(*data.DataDB, asOf));
    layout.printPdf(options.pdf);
    print(stdout, QStringLiteral("%1 ページを出力しました\n").arg(layout.pageCount()));
    return 0;
}

int run(const CliOptions &options)
{
    if (options.command == CliOptions::Command::Help) {
        print(stdout, CliOptions::usage());
        return 0;
    }
    if (options.command == CliOptions::Command::Version) {
        print(stdout, AppInfo::versionLine("kadomel-cli") + QStringLiteral("\n"));
        return 0;
    }
    if (!options.home.isEmpty())
        qputenv("KADOMEL_HOME", options.home.toUtf8());
    const auto notify = [](const QString &notice) { print(stderr, notice + QStringLiteral("\n")); };
    if (options.command == CliOptions::Command::Restore)
        return restore(*CliCommands::openForRestore(notify), options);
    const std::unique_ptr<TDMdata> data = CliCommands::openDatabase(notify);
    if (options.command == CliOptions::Command::ImportPostal) {
        const qint64 rows = CliCommands::importPostal(*data, options.postalFile, [](int percent) {
            showProgress(QStringLiteral("郵便番号データ読み込み中"), percent);
        });
        print(stdout, QStringLiteral("%1 件の郵便番号データを読み込みました\n").arg(rows));
        return 0;
    }
    if (options.command == CliOptions::Command::Backup) {
        Backup::take(*data->DataDB, options.file,
                     [](int percent) { showProgress(QStringLiteral("バックアップ作成中"), percent); });
        print(stdout, QStringLiteral("バックアップを作成しました: %1\n").arg(options.file));
        return 0;
    }
    if (options.command == CliOptions::Command::Export) {
        const QList<QStringList> rows =
            CsvExport::rows(*data->DataDB, *CsvExport::kindFromName(options.table), options.from, options.to);
        ListCsv::write(options.file, rows, *Csv::encodingFromName(options.encoding));
        print(stdout, QStringLiteral("%1 行を書き出しました\n").arg(rows.size() - 1));
        return 0;
    }
    if (options.command == CliOptions::Command::Import)
        return importCsv(*data, options);
    if (options.command == CliOptions::Command::Receivables)
        return receivables(*data, options);
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
