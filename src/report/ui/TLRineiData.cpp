#include "report/ui/TLRineiData.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/IneiLayouts.h"

TLRineiData::TLRineiData(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRineiData"));
    attachLayout(new IneiDataLayout(*LightRep1, *DMdata->DataDB));
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}
