#pragma once
// Types shared by the report layout engine and its items: layout units, rectangles in the
// printer's convention (right and bottom excluded), fonts with their colour, enumerations.
#include "common/AppError.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

// A failure of the report engine (wrong state, bad page range, bad placement of a panel).
class ELRError : public AppError
{
public:
    using AppError::AppError;
};

enum class TPaperSize { psNone, psA4, psB4, psB5, psA3, psA5 };
enum class TPrinterOrientation { poPortrait, poLandscape };
// laNone keeps the rectangle the control was given; the others place it on the parent's area.
enum class TLRAlign { laNone, laTop, laBottom, laLeft, laRight, laClient };
enum class TPrintStatus { stNormal = 0, stFrameOnly = 1, stSkip = 2 };
enum class TPrintDirection { pdHorz, pdVert, pdHolz };
enum class TLRState { lrsIdle, lrsPrinting, lrsPreviewing, lrsPaginating };
enum class TLineStyle { lsNone, lsSingle, lsHalf, lsDouble };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A rectangle as the page coordinates use it: Right and Bottom lie just outside.
struct TLRRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    TLRRect translated(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TLRRect fromQRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend bool operator==(const TLRRect &, const TLRRect &) = default;
};

// Converts a rectangle in layout units to device pixels: each coordinate times the scale,
// truncated toward zero.
TLRRect scaleRect(const TLRRect &r, double scale);

// Truncation toward zero of a length in layout units times the scale.
inline int scaled(int units, double scale)
{
    return static_cast<int>(units * scale);
}

// Page size in layout units (1/96 inch) for a paper size, portrait; psNone gives an empty size.
QSize paperSizeUnits(TPaperSize paper);

// Font of a control together with its text colour.
struct TLRFont
{
    QFont font;
    QColor color = Qt::black;

    TLRFont();
    // heightUnits: character height in layout units (12 units are 9 points).
    TLRFont(const QString &family, int heightUnits, bool bold = false, QColor textColor = Qt::black);
};

// A colour stored as 0x00BBGGRR, blue in the high byte.
inline QColor colorFromBgr(quint32 bgr)
{
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

// Pen width in device pixels of a line style at a scale; 0 is the thinnest line the surface draws.
int penWidth(TLineStyle style, double scale);
