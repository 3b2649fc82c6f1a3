#pragma once
// The root of a report layout: the sheet of paper with its margins, holding the panels. It lays
// the panels out on the page, renders one page at a time onto a drawing surface (an image for
// the preview, the printer, or a scratch surface for pages that are counted but not output) and
// drives the print job. Every page prints the whole tree again; the layout's event handlers
// decide what the items show on each page.
#include "report/engine/TLRControl.h"

#include <functional>
#include <memory>

class LRNullDevice;
class QPainter;
class TLRPrintTarget;

class TLightRep : public TLRControl
{
    Q_OBJECT
public:
    // parent: nothing, or the window that shows the report.
    explicit TLightRep(QObject *parent = nullptr);
    ~TLightRep() override;

    // Raised by the printer set-up when PaperSize is psNone, in place of writing paper settings.
    std::function<void(TLightRep *sender)> OnSetPrinter;

    int MarginTop() const { return m_marginTop; }
    int MarginLeft() const { return m_marginLeft; }
    int MarginRight() const { return m_marginRight; }
    int MarginBottom() const { return m_marginBottom; }
    // A value equal to the current one, ≤ 0, or not less than half the page width is ignored.
    void setMarginTop(int v) { setMargin(m_marginTop, v); }
    void setMarginLeft(int v) { setMargin(m_marginLeft, v); }
    void setMarginRight(int v) { setMargin(m_marginRight, v); }
    void setMarginBottom(int v) { setMargin(m_marginBottom, v); }

    TPrinterOrientation Orientation() const { return m_orientation; }
    void setOrientation(TPrinterOrientation o);
    TPaperSize PaperSize() const { return m_paperSize; }
    void setPaperSize(TPaperSize p);

    QString Title;
    bool Visible = true;
    // Page range of the next print job: FirstPage 0 from the first page, LastPage 0 to the last.
    int FirstPage = 0;
    int LastPage = 0;

    // The printer the next job goes to (not owned); the report window sets it.
    void setPrinter(TLRPrintTarget *printer) { m_printer = printer; }
    TLRPrintTarget *printer() const { return m_printer; }

    // The area on which panels are placed: the page less the 1-unit border and the margins.
    TLRRect panelArea() const { return alignArea(); }

    // The printer's document starts with the first page inside the page range, so that a range
    // beyond the last page puts out nothing at all.
    void BeginDoc();
    void PrintPage();
    void EjectPage();
    void EndDoc();

    void BeginPreview();
    // Renders the next page onto `surface` at scale 1.0 over a white page.
    void PreviewPage(QPainter &surface);
    void EndPreview();

    void BeginPaginate();
    void PaginatePage();
    void EndPaginate();
    int PageCount() const { return m_pageCount; }
    // Pages sent to the printer by the current or last print job.
    int PagesPrinted() const { return m_pagesPrinted; }

    // Pages rendered so far in the current job, preview or pagination; 0 when idle.
    int PageNumber() const { return m_state == TLRState::lrsIdle ? 0 : m_pageCounter; }
    TLRState State() const { return m_state; }
    // Scale of the surface the current page is rendered on.
    double Scale() const { return m_scale; }

protected:
    QObject *acceptParent(QObject *candidate) override;
    TLRRect alignArea() const override;
    const TLRFont &fallbackFont() const override;

private:
    void setMargin(int &margin, int value);
    void updatePageSize();
    void SetupPrinter(TLRPrintTarget &printer);
    void checkCanPreview() const;
    bool pageInRange() const;
    void renderPage(QPainter &surface, double scale, QPoint offset);
    void renderOnScratch();

    int m_marginTop = 36;
    int m_marginLeft = 36;
    int m_marginRight = 36;
    int m_marginBottom = 36;
    TPrinterOrientation m_orientation = TPrinterOrientation::poPortrait;
    TPaperSize m_paperSize = TPaperSize::psA4;
    TLRState m_state = TLRState::lrsIdle;
    int m_pageCounter = 0;
    int m_pageCount = 0;
    int m_pagesPrinted = 0;
    bool m_jobStarted = false;
    double m_scale = 1.0;
    TLRPrintTarget *m_printer = nullptr;
    QString m_setupPrinterName;
    std::unique_ptr<LRNullDevice> m_scratch;
    mutable TLRFont m_windowFont;
};
