#include "billing/ui/ReceivablesPage.h"

#include "billing/ui/ReceivablesChart.h"
#include "billing/ui/ReceivablesModel.h"
#include "common/AppError.h"
#include "common/Clock.h"
#include "common/DisplayFormat.h"
#include "common/ZeroDate.h"
#include "controls/CsvExportMenu.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"

#include <algorithm>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShowEvent>
#include <QSplitter>
#include <QTableView>

namespace {

// Widths of 取引先コード, 取引先名, the four amounts, 最終締日 and 経過日数.
constexpr int kColumnWidths[ReceivablesModel::kColumns] = {106, 170, 92, 92, 92, 92, 96, 72};

QFont headerFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(15);
    return font;
}

} // namespace

ReceivablesPage::ReceivablesPage(TEngineDatabase *db, QWidget *parent) : QWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("ReceivablesPage"));
    auto *column = new QVBoxLayout(this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("基準日"), this));
    m_asOf = new TDateEdit(QStringLiteral("KijunBi"), this);
    const int dateWidth = m_asOf->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 16;
    m_asOf->edit()->setMinimumWidth(dateWidth);
    m_asOf->setMaximumWidth(dateWidth + 40);
    m_asOf->setDate(Clock::today());
    bar->addWidget(m_asOf);
    bar->addWidget(new QLabel(QStringLiteral("現在"), this));
    TFlatButton *again = makeButton("SaiHyojiBTN", QStringLiteral("再表示"));
    bar->addWidget(again);
    bar->addSpacing(16);
    TFlatButton *print = makeButton("InsatuBTN", QStringLiteral("印刷..."));
    bar->addWidget(print);
    TFlatButton *csv = makeButton("CsvBTN", QStringLiteral("CSV出力..."));
    bar->addWidget(csv);
    bar->addStretch();
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("KensuLabel"));
    bar->addWidget(m_count);
    column->addLayout(bar);

    m_rows = new ReceivablesModel(this);
    m_total = new ReceivablesModel(this);
    auto *tables = new QWidget(this);
    auto *tableColumn = new QVBoxLayout(tables);
    tableColumn->setContentsMargins(0, 0, 0, 0);
    tableColumn->setSpacing(0);
    m_table = makeTable(m_rows);
    m_table->setObjectName(QStringLiteral("ZandakaGrid"));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(ReceivablesModel::Code, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->setToolTip(QStringLiteral("ダブルクリックでその取引先の見積・納品・入金・請求を抽出します"));
    m_table->horizontalHeader()->setFont(headerFont());
    tableColumn->addWidget(m_table, 1);
    m_totalView = makeTable(m_total);
    m_totalView->setObjectName(QStringLiteral("GokeiGrid"));
    m_totalView->horizontalHeader()->hide();
    m_totalView->setSelectionMode(QAbstractItemView::NoSelection);
    m_totalView->setFocusPolicy(Qt::NoFocus);
    m_totalView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_totalView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont bold = m_totalView->font();
    bold.setBold(true);
    m_totalView->setFont(bold);
    m_totalView->setFixedHeight(m_totalView->verticalHeader()->defaultSectionSize() +
                                2 * m_totalView->frameWidth());
    tableColumn->addWidget(m_totalView);
    followColumns();

    m_chart = new ReceivablesChart(this);
    m_chart->setObjectName(QStringLiteral("ZandakaChart"));
    auto *split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    split->addWidget(tables);
    split->addWidget(m_chart);
    // The table shows a dozen customers and scrolls; the chart needs room for its labels.
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    m_chart->setMinimumHeight(220);
    column->addWidget(split, 1);

    connect(m_asOf, &TDateEdit::dateEdited, this, &ReceivablesPage::readIfDayChanged);
    // Return checks the day as leaving the field does; either way a new day is read.
    connect(m_asOf->edit(), &QLineEdit::returnPressed, m_asOf, &TDateEdit::normalize);
    connect(m_asOf->edit(), &QLineEdit::editingFinished, this, &ReceivablesPage::readIfDayChanged);
    connect(again, &QPushButton::clicked, this, &ReceivablesPage::reload);
    connect(print, &QPushButton::clicked, this, [this] {
        readIfDayChanged();
        if (m_shownAsOf.isValid())
            Q_EMIT printRequested(m_shownAsOf);
    });
    connect(csv, &QPushButton::clicked, this, &ReceivablesPage::exportCsv);
    connect(m_table, &QAbstractItemView::doubleClicked, this, &ReceivablesPage::openCustomer);
    display({}, {});
}

