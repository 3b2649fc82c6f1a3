#pragma once
// The report window of the invoice (請求書): its master Qseikyu holds the invoices to print (by key,
// or a batch of one closing date), as DocumentReports selects them; the caller opens it and shows the
// window modally. Every invoice starts on a new page.
#include "report/ui/TLRLayoutRep.h"

class TEngineQuery;

class TLRseikyusyo : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRseikyusyo(QWidget *parent = nullptr);

    TEngineQuery *Qseikyu; // the master: one record per invoice to print
    TEngineQuery *Qmesai;
};
