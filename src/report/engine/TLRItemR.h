#pragma once
// A text box whose corners may be rounded and that may carry diagonal lines (the amount boxes
// and headings of the printed documents).
#include "report/engine/TLRItem.h"

class TLRItemR : public TLRItem
{
    Q_OBJECT
public:
    explicit TLRItemR(QObject *parent = nullptr);

    TLineStyle DiagonalRisedLeft = TLineStyle::lsNone;
    TLineStyle DiagonalRisedRight = TLineStyle::lsNone;
    bool RoundLeftTop = false;
    bool RoundLeftBottom = false;
    bool RoundRightTop = false;
    bool RoundRightBottom = false;

    int RoundSize() const { return m_roundSize; }
    // Corner radius in layout units, 0..20; raises AppError outside that range.
    void setRoundSize(int v);
    void setAllCornersRound(bool on)
    {
        RoundLeftTop = RoundLeftBottom = RoundRightTop = RoundRightBottom = on;
    }

    void PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale) override;

protected:
    virtual void DrawFrame(QPainter &surface, const TLRRect &rect, double scale);
    virtual void DrawText(QPainter &surface, const TLRRect &rect, double scale);

private:
    int m_roundSize = 0;
};
