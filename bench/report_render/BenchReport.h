#pragma once
// A synthetic estimate-like report: a header with a stretched JPEG seal and a filled title, a
// grid of 20 text-heavy detail rows per page, and a remarks box of flowing text. One page per
// record of a counted master data set.
#include "report/ui/TBaseLRep.h"

class BenchData : public TLRMasterData
{
public:
    explicit BenchData(int count) : records(count) {}
    bool Active() const override { return active; }
    void Open() override { active = true; }
    void First() override { index = 0; }
    bool Eof() const override { return index >= records; }

    int records;
    int index = 0;
    bool active = false;
};

class BenchReportWindow : public TBaseLRep
{
public:
    BenchReportWindow(int pages, const QByteArray &sealJpeg);
    BenchData *data;

private:
    void buildHeader(const QByteArray &sealJpeg);
    void buildDetail();
    void buildRemarks();
};

// A 300 × 300 JPEG picture of a round red seal.
QByteArray makeSealJpeg();
