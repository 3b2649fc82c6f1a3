#pragma once
// Helpers of the report tests: a print target that records what each sheet shows, a small
// report whose pages say their number, and pixel checks on rendered pages.
#include "report/engine/LRNullDevice.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRItem.h"
#include "report/engine/TLRPanels.h"
#include "report/engine/TLRPrintTarget.h"

#include <functional>
#include <QImage>
#include <QPainter>
#include <QStringList>

// The bytes of the picture saved in the format ("JPEG", "BMP", "PNG"), at the quality given (-1:
// the format's default).
QByteArray encodedImage(const QImage &image, const char *format, int quality = -1);

// A printer that keeps, per sheet, the texts drawn on it.
class RecordingPrintTarget : public TLRPrintTarget
{
public:
    explicit RecordingPrintTarget(int dpi = 96) : m_dpi(dpi) {}
    ~RecordingPrintTarget() override;

    QString printerName() const override { return name; }
    void resetToDriverDefaults() override { ++resets; }
    bool applyPaper(TPaperSize p, TPrinterOrientation o) override;
    void beginJob(const QString &title) override;
    QPainter &painter() override { return m_painter; }
    void newSheet() override { sheets.append(QString()); }
    void endJob() override;
    bool printing() const override { return m_painter.isActive(); }
    int resolution() const override { return m_dpi; }

    QString name = QStringLiteral("Test printer");
    bool acceptPaper = true;
    int resets = 0;
    TPaperSize paper = TPaperSize::psNone;
    TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
    QString jobTitle;
    int jobsEnded = 0;
    QStringList sheets;

private:
    int m_dpi;
    std::unique_ptr<LRNullDevice> m_device;
    QPainter m_painter;
};

// A report of `records` pages: its header prints "page N" and moves to the next record after it.
struct PagedReport
{
    explicit PagedReport(int records);

    bool dataEnd() const { return current >= records; }

    TLightRep root;
    TLRLayoutPanel *header;
    TLRItem *pageText;
    int records;
    int current = 0;
    int rendered = 0;
};

// Renders the next preview page of `rep` onto a white A4 image at scale 1.0.
QImage previewImage(TLightRep &rep);
// An image of `size` with a white background on which `paint` draws.
QImage paintedImage(QSize size, const std::function<void(QPainter &)> &paint);

// The texts `paint` draws, in order, as the paint engine receives them.
QString recordedText(const std::function<void(QPainter &)> &paint);

bool isDark(const QImage &image, int x, int y);
int darkPixels(const QImage &image, const QRect &area);
// Rows (or columns) of `image` within `span` along which the pixel at the other coordinate is dark.
QList<int> darkRowsAt(const QImage &image, int x, int fromY, int toY);
QList<int> darkColumnsAt(const QImage &image, int y, int fromX, int toX);
