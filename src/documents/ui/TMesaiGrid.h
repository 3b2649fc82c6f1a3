#pragma once
// The line grid of the estimate and delivery note editors: one header row and 99 line rows of five
// text columns (and a narrow tax-rate column chosen from a list, shown only with the qualified-invoice
// option), every row shaded alternately, a cell always in editing, each column taking only the
// keys it can hold. Before the current cell moves, the editor is asked (beforeSelectCell) and may
// cancel the move. Rows are counted from 1 as the lines' Gyo.
#include "documents/DocumentLines.h"

#include <functional>
#include <QColor>
#include <QTableWidget>

class TMesaiGrid : public QTableWidget
{
    Q_OBJECT
public:
    // shade: the fill of the header row and the even rows.
    TMesaiGrid(const QColor &shade, QWidget *parent = nullptr);

    QColor shade() const { return m_shade; }
    // The cell (column, row) with row 1 to 99.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    void clearCells();
    // Moves the current cell without asking beforeSelectCell (loading, entering the grid).
    void placeCurrent(int column, int row);
    void setRateColumnShown(bool shown);
    bool rateColumnShown() const { return !isColumnHidden(kRateColumn); }

    // Called with the cell about to become current (row 1 to 99); false keeps the current cell.
    std::function<bool(int column, int row)> beforeSelectCell;

Q_SIGNALS:
    // The cell editor wrote its text into the cell (row 1 to 99).
    void cellCommitted(int column, int row);

protected:
    void commitData(QWidget *editor) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class MesaiSelectionModel;
    bool allowMove(const QModelIndex &to);
    void setInputMethodFor(int column);

    QColor m_shade;
    bool m_placing = false;
};
