#include "report/engine/TLRPanels.h"

#include "report/engine/TCustomLRItem.h"
#include "report/engine/TLightRep.h"

namespace {

const QString kPanelPlacementMessage = QStringLiteral("TLightRep上かTLRLayoutPanelにのみ配置できます．");

} // namespace

TCustomLRPanel::TCustomLRPanel() : TLRControl(185, 100) {}

void TCustomLRPanel::PrintPanel(QPainter &, const TLRRect &, double) {}

void TCustomLRPanel::printContents(TLRControl &container, QPainter &surface, const TLRRect &rect,
                                   TPrintStatus status, double scale)
{
    for (TLRControl *child : container.controls()) {
        if (!child->Enabled())
            continue;
        const TLRRect childRect = child->BoundsRect().translated(rect.Left, rect.Top);
        if (auto *item = qobject_cast<TCustomLRItem *>(child))
            item->PrintItem(surface, childRect, status, scale);
        else if (auto *panel = qobject_cast<TCustomLRPanel *>(child))
            panel->PrintPanel(surface, childRect, scale);
    }
}

TLRLayoutPanel::TLRLayoutPanel(QObject *parent)
{
    setLRAlign(TLRAlign::laTop);
    setParentControl(parent);
}

QObject *TLRLayoutPanel::acceptParent(QObject *candidate)
{
    if (!candidate)
        return nullptr;
    if (auto *grid = qobject_cast<TLRGridPanel *>(candidate))
        return grid->CellPanel();
    if (qobject_cast<TLightRep *>(candidate) || qobject_cast<TLRLayoutPanel *>(candidate) ||
        qobject_cast<TLRChildPanel *>(candidate))
        return candidate;
    throw ELRError(kPanelPlacementMessage);
}

void TLRLayoutPanel::PrintPanel(QPainter &surface, const TLRRect &rect, double scale)
{
    TPrintStatus status = TPrintStatus::stNormal;
    if (BeforePrint)
        BeforePrint(this, rect, status);
    if (status == TPrintStatus::stSkip)
        return;
    printContents(*this, surface, rect, status, scale);
    if (AfterPrint)
        AfterPrint(this);
}

TLRChildPanel::TLRChildPanel(QObject *parent)
{
    setParentControl(parent);
}

QObject *TLRChildPanel::acceptParent(QObject *candidate)
{
    if (!candidate || qobject_cast<TLRGridPanel *>(candidate))
        return candidate;
    throw ELRError(kPanelPlacementMessage);
}

TLRGridPanel::TLRGridPanel(QObject *parent)
    : m_cell(new TLRChildPanel), AfterPrintPanel(m_cell->AfterPrint), BeforePrintPanel(m_cell->BeforePrint)
{
    m_cell->setParent(this);
    resized();
    setLRAlign(TLRAlign::laTop);
    setParentControl(parent);
}

QObject *TLRGridPanel::acceptParent(QObject *candidate)
{
    if (!candidate || qobject_cast<TLightRep *>(candidate) || qobject_cast<TLRLayoutPanel *>(candidate))
        return candidate;
    throw ELRError(kPanelPlacementMessage);
}

void TLRGridPanel::setColCount(int value)
{
    if (value <= 0 || Width() / value < 10)
        throw ELRError(QStringLiteral("列数が有効範囲を超えています．"));
    m_colCount = value;
    resized();
}

void TLRGridPanel::setRowCount(int value)
{
    if (value <= 0 || Height() / value < 10)
        throw ELRError(QStringLiteral("行数が有効範囲を超えています．"));
    m_rowCount = value;
    resized();
}

// The template is one cell: the ColCount-th part of the width by the RowCount-th of the height.
void TLRGridPanel::resized()
{
    m_cell->setBounds(0, 0, Width() / m_colCount, Height() / m_rowCount);
    realign();
}

void TLRGridPanel::PrintPanel(QPainter &surface, const TLRRect &rect, double scale)
{
    TPrintStatus status = TPrintStatus::stNormal;
    if (BeforePrint)
        BeforePrint(this, rect, status);
    if (status == TPrintStatus::stSkip)
        return;
    if (m_direction == TPrintDirection::pdVert) {
        for (int col = 0; col < m_colCount; ++col)
            for (int row = 0; row < m_rowCount; ++row)
                printCell(surface, rect, col, row, scale);
    } else {
        for (int row = 0; row < m_rowCount; ++row)
            for (int col = 0; col < m_colCount; ++col)
                printCell(surface, rect, col, row, scale);
    }
    if (AfterPrint)
        AfterPrint(this);
}

void TLRGridPanel::printCell(QPainter &surface, const TLRRect &rect, int col, int row, double scale)
{
    const int left = rect.Left + static_cast<int>(static_cast<qint64>(Width()) * col / m_colCount);
    const int top = rect.Top + static_cast<int>(static_cast<qint64>(Height()) * row / m_rowCount);
    const TLRRect cell{left, top, left + m_cell->Width(), top + m_cell->Height()};
    TPrintStatus status = TPrintStatus::stNormal;
    if (OnPrintPanel)
        OnPrintPanel(this, col, row, cell, status);
    if (status == TPrintStatus::stSkip)
        return;
    if (m_cell->BeforePrint)
        m_cell->BeforePrint(m_cell, cell, status);
    if (status == TPrintStatus::stSkip)
        return;
    printContents(*m_cell, surface, cell, status, scale);
    if (m_cell->AfterPrint)
        m_cell->AfterPrint(m_cell);
}
