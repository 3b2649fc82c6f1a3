#pragma once
// The data grid: shows one engine query, keeps the grid's current row and the query's current row
// together, and moves one record per notch of the mouse wheel.
#include <QTableView>

class TEngineQuery;
class EngineQueryModel;

class TDBGridEx : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGridEx(QWidget *parent = nullptr);

    void setQuery(TEngineQuery *query);
    TEngineQuery *query() const { return m_query; }
    EngineQueryModel *queryModel() const { return m_model; }

    // Widest a column sized to its title and contents becomes.
    static constexpr int kMaxAutoWidth = 320;

protected:
    void wheelEvent(QWheelEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void followQuery();
    void applyColumnWidths(bool onlyWiden);
    void readAboveWhenAtTop();

    TEngineQuery *m_query = nullptr;
    EngineQueryModel *m_model = nullptr;
    bool m_syncing = false;
};
