#include "report/layouts/DocumentOutput.h"

#include "data/Engine.h"
#include "masters/OwnCompanyStore.h"
#include "report/engine/LRPrintJob.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRPdfTarget.h"
#include "report/layouts/IneiLayouts.h"
#include "report/layouts/MitumoriLayout.h"
#include "report/layouts/RyosyusyouLayout.h"
#include "report/layouts/SeikyuLayout.h"

#include <QDir>
#include <QPainter>

namespace DocumentOutput {
namespace {

const QString kNoData = QStringLiteral("印刷対象データがありません．");

const char *tableOf(Kind kind)
{
    switch (kind) {
    case Kind::Mitumori:
        return "Mitumori";
    case Kind::Nohin:
        return "Nohin";
    case Kind::Seikyu:
        return "Seikyu";
    case Kind::Ryosyusyou:
        return "Nyukin";
    default:
        return nullptr;
    }
}

std::unique_ptr<ReportLayout> makeLayout(Kind kind, TLightRep &root, TEngineDatabase &db)
{
    switch (kind) {
    case Kind::Mitumori:
        return std::make_unique<MitumoriLayout>(MitumoriLayout::Kind::Estimate, root, db);
    case Kind::Nohin:
        return std::make_unique<MitumoriLayout>(MitumoriLayout::Kind::DeliveryNote, root, db);
    case Kind::Seikyu:
        return std::make_unique<SeikyuLayout>(root, db);
    case Kind::Ryosyusyou:
        return std::make_unique<RyosyusyouLayout>(root, db);
    case Kind::IneiTest:
        return std::make_unique<IneiTestLayout>(root, db);
    case Kind::IneiData:
        return std::make_unique<IneiDataLayout>(root, db);
    }
    return {};
}

// The documents with the keys, in the order given; every key must name one.
void openDocuments(TEngineQuery &master, Kind kind, const QList<int> &keys)
{
    if (keys.isEmpty())
        throw AppError(kNoData);
    master.Close();
    selectDocuments(master, kind, keys);
    master.Open();
    QList<int> found;
    for (master.First(); !master.Eof(); master.Next())
        found << master.FieldByName(QStringLiteral("key")).AsInteger();
    for (int key : keys)
        if (!found.contains(key))
            throw AppError(kNoData + QStringLiteral("（key %1）").arg(key));
}

} // namespace

QStringList kindNames()
{
    return {QStringLiteral("mitumori"),   QStringLiteral("nohin"),    QStringLiteral("seikyu"),
            QStringLiteral("ryosyusyou"), QStringLiteral("ineitest"), QStringLiteral("ineidata")};
}

// In the order of Kind.
std::optional<Kind> kindFromName(const QString &name)
{
    const qsizetype at = kindNames().indexOf(name);
    return at < 0 ? std::nullopt : std::optional<Kind>(Kind(at));
}

bool takesKeys(Kind kind)
{
    return tableOf(kind) != nullptr;
}

// One document by the parameter "key"; several by their keys written out (whole numbers, any count),
// ordered as given; none for no key.
void selectDocuments(TEngineQuery &master, Kind kind, const QList<int> &keys)
{
    const QString from = QStringLiteral("select * from %1").arg(QLatin1String(tableOf(kind)));
    if (keys.isEmpty()) {
        master.setSql({from, QStringLiteral("where 1 = 0")});
    } else if (keys.size() == 1) {
        master.setSql({from, QStringLiteral("where key = :key")});
        master.ParamByName(QStringLiteral("key")).setAsInteger(keys.first());
    } else {
        QStringList list, order;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            list << QString::number(keys[i]);
            order << QStringLiteral("when %1 then %2").arg(keys[i]).arg(i);
        }
        master.setSql({from, QStringLiteral("where key in (%1)").arg(list.join(QLatin1Char(','))),
                       QStringLiteral("order by case key %1 end").arg(order.join(QLatin1Char(' ')))});
    }
}

Job::Job(Kind kind, TEngineDatabase &db, const QList<int> &keys)
    : m_root(std::make_unique<TLightRep>()), m_layout(makeLayout(kind, *m_root, db))
{
    m_layout->FormShow();
    if (takesKeys(kind)) {
        openDocuments(*m_layout->master(), kind, keys);
    } else if (kind == Kind::IneiTest) {
        // Without the own-company window: the stored seal at its stored size.
        const OwnCompanyRecord company = OwnCompanyStore::loadOrCreate(db);
        static_cast<IneiTestLayout &>(*m_layout).setSeal(company.Inei, company.Height, company.Width);
    }
}

Job::Job(Kind kind, TEngineDatabase &db, const std::function<void(TEngineQuery &)> &selectMaster)
    : m_root(std::make_unique<TLightRep>()), m_layout(makeLayout(kind, *m_root, db))
{
    m_layout->FormShow();
    selectMaster(*m_layout->master());
    m_layout->master()->Open();
}

Job::~Job() = default;

QStringList Job::takeNotices()
{
    return m_layout->takeNotices();
}

// As the report window prepares each run: queries closed, the master on its first record, the
// detail opened.
void Job::prepare()
{
    m_layout->beforePrepare();
    TEngineQuery *master = m_layout->master();
    if (!master->Active())
        master->Open();
    master->First();
    m_layout->afterPrepare();
    if (m_layout->DataEnd())
        throw AppError(kNoData);
}

QList<QImage> Job::renderPages()
{
    prepare();
    return previewPages(*m_root, [this] { return m_layout->DataEnd(); });
}

void Job::printPdf(const QString &path, int resolution)
{
    prepare();
    DocumentOutput::printPdf(*m_root, m_layout->title(), path, resolution,
                             [this] { return m_layout->DataEnd(); });
}

QList<QImage> previewPages(TLightRep &root, const std::function<bool()> &dataEnd)
{
    QList<QImage> pages;
    while (!dataEnd()) {
        QImage page(root.Width(), root.Height(), QImage::Format_RGB32);
        QPainter painter(&page);
        root.PreviewPage(painter);
        painter.end();
        pages.append(page);
    }
    root.EndPreview();
    return pages;
}

void printPdf(TLightRep &root, const QString &title, const QString &path, int resolution,
              const std::function<bool()> &dataEnd)
{
    TLRPdfTarget pdf(path, resolution);
    root.Title = title;
    root.setPrinter(&pdf);
    try {
        runPrintJob(root, dataEnd);
    } catch (...) {
        root.setPrinter(nullptr);
        throw;
    }
    root.setPrinter(nullptr);
    pdf.commit();
}

void savePages(const QList<QImage> &pages, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("フォルダ「%1」を作れません。").arg(folder));
    for (int i = 0; i < pages.size(); ++i) {
        const QString file =
            QDir(folder).filePath(QStringLiteral("page-%1.png").arg(i + 1, 3, 10, QLatin1Char('0')));
        if (!pages[i].save(file, "PNG"))
            throw AppError(QStringLiteral("ファイル「%1」に書き込めません。").arg(file));
    }
}

} // namespace DocumentOutput
