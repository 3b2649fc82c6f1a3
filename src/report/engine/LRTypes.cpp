#include "report/engine/LRTypes.h"

TLRRect scaleRect(const TLRRect &r, double scale)
{
    return {scaled(r.Left, scale), scaled(r.Top, scale), scaled(r.Right, scale), scaled(r.Bottom, scale)};
}

QSize paperSizeUnits(TPaperSize paper)
{
    switch (paper) {
    case TPaperSize::psNone:
        return {};
    case TPaperSize::psA4:
        return {794, 1123};
    case TPaperSize::psB4:
        return {945, 1338};
    case TPaperSize::psB5:
        return {688, 971};
    case TPaperSize::psA3:
        return {1123, 1587};
    case TPaperSize::psA5:
        return {559, 794};
    }
    return {};
}

TLRFont::TLRFont() : TLRFont(QStringLiteral("ＭＳ Ｐゴシック"), 12) {}

TLRFont::TLRFont(const QString &family, int heightUnits, bool bold, QColor textColor) : color(textColor)
{
    font.setFamily(family);
    // Applied to each surface by point size, so it prints at the same physical size everywhere.
    font.setPointSizeF(heightUnits * 72.0 / 96.0);
    font.setBold(bold);
}

int penWidth(TLineStyle style, double scale)
{
    switch (style) {
    case TLineStyle::lsNone:
        return 0;
    case TLineStyle::lsSingle:
        return static_cast<int>(scale * 1.2);
    case TLineStyle::lsHalf:
        return static_cast<int>(scale / 2);
    case TLineStyle::lsDouble:
        return static_cast<int>(scale * 2);
    }
    return 0;
}
