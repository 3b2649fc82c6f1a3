#include "common/WindowPlacement.h"

#include <QtGlobal>

namespace WindowPlacement {

namespace {

// The frame's start along one axis: as wanted, pulled back before the far edge, and never before the
// near edge (which wins for a frame longer than the area).
int fit(int wanted, int length, int nearEdge, int areaLength)
{
    return qMax(qMin(wanted, nearEdge + areaLength - length), nearEdge);
}

} // namespace

QRect clientArea(const QPoint &frameCorner, const QSize &client, const QMargins &margins,
                 const QRect &available)
{
    const QSize frame = client.grownBy(margins);
    const int x = fit(frameCorner.x(), frame.width(), available.left(), available.width());
    const int y = fit(frameCorner.y(), frame.height(), available.top(), available.height());
    return {QPoint(x + margins.left(), y + margins.top()), client};
}

} // namespace WindowPlacement
