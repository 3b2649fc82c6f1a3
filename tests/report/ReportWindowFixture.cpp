#include "ReportWindowFixture.h"

#include "report/ui/TPrintMsg.h"

CountingReportWindow::CountingReportWindow(int records)
{
    setWindowTitle(QStringLiteral("テスト帳票"));
    if (records >= 0) {
        auto owned = std::make_unique<CountingData>(records);
        data = owned.get();
        dsMast.setDataSet(std::move(owned));
    }
    auto *header = new TLRLayoutPanel(LightRep1);
    header->setBounds(0, 0, 100, 60);
    auto *title = new TLRItem(header);
    title->setBounds(0, 0, 400, 30);
    title->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    // Sized before it takes its rows and its place: placed below the header, whose stored top is
    // smaller (a grid put on the root first would go above it).
    auto *grid = new TLRGridPanel;
    grid->setBounds(0, 100, 682, 560);
    grid->setRowCount(20);
    grid->setParentControl(LightRep1);
    auto *line = new TLRItem(grid);
    line->setBounds(0, 0, 682, 28);
    line->setLines(TLineStyle::lsSingle);
    header->BeforePrint = [this, title](TLRControl *, const TLRRect &, TPrintStatus &) {
        ++pagesRendered;
        if (LightRep1->State() == TLRState::lrsPrinting)
            printMessageShownWhilePrinting = TPrintMsg::current() && TPrintMsg::current()->isVisible();
        if (data->index + 1 == failOnPage)
            throw AppError(QStringLiteral("明細を読めません．"));
        title->Text = QStringLiteral("御見積書 page %1;").arg(data->index + 1);
    };
    grid->OnPrintPanel = [line](TLRControl *, int, int row, const TLRRect &, TPrintStatus &) {
        line->Text = QStringLiteral("明細 %1").arg(row + 1);
    };
    grid->AfterPrint = [this](TLRControl *) { ++data->index; };
}
