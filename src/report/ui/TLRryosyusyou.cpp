#include "report/ui/TLRryosyusyou.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/RyosyusyouLayout.h"

TLRryosyusyou::TLRryosyusyou(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRryosyusyou"));
    auto *layout = new RyosyusyouLayout(*LightRep1, *DMdata->DataDB);
    attachLayout(layout);
    Qnyukin = layout->master();
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
