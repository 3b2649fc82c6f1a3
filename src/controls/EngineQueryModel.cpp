#include "controls/EngineQueryModel.h"

#include "common/DisplayFormat.h"

EngineQueryModel::EngineQueryModel(TEngineQuery *query, QObject *parent)
    : QAbstractTableModel(parent), m_query(query)
{
    connect(query, &TEngineQuery::afterOpen, this, &EngineQueryModel::reset);
    connect(query, &TEngineQuery::afterClose, this, &EngineQueryModel::reset);
    connect(query, &TEngineQuery::windowReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(query, &TEngineQuery::rowsAboutToBeInserted, this,
            [this](int first, int count) { beginInsertRows({}, first, first + count - 1); });
    connect(query, &TEngineQuery::rowsInserted, this, [this] { endInsertRows(); });
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
    endResetModel();
    Q_EMIT columnsChanged();
}

int EngineQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query ? 0 : m_query->fetchedRowCount();
}

int EngineQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_defs.size());
}

bool EngineQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_query && m_query->Active() && !m_query->atEnd();
}

void EngineQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    m_query->fetchMore(kFetchStep);
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
