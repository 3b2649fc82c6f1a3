#pragma once
// A report window that shows one printed layout: it hands the layout's master query to dsMast,
// lets the layout read what stays fixed when the window is shown, and has the layout close and
// reopen its queries around each run's preparation. The document windows derive from it and only
// make their layout.
#include "report/ui/TBaseLRep.h"

class ReportLayout;

class TLRLayoutRep : public TBaseLRep
{
    Q_OBJECT
public:
    ReportLayout *layout() const { return m_layout; }

    bool ActPrintPrepareExecute() override;

protected:
    explicit TLRLayoutRep(QWidget *parent);
    // Takes the layout built on LightRep1 (owned by this window).
    void attachLayout(ReportLayout *layout);
    void FormShow() override;

private:
    ReportLayout *m_layout = nullptr;
};
