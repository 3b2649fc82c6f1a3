#pragma once
// The report window of the estimate (見積書): the caller sets the text and parameters of Qmitumori (for one
// document "select * from mitumori where key = :key"), opens it and shows the window modally.
#include "report/TLRLayoutRep.h"

class TEngineQuery;

class TLRmitumorisyo : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRmitumorisyo(QWidget *parent = nullptr);

    TEngineQuery *Qmitumori; // the master: one record per document to print
    TEngineQuery *Qmesai;
};
