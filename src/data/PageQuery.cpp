#include "data/PageQuery.h"

#include <QStringList>

namespace PageQuery {
namespace {

QString column(const SqlText::OrderItem &item)
{
    return QLatin1String(kAlias) + QLatin1Char('.') + item.column;
}

// Builds the conditions of one page; each boundary value becomes a parameter of its own.
class Conditions
{
public:
    Conditions(const SqlText::PageableSelect &select, const Spec &spec, bool nullsLow, QVariantMap &binds)
        : m_select(select), m_spec(spec), m_nullsLow(nullsLow), m_binds(binds)
    {
    }

    QString where() const
    {
        QStringList parts;
        const QString lead = column(m_select.order.first());
        if (m_spec.group == LeadGroup::Null)
            parts.append(lead + QStringLiteral(" is null"));
        else if (m_spec.group == LeadGroup::NotNull)
            parts.append(lead + QStringLiteral(" is not null"));
        if (m_spec.boundary)
            parts.append(beyondBoundary());
        return parts.isEmpty() ? QString() : QStringLiteral(" where ") + parts.join(QStringLiteral(" and "));
    }

private:
    // Read upwards (towards larger values) in column i.
    bool upwards(int i) const { return m_select.order.at(i).descending == m_spec.backward; }
    bool boundaryNull(int i) const { return m_spec.boundary->at(i).isNull(); }

    QString value(int i) const
    {
        const QString name = QStringLiteral("kadomel_b%1").arg(i);
        m_binds.insert(name, m_spec.boundary->at(i));
        return QLatin1Char(':') + name;
    }

    QString equal(int i) const
    {
        const QString c = column(m_select.order.at(i));
        if (boundaryNull(i))
            return c + QStringLiteral(" is null");
        return c + QStringLiteral(" = ") + value(i);
    }

    // Rows of column i strictly beyond the boundary value in the reading direction; a NULL counts
    // as the lowest value on SQLite and as the highest on PostgreSQL.
    QString beyond(int i, bool withNulls) const
    {
        const QString c = column(m_select.order.at(i));
        const bool up = upwards(i);
        const bool nullsAhead = up != m_nullsLow;
        if (boundaryNull(i))
            return nullsAhead ? QStringLiteral("1 = 0") : c + QStringLiteral(" is not null");
        QString text = c + (up ? QStringLiteral(" > ") : QStringLiteral(" < ")) + value(i);
        if (withNulls && nullsAhead)
            text = QLatin1Char('(') + text + QStringLiteral(" or ") + c + QStringLiteral(" is null)");
        return text;
    }

    // Lexicographic order over the columns from `from` on.
    QString lexical(int from, bool leadWithNulls) const
    {
        QStringList alternatives;
        for (int i = from; i < m_select.order.size(); ++i) {
            QStringList terms;
            for (int j = from; j < i; ++j)
                terms.append(equal(j));
            terms.append(beyond(i, i == from ? leadWithNulls : true));
            alternatives.append(terms.join(QStringLiteral(" and ")));
        }
        if (alternatives.isEmpty())
            return QStringLiteral("1 = 0");
        return QLatin1Char('(') + alternatives.join(QStringLiteral(" or ")) + QLatin1Char(')');
    }

    // Within the boundary's own group of the first column. A non-NULL first value is also given
    // as a range, which the engine reads from an index.
    QString beyondBoundary() const
    {
        if (boundaryNull(0))
            return lexical(1, true);
        const QString range = column(m_select.order.first()) +
                              (upwards(0) ? QStringLiteral(" >= ") : QStringLiteral(" <= ")) + value(0);
        return range + QStringLiteral(" and ") + lexical(0, false);
    }

    const SqlText::PageableSelect &m_select;
    const Spec &m_spec;
    bool m_nullsLow;
    QVariantMap &m_binds;
};

QString wrapped(const SqlText::PageableSelect &select)
{
    return QStringLiteral("select * from (%1) %2").arg(select.body, QLatin1String(kAlias));
}

} // namespace

QString pageSql(const SqlText::PageableSelect &select, const Spec &spec, bool nullsLow, QVariantMap &binds)
{
    QStringList order;
    for (const SqlText::OrderItem &item : select.order)
        order.append(column(item) +
                     (item.descending != spec.backward ? QStringLiteral(" desc") : QStringLiteral(" asc")));
    return wrapped(select) + Conditions(select, spec, nullsLow, binds).where() +
           QStringLiteral(" order by ") + order.join(QStringLiteral(", ")) +
           QStringLiteral(" limit %1").arg(spec.limit);
}

bool otherGroupAhead(const SqlText::PageableSelect &select, bool backward, bool boundaryLeadIsNull,
                     bool nullsLow)
{
    const bool up = select.order.first().descending == backward;
    const bool nullsAhead = up != nullsLow;
    return boundaryLeadIsNull ? !nullsAhead : nullsAhead;
}

QString countSql(const SqlText::PageableSelect &select)
{
    return QStringLiteral("select count(*) from (%1) %2").arg(select.body, QLatin1String(kAlias));
}

QString rowByKeySql(const SqlText::PageableSelect &select, const QString &keyColumn, const QString &param)
{
    return wrapped(select) +
           QStringLiteral(" where %1.%2 = :%3").arg(QLatin1String(kAlias), keyColumn, param);
}

} // namespace PageQuery
