#pragma once
// Frame lines drawn the way the printed layouts were measured: from a start point to an end
// point with the end point left out, pen centred on the line, and a width of 0 the thinnest line.
#include "report/engine/LRTypes.h"

#include <QPoint>

class QPainter;

// A horizontal or vertical line from `from` to `to` (end excluded), `width` device pixels thick.
// Thick lines reach past both ends by half their width less one, so frame corners close.
void drawFrameLine(QPainter &surface, QPoint from, QPoint to, int width, const QColor &color);

// Any line (diagonals) with a round-capped pen.
void drawSlantLine(QPainter &surface, QPoint from, QPoint to, int width, const QColor &color);
