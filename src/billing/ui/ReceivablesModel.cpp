#include "billing/ui/ReceivablesModel.h"

#include "common/DisplayFormat.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <QCollator>
#include <QColor>

namespace {

using Receivables::CustomerBalance;

bool isText(int column)
{
    return column == ReceivablesModel::Code || column == ReceivablesModel::Name;
}

// A figure column's value: an amount, the days unpaid or the closing date's day number; nothing
// for a customer without an invoice or with its invoices paid.
std::optional<qint64> numberOf(const CustomerBalance &r, int column)
{
    switch (column) {
    case ReceivablesModel::PreviousInvoice:
        return r.previousInvoice;
    case ReceivablesModel::Payments:
        return r.payments;
    case ReceivablesModel::UnbilledSales:
        return r.unbilledSales;
    case ReceivablesModel::Balance:
        return r.balance;
    case ReceivablesModel::LastClosing:
        return r.lastClosing.isValid() ? std::optional<qint64>(r.lastClosing.toJulianDay()) : std::nullopt;
    default:
        return r.daysUnpaid;
    }
}

// A row without a figure sorts before every row with one.
QVariant sortValue(const CustomerBalance &r, int column)
{
    if (isText(column))
        return column == ReceivablesModel::Code ? r.code : r.name;
    return numberOf(r, column).value_or(std::numeric_limits<qint64>::min());
}

QString displayText(const CustomerBalance &r, int column)
{
    if (isText(column))
        return column == ReceivablesModel::Code ? r.code : r.name;
    if (column == ReceivablesModel::LastClosing)
        return formatDate(DisplayFormat::kDate, r.lastClosing);
    const auto number = numberOf(r, column);
    return number ? formatNumber(DisplayFormat::kInteger, double(*number)) : QString();
}

} // namespace

void ReceivablesModel::setRows(const QList<CustomerBalance> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int ReceivablesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReceivablesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ReceivablesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const CustomerBalance &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayText(r, index.column());
    case SortRole:
        return sortValue(r, index.column());
    case Qt::TextAlignmentRole:
        return int((!isText(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::ForegroundRole: {
        const int c = index.column();
        const bool amount = c >= PreviousInvoice && c <= Balance;
        if (amount && numberOf(r, c).value_or(0) < 0)
            return QColor(Qt::red);
        return {};
    }
    default:
        return {};
    }
}

QVariant ReceivablesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList titles{QStringLiteral("取引先コード"), QStringLiteral("取引先名"),
                                    QStringLiteral("前回請求額"),   QStringLiteral("入金額"),
                                    QStringLiteral("未請求売上"),   QStringLiteral("残高"),
                                    QStringLiteral("最終締日"),     QStringLiteral("経過日数")};
    return titles.value(section);
}

// Rows of equal value keep the order they had. Codes and names compare as people read them, the
// digits in them as numbers ("9" before "10").
void ReceivablesModel::sort(int column, Qt::SortOrder sortOrder)
{
    if (column < 0 || column >= kColumns)
        return;
    QCollator collator;
    collator.setNumericMode(true);
    const auto less = [&](const QVariant &x, const QVariant &y) {
        if (x.typeId() == QMetaType::QString)
            return collator.compare(x.toString(), y.toString()) < 0;
        return x.toLongLong() < y.toLongLong();
    };
    QList<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QVariant x = sortValue(m_rows.at(a), column);
        const QVariant y = sortValue(m_rows.at(b), column);
        return sortOrder == Qt::AscendingOrder ? less(x, y) : less(y, x);
    });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<CustomerBalance> sorted;
    sorted.reserve(m_rows.size());
    QList<int> newRowOf(m_rows.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(m_rows.at(order.at(i)));
        newRowOf[order.at(i)] = i;
    }
    m_rows = sorted;
    const QModelIndexList held = persistentIndexList();
    for (const QModelIndex &index : held)
        changePersistentIndex(index, this->index(newRowOf.at(index.row()), index.column()));
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
