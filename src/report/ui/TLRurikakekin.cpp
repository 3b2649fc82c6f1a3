#include "report/ui/TLRurikakekin.h"

#include "billing/ReceivablesReport.h"
#include "controls/Messages.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/layouts/ReceivablesLayout.h"

TLRurikakekin::TLRurikakekin(const ReceivablesSheet &sheet, QWidget *parent)
    : TBaseLRep(parent), m_layout(new ReceivablesLayout(*LightRep1, this))
{
    setObjectName(QStringLiteral("LRurikakekin"));
    m_layout->setSheet(sheet);
    dsMast.setDataSet(m_layout->masterData());
    setWindowTitle(ReceivablesLayout::title());
    LRPreviewControl1->PixelFormat = TLRPixelFormat::pf32bit;
}

void showReceivablesReport(QWidget *parent, TEngineDatabase &db, const QDate &asOf)
{
    ReceivablesSheet sheet;
    if (!Messages::guarded(parent, [&] { sheet = ReceivablesReport::read(db, asOf); }))
        return;
    TLRurikakekin window(sheet, parent);
    window.exec();
}
