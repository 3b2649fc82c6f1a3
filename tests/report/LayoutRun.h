#pragma once
// Runs a printed layout without a window, as the report window's preview does: the layout's
// queries closed, the master opened on its first record and the detail opened, then one page
// after another until the master is exhausted.
#include "report/layouts/ReportLayout.h"

#include <QImage>
#include <QList>

// Every page at scale 1.0 on a white A4 image; stops after `limit` pages.
QList<QImage> renderAllPages(ReportLayout &layout, int limit = 100);
// The number of pages, rendered onto a scratch surface.
int countPages(ReportLayout &layout, int limit = 100);

// Opens the layout's master on `sql` (one statement, lines joined by blanks).
void openMaster(ReportLayout &layout, const QString &sql);

// The bounding box of the pixels for which `match` holds, within `area` of `image`.
QRect boxOf(const QImage &image, const QRect &area, bool (*match)(QRgb));
// True when the pixel has that colour, give or take a little.
bool hasColor(const QImage &image, int x, int y, const QColor &color);

// Saves the page as "<name>-<data tag>.png" in the folder named by KADOMEL_SAVE_PAGES, when it is
// set, so that a developer can look at what a layout renders.
void savePageForViewing(const QImage &page, const QString &name);
