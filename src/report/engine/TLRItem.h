#pragma once
// A box of text with optional frame lines on each side: the item most of a printed page is made
// of (labels, amounts, the cells of the detail lines).
#include "report/engine/TCustomLRItem.h"

class TLRItem : public TCustomLRItem
{
    Q_OBJECT
public:
    explicit TLRItem(QObject *parent = nullptr);

    TAlignment Alignment = TAlignment::taLeftJustify;
    QString DisplayMask;
    TTextLayout Layout = TTextLayout::tlTop;
    QColor LineColor = Qt::black;
    TLineStyle LineTop = TLineStyle::lsNone;
    TLineStyle LineLeft = TLineStyle::lsNone;
    TLineStyle LineRight = TLineStyle::lsNone;
    TLineStyle LineBottom = TLineStyle::lsNone;
    bool ParentShowHint = true;
    QString Text;
    bool Transparent = true;
    bool WordWrap = false;

    int HMargin() const { return m_hMargin; }
    int VMargin() const { return m_vMargin; }
    // Values outside −255..255 are ignored.
    void setHMargin(int v);
    void setVMargin(int v);

    void setLines(TLineStyle style) { LineTop = LineLeft = LineRight = LineBottom = style; }

    void PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale) override;

    // The text as printed: Text, or Text formatted by DisplayMask when both are set.
    QString DisplayText() const;

protected:
    // The scaled rectangle (Left, Top, Right − 1, Bottom − 1) the item draws in.
    static TLRRect deviceRect(const TLRRect &rect, double scale);
    // Places the text in R by Alignment, Layout and the margins, and draws it clipped there.
    void drawText(QPainter &surface, const TLRRect &R, double scale) const;

private:
    void drawFrame(QPainter &surface, const TLRRect &R, double scale) const;

    int m_hMargin = 2;
    int m_vMargin = 2;
};
