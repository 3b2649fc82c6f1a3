#include "report/engine/TLRItem.h"

#include "report/engine/LRDisplayMask.h"
#include "report/engine/LRLines.h"

#include <QPainter>

TLRItem::TLRItem(QObject *parent) : TCustomLRItem(parent) {}

void TLRItem::setHMargin(int v)
{
    if (v >= -255 && v <= 255)
        m_hMargin = v;
}

void TLRItem::setVMargin(int v)
{
    if (v >= -255 && v <= 255)
        m_vMargin = v;
}

QString TLRItem::DisplayText() const
{
    if (DisplayMask.isEmpty() || Text.isEmpty())
        return Text;
    return formatWithDisplayMask(Text, DisplayMask);
}

TLRRect TLRItem::deviceRect(const TLRRect &rect, double scale)
{
    return scaleRect({rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1}, scale);
}

void TLRItem::PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale)
{
    if (status == TPrintStatus::stSkip)
        return;
    const TLRRect R = deviceRect(rect, scale);
    if (!Transparent)
        surface.fillRect(R.toQRect(), Color());
    if (status == TPrintStatus::stNormal)
        drawText(surface, R, scale);
    drawFrame(surface, R, scale);
}

void TLRItem::drawText(QPainter &surface, const TLRRect &R, double scale) const
{
    const QString text = DisplayText();
    if (text.isEmpty())
        return;
    const TLRFont &font = Font();
    surface.setFont(font.font);
    surface.setPen(font.color);
    const int lineHeight = surface.fontMetrics().height();
    int flags = Qt::AlignTop | Qt::TextShowMnemonic;
    flags |= WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    flags |= Alignment == TAlignment::taRightJustify ? Qt::AlignRight
             : Alignment == TAlignment::taCenter     ? Qt::AlignHCenter
                                                     : Qt::AlignLeft;
    const int hMargin = scaled(m_hMargin, scale);
    const int textHeight =
        WordWrap ? surface.boundingRect(QRect(0, 0, R.width() - hMargin, lineHeight), flags, text).height()
                 : lineHeight;

    TLRRect textRect = R;
    if (Alignment == TAlignment::taLeftJustify)
        textRect.Left += hMargin;
    else if (Alignment == TAlignment::taRightJustify)
        textRect.Right -= hMargin;
    if (Layout == TTextLayout::tlTop)
        textRect.Top += scaled(m_vMargin, scale);
    else if (Layout == TTextLayout::tlBottom)
        textRect.Top = R.Bottom - scaled(m_vMargin, scale) - textHeight;
    else
        textRect.Top += (R.Bottom - R.Top - textHeight) / 2;
    if (textRect.width() <= 0 || textRect.height() <= 0)
        return;
    surface.save();
    surface.setClipRect(textRect.toQRect(), Qt::IntersectClip);
    surface.drawText(textRect.toQRect(), flags, text);
    surface.restore();
}

// Frame lines on the edges of R: top and left one step (one unit scaled) outside it, right and
// bottom on its last column and row.
void TLRItem::drawFrame(QPainter &surface, const TLRRect &R, double scale) const
{
    const int q = static_cast<int>(scale);
    auto line = [&](TLineStyle style, QPoint from, QPoint to) {
        if (style != TLineStyle::lsNone)
            drawFrameLine(surface, from, to, penWidth(style, scale), LineColor);
    };
    line(LineTop, {R.Left - q, R.Top - q}, {R.Right, R.Top - q});
    line(LineLeft, {R.Left - q, R.Top - q}, {R.Left - q, R.Bottom});
    line(LineRight, {R.Right, R.Top - q}, {R.Right, R.Bottom});
    line(LineBottom, {R.Left - q, R.Bottom}, {R.Right, R.Bottom});
}
