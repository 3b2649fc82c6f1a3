#pragma once
// A print job on a QPrinter (a CUPS printer or a PDF file) in full-page mode, so that layout
// coordinates are measured from the paper's edge.
#include "report/engine/TLRPrintTarget.h"

#include <QPainter>

class QPrinter;

class TLRPrinterTarget : public TLRPrintTarget
{
public:
    // keepsSettings: false for a file, whose settings are never carried between jobs.
    TLRPrinterTarget(QPrinter &printer, bool keepsSettings);
    ~TLRPrinterTarget() override;

    QString printerName() const override;
    void resetToDriverDefaults() override;
    bool applyPaper(TPaperSize paper, TPrinterOrientation orientation) override;
    void beginJob(const QString &title) override;
    QPainter &painter() override { return m_painter; }
    void newSheet() override;
    void endJob() override;
    bool printing() const override { return m_painter.isActive(); }
    int resolution() const override;
    // true once a job has been started on the printer (a PDF file has then been written).
    bool begun() const { return m_begun; }
    // What the user should know of a job the print server took: that the printer holds it.
    QString notice() const { return m_notice; }

private:
    // A printer of the print server, not a file.
    bool toPrintServer() const;

    QPrinter &m_printer;
    bool m_keepsSettings;
    QPainter m_painter;
    bool m_begun = false;
    QString m_notice;
};
