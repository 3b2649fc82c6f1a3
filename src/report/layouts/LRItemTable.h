#pragma once
// The printed layouts are declared as tables: one row per panel (kind, page rectangle, placement,
// grid size) and one row per item (kind, rectangle, font, colours, lines, alignment, margins,
// corners, fixed text). The builders make the tree from the rows in their order, which is also
// the order of printing; the layouts then reach their items by name through an index.
#include "report/engine/LRTypes.h"

#include <QHash>
#include <QRect>
#include <span>

class TCustomLRItem;
class TCustomLRPanel;
class TLightRep;
class TLRControl;
class TLRImage;
class TLRItem;
class TLRItemR;
class TLRVariableText;

// Colour roles of the items; a layout's palette says what its theme and pale colours are.
enum class LRInk : quint8 { None, Black, White, Silver, Grey, Theme, Pale, Rule };

struct LRPalette
{
    QColor theme;
    QColor pale;
    QColor rule; // the estimate's double line under the subject

    QColor color(LRInk ink) const;
};

// Frame lines and rounded corners of an item, as bit sets.
namespace LRLine {
enum : quint8 { None = 0, Top = 1, Left = 2, Right = 4, Bottom = 8, All = 15, TopRightBottom = 13 };
}
namespace LRCorner {
enum : quint8 { None = 0, LeftTop = 1, RightTop = 2, LeftBottom = 4, RightBottom = 8, All = 15 };
}

enum class LRKind : quint8 { Item, ItemR, Image, VariableText };

struct LRFontDef
{
    int height = 0; // layout units; 0: the item takes its panel's font
    bool bold = false;
    LRInk ink = LRInk::Black;
    const char16_t *family = nullptr; // nullptr: the layout's base font family
};

struct LRItemRow
{
    const char *name = nullptr;
    LRKind kind = LRKind::Item;
    QRect rect; // relative to the panel
    LRFontDef font = {};
    LRInk fill = LRInk::None; // None: transparent
    quint8 lines = LRLine::None;
    TLineStyle lineStyle = TLineStyle::lsSingle;
    LRInk lineInk = LRInk::Black;
    TAlignment align = TAlignment::taLeftJustify;
    int hMargin = 2;
    int vMargin = 2;
    int roundSize = 0;
    quint8 corners = LRCorner::None;
    const char16_t *text = nullptr;
};

enum class LRPanelKind : quint8 { Layout, Grid };

struct LRPanelRow
{
    const char *name;
    LRPanelKind kind;
    TLRAlign align;
    QRect page; // the rectangle the panel takes on the page
    int cols = 1;
    int rows = 1;
};

// Looks the items of a layout up by name.
class LRItemIndex
{
public:
    void add(const char *name, TCustomLRItem *item);
    // The item of that name and class; raises ELRError when there is none (a layout fault).
    TLRItem *item(const char *name) const;
    TLRItemR *itemR(const char *name) const;
    TLRImage *image(const char *name) const;
    TLRVariableText *text(const char *name) const;
    bool contains(const char *name) const { return m_items.contains(QLatin1String(name)); }
    // Sets the text of a text item or flowing text of that name.
    void setText(const char *name, const QString &text) const;

private:
    TCustomLRItem *find(const char *name) const;

    QHash<QString, TCustomLRItem *> m_items;
};

// What the rows leave to the layout: its colours and its base font family.
struct LRTableStyle
{
    LRPalette palette;
    QString family;
};

// Makes one item per row on `parent` (an item on a grid goes to its cell template).
void buildItems(TLRControl *parent, std::span<const LRItemRow> rows, const LRTableStyle &style,
                LRItemIndex &index);

// Makes the panels on the root in the rows' order. Each panel is sized to its page rectangle
// before a grid is given its rows (a grid too small for its rows is refused) and before it is
// placed, so that the placement by alignment keeps the rows' order from the top.
QList<TCustomLRPanel *> buildPanels(TLightRep &root, std::span<const LRPanelRow> rows);
