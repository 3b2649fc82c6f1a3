#pragma once
// The master data source of a report window: the data set whose records decide how many
// documents, and so how many pages, the report has.
#include <memory>
#include <QPointer>

class TEngineQuery;

// What the report window needs of its master data set.
class TLRMasterData
{
public:
    virtual ~TLRMasterData() = default;
    virtual bool Active() const = 0;
    virtual void Open() = 0;
    virtual void First() = 0;
    virtual bool Eof() const = 0;
};

class TLRDataSource
{
public:
    TLRDataSource();
    ~TLRDataSource();

    // The report's master query (not owned; forgotten when it is destroyed).
    void setDataSet(TEngineQuery *query);
    void setDataSet(std::unique_ptr<TLRMasterData> data);
    // The master data set; null when none is set.
    TLRMasterData *DataSet() const;

private:
    std::unique_ptr<TLRMasterData> m_data;
};
