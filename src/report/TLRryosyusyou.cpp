#include "report/TLRryosyusyou.h"

#include "data/TDMdata.h"
#include "report/RyosyusyouLayout.h"
#include "report/TLRPreviewControl.h"

TLRryosyusyou::TLRryosyusyou(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRryosyusyou"));
    auto *layout = new RyosyusyouLayout(*LightRep1, *DMdata->DataDB);
    attachLayout(layout);
    Qnyukin = layout->master();
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
