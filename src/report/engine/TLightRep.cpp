#include "report/engine/TLightRep.h"

#include "report/engine/LRNullDevice.h"
#include "report/engine/TLRPanels.h"
#include "report/engine/TLRPrintTarget.h"

#include <QPainter>

TLightRep::TLightRep(QObject *parent) : TLRControl(794, 1123)
{
    setParentControl(parent);
}

TLightRep::~TLightRep() = default;

QObject *TLightRep::acceptParent(QObject *candidate)
{
    if (!candidate || candidate->isWidgetType())
        return candidate;
    throw ELRError(QStringLiteral("フォーム上にのみ配置できます．"));
}

TLRRect TLightRep::alignArea() const
{
    return {1 + m_marginLeft, 1 + m_marginTop, Width() - 1 - m_marginRight, Height() - 1 - m_marginBottom};
}

// The root takes the font of the window it is placed on.
const TLRFont &TLightRep::fallbackFont() const
{
    if (parent() && parent()->isWidgetType()) {
        const QVariant font = parent()->property("font");
        if (font.canConvert<QFont>()) {
            m_windowFont.font = font.value<QFont>();
            // A size in screen pixels becomes points, so that it prints at the same size on paper.
            if (m_windowFont.font.pointSizeF() <= 0 && m_windowFont.font.pixelSize() > 0)
                m_windowFont.font.setPointSizeF(m_windowFont.font.pixelSize() * 72.0 / 96.0);
            return m_windowFont;
        }
    }
    return TLRControl::fallbackFont();
}

void TLightRep::setMargin(int &margin, int value)
{
    if (value == margin || value <= 0 || value >= Width() / 2.0)
        return;
    margin = value;
    realign();
}

void TLightRep::setOrientation(TPrinterOrientation o)
{
    m_orientation = o;
    updatePageSize();
}

void TLightRep::setPaperSize(TPaperSize p)
{
    m_paperSize = p;
    updatePageSize();
}

void TLightRep::updatePageSize()
{
    QSize size = paperSizeUnits(m_paperSize);
    if (size.isEmpty())
        return;
    if (m_orientation == TPrinterOrientation::poLandscape)
        size.transpose();
    setBounds(Left(), Top(), size.width(), size.height());
}

void TLightRep::SetupPrinter(TLRPrintTarget &printer)
{
    // A printer chosen since the last job starts from its driver's defaults; options chosen for
    // the printer already set up survive.
    const QString name = printer.printerName();
    if (!name.isEmpty() && name != m_setupPrinterName) {
        printer.resetToDriverDefaults();
        m_setupPrinterName = name;
    }
    if (m_paperSize == TPaperSize::psNone) {
        if (OnSetPrinter)
            OnSetPrinter(this);
        return;
    }
    if (!printer.applyPaper(m_paperSize, m_orientation))
        throw ELRError(QStringLiteral("用紙設定時にエラーが発生しました．"));
}

void TLightRep::BeginDoc()
{
    if (m_state == TLRState::lrsPrinting)
        throw ELRError(QStringLiteral("プリンタは印刷中です．"));
    if (m_state == TLRState::lrsPaginating)
        throw ELRError(QStringLiteral("Paginate中です、印刷できません．"));
    if (LastPage != 0 && LastPage < FirstPage) {
        LastPage = FirstPage;
        throw ELRError(QStringLiteral("印刷ページ範囲が正しくありません．"));
    }
    if (!m_printer)
        throw ELRError(QStringLiteral("プリンタが選択されていません．"));
    SetupPrinter(*m_printer);
    if (m_state == TLRState::lrsPreviewing)
        EndPreview();
    m_state = TLRState::lrsPrinting;
    m_pageCounter = 0;
    m_pagesPrinted = 0;
    m_jobStarted = false;
    const int dpi = m_printer->resolution();
    m_scale = dpi > 0 ? dpi / 96.0 : 1.0;
}

bool TLightRep::pageInRange() const
{
    return m_pageCounter >= FirstPage && (LastPage <= 0 || m_pageCounter <= LastPage);
}

