#include "report/ui/TLRLayoutRep.h"

#include "controls/Messages.h"
#include "report/engine/TLightRep.h"
#include "report/layouts/ReportLayout.h"

TLRLayoutRep::TLRLayoutRep(QWidget *parent) : TBaseLRep(parent) {}

void TLRLayoutRep::attachLayout(ReportLayout *layout)
{
    m_layout = layout;
    m_layout->setParent(this);
    dsMast.setDataSet(layout->master());
    setWindowTitle(layout->title());
}

// A failure reading the own company or the settings is told, and nothing is previewed; what the
// layout has to tell besides (a seal that cannot be read) is told once, before the preview.
void TLRLayoutRep::FormShow()
{
    if (!Messages::guarded(this, [this] { m_layout->FormShow(); }))
        return;
    for (const QString &notice : m_layout->takeNotices())
        Messages::warning(this, notice);
    ShowAndPreview();
}

bool TLRLayoutRep::ActPrintPrepareExecute()
{
    m_layout->beforePrepare();
    if (!TBaseLRep::ActPrintPrepareExecute())
        return false;
    m_layout->afterPrepare();
    return true;
}
