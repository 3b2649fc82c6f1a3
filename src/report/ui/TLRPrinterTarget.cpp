#include "report/ui/TLRPrinterTarget.h"

#include "common/AppError.h"
#include "report/engine/TLRPdfTarget.h"
#include "report/ui/PrinterQueue.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

TLRPrinterTarget::TLRPrinterTarget(QPrinter &printer, bool keepsSettings)
    : m_printer(printer), m_keepsSettings(keepsSettings)
{
}

TLRPrinterTarget::~TLRPrinterTarget()
{
    if (m_painter.isActive())
        m_painter.end();
}

QString TLRPrinterTarget::printerName() const
{
    return m_keepsSettings ? m_printer.printerName() : QString();
}

void TLRPrinterTarget::resetToDriverDefaults()
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    if (info.isNull())
        return;
    m_printer.setCopyCount(1);
    m_printer.setDuplex(static_cast<QPrinter::DuplexMode>(info.defaultDuplexMode()));
    m_printer.setColorMode(info.defaultColorMode() == QPrinter::GrayScale ? QPrinter::GrayScale
                                                                          : QPrinter::Color);
    m_printer.setPageSize(info.defaultPageSize());
}

bool TLRPrinterTarget::applyPaper(TPaperSize paper, TPrinterOrientation orientation)
{
    m_printer.setFullPage(true);
    const bool sized = m_printer.setPageSize(pageSizeOf(paper));
    const bool oriented = m_printer.setPageOrientation(
        orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return sized && oriented;
}

bool TLRPrinterTarget::toPrintServer() const
{
    return m_printer.outputFormat() == QPrinter::NativeFormat && m_printer.outputFileName().isEmpty();
}

void TLRPrinterTarget::beginJob(const QString &title)
{
    if (toPrintServer())
        if (const std::optional<QString> refused = PrinterQueue::refusal(m_printer.printerName()))
            throw AppError(*refused);
    m_printer.setFullPage(true);
    m_printer.setDocName(title);
    m_printer.setCreator(QStringLiteral("Kadomel"));
    if (!m_painter.begin(&m_printer)) {
        const QString where =
            m_printer.outputFileName().isEmpty() ? m_printer.printerName() : m_printer.outputFileName();
        throw AppError(QStringLiteral("印刷を開始できませんでした．\r\n%1").arg(where));
    }
    m_begun = true;
}

void TLRPrinterTarget::newSheet()
{
    if (!m_printer.newPage())
        throw AppError(QStringLiteral("印刷中にエラーが発生しました．"));
}

// Ending the painter hands the job to the print server.
void TLRPrinterTarget::endJob()
{
    if (!m_painter.isActive())
        return;
    m_painter.end();
    if (!toPrintServer())
        return;
    if (const std::optional<QString> refused = PrinterQueue::refusalOfLastJob(m_printer.printerName()))
        throw AppError(*refused);
    m_notice = PrinterQueue::holdNotice(m_printer.printerName()).value_or(QString());
}

int TLRPrinterTarget::resolution() const
{
    return m_printer.resolution();
}