TFlatButton *ReceivablesPage::makeButton(const char *name, const QString &caption)
{
    auto *b = new TFlatButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setMinimumSize(96, 28);
    return b;
}

QTableView *ReceivablesPage::makeTable(ReceivablesModel *model)
{
    auto *view = new QTableView(this);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (int c = 0; c < ReceivablesModel::kColumns; ++c)
        view->setColumnWidth(c, kColumnWidths[c]);
    return view;
}

// The total row keeps the columns of the table above it: their widths and the sideways scrolling.
void ReceivablesPage::followColumns()
{
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, m_totalView,
            [this](int section, int, int size) { m_totalView->setColumnWidth(section, size); });
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, m_totalView->horizontalScrollBar(),
            &QScrollBar::setValue);
}

// Shown by turning to the page (not when the window comes back from the task bar).
void ReceivablesPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        reload();
}

void ReceivablesPage::readIfDayChanged()
{
    if (m_reading)
        return;
    QDate asOf;
    try {
        asOf = m_asOf->date();
    } catch (const ConvertError &) {
        return; // leaving the field has told what is wrong with it
    }
    if (asOf != kZeroDate && asOf != m_shownAsOf)
        reload();
}

bool ReceivablesPage::reload()
{
    if (m_reading)
        return false;
    const QScopedValueRollback reading(m_reading, true);
    if (!m_asOf->normalize())
        return false;
    QDate asOf;
    QList<Receivables::CustomerBalance> rows;
    QList<Receivables::Month> months;
    try {
        asOf = m_asOf->date();
        if (asOf == kZeroDate)
            throw AppError(QStringLiteral("基準日を入力してください"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore
        {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        rows = Receivables::balances(*m_db, asOf);
        months = Receivables::months(*m_db, asOf, Receivables::total(rows).balance);
    } catch (const EngineError &e) {
        display({}, {});
        Messages::error(this, QStringLiteral("売掛金残高を読み込めませんでした\n%1").arg(e.message()));
        return false;
    } catch (const AppError &e) {
        display({}, {});
        Messages::error(this, e.message());
        return false;
    } catch (const std::exception &e) {
        display({}, {});
        Messages::showException(this, e);
        return false;
    }
    display(rows, months);
    m_shownAsOf = asOf;
    return true;
}

void ReceivablesPage::display(const QList<Receivables::CustomerBalance> &rows,
                              const QList<Receivables::Month> &months)
{
    m_shownAsOf = QDate();
    m_rows->setRows(rows);
    const QHeaderView *header = m_table->horizontalHeader();
    m_rows->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    m_total->setRows({Receivables::total(rows)});
    m_count->setText(QStringLiteral("%1 件").arg(rows.size()));
    m_chart->setMonths(months);
    widenToFit();
}

// A column narrower than its title, a row's figure or the total's grows to show it whole; a width
// the user gave stays when it is enough.
void ReceivablesPage::widenToFit()
{
    const QFontMetrics header(m_table->horizontalHeader()->font());
    const QFontMetrics cells(m_table->font());
    const QFontMetrics total(m_totalView->font());
    constexpr int padding = 14;
    for (int c = 0; c < ReceivablesModel::kColumns; ++c) {
        if (c == ReceivablesModel::Name)
            continue; // a long name is cut rather than pushing the amounts out of sight
        int needed = std::max(header.horizontalAdvance(m_rows->headerData(c, Qt::Horizontal).toString()),
                              total.horizontalAdvance(m_total->index(0, c).data().toString()));
        for (int r = 0; r < m_rows->rowCount(); ++r)
            needed = std::max(needed, cells.horizontalAdvance(m_rows->index(r, c).data().toString()));
        if (m_table->columnWidth(c) < needed + padding)
            m_table->setColumnWidth(c, needed + padding);
    }
}

void ReceivablesPage::openCustomer(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const Receivables::CustomerBalance &r = m_rows->row(index.row());
    Q_EMIT customerOpened(r.key, r.name);
}

void ReceivablesPage::exportCsv()
{
    readIfDayChanged();
    if (!m_shownAsOf.isValid()) {
        Messages::information(this, QStringLiteral("出力する売掛金残高がありません"));
        return;
    }
    const QList<Receivables::CustomerBalance> rows = m_rows->rows();
    CsvExportMenu::exportRows(
        this, [rows] { return Receivables::csvRows(rows); },
        QStringLiteral("売掛金残高_%1").arg(formatDate(u"yyyymmdd", m_shownAsOf)));
}
