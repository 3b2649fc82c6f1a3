#include "controls/TDBGridEx.h"

#include "controls/EngineQueryModel.h"
#include "data/Engine.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>

TDBGridEx::TDBGridEx(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setResizeContentsPrecision(0); // column widths from the rows in view
    // Row numbers would count the rows held, not the list's rows: the current row shows by its
    // selection instead.
    verticalHeader()->hide();
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TDBGridEx::readAboveWhenAtTop);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
}

void TDBGridEx::setQuery(TEngineQuery *query)
{
    m_query = query;
    m_model = new EngineQueryModel(query, this);
    setModel(m_model);
    connect(m_model, &EngineQueryModel::columnsChanged, this, [this] { applyColumnWidths(false); });
    // Other rows in view (a jump to the last row): a fitted column widens when they need it.
    connect(query, &TEngineQuery::windowReset, this, [this] { applyColumnWidths(true); });
    connect(query, &TEngineQuery::afterScroll, this, &TDBGridEx::followQuery);
    applyColumnWidths(false);
}

// A declared width is kept; other columns fit their title and the rows in view, within a maximum.
void TDBGridEx::applyColumnWidths(bool onlyWiden)
{
    followQuery();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = m_model->columnDef(c).width;
        if (width > 0) {
            setColumnWidth(c, width);
            continue;
        }
        int fitted = qMin(qMax(horizontalHeader()->sectionSizeHint(c), sizeHintForColumn(c)), kMaxAutoWidth);
        if (onlyWiden)
            fitted = qMax(fitted, columnWidth(c));
        setColumnWidth(c, fitted);
    }
}

// A list read page by page holds only the rows around the current one: scrolling to the top of
// them reads the rows above, and the view keeps showing what it showed.
void TDBGridEx::readAboveWhenAtTop()
{
    QScrollBar *bar = verticalScrollBar();
    if (!m_query || !m_query->Active() || m_query->atStart() || bar->sliderPosition() != bar->minimum())
        return;
    const int added = m_query->fetchFront(EngineQueryModel::kFetchStep);
    if (added <= 0)
        return;
    updateGeometries();
    bar->setSliderPosition(bar->minimum() + added);
}

// Moving up from the first row held reads the rows above; Ctrl+Home and Ctrl+End go to the
// first and last row of the whole list.
QModelIndex TDBGridEx::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (m_query && m_query->Active() && !m_query->IsEmpty()) {
        const bool control = modifiers & Qt::ControlModifier;
        if ((action == MoveHome && control) || (action == MoveEnd && control)) {
            action == MoveHome ? m_query->First() : m_query->Last();
            return m_model->index(m_query->RecNo(), qMax(currentIndex().column(), 0));
        }
        if ((action == MoveUp || action == MovePageUp) && currentIndex().row() <= 0 && !m_query->atStart())
            m_query->fetchFront(EngineQueryModel::kFetchStep);
    }
    return QTableView::moveCursor(action, modifiers);
}

// The query moved (a command, Last, a bookmark): show its row.
void TDBGridEx::followQuery()
{
    if (!m_query || m_syncing || m_query->IsEmpty())
        return;
    const int row = m_query->RecNo();
    if (currentIndex().row() == row)
        return;
    const QScopedValueRollback syncing(m_syncing, true); // restored also when a handler raises
    const int column = qMax(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(row, column));
    scrollTo(m_model->index(row, column));
}

// The user moved in the grid: the query follows.
void TDBGridEx::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_query || m_syncing || !current.isValid() || current.row() == m_query->RecNo())
        return;
    const QScopedValueRollback syncing(m_syncing, true);
    m_query->MoveTo(current.row());
}

void TDBGridEx::wheelEvent(QWheelEvent *event)
{
    if (!m_query || m_query->IsEmpty()) {
        event->ignore();
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return;
    if (steps < 0)
        m_query->Next();
    else
        m_query->Prior();
    event->accept();
}
