#pragma once
// The statements of the customer search: every customer, or those whose name holds a fragment.
#include <QString>

class TEngineQuery;

namespace CustomerSearch {

// Every customer in the engine's natural order, with the grid's columns.
void setUpAll(TEngineQuery &q);
// The customers whose name holds the fragment anywhere. The fragment is a parameter of the
// statement, so a quote in it is matched as a quote, and so is a backslash; "%" and "_" keep their
// meaning in a pattern.
void setUpByName(TEngineQuery &q, const QString &fragment);

} // namespace CustomerSearch
