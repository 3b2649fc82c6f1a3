#pragma once
// A report window over counted records: each page shows "御見積書 page N" in its header and 20
// detail rows, and the master moves on after each page.
#include "report/engine/TLightRep.h"
#include "report/engine/TLRItem.h"
#include "report/engine/TLRPanels.h"
#include "report/ui/TBaseLRep.h"

class CountingData : public TLRMasterData
{
public:
    explicit CountingData(int count) : records(count) {}
    bool Active() const override { return active; }
    void Open() override { active = true; }
    void First() override { index = 0; }
    bool Eof() const override { return index >= records; }

    int records;
    int index = 0;
    bool active = false;
};

class CountingReportWindow : public TBaseLRep
{
public:
    // records < 0: no master data set at all.
    explicit CountingReportWindow(int records);

    CountingData *data = nullptr;
    int pagesRendered = 0;
    bool printMessageShownWhilePrinting = false;
    // When set, rendering this page fails.
    int failOnPage = 0;
};
