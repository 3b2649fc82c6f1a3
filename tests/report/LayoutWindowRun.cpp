#include "LayoutWindowRun.h"

#include "report/ui/ReportFileDialog.h"
#include "report/ui/TBaseLRep.h"

#include <QAction>
#include <QDir>
#include <QTest>

QString printToPdf(TBaseLRep &window, const QString &folder, const QString &name)
{
    window.show();
    if (!QTest::qWaitFor([&] { return !window.PreviewRunning(); }, 30000))
        return QString();
    const QString pdf = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    ReportFileDialog::setNextSaveFileName(pdf);
    window.ActSavePdf->trigger();
    return pdf;
}
