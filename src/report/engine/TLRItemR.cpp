#include "report/engine/TLRItemR.h"

#include "report/engine/LRLines.h"

#include <cmath>
#include <QPainter>

namespace {

// Quarter arcs of the corners, in the painter's sixteenths of a degree.
constexpr int kQuarter = 90 * 16;
constexpr int kLeftTopStart = 90 * 16;
constexpr int kRightTopStart = 0;
constexpr int kLeftBottomStart = 180 * 16;
constexpr int kRightBottomStart = 270 * 16;

// The frame of a rounded box in device pixels, worked out once per print.
struct RoundFrame
{
    TLRRect R;
    int r = 0;
    int q = 0;
    QPoint LT, RT, LB, RB;
};

} // namespace

TLRItemR::TLRItemR(QObject *parent) : TLRItem(parent) {}

void TLRItemR::setRoundSize(int v)
{
    if (v < 0 || v > 20)
        throw AppError(QStringLiteral("RoundSize は 0-20 の範囲のみ許されています．"));
    m_roundSize = v;
}

void TLRItemR::PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale)
{
    if (status == TPrintStatus::stSkip)
        return;
    DrawFrame(surface, rect, scale);
    if (status == TPrintStatus::stNormal)
        DrawText(surface, rect, scale);
}

void TLRItemR::DrawText(QPainter &surface, const TLRRect &rect, double scale)
{
    drawText(surface, deviceRect(rect, scale), scale);
}

void TLRItemR::DrawFrame(QPainter &surface, const TLRRect &rect, double scale)
{
    RoundFrame f;
    f.R = deviceRect(rect, scale);
    f.r = static_cast<int>(m_roundSize * scale);
    f.q = static_cast<int>(scale);
    TLRRect &R = f.R;
    R.Left -= f.q;
    R.Top -= f.q;
    const int r = f.r;
    f.LT = RoundLeftTop ? QPoint(R.Left + r, R.Top + r) : QPoint(R.Left, R.Top);
    f.RT = RoundRightTop ? QPoint(R.Right - r, R.Top + r) : QPoint(R.Right, R.Top);
    f.LB = RoundLeftBottom ? QPoint(R.Left + r, R.Bottom - r) : QPoint(R.Left, R.Bottom);
    f.RB = RoundRightBottom ? QPoint(R.Right - r, R.Bottom - r) : QPoint(R.Right, R.Bottom);
    const int q = f.q;

    surface.save();
    if (!Transparent) {
        // A square corner of the body lies inside the lines, which R was moved out for: at the
        // outer point the fill would leave a dot on the line of the item above or beside.
        const QPoint LT = RoundLeftTop ? f.LT : QPoint(R.Left + q, R.Top + q);
        const QPoint RT = RoundRightTop ? f.RT : QPoint(R.Right, R.Top + q);
        const QPoint LB = RoundLeftBottom ? f.LB : QPoint(R.Left + q, R.Bottom);
        const QPolygon body({LT,
                             {R.Left + q, LT.y()},
                             {R.Left + q, LB.y()},
                             LB,
                             {LB.x(), R.Bottom},
                             {f.RB.x(), R.Bottom},
                             f.RB,
                             {R.Right, f.RB.y()},
                             {R.Right, RT.y()},
                             RT,
                             {RT.x(), R.Top + q},
                             {LT.x(), R.Top + q}});
        surface.setPen(Qt::NoPen);
        surface.setBrush(Color());
        surface.drawPolygon(body);
    }

    auto edge = [&](TLineStyle style, QPoint from, QPoint to) {
        if (style != TLineStyle::lsNone)
            drawFrameLine(surface, from, to, penWidth(style, scale), LineColor);
    };
    edge(LineTop, {f.LT.x(), R.Top}, {f.RT.x(), R.Top});
    edge(LineLeft, {R.Left, f.LT.y()}, {R.Left, f.LB.y()});
    edge(LineRight, {R.Right, f.RT.y() - (RoundRightTop ? q : 0)}, {R.Right, f.RB.y()});
    edge(LineBottom, {f.LB.x() - (RoundLeftBottom ? q : 0), R.Bottom}, {f.RB.x(), R.Bottom});

    // Each rounded corner: the quarter of the circle of radius r centred on the corner's edge end
    // point, filled (moved back inward by the step R was moved out) and then outlined with the pen
    // of the adjacent horizontal line.
    auto corner = [&](bool rounded, QPoint centre, int start, QPoint fillShift, TLineStyle style) {
        if (!rounded || r <= 0)
            return;
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        if (!Transparent) {
            surface.setPen(Qt::NoPen);
            surface.setBrush(Color());
            surface.drawPie(box.translated(fillShift), start, kQuarter);
        }
        if (style != TLineStyle::lsNone) {
            surface.setBrush(Qt::NoBrush);
            surface.setPen(QPen(LineColor, penWidth(style, scale), Qt::SolidLine, Qt::FlatCap));
            surface.drawArc(box, start, kQuarter);
        }
    };
    corner(RoundLeftTop, f.LT, kLeftTopStart, {q, q}, LineTop);
    corner(RoundRightTop, f.RT, kRightTopStart, {0, q}, LineTop);
    corner(RoundLeftBottom, f.LB, kLeftBottomStart, {q, 0}, LineBottom);
    corner(RoundRightBottom, f.RB, kRightBottomStart, {0, 0}, LineBottom);
    surface.restore();

    const int e = r > 0 ? static_cast<int>(r / std::sqrt(2.0)) - 1 : 0;
    auto diagonal = [&](TLineStyle style, QPoint from, QPoint to) {
        if (style != TLineStyle::lsNone)
            drawSlantLine(surface, from, to, penWidth(style, scale), LineColor);
    };
    diagonal(DiagonalRisedLeft, RoundLeftTop ? f.LT - QPoint(e, e) : QPoint(R.Left, R.Top),
             RoundRightBottom ? f.RB + QPoint(e, e) : QPoint(R.Right, R.Bottom));
    diagonal(DiagonalRisedRight,
             RoundLeftBottom ? QPoint(f.LB.x() - e, f.LB.y() + e) : QPoint(R.Left, R.Bottom),
             RoundRightTop ? QPoint(f.RT.x() + e, f.RT.y() - e) : QPoint(R.Right, R.Top));
}
