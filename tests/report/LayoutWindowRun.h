#pragma once
// Saves what a report window prints as a PDF file, the way a user would: the window shown, its
// preview left to finish, then "PDF保存".
#include "PdfWords.h"

#include <QString>

class TBaseLRep;

// Shows the window (its master query already open), waits for the preview to end and writes the
// PDF into `folder`; returns the file's name (empty when the preview did not end).
QString printToPdf(TBaseLRep &window, const QString &folder, const QString &name);

// The rectangle on the page of an item at (x, y, w, h) in a panel at (px, py).
inline QRectF onPage(int px, int py, int x, int y, int w, int h)
{
    return QRectF(px + x, py + y, w, h);
}
