#pragma once
// The statements of the customer search: every customer, or those whose name holds a fragment.
#include <QString>

class TEngineQuery;

namespace CustomerSearch {

// Every customer in the engine's natural order, with the grid's columns.
void setUpAll(TEngineQuery &q);
// The customers whose name holds the fragment anywhere, alike on both engines: ASCII letters match
// without regard to case, every other character only itself ("%", "_", a quote and a backslash
// included). The fragment goes into the statement as a parameter; a NUL in it is dropped.
void setUpByName(TEngineQuery &q, const QString &fragment);

} // namespace CustomerSearch
