#pragma once
// Base of the report items: a rectangle on a panel (65 × 17 units unless set) and PrintItem,
// which draws the item onto a page surface for its rectangle on the page, the status of the
// panel or cell being printed and the page's scale. The base draws nothing.
#include "report/engine/TLRControl.h"

class QPainter;

class TCustomLRItem : public TLRControl
{
    Q_OBJECT
public:
    explicit TCustomLRItem(QObject *parent = nullptr);

    TLRAlign Align() const { return LRAlign(); }
    void setAlign(TLRAlign align) { setLRAlign(align); }

    virtual void PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale);

protected:
    QObject *acceptParent(QObject *candidate) override;
};
