#pragma once
// The picture of the receivables page: the delivery notes' sales and the payments of each month as
// bars, and all customers' balance at each month's end as a line. When the balance is of another
// size than the bars it gets its own scale on the right.
#include "billing/Receivables.h"

#include <QWidget>

class QBarCategoryAxis;
class QBarSet;
class QCategoryAxis;
class QChart;
class QChartView;
class QLineSeries;

class ReceivablesChart : public QWidget
{
    Q_OBJECT
public:
    explicit ReceivablesChart(QWidget *parent = nullptr);

    // Draws these months, oldest first.
    void setMonths(const QList<Receivables::Month> &months);

    QChart *chart() const { return m_chart; }
    QBarSet *salesBars() const { return m_sales; }
    QBarSet *paymentBars() const { return m_payments; }
    QLineSeries *balanceLine() const { return m_balance; }
    QBarCategoryAxis *monthAxis() const { return m_months; }
    QCategoryAxis *amountAxis() const { return m_amounts; }
    QCategoryAxis *balanceAxis() const { return m_balances; }

private:
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QBarSet *m_sales = nullptr;
    QBarSet *m_payments = nullptr;
    QLineSeries *m_balance = nullptr;
    QBarCategoryAxis *m_months = nullptr;
    QCategoryAxis *m_amounts = nullptr;
    QCategoryAxis *m_balances = nullptr;
};