void TLightRep::PrintPage()
{
    if (m_state != TLRState::lrsPrinting)
        throw ELRError(QStringLiteral("BeginDocが呼び出されていません．"));
    ++m_pageCounter;
    if (!pageInRange()) {
        renderOnScratch();
        return;
    }
    if (!m_jobStarted) {
        m_printer->beginJob(Title);
        m_jobStarted = true;
    }
    const int dpi = m_printer->resolution();
    m_scale = dpi > 0 ? dpi / 96.0 : 1.0;
    renderPage(m_printer->painter(), m_scale, m_printer->physicalOffset());
    ++m_pagesPrinted;
}

void TLightRep::EjectPage()
{
    if (m_state == TLRState::lrsPrinting && m_printer->printing() && m_pageCounter >= FirstPage &&
        (LastPage == 0 || m_pageCounter < LastPage))
        m_printer->newSheet();
}

void TLightRep::EndDoc()
{
    if (m_state != TLRState::lrsPrinting)
        return;
    m_state = TLRState::lrsIdle;
    m_scratch.reset();
    if (m_jobStarted)
        m_printer->endJob();
    m_jobStarted = false;
}

void TLightRep::checkCanPreview() const
{
    if (m_state == TLRState::lrsPrinting)
        throw ELRError(QStringLiteral("プリンタが印刷中のため、プレビューを開始できません．"));
    if (m_state == TLRState::lrsPaginating)
        throw ELRError(QStringLiteral("Paginate中です、プレビュー表示できません．"));
}

void TLightRep::BeginPreview()
{
    checkCanPreview();
    m_state = TLRState::lrsPreviewing;
    m_pageCounter = 0;
}

void TLightRep::PreviewPage(QPainter &surface)
{
    // A preview started by its first page counts from 1, whatever job ran before.
    if (m_state != TLRState::lrsPreviewing)
        BeginPreview();
    m_scale = 1.0;
    surface.fillRect(QRect(0, 0, Width(), Height()), Qt::white);
    ++m_pageCounter;
    renderPage(surface, 1.0, {});
}

void TLightRep::EndPreview()
{
    m_state = TLRState::lrsIdle;
    m_pageCounter = 0;
}

void TLightRep::BeginPaginate()
{
    if (m_state == TLRState::lrsPrinting)
        throw ELRError(QStringLiteral("印刷中のため、Paginateを開始できません．"));
    if (m_state == TLRState::lrsPreviewing)
        EndPreview();
    m_state = TLRState::lrsPaginating;
    m_pageCounter = 0;
}

void TLightRep::PaginatePage()
{
    if (m_state != TLRState::lrsPaginating)
        throw ELRError(QStringLiteral("BeginPaginateが呼び出されていません．"));
    ++m_pageCounter;
    renderOnScratch();
}

void TLightRep::EndPaginate()
{
    m_pageCount = m_pageCounter;
    m_state = TLRState::lrsIdle;
    m_pageCounter = 0;
    m_scratch.reset();
}

void TLightRep::renderOnScratch()
{
    if (!m_scratch)
        m_scratch = std::make_unique<LRNullDevice>(QSize(Width(), Height()));
    QPainter painter(m_scratch.get());
    const double saved = m_scale;
    m_scale = 1.0;
    renderPage(painter, 1.0, {});
    m_scale = saved;
}

// Each enabled panel of the root in child order prints itself at its rectangle on the page. On a
// printer whose surface starts at the printable area, the rectangle moves back by that offset so
// that layout coordinates are measured from the paper's edge.
void TLightRep::renderPage(QPainter &surface, double scale, QPoint offset)
{
    const int dx = static_cast<int>(offset.x() / scale);
    const int dy = static_cast<int>(offset.y() / scale);
    for (TLRControl *child : controls()) {
        auto *panel = qobject_cast<TCustomLRPanel *>(child);
        if (!panel || !panel->Enabled())
            continue;
        panel->PrintPanel(surface, panel->BoundsRect().translated(-dx, -dy), scale);
    }
}
