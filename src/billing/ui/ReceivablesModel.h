#pragma once
// The rows of the receivables table (売掛・売上): one customer's balance a row, amounts shown as
// "#,#0" right-aligned and in red when below zero, sortable by any column with amounts and days
// compared as numbers.
#include "billing/Receivables.h"

#include <QAbstractTableModel>

class ReceivablesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Code, Name, PreviousInvoice, Payments, UnbilledSales, Balance, LastClosing, DaysUnpaid };
    static constexpr int kColumns = DaysUnpaid + 1;

    // The value a column sorts by: a number for amounts and days, a date, or the text.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QList<Receivables::CustomerBalance> &rows);
    const QList<Receivables::CustomerBalance> &rows() const { return m_rows; }
    const Receivables::CustomerBalance &row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QList<Receivables::CustomerBalance> m_rows;
};
