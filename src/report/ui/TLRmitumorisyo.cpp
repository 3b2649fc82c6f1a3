#include "report/ui/TLRmitumorisyo.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/MitumoriLayout.h"

TLRmitumorisyo::TLRmitumorisyo(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRmitumorisyo"));
    auto *layout = new MitumoriLayout(MitumoriLayout::Kind::Estimate, *LightRep1, *DMdata->DataDB);
    attachLayout(layout);
    Qmitumori = layout->master();
    Qmesai = layout->Qmesai;
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
