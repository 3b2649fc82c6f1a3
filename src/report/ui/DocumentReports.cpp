#include "report/ui/DocumentReports.h"

#include "data/Engine.h"
#include "report/layouts/ReportLayout.h"
#include "report/ui/TLRineiData.h"
#include "report/ui/TLRineiTest.h"
#include "report/ui/TLRmitumorisyo.h"
#include "report/ui/TLRnohinsyo.h"
#include "report/ui/TLRryosyusyou.h"
#include "report/ui/TLRseikyusyo.h"

#include <memory>

namespace DocumentReports {
namespace {

std::unique_ptr<TLRLayoutRep> makeWindow(DocumentOutput::Kind kind, QWidget *parent)
{
    using Kind = DocumentOutput::Kind;
    switch (kind) {
    case Kind::Mitumori:
        return std::make_unique<TLRmitumorisyo>(parent);
    case Kind::Nohin:
        return std::make_unique<TLRnohinsyo>(parent);
    case Kind::Seikyu:
        return std::make_unique<TLRseikyusyo>(parent);
    case Kind::Ryosyusyou:
        return std::make_unique<TLRryosyusyou>(parent);
    case Kind::IneiTest:
        return std::make_unique<TLRineiTest>(parent);
    case Kind::IneiData:
        return std::make_unique<TLRineiData>(parent);
    }
    return {};
}

} // namespace

void show(QWidget *parent, DocumentOutput::Kind kind, const QList<int> &keys)
{
    Q_ASSERT(DocumentOutput::takesKeys(kind));
    show(parent, kind,
         [kind, &keys](TEngineQuery &master) { DocumentOutput::selectDocuments(master, kind, keys); });
}

void show(QWidget *parent, DocumentOutput::Kind kind, const std::function<void(TEngineQuery &)> &selectMaster)
{
    const std::unique_ptr<TLRLayoutRep> window = makeWindow(kind, parent);
    TEngineQuery &master = *window->layout()->master();
    selectMaster(master);
    master.Open();
    window->exec();
}

} // namespace DocumentReports
