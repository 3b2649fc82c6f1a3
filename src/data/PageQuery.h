#pragma once
// The statements with which a list is read page by page: the list's own SELECT wrapped, ordered
// forwards or backwards, limited to one page, and optionally starting strictly beyond the row
// whose order values are given (keyset reading: no row before the page is read or skipped).
//
// Where a NULL sorts differs between the engines (SQLite: before every value, PostgreSQL: after),
// and a NULL never compares equal or unequal, so the rows whose first order column is NULL are
// read as a group of their own: a page is read within the group of the row it starts from, then,
// when it is not full, from the other group if that lies ahead.
#include "data/SqlText.h"

#include <QVariant>

namespace PageQuery {

enum class LeadGroup { Any, Null, NotNull };

struct Spec
{
    bool backward = false;
    const QVariantList *boundary = nullptr; // order values of the row to read beyond
    LeadGroup group = LeadGroup::Any;
    int limit = 0;
};

// Name under which the wrapped SELECT's columns are reached.
inline constexpr auto kAlias = "kadomel_page";

// The statement of one page; the boundary values it needs go into binds under the names of the
// parameters it uses.
QString pageSql(const SqlText::PageableSelect &select, const Spec &spec, bool nullsLow, QVariantMap &binds);

// Whether the other group of the first order column lies ahead of a boundary row when reading
// in the given direction.
bool otherGroupAhead(const SqlText::PageableSelect &select, bool backward, bool boundaryLeadIsNull,
                     bool nullsLow);

// All rows of the list counted by the engine, and the one row with the given key.
QString countSql(const SqlText::PageableSelect &select);
QString rowByKeySql(const SqlText::PageableSelect &select, const QString &keyColumn, const QString &param);

} // namespace PageQuery
