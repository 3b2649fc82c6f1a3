#pragma once
// The report window of the receipt (領収証): the caller sets the text and parameters of Qnyukin
// ("select * from nyukin where key = :key"), opens it and shows the window modally. One sheet per
// payment.
#include "report/TLRLayoutRep.h"

class TEngineQuery;

class TLRryosyusyou : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRryosyusyou(QWidget *parent = nullptr);

    TEngineQuery *Qnyukin; // the master: one record per payment
};
