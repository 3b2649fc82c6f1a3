#pragma once
// What the layout engine needs of a printer: its name, set-up of paper and orientation, a job
// with a name, a drawing surface per sheet, new sheets, the resolution and the physical offsets.
// The program's printers and PDF files implement it over QPrinter; tests record the sheets.
#include "report/engine/LRTypes.h"

#include <QPoint>
#include <QString>

class QPainter;

class TLRPrintTarget
{
public:
    virtual ~TLRPrintTarget() = default;

    // Name of the selected printer; empty for a target that keeps no printer settings (a file).
    virtual QString printerName() const = 0;
    // Returns the selected printer's settings to the driver's defaults.
    virtual void resetToDriverDefaults() = 0;
    // Writes paper size and orientation; false when the printer refuses them.
    virtual bool applyPaper(TPaperSize paper, TPrinterOrientation orientation) = 0;

    // Starts the document with the job name; the surface of the first sheet is then ready.
    // Raises AppError when the job cannot be started.
    virtual void beginJob(const QString &title) = 0;
    virtual QPainter &painter() = 0;
    virtual void newSheet() = 0;
    virtual void endJob() = 0;
    virtual bool printing() const = 0;

    // Vertical resolution in dots per inch; 0 or less when it cannot be read.
    virtual int resolution() const = 0;
    // Offset of the surface's origin from the paper's edge, in device pixels.
    virtual QPoint physicalOffset() const { return {}; }
};
