#include "controls/EngineQueryModel.h"

#include "common/DisplayFormat.h"

namespace {
constexpr int kFetchStep = 256;
}

EngineQueryModel::EngineQueryModel(TEngineQuery *query, QObject *parent)
    : QAbstractTableModel(parent), m_query(query)
{
    connect(query, &TEngineQuery::afterOpen, this, &EngineQueryModel::reset);
    connect(query, &TEngineQuery::afterClose, this, &EngineQueryModel::reset);
    connect(query, &TEngineQuery::afterScroll, this, &EngineQueryModel::syncRowCount);
    reset();
}

QList<TFieldDef> EngineQueryModel::visibleDefs() const
{
    QList<TFieldDef> defs;
    if (!m_query)
        return defs;
    for (const TFieldDef &def : m_query->FieldDefs())
        if (def.visible)
            defs.append(def);
    if (defs.isEmpty()) {
        for (int i = 0; i < m_query->FieldCount(); ++i)
            defs.append(TFieldDef{m_query->FieldName(i), {}, {}, -1, true});
    }
    return defs;
}

void EngineQueryModel::reset()
{
    beginResetModel();
    m_defs = visibleDefs();
    m_resultColumns.clear();
    for (const TFieldDef &def : m_defs)
        m_resultColumns.append(m_query ? m_query->fieldIndex(def.name) : -1);
    m_rows = m_query && m_query->Active() ? m_query->fetchedRowCount() : 0;
    endResetModel();
    Q_EMIT columnsChanged();
}

// A move of the query past the rows the grid knows (to the last row, say) makes them known.
void EngineQueryModel::syncRowCount()
{
    if (!m_query || !m_query->Active())
        return;
    const int fetched = m_query->fetchedRowCount();
    if (fetched > m_rows) {
        beginInsertRows({}, m_rows, fetched - 1);
        m_rows = fetched;
        endInsertRows();
    }
}

int EngineQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int EngineQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_defs.size());
}

bool EngineQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_query && m_query->Active() && !m_query->fetchedAll();
}

void EngineQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    m_query->fetchMore(kFetchStep);
    syncRowCount();
}

TFieldDef EngineQueryModel::columnDef(int column) const
{
    return column >= 0 && column < m_defs.size() ? m_defs.at(column) : TFieldDef{};
}

int EngineQueryModel::resultColumn(int column) const
{
    return column >= 0 && column < m_resultColumns.size() ? m_resultColumns.at(column) : -1;
}

QString EngineQueryModel::displayText(int row, int column) const
{
    const int result = resultColumn(column);
    if (!m_query || result < 0)
        return {};
    const TEngineField field = m_query->fieldAt(row, result);
    if (field.IsNull())
        return {};
    const QString format = m_defs.at(column).format;
    if (!format.isEmpty() &&
        (field.kind() == TEngineField::Kind::Integer || field.kind() == TEngineField::Kind::Float))
        return formatNumber(format, field.AsFloat());
    return field.AsString();
}

QVariant EngineQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_query)
        return {};
    if (role == Qt::DisplayRole)
        return displayText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const int result = resultColumn(index.column());
        const auto kind = m_query->fieldAt(index.row(), result).kind();
        const bool number = kind == TEngineField::Kind::Integer || kind == TEngineField::Kind::Float;
        return int((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    return {};
}

QVariant EngineQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const TFieldDef def = columnDef(section);
    return def.label.isEmpty() ? def.name : def.label;
}
