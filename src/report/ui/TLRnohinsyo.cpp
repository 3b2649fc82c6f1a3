#include "report/ui/TLRnohinsyo.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/MitumoriLayout.h"

TLRnohinsyo::TLRnohinsyo(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRnohinsyo"));
    auto *layout = new MitumoriLayout(MitumoriLayout::Kind::DeliveryNote, *LightRep1, *DMdata->DataDB);
    attachLayout(layout);
    Qnohin = layout->master();
    Qmesai = layout->Qmesai;
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
