#include "report/engine/TCustomLRItem.h"

#include "report/engine/TLRPanels.h"

TCustomLRItem::TCustomLRItem(QObject *parent) : TLRControl(65, 17)
{
    setParentControl(parent);
}

void TCustomLRItem::PrintItem(QPainter &, const TLRRect &, TPrintStatus, double) {}

// Items live on panels; an item put on a grid belongs to the grid's cell template.
QObject *TCustomLRItem::acceptParent(QObject *candidate)
{
    if (!candidate)
        return nullptr;
    if (auto *grid = qobject_cast<TLRGridPanel *>(candidate))
        return grid->CellPanel();
    if (qobject_cast<TCustomLRPanel *>(candidate))
        return candidate;
    throw ELRError(QStringLiteral("パネル上にのみ配置できます．"));
}
