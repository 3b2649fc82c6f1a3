#pragma once
// A PDF file as the report's printer, without the print dialog's printer system: for the command
// line and scripts. Pages at the given resolution, fonts embedded; the file is written only when
// the whole job has been rendered (a failed job leaves no file).
#include "report/engine/TLRPrintTarget.h"

#include <memory>
#include <QPainter>
#include <QString>

class QPdfWriter;
class QSaveFile;

class TLRPdfTarget : public TLRPrintTarget
{
public:
    explicit TLRPdfTarget(QString path, int resolution = 600);
    ~TLRPdfTarget() override;

    QString printerName() const override { return {}; }
    void resetToDriverDefaults() override {}
    bool applyPaper(TPaperSize paper, TPrinterOrientation orientation) override;
    void beginJob(const QString &title) override;
    QPainter &painter() override { return m_painter; }
    void newSheet() override;
    void endJob() override;
    bool printing() const override { return m_painter.isActive(); }
    int resolution() const override { return m_resolution; }

    // Writes the file; throws AppError when it cannot be written.
    void commit();

private:
    QString m_path;
    int m_resolution;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

// The paper of a layout as Qt's page size.
class QPageSize;
QPageSize pageSizeOf(TPaperSize paper);
