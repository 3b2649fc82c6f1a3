#pragma once
// The report window of the delivery note (納品書): its master Qnohin holds the notes to print, as
// DocumentReports selects them by key; the caller opens it and shows the window modally.
#include "report/ui/TLRLayoutRep.h"

class TEngineQuery;

class TLRnohinsyo : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRnohinsyo(QWidget *parent = nullptr);

    TEngineQuery *Qnohin; // the master: one record per document to print
    TEngineQuery *Qmesai;
};
