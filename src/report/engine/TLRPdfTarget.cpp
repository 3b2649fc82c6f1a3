#include "report/engine/TLRPdfTarget.h"

#include "common/AppError.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

QPageSize pageSizeOf(TPaperSize paper)
{
    switch (paper) {
    case TPaperSize::psA4:
        return QPageSize(QPageSize::A4);
    case TPaperSize::psB4:
        // 250 × 354 mm, the size the layout's page has (945 × 1338 units); JIS B4 is larger.
        return QPageSize(QPageSize::B4);
    case TPaperSize::psB5:
        return QPageSize(QPageSize::JisB5);
    case TPaperSize::psA3:
        return QPageSize(QPageSize::A3);
    case TPaperSize::psA5:
        return QPageSize(QPageSize::A5);
    case TPaperSize::psNone:
        break;
    }
    return {};
}

TLRPdfTarget::TLRPdfTarget(QString path, int resolution)
    : m_path(std::move(path)), m_resolution(resolution), m_file(std::make_unique<QSaveFile>(m_path))
{
    if (!m_file->open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("ファイル「%1」に書き込めません。\r\n%2").arg(m_path, m_file->errorString()));
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(resolution);
    m_writer->setCreator(QStringLiteral("Kadomel"));
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
}

TLRPdfTarget::~TLRPdfTarget()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool TLRPdfTarget::applyPaper(TPaperSize paper, TPrinterOrientation orientation)
{
    const bool sized = m_writer->setPageSize(pageSizeOf(paper));
    const bool oriented = m_writer->setPageOrientation(
        orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return sized && oriented;
}

void TLRPdfTarget::beginJob(const QString &title)
{
    m_writer->setTitle(title);
    if (!m_painter.begin(m_writer.get()))
        throw AppError(QStringLiteral("印刷を開始できませんでした．\r\n%1").arg(m_path));
}

void TLRPdfTarget::newSheet()
{
    if (!m_writer->newPage())
        throw AppError(QStringLiteral("印刷中にエラーが発生しました．"));
}

void TLRPdfTarget::endJob()
{
    if (m_painter.isActive())
        m_painter.end();
}

void TLRPdfTarget::commit()
{
    m_writer.reset(); // finishes the document
    if (!m_file->commit())
        throw AppError(
            QStringLiteral("ファイル「%1」に書き込めません。\r\n%2").arg(m_path, m_file->errorString()));
}
