#include "report/engine/LRLines.h"

#include <algorithm>
#include <QPainter>

void drawFrameLine(QPainter &surface, QPoint from, QPoint to, int width, const QColor &color)
{
    const int w = std::max(width, 1);
    const int before = w / 2;
    const int reach = (w - 1) / 2;
    if (from.y() == to.y()) {
        const int x1 = std::min(from.x(), to.x());
        const int x2 = std::max(from.x(), to.x());
        if (x1 == x2)
            return;
        surface.fillRect(QRect(x1 - reach, from.y() - before, x2 - x1 + 2 * reach, w), color);
    } else if (from.x() == to.x()) {
        const int y1 = std::min(from.y(), to.y());
        const int y2 = std::max(from.y(), to.y());
        surface.fillRect(QRect(from.x() - before, y1 - reach, w, y2 - y1 + 2 * reach), color);
    } else {
        drawSlantLine(surface, from, to, width, color);
    }
}

void drawSlantLine(QPainter &surface, QPoint from, QPoint to, int width, const QColor &color)
{
    surface.save();
    surface.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    surface.drawLine(from, to);
    surface.restore();
}
