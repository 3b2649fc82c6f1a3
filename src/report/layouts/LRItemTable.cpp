#include "report/layouts/LRItemTable.h"

#include "report/engine/TLightRep.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRItemR.h"
#include "report/engine/TLRPanels.h"
#include "report/engine/TLRVariableText.h"

namespace {

TLineStyle styleFor(const LRItemRow &row, quint8 edge)
{
    return (row.lines & edge) ? row.lineStyle : TLineStyle::lsNone;
}

void applyFont(TLRControl &item, const LRItemRow &row, const LRTableStyle &style)
{
    if (row.font.height <= 0)
        return;
    const QString family = row.font.family ? QString::fromUtf16(row.font.family) : style.family;
    item.setFont(TLRFont(family, row.font.height, row.font.bold, style.palette.color(row.font.ink)));
}

void applyTextBox(TLRItem &item, const LRItemRow &row, const LRTableStyle &style)
{
    item.Alignment = row.align;
    item.setHMargin(row.hMargin);
    item.setVMargin(row.vMargin);
    item.LineTop = styleFor(row, LRLine::Top);
    item.LineLeft = styleFor(row, LRLine::Left);
    item.LineRight = styleFor(row, LRLine::Right);
    item.LineBottom = styleFor(row, LRLine::Bottom);
    item.LineColor = style.palette.color(row.lineInk);
    item.Transparent = row.fill == LRInk::None;
    if (!item.Transparent)
        item.setColor(style.palette.color(row.fill));
    if (row.text)
        item.Text = QString::fromUtf16(row.text);
}

TCustomLRItem *makeItem(TLRControl *parent, const LRItemRow &row, const LRTableStyle &style)
{
    switch (row.kind) {
    case LRKind::Item: {
        auto *item = new TLRItem(parent);
        applyTextBox(*item, row, style);
        return item;
    }
    case LRKind::ItemR: {
        auto *item = new TLRItemR(parent);
        applyTextBox(*item, row, style);
        item->setRoundSize(row.roundSize);
        item->RoundLeftTop = row.corners & LRCorner::LeftTop;
        item->RoundRightTop = row.corners & LRCorner::RightTop;
        item->RoundLeftBottom = row.corners & LRCorner::LeftBottom;
        item->RoundRightBottom = row.corners & LRCorner::RightBottom;
        return item;
    }
    case LRKind::Image: {
        auto *image = new TLRImage(parent);
        image->Stretch = true;
        return image;
    }
    case LRKind::VariableText: {
        auto *text = new TLRVariableText(parent);
        if (row.text)
            text->Text = QString::fromUtf16(row.text);
        return text;
    }
    }
    return nullptr;
}

} // namespace

QColor LRPalette::color(LRInk ink) const
{
    switch (ink) {
    case LRInk::None:
    case LRInk::White:
        return Qt::white;
    case LRInk::Black:
        return Qt::black;
    case LRInk::Silver:
        return QColor(192, 192, 192);
    case LRInk::Grey:
        return QColor(128, 128, 128);
    case LRInk::Theme:
        return theme;
    case LRInk::Pale:
        return pale;
    case LRInk::Rule:
        return rule;
    }
    return Qt::black;
}

void LRItemIndex::add(const char *name, TCustomLRItem *item)
{
    const QString key = QLatin1String(name);
    if (m_items.contains(key))
        throw ELRError(QStringLiteral("帳票の項目名が重複しています：%1").arg(key));
    m_items.insert(key, item);
}

TCustomLRItem *LRItemIndex::find(const char *name) const
{
    TCustomLRItem *item = m_items.value(QLatin1String(name));
    if (!item)
        throw ELRError(QStringLiteral("帳票に項目がありません：%1").arg(QLatin1String(name)));
    return item;
}

template<class T> static T *typed(TCustomLRItem *item)
{
    auto *result = qobject_cast<T *>(item);
    if (!result)
        throw ELRError(QStringLiteral("帳票の項目の種類が違います：%1").arg(item->objectName()));
    return result;
}

TLRItem *LRItemIndex::item(const char *name) const
{
    return typed<TLRItem>(find(name));
}

TLRItemR *LRItemIndex::itemR(const char *name) const
{
    return typed<TLRItemR>(find(name));
}

TLRImage *LRItemIndex::image(const char *name) const
{
    return typed<TLRImage>(find(name));
}

TLRVariableText *LRItemIndex::text(const char *name) const
{
    return typed<TLRVariableText>(find(name));
}

void LRItemIndex::setText(const char *name, const QString &text) const
{
    TCustomLRItem *item = find(name);
    if (auto *box = qobject_cast<TLRItem *>(item))
        box->Text = text;
    else
        typed<TLRVariableText>(item)->Text = text;
}

void buildItems(TLRControl *parent, std::span<const LRItemRow> rows, const LRTableStyle &style,
                LRItemIndex &index)
{
    for (const LRItemRow &row : rows) {
        TCustomLRItem *item = makeItem(parent, row, style);
        item->setBounds(row.rect.x(), row.rect.y(), row.rect.width(), row.rect.height());
        applyFont(*item, row, style);
        if (row.name) {
            item->setObjectName(QLatin1String(row.name));
            index.add(row.name, item);
        }
    }
}

QList<TCustomLRPanel *> buildPanels(TLightRep &root, std::span<const LRPanelRow> rows)
{
    QList<TCustomLRPanel *> panels;
    for (const LRPanelRow &row : rows) {
        TCustomLRPanel *panel = nullptr;
        const QRect &r = row.page;
        if (row.kind == LRPanelKind::Grid) {
            auto *grid = new TLRGridPanel;
            grid->setBounds(r.x(), r.y(), r.width(), r.height());
            grid->setColCount(row.cols);
            grid->setRowCount(row.rows);
            panel = grid;
        } else {
            panel = new TLRLayoutPanel;
            panel->setBounds(r.x(), r.y(), r.width(), r.height());
        }
        panel->setObjectName(QLatin1String(row.name));
        panel->setLRAlign(row.align);
        panel->setParentControl(&root);
        panels.append(panel);
    }
    return panels;
}
