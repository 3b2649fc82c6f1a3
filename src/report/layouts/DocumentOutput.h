#pragma once
// The printed documents without a window: a document kind's layout with its master on the
// documents asked for (in the order asked), rendered as PNG pages at scale 1.0 (as the preview
// shows them) or as one PDF job at printer resolution. For the command line and scripts.
#include "common/AppError.h"

#include <functional>
#include <memory>
#include <optional>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class ReportLayout;
class TEngineDatabase;
class TEngineQuery;
class TLightRep;

namespace DocumentOutput {

enum class Kind { Mitumori, Nohin, Seikyu, Ryosyusyou, IneiTest, IneiData };

std::optional<Kind> kindFromName(const QString &name);
QStringList kindNames(); // mitumori, nohin, seikyu, ryosyusyou, ineitest, ineidata
// The documents (estimates, notes, invoices, payments) are chosen by key; the seal sheets print the
// own company and take none.
bool takesKeys(Kind kind);

// Gives a layout's master the documents of the kind with the keys, in the order given (not opened):
// the report windows and the jobs below select them the same way. A single key is the parameter
// "key".
void selectDocuments(TEngineQuery &master, Kind kind, const QList<int> &keys);

// A layout ready to run: own company and settings read, master open on the keys. Throws AppError
// "印刷対象データがありません．" when a key names no document, or when there is nothing to print.
class Job
{
public:
    Job(Kind kind, TEngineDatabase &db, const QList<int> &keys);
    // The documents a statement selects (a batch of invoices): selectMaster gives the layout's
    // master query its statement and parameters; the job opens it.
    Job(Kind kind, TEngineDatabase &db, const std::function<void(TEngineQuery &)> &selectMaster);
    ~Job();

    // What the user is to be told before the job prints (a seal that cannot be read), once.
    QStringList takeNotices();
    // Every page, at scale 1.0 over white.
    QList<QImage> renderPages();
    // One print job into the PDF file, written only when the whole job has been rendered.
    void printPdf(const QString &path, int resolution = 600);

private:
    void prepare();

    std::unique_ptr<TLightRep> m_root;
    std::unique_ptr<ReportLayout> m_layout;
};

// The pages of any layout on `root`, its data already on the first record, while `dataEnd` says
// there are more: every page at scale 1.0 over white, or one print job into the PDF file at printer
// resolution, written only when the whole job has been rendered. The jobs below and the other
// printed lists go through these.
QList<QImage> previewPages(TLightRep &root, const std::function<bool()> &dataEnd);
void printPdf(TLightRep &root, const QString &title, const QString &path, int resolution,
              const std::function<bool()> &dataEnd);

// Saves the pages as page-001.png, page-002.png, … in the folder (made when missing). Throws
// AppError when a file cannot be written.
void savePages(const QList<QImage> &pages, const QString &folder);

} // namespace DocumentOutput
