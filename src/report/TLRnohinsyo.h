#pragma once
// The report window of the delivery note (納品書): the caller sets the text and parameters of Qnohin (for one
// document "select * from nohin where key = :key"), opens it and shows the window modally.
#include "report/TLRLayoutRep.h"

class TEngineQuery;

class TLRnohinsyo : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRnohinsyo(QWidget *parent = nullptr);

    TEngineQuery *Qnohin; // the master: one record per document to print
    TEngineQuery *Qmesai;
};
