#include "report/ui/TLRseikyusyo.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/SeikyuLayout.h"

TLRseikyusyo::TLRseikyusyo(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRseikyusyo"));
    auto *layout = new SeikyuLayout(*LightRep1, *DMdata->DataDB);
    attachLayout(layout);
    Qseikyu = layout->master();
    Qmesai = layout->Qmesai;
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
