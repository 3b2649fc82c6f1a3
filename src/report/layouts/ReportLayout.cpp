#include "report/layouts/ReportLayout.h"

#include "data/Engine.h"
#include "report/engine/TLightRep.h"

#include <utility>

ReportLayout::ReportLayout(TLightRep &root, TEngineDatabase &db, QString title, QObject *parent)
    : QObject(parent), m_root(root), m_master(new TEngineQuery(&db, this)),
      Query1(new TEngineQuery(&db, this)), m_title(std::move(title))
{
    m_root.Title = m_title;
}

ReportLayout::~ReportLayout() = default;

void ReportLayout::beforePrepare()
{
    m_master->Close();
}

bool ReportLayout::DataEnd() const
{
    return !m_master->Active() || m_master->Eof();
}

QStringList ReportLayout::takeNotices()
{
    return std::exchange(m_notices, {});
}
