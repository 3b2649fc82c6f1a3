#include "report/engine/TLRDataSource.h"

#include "data/Engine.h"

namespace {

class EngineQueryData : public TLRMasterData
{
public:
    explicit EngineQueryData(TEngineQuery *query) : m_query(query) {}
    bool Active() const override { return m_query->Active(); }
    void Open() override { m_query->Open(); }
    void First() override { m_query->First(); }
    bool Eof() const override { return m_query->Eof(); }
    bool alive() const { return !m_query.isNull(); }

private:
    QPointer<TEngineQuery> m_query;
};

} // namespace

TLRDataSource::TLRDataSource() = default;
TLRDataSource::~TLRDataSource() = default;

void TLRDataSource::setDataSet(TEngineQuery *query)
{
    m_data = query ? std::make_unique<EngineQueryData>(query) : nullptr;
}

void TLRDataSource::setDataSet(std::unique_ptr<TLRMasterData> data)
{
    m_data = std::move(data);
}

TLRMasterData *TLRDataSource::DataSet() const
{
    if (auto *query = dynamic_cast<EngineQueryData *>(m_data.get()); query && !query->alive())
        return nullptr;
    return m_data.get();
}
