#pragma once
// Where a window opens: its frame (the client area grown by the window manager's margins, the title
// bar above) always lies inside the free part of the screen, so that the title bar can be grabbed.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace WindowPlacement {

// The client area of a window whose frame is wanted with its corner at frameCorner: the frame keeps
// that corner when it fits inside the available area and is moved in as far as needed when not. A
// frame larger than the area keeps its top-left corner on it.
QRect clientArea(const QPoint &frameCorner, const QSize &client, const QMargins &margins,
                 const QRect &available);

} // namespace WindowPlacement
