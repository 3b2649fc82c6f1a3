#pragma once
// The report windows of the printed documents, opened by kind: the same kinds and the same choice of
// documents as the command line's jobs (DocumentOutput), shown in the kind's window, modally.
#include "report/layouts/DocumentOutput.h"

#include <functional>
#include <QList>

class QWidget;
class TEngineQuery;

namespace DocumentReports {

// The documents of a kind that takes keys (estimates, delivery notes, invoices, receipts) with the
// keys, in the order given. A key that names no document shows nothing for it.
void show(QWidget *parent, DocumentOutput::Kind kind, const QList<int> &keys);
// The documents a statement selects (a batch of invoices): selectMaster gives the window's master
// query its statement and parameters; it is opened here.
void show(QWidget *parent, DocumentOutput::Kind kind,
          const std::function<void(TEngineQuery &)> &selectMaster);

} // namespace DocumentReports
