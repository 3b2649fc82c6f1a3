#pragma once
// Shows an engine query in a grid: the declared visible fields as columns, rows read from the open
// result only as the grid asks for them, values formatted by their display format.
#include "data/Engine.h"

#include <QAbstractTableModel>
#include <QPointer>

class EngineQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Rows read at a time when the grid scrolls past the rows held.
    static constexpr int kFetchStep = 128;

    explicit EngineQueryModel(TEngineQuery *query, QObject *parent = nullptr);

    TEngineQuery *query() const { return m_query; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The declared column, or the result column when the query declares none.
    TFieldDef columnDef(int column) const;

    // Text of one cell as the grid shows it.
    QString displayText(int row, int column) const;

Q_SIGNALS:
    void columnsChanged();

private:
    void reset();
    QList<TFieldDef> visibleDefs() const;
    int resultColumn(int column) const;

    QPointer<TEngineQuery> m_query;
    QList<TFieldDef> m_defs;
    QList<int> m_resultColumns;
};
