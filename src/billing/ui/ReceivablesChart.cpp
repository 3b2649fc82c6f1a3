#include "billing/ui/ReceivablesChart.h"

#include "common/DisplayFormat.h"

#include <cmath>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPen>
#include <QVBoxLayout>

namespace {

// The screen font of the program's lists, which shows Japanese text.
QFont chartFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

struct Range
{
    double low = 0;
    double high = 0;
};

// The range of the values with zero in it.
Range rangeOf(const QList<double> &values)
{
    Range r;
    for (double v : values) {
        r.low = std::min(r.low, v);
        r.high = std::max(r.high, v);
    }
    return r;
}

// A step of 1, 2 or 5 times a power of ten that cuts the range into about five parts.
double niceStep(const Range &r)
{
    const double span = r.high - r.low;
    if (span <= 0)
        return 1000;
    const double rough = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return std::max(1.0, m * power);
    return std::max(1.0, 10 * power);
}

// Sets the axis to the range rounded out to whole steps, with a yen label at each step.
void scale(QCategoryAxis *axis, Range r)
{
    const double step = niceStep(r);
    const double low = std::floor(r.low / step) * step;
    double high = std::ceil(r.high / step) * step;
    if (high <= low)
        high = low + step;
    for (const QString &label : axis->categoriesLabels())
        axis->remove(label);
    // The first label stands on the lowest value: its category starts just below it.
    axis->setStartValue(low - step / 1000);
    axis->setRange(low, high);
    for (double v = low; v <= high + step / 2; v += step)
        axis->append(DisplayFormat::formatYen(v), v);
}

// Scales of the same size share one; else the balance takes its own. "Of the same size": neither
// reaches three times the other.
bool sameSize(const Range &a, const Range &b)
{
    const double x = std::max(std::abs(a.low), std::abs(a.high));
    const double y = std::max(std::abs(b.low), std::abs(b.high));
    if (x == 0 || y == 0)
        return true;
    return std::max(x, y) < 3 * std::min(x, y);
}

} // namespace

ReceivablesChart::ReceivablesChart(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart;
    m_chart->setTitle(QStringLiteral("月別の売上・入金と月末の売掛残高"));
    m_chart->setTitleFont(chartFont(13, true));
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setFont(chartFont(12));
    m_chart->setMargins(QMargins(2, 2, 2, 2));
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setBackgroundRoundness(0);

    m_sales = new QBarSet(QStringLiteral("売上（納品）"));
    m_sales->setColor(QColor(0x4a, 0x7e, 0xbb));
    m_payments = new QBarSet(QStringLiteral("入金"));
    m_payments->setColor(QColor(0x7c, 0xb3, 0x5b));
    auto *bars = new QBarSeries;
    bars->append(m_sales);
    bars->append(m_payments);
    m_chart->addSeries(bars);

    m_balance = new QLineSeries;
    m_balance->setName(QStringLiteral("月末残高"));
    m_balance->setPen(QPen(QColor(0xd0, 0x50, 0x30), 2.5));
    m_balance->setPointsVisible(true);
    m_chart->addSeries(m_balance);

    m_months = new QBarCategoryAxis;
    m_months->setLabelsFont(chartFont(11));
    m_chart->addAxis(m_months, Qt::AlignBottom);
    m_amounts = new QCategoryAxis;
    m_amounts->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_amounts->setLabelsFont(chartFont(11));
    m_chart->addAxis(m_amounts, Qt::AlignLeft);
    m_balances = new QCategoryAxis;
    m_balances->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_balances->setLabelsFont(chartFont(11));
    m_balances->setLabelsColor(m_balance->pen().color());
    m_balances->setGridLineVisible(false);
    m_chart->addAxis(m_balances, Qt::AlignRight);
    bars->attachAxis(m_months);
    bars->attachAxis(m_amounts);
    m_balance->attachAxis(m_months);
    m_balance->attachAxis(m_balances);

    m_view = new QChartView(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setMonths({});
}

void ReceivablesChart::setMonths(const QList<Receivables::Month> &months)
{
    QStringList labels;
    QList<double> sales;
    QList<double> payments;
    QList<QPointF> balances;
    for (const Receivables::Month &m : months) {
        labels << formatDate(DisplayFormat::kDate, m.first).left(7); // "2026/12"
        sales << double(m.sales);
        payments << double(m.payments);
        balances << QPointF(double(balances.size()), double(m.balance));
    }
    m_months->clear();
    m_months->append(labels);
    m_sales->remove(0, m_sales->count());
    m_sales->append(sales);
    m_payments->remove(0, m_payments->count());
    m_payments->append(payments);
    m_balance->replace(balances);

    const Range barRange = rangeOf(sales + payments);
    QList<double> lineValues;
    for (const QPointF &p : balances)
        lineValues << p.y();
    const Range lineRange = rangeOf(lineValues);
    if (sameSize(barRange, lineRange)) {
        const Range both{std::min(barRange.low, lineRange.low), std::max(barRange.high, lineRange.high)};
        scale(m_amounts, both);
        scale(m_balances, both);
        m_balances->setVisible(false);
    } else {
        scale(m_amounts, barRange);
        scale(m_balances, lineRange);
        m_balances->setVisible(true);
    }
}
