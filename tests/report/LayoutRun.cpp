#include "LayoutRun.h"

#include "data/Engine.h"
#include "report/engine/TLightRep.h"
#include "ReportTestSupport.h"

#include <QDir>
#include <QTest>

namespace {

void prepare(ReportLayout &layout)
{
    layout.beforePrepare();
    layout.master()->Open();
    layout.master()->First();
    layout.afterPrepare();
}

} // namespace

QList<QImage> renderAllPages(ReportLayout &layout, int limit)
{
    prepare(layout);
    QList<QImage> pages;
    while (!layout.DataEnd() && pages.size() < limit)
        pages.append(previewImage(layout.root()));
    layout.root().EndPreview();
    return pages;
}

int countPages(ReportLayout &layout, int limit)
{
    prepare(layout);
    TLightRep &root = layout.root();
    root.BeginPaginate();
    while (!layout.DataEnd() && root.PageNumber() < limit)
        root.PaginatePage();
    root.EndPaginate();
    return root.PageCount();
}

void openMaster(ReportLayout &layout, const QString &sql)
{
    layout.master()->clearSql();
    layout.master()->addSql(sql);
    layout.master()->Open();
}

QRect boxOf(const QImage &image, const QRect &area, bool (*match)(QRgb))
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.valid(x, y) && match(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

bool hasColor(const QImage &image, int x, int y, const QColor &color)
{
    if (!image.valid(x, y))
        return false;
    const QColor c = image.pixelColor(x, y);
    return qAbs(c.red() - color.red()) <= 8 && qAbs(c.green() - color.green()) <= 8 &&
           qAbs(c.blue() - color.blue()) <= 8;
}

void savePageForViewing(const QImage &page, const QString &name)
{
    const QString folder = qEnvironmentVariable("KADOMEL_SAVE_PAGES");
    if (folder.isEmpty())
        return;
    const QString tag = QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'_');
    page.save(
        QDir(folder).filePath(name + (tag.isEmpty() ? QString() : u'-' + tag) + QStringLiteral(".png")));
}
