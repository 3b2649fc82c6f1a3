// Draws the receipt's border picture: a light-grey ornamental frame on white, landscape, 2480 ×
// 1748 pixels (about 1.42 : 1): a double rule, a band of repeated motifs along each side and a
// scrolled ornament in each corner. The layout stretches it to 681 × 493 units without smoothing,
// so every stroke is at least 6 pixels wide and survives the reduction.
//
// Not built by default; its output is committed beside it as receipt_border.jpg:
//   cmake --build build --target make_receipt_border
//   build/src/report/layouts/make_receipt_border src/report/layouts/resources/receipt_border.jpg
#include <cmath>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 1748;
const QColor kInk(170, 170, 170);

// Insets from the picture's edge. The band stays within about 33 units of the layout's edge, where
// the receipt's texts begin (48 units in).
constexpr int kOuter = 36;   // the thick outer rule
constexpr int kInner = 56;   // the thin rule inside it
constexpr int kBand = 120;   // the rule that closes the band of motifs
constexpr int kCorner = 170; // the corner ornaments' squares

void rule(QPainter &p, int inset, int width)
{
    p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(inset, inset, kWidth - 2 * inset, kHeight - 2 * inset));
}

// The band's two motifs centred on (0, 0): a quatrefoil of four rings, and a small diamond.
void quatrefoil(QPainter &p)
{
    p.setPen(QPen(kInk, 6));
    p.setBrush(Qt::NoBrush);
    for (const QPointF centre : {QPointF(0, -10), QPointF(10, 0), QPointF(0, 10), QPointF(-10, 0)})
        p.drawEllipse(centre, 8, 8);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(0, 0), 4, 4);
}

void diamond(QPainter &p)
{
    p.setPen(QPen(kInk, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({QPointF(0, -13), QPointF(10, 0), QPointF(0, 13), QPointF(-10, 0)}));
}

// Motifs repeated along one side, between the corner squares, in the middle of the band.
void side(QPainter &p, QPointF from, QPointF to, double angle)
{
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const int count = int(length / 80);
    for (int i = 0; i < count; ++i) {
        const double t = (i + 0.5) / count;
        p.save();
        p.translate(from + (to - from) * t);
        p.rotate(angle);
        if (i % 2)
            diamond(p);
        else
            quatrefoil(p);
        p.restore();
    }
}

// A spiral curling inward from `radius`.
QPainterPath spiral(double radius, double turns)
{
    QPainterPath path;
    const int steps = 240;
    for (int i = 0; i <= steps; ++i) {
        const double theta = turns * 2 * M_PI * i / steps;
        const double r = radius * std::exp(-0.25 * theta);
        const QPointF point(r * std::cos(theta), r * std::sin(theta));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

// The corner square with a scrolled rosette: a ring with a spiral scroll inside it.
void corner(QPainter &p, QPointF origin, double angle)
{
    const double centre = (kInner + kCorner) / 2.0;
    p.save();
    p.translate(origin);
    p.rotate(angle);
    p.setPen(QPen(kInk, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(kInner, kInner, kCorner - kInner, kCorner - kInner));
    p.translate(centre, centre);
    p.drawEllipse(QPointF(0, 0), 42, 42);
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(spiral(32, 2.2));
    p.restore();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: make_receipt_border <output.jpg>");
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    rule(p, kOuter, 14);
    rule(p, kInner, 6);
    rule(p, kBand, 6);
    const double mid = (kInner + kBand) / 2.0;
    side(p, {double(kCorner), mid}, {double(kWidth - kCorner), mid}, 0);
    side(p, {double(kCorner), kHeight - mid}, {double(kWidth - kCorner), kHeight - mid}, 0);
    side(p, {mid, double(kCorner)}, {mid, double(kHeight - kCorner)}, 90);
    side(p, {kWidth - mid, double(kCorner)}, {kWidth - mid, double(kHeight - kCorner)}, 90);
    corner(p, {0, 0}, 0);
    corner(p, {double(kWidth), 0}, 90);
    corner(p, {double(kWidth), double(kHeight)}, 180);
    corner(p, {0, double(kHeight)}, 270);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90) ? 0 : 1;
}
