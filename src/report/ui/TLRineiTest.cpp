#include "report/ui/TLRineiTest.h"

#include "data/TDMdata.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/IneiLayouts.h"

TLRineiTest::TLRineiTest(QWidget *parent) : TLRLayoutRep(parent)
{
    setObjectName(QStringLiteral("LRineiTest"));
    m_sheet = new IneiTestLayout(*LightRep1, *DMdata->DataDB);
    attachLayout(m_sheet);
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}

void TLRineiTest::setSeal(const QByteArray &picture, int height, int width)
{
    m_sheet->setSeal(picture, height, width);
}
