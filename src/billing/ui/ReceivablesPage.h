#pragma once
// The main window's page 売掛・売上: what each customer owes on an as-of day (a table sortable by
// every column, with its total row always under it) and the twelve months before it as a chart.
// It reads when it is shown and when the day changes or 再表示 is pressed.
#include "billing/Receivables.h"

#include <QWidget>

class QLabel;
class QModelIndex;
class QTableView;
class ReceivablesChart;
class ReceivablesModel;
class TDateEdit;
class TEngineDatabase;
class TFlatButton;

class ReceivablesPage : public QWidget
{
    Q_OBJECT
public:
    explicit ReceivablesPage(TEngineDatabase *db, QWidget *parent = nullptr);

    TDateEdit *asOfField() const { return m_asOf; }
    QTableView *table() const { return m_table; }
    QTableView *totalRow() const { return m_totalView; }
    ReceivablesModel *rowsModel() const { return m_rows; }
    ReceivablesModel *totalModel() const { return m_total; }
    ReceivablesChart *chart() const { return m_chart; }

    // The day of the figures shown; null before the first reading or after a failed one.
    QDate shownAsOf() const { return m_shownAsOf; }

    // Reads the figures of the as-of day in the field; a day that cannot be read or a failure of
    // the database is told and leaves the table empty. False then.
    bool reload();
    // "CSV出力...": the rows shown, in the file and encoding the user chooses.
    void exportCsv();

Q_SIGNALS:
    // "印刷...": the table of this day on paper.
    void printRequested(const QDate &asOf);
    // A double click on a customer's row.
    void customerOpened(int key, const QString &name);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTableView *makeTable(ReceivablesModel *model);
    TFlatButton *makeButton(const char *name, const QString &caption);
    void followColumns();
    void readIfDayChanged();
    void display(const QList<Receivables::CustomerBalance> &rows, const QList<Receivables::Month> &months);
    void widenToFit();
    void openCustomer(const QModelIndex &index);

    TEngineDatabase *m_db;
    TDateEdit *m_asOf = nullptr;
    ReceivablesModel *m_rows = nullptr;
    ReceivablesModel *m_total = nullptr;
    QTableView *m_table = nullptr;
    QTableView *m_totalView = nullptr;
    QLabel *m_count = nullptr;
    ReceivablesChart *m_chart = nullptr;
    QDate m_shownAsOf;
    bool m_reading = false;
};
