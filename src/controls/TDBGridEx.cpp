#include "controls/TDBGridEx.h"

#include "controls/EngineQueryModel.h"
#include "data/Engine.h"

#include <QHeaderView>
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
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
}

void TDBGridEx::setQuery(TEngineQuery *query)
{
    m_query = query;
    m_model = new EngineQueryModel(query, this);
    setModel(m_model);
    connect(m_model, &EngineQueryModel::columnsChanged, this, &TDBGridEx::applyColumnWidths);
    connect(query, &TEngineQuery::afterScroll, this, &TDBGridEx::followQuery);
    applyColumnWidths();
}

void TDBGridEx::applyColumnWidths()
{
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = m_model->columnDef(c).width;
        setColumnWidth(c, width > 0 ? width : 80);
    }
    followQuery();
}

// The query moved (a command, Last, a bookmark): show its row.
void TDBGridEx::followQuery()
{
    if (!m_query || m_syncing || m_query->IsEmpty())
        return;
    const int row = m_query->RecNo();
    if (currentIndex().row() == row)
        return;
    m_syncing = true;
    const int column = qMax(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(row, column));
    scrollTo(m_model->index(row, column));
    m_syncing = false;
}

// The user moved in the grid: the query follows.
void TDBGridEx::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_query || m_syncing || !current.isValid() || current.row() == m_query->RecNo())
        return;
    m_syncing = true;
    m_query->MoveTo(current.row());
    m_syncing = false;
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
