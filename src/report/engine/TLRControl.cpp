#include "report/engine/TLRControl.h"

#include <algorithm>

TLRControl::TLRControl(int width, int height) : m_width(width), m_height(height) {}

TLRControl::~TLRControl() = default;

void TLRControl::setParentControl(QObject *candidate)
{
    QObject *target = acceptParent(candidate);
    if (target == parent())
        return;
    TLRControl *oldParent = parentControl();
    setParent(target);
    if (oldParent)
        oldParent->realign();
    if (TLRControl *p = parentControl())
        p->realign();
}

QList<TLRControl *> TLRControl::controls() const
{
    QList<TLRControl *> list;
    for (QObject *child : children())
        if (auto *c = qobject_cast<TLRControl *>(child))
            list.append(c);
    return list;
}

void TLRControl::setBounds(int left, int top, int width, int height)
{
    placeBounds(left, top, width, height);
    if (m_align != TLRAlign::laNone)
        if (TLRControl *p = parentControl())
            p->realign();
}

void TLRControl::placeBounds(int left, int top, int width, int height)
{
    const bool sizeChanged = width != m_width || height != m_height;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    if (sizeChanged)
        resized();
}

void TLRControl::setLRAlign(TLRAlign align)
{
    if (align == m_align)
        return;
    m_align = align;
    if (TLRControl *p = parentControl())
        p->realign();
}

const TLRFont &TLRControl::Font() const
{
    if (!m_parentFont)
        return m_font;
    if (TLRControl *p = parentControl())
        return p->Font();
    return fallbackFont();
}

const TLRFont &TLRControl::fallbackFont() const
{
    return m_font;
}

void TLRControl::setFont(const TLRFont &font)
{
    m_font = font;
    m_parentFont = false;
}

QColor TLRControl::Color() const
{
    if (m_parentColor)
        if (TLRControl *p = parentControl())
            return p->Color();
    return m_color;
}

void TLRControl::setColor(const QColor &color)
{
    m_color = color;
    m_parentColor = false;
}

// Places the aligned children on the alignment area: top ones stacked downward in the order of
// their top coordinate, bottom ones upward, then left and right ones along the sides, and a
// client one filling what remains. Each keeps its own height (top, bottom) or width (sides).
void TLRControl::realign()
{
    if (m_aligning)
        return;
    m_aligning = true;
    TLRRect area = alignArea();
    auto byAlign = [this](TLRAlign a) {
        QList<TLRControl *> list;
        for (TLRControl *c : controls())
            if (c->m_align == a)
                list.append(c);
        return list;
    };
    auto byTop = [](TLRControl *a, TLRControl *b) { return a->m_top < b->m_top; };
    auto byLeft = [](TLRControl *a, TLRControl *b) { return a->m_left < b->m_left; };

    QList<TLRControl *> tops = byAlign(TLRAlign::laTop);
    std::stable_sort(tops.begin(), tops.end(), byTop);
    for (TLRControl *c : tops) {
        c->placeBounds(area.Left, area.Top, area.width(), c->m_height);
        area.Top += c->m_height;
    }
    QList<TLRControl *> bottoms = byAlign(TLRAlign::laBottom);
    std::stable_sort(bottoms.begin(), bottoms.end(), [&](auto *a, auto *b) { return byTop(b, a); });
    for (TLRControl *c : bottoms) {
        area.Bottom -= c->m_height;
        c->placeBounds(area.Left, area.Bottom, area.width(), c->m_height);
    }
    QList<TLRControl *> lefts = byAlign(TLRAlign::laLeft);
    std::stable_sort(lefts.begin(), lefts.end(), byLeft);
    for (TLRControl *c : lefts) {
        c->placeBounds(area.Left, area.Top, c->m_width, area.height());
        area.Left += c->m_width;
    }
    QList<TLRControl *> rights = byAlign(TLRAlign::laRight);
    std::stable_sort(rights.begin(), rights.end(), [&](auto *a, auto *b) { return byLeft(b, a); });
    for (TLRControl *c : rights) {
        area.Right -= c->m_width;
        c->placeBounds(area.Right, area.Top, c->m_width, area.height());
    }
    for (TLRControl *c : byAlign(TLRAlign::laClient))
        c->placeBounds(area.Left, area.Top, std::max(0, area.width()), std::max(0, area.height()));
    m_aligning = false;
}
