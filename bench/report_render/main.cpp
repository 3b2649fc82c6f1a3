// report_render: how fast the report window shows its first preview page whatever the length of
// the report, how fast pages go into the preview store and into a 600-dpi PDF, and how much
// memory a 1,000-page preview holds. Prints "name: value" lines, the last one first_page_ratio.
// --short: 1, 5 and 20 pages in place of 1, 100 and 1,000, one opening each (the figures keep their
// names).
#include "BenchMessages.h"
#include "BenchReport.h"
#include "BenchSupport.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/ui/ReportFileDialog.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace bench;

namespace {

// Milliseconds from creating the window to its first page on screen (shown inside show()).
double firstPageMs(int pages, const QByteArray &seal)
{
    QList<double> runs;
    for (int i = 0; i < sized(5, 1); ++i) {
        QElapsedTimer timer;
        timer.start();
        BenchReportWindow window(pages, seal);
        window.show();
        runs.append(timer.nsecsElapsed() / 1e6);
        if (window.PageIndicator() != QStringLiteral("1/1"))
            fail(QStringLiteral("first page was not shown at once"));
        window.close();
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// Seconds until the background preview has stored every page.
double previewSeconds(BenchReportWindow &window)
{
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (window.PreviewRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    recordMessages(); // saving the PDF ends with a message that no one would close
    const QStringList args = readMode(app.arguments());
    const QByteArray seal = makeSealJpeg();
    QTemporaryDir dir;
    // The report lengths measured, named by their full sizes.
    const QList<std::pair<int, const char *>> longer{{sized(100, 5), "100"}, {sized(1000, 20), "1000"}};

    firstPageMs(1, seal); // warm-up: fonts and plug-ins load on the first window
    const double first1 = firstPageMs(1, seal);
    const double first100 = firstPageMs(longer[0].first, seal);
    const double first1000 = firstPageMs(longer[1].first, seal);
    report("first_page_ms_1", first1);
    report("first_page_ms_100", first100);
    report("first_page_ms_1000", first1000);

    for (const auto &[pages, size] : longer) {
        BenchReportWindow window(pages, seal);
        const double seconds = previewSeconds(window);
        report(QByteArray(QByteArray("preview_pages_per_second_") + size).constData(), pages / seconds);
        if (pages == longer[1].first) {
            report("peak_rss_mb_with_1000_preview_pages", peakMb());
            report("preview_store_file_mb_1000", window.LRPreviewControl1->StoredBytes() / 1048576.0);
            if (int i = static_cast<int>(args.indexOf(QStringLiteral("--first-page-png")));
                i > 0 && i + 1 < args.size())
                window.LRPreviewControl1->DisplayedImage().save(args[i + 1]);
        }
        window.close();
    }

    for (const auto &[pages, size] : longer) {
        BenchReportWindow window(pages, seal);
        window.show();
        window.ActSuspend->trigger(); // the PDF run alone is measured
        const QString pdf = dir.filePath(QStringLiteral("bench-%1.pdf").arg(pages));
        ReportFileDialog::setNextSaveFileName(pdf);
        QElapsedTimer timer;
        timer.start();
        window.ActSavePdf->trigger();
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!QFileInfo::exists(pdf))
            fail(QStringLiteral("no PDF was written"));
        report(QByteArray(QByteArray("pdf_600dpi_pages_per_second_") + size).constData(), pages / seconds);
        report(QByteArray(QByteArray("pdf_600dpi_file_mb_") + size).constData(),
               QFileInfo(pdf).size() / 1048576.0);
        window.close();
    }
    report("peak_rss_mb", peakMb());
    report("first_page_ratio", first1000 / first1);
    showRecordedMessages();
    return exitCode();
}
