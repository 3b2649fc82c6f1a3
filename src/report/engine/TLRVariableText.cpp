#include "report/engine/TLRVariableText.h"

#include "report/engine/SjisTokenizer.h"

#include <QPainter>

TLRVariableText::TLRVariableText(QObject *parent) : TCustomLRItem(parent) {}

void TLRVariableText::PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale)
{
    if (status != TPrintStatus::stNormal)
        return;
    const TLRRect R = scaleRect({rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1}, scale);
    if (!Transparent)
        surface.fillRect(R.toQRect(), Color());
    if (Text.isEmpty())
        return;
    const TLRFont &font = Font();
    surface.save();
    surface.setFont(font.font);
    surface.setPen(font.color);
    surface.setClipRect(R.toQRect(), Qt::IntersectClip);
    const QFontMetrics metrics = surface.fontMetrics();
    const int pitch = metrics.height() + scaled(Leading, scale);
    const int charSpace = scaled(CharSpace, scale);
    const int wordSpace = scaled(WordSpace, scale);
    int x = R.Left;
    int y = R.Top;
    for (const TextToken &token : tokenizeFlowingText(Text)) {
        if (y >= R.Bottom)
            break; // every further line lies below the box and is clipped away
        int width = 0;
        for (const QString &ch : token.chars)
            width += metrics.horizontalAdvance(ch);
        if (token.wordEnd)
            width += metrics.horizontalAdvance(QLatin1Char(' '));
        if (WordWrap && x + width > R.Right && x != R.Left) {
            y += pitch;
            x = R.Left;
        }
        for (const QString &ch : token.chars) {
            surface.drawText(QPoint(x, y + metrics.ascent()), ch);
            x += metrics.horizontalAdvance(ch) + charSpace;
        }
        x += token.wordEnd ? wordSpace : charSpace;
        // A line end that leaves x at the left edge (an empty line) takes no vertical space.
        if (token.lineEnd && x > R.Left) {
            y += pitch;
            x = R.Left;
        }
    }
    surface.restore();
}
