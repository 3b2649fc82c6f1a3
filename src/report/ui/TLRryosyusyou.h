#pragma once
// The report window of the receipt (領収証): its master Qnyukin holds the payments to print, as
// DocumentReports selects them by key; the caller opens it and shows the window modally. One sheet
// per payment.
#include "report/ui/TLRLayoutRep.h"

class TEngineQuery;

class TLRryosyusyou : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRryosyusyou(QWidget *parent = nullptr);

    TEngineQuery *Qnyukin; // the master: one record per payment
};
