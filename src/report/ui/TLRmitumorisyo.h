#pragma once
// The report window of the estimate (見積書): its master Qmitumori holds the estimates to print, as
// DocumentReports selects them by key; the caller opens it and shows the window modally.
#include "report/ui/TLRLayoutRep.h"

class TEngineQuery;

class TLRmitumorisyo : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRmitumorisyo(QWidget *parent = nullptr);

    TEngineQuery *Qmitumori; // the master: one record per document to print
    TEngineQuery *Qmesai;
};
