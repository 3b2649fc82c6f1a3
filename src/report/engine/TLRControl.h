#pragma once
// Common base of everything in a report layout tree: the root, the panels and the items.
// A control has a rectangle in layout units relative to its parent, an optional placement on
// the parent's area (LRAlign), a font and a colour that it may take from its parent, and an
// Enabled flag; only enabled controls are printed. The tree owns its controls (QObject children,
// in child order, which is also the order of printing).
#include "report/engine/LRTypes.h"

#include <QList>
#include <QObject>

class TLRControl : public QObject
{
    Q_OBJECT
public:
    ~TLRControl() override;

    // Places the control on a new parent; raises ELRError when the parent is not allowed for
    // this kind of control (the control then stays where it was).
    void setParentControl(QObject *parent);
    TLRControl *parentControl() const { return qobject_cast<TLRControl *>(parent()); }
    QList<TLRControl *> controls() const;

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void setBounds(int left, int top, int width, int height);
    void setLeft(int v) { setBounds(v, m_top, m_width, m_height); }
    void setTop(int v) { setBounds(m_left, v, m_width, m_height); }
    void setWidth(int v) { setBounds(m_left, m_top, v, m_height); }
    void setHeight(int v) { setBounds(m_left, m_top, m_width, v); }
    TLRRect BoundsRect() const { return {m_left, m_top, m_left + m_width, m_top + m_height}; }

    TLRAlign LRAlign() const { return m_align; }
    void setLRAlign(TLRAlign align);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }

    // Setting a font or colour stops taking it from the parent.
    const TLRFont &Font() const;
    void setFont(const TLRFont &font);
    bool ParentFont() const { return m_parentFont; }
    void setParentFont(bool on) { m_parentFont = on; }
    QColor Color() const;
    void setColor(const QColor &color);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool on) { m_parentColor = on; }

protected:
    TLRControl(int width, int height);

    // The object that becomes the parent when `candidate` is asked for, or ELRError.
    virtual QObject *acceptParent(QObject *candidate) = 0;
    // The area of this control on which aligned children are placed, in its own coordinates.
    virtual TLRRect alignArea() const { return {0, 0, m_width, m_height}; }
    // Called after the size changed; places the aligned children again.
    virtual void resized() { realign(); }
    void realign();
    // The font a control without its own font shows when it has no control parent.
    virtual const TLRFont &fallbackFont() const;

private:
    void placeBounds(int left, int top, int width, int height);

    int m_left = 0;
    int m_top = 0;
    int m_width;
    int m_height;
    TLRAlign m_align = TLRAlign::laNone;
    bool m_enabled = true;
    bool m_aligning = false;
    TLRFont m_font;
    bool m_parentFont = true;
    QColor m_color = Qt::white;
    bool m_parentColor = true;
};
