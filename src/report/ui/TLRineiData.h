#pragma once
// The seal-data request sheet: how to prepare a seal picture, and an order form for the outside
// service whose address the configuration file gives (section "IneiService").
#include "report/ui/TLRLayoutRep.h"

class TLRineiData : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRineiData(QWidget *parent = nullptr);
};
