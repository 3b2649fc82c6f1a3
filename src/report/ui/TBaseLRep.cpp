#include "report/ui/TBaseLRep.h"

#include "controls/Messages.h"
#include "report/engine/LRPageRange.h"
#include "report/engine/LRPrintJob.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/engine/TLRPreviewThread.h"
#include "report/ui/ReportFileDialog.h"
#include "report/ui/TLRPrinterTarget.h"
#include "report/ui/TPrintMsg.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Hourglass while a command runs.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TBaseLRep::TBaseLRep(QWidget *parent)
    : QDialog(parent), LightRep1(new TLightRep(this)), LRPreviewControl1(new TLRPreviewControl(this)),
      m_printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("BaseLRep"));
    LightRep1->setObjectName(QStringLiteral("LightRep1"));
    LRPreviewControl1->LightRep = LightRep1;
    buildActions();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    buildMenus();
    buildToolBar();
    layout->addWidget(m_toolBar);
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    auto *sheet = new QWidget;
    m_pageImage = new QLabel(sheet);
    m_pageImage->setObjectName(QStringLiteral("PageImage"));
    m_pageImage->setGeometry(8, 8, LightRep1->Width(), LightRep1->Height());
    sheet->setFixedSize(LightRep1->Width() + 16, LightRep1->Height() + 16);
    m_scrollBox->setWidget(sheet);
    layout->addWidget(m_scrollBox, 1);

    connect(LRPreviewControl1, &TLRPreviewControl::changed, this, &TBaseLRep::showDisplayedPage);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(LightRep1->Width() + 56, std::max(300, available.height() - 32));
        move(available.topLeft());
        if (available.width() < width())
            setWindowState(Qt::WindowMaximized);
    }
    updateActions();
}

TBaseLRep::~TBaseLRep()
{
    stopWorker();
}

void TBaseLRep::buildActions()
{
    auto make = [this](const QString &text, const QString &name, QKeySequence key,
                       void (TBaseLRep::*slot)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(name);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    ActPreview = make(QStringLiteral("画面表示(&V)"), "ActPreview", QKeySequence(Qt::CTRL | Qt::Key_V),
                      &TBaseLRep::ActPreviewExecute);
    ActPrint = make(QStringLiteral("印刷(&P)"), "ActPrint", QKeySequence(Qt::CTRL | Qt::Key_P),
                    &TBaseLRep::ActPrintExecute);
    ActSavePdf = make(QStringLiteral("PDF保存(&D)..."), "ActSavePdf", {}, &TBaseLRep::ActSavePdfExecute);
    ActPrinterSetup = new QAction(QStringLiteral("ﾌﾟﾘﾝﾀ設定"), this);
    ActPrinterSetup->setObjectName(QStringLiteral("ActPrinterSetup"));
    connect(ActPrinterSetup, &QAction::triggered, this, [this] {
        QPrintDialog dialog(&m_printer, this);
        dialog.exec();
        // The dialog may have switched printers: the sub-menu checks the current one.
        for (QAction *entry : m_printerGroup->actions())
            entry->setChecked(entry->data().toString() == m_printer.printerName());
    });
    ActExit = new QAction(QStringLiteral("終了(&X)"), this);
    ActExit->setObjectName(QStringLiteral("ActExit"));
    connect(ActExit, &QAction::triggered, this, &QWidget::close);
    ActFirstPage = make(QStringLiteral("先頭ページ(&F)"), "ActFirstPage", QKeySequence(Qt::CTRL | Qt::Key_F),
                        &TBaseLRep::ActFirstPageExecute);
    ActNextPage = make(QStringLiteral("次ページ(&N)"), "ActNextPage", QKeySequence(Qt::CTRL | Qt::Key_N),
                       &TBaseLRep::ActNextPageExecute);
    ActPriorPage = make(QStringLiteral("前ページ(&R)"), "ActPriorPage", QKeySequence(Qt::CTRL | Qt::Key_R),
                        &TBaseLRep::ActPriorPageExecute);
    ActLastPage = make(QStringLiteral("最終ページ(&L)"), "ActLastPage", QKeySequence(Qt::CTRL | Qt::Key_L),
                       &TBaseLRep::ActLastPageExecute);
    ActSuspend = make(QStringLiteral("一時停止(&S)"), "ActSuspend", QKeySequence(Qt::CTRL | Qt::Key_S),
                      &TBaseLRep::ActSuspendExecute);
    ActSuspend->setCheckable(true);
    ActFirstPage->setToolTip(QStringLiteral("先頭ページ"));
    ActPriorPage->setToolTip(QStringLiteral("前ページ"));
    ActNextPage->setToolTip(QStringLiteral("次ページ"));
    ActLastPage->setToolTip(QStringLiteral("最終ページ"));
    ActSuspend->setToolTip(QStringLiteral("一時停止"));
}

void TBaseLRep::buildMenus()
{
    auto *menuBar = static_cast<QMenuBar *>(layout()->menuBar());
    QMenu *file = menuBar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->addAction(ActPreview);
    QMenu *reduced = file->addMenu(QStringLiteral("縮小表示(&S)"));
    for (const char *zoom : {"80%(&8)", "50%(&5)", "25%(&2)"})
        reduced->addAction(QString::fromUtf8(zoom));
    reduced->setEnabled(false); // the reduced display is not offered
    file->addAction(ActPrint);
    file->addAction(ActSavePdf);
    file->addAction(ActPrinterSetup);
    buildPrinterMenu(file->addMenu(QStringLiteral("プリンタの変更(&C)")));
    file->addSeparator();
    file->addAction(ActExit);
    QMenu *move = menuBar->addMenu(QStringLiteral("移動(&M)"));
    move->addAction(ActFirstPage);
    move->addAction(ActNextPage);
    move->addAction(ActPriorPage);
    move->addAction(ActLastPage);
    move->addAction(ActSuspend);
}

// One entry per printer the system lists; every window starts on the system's default printer.
void TBaseLRep::buildPrinterMenu(QMenu *menu)
{
    menu->setObjectName(QStringLiteral("PrinterMenu"));
    m_printerGroup = new QActionGroup(this);
    for (const QString &name : QPrinterInfo::availablePrinterNames()) {
        QAction *entry = menu->addAction(name);
        entry->setData(name);
        entry->setCheckable(true);
        entry->setChecked(name == m_printer.printerName());
        m_printerGroup->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, name] { choosePrinter(name); });
    }
    menu->setEnabled(!menu->isEmpty());
}

void TBaseLRep::choosePrinter(const QString &name)
{
    if (m_printer.printerName() != name)
        m_printer.setPrinterName(name);
}

void TBaseLRep::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setFixedHeight(24);
    auto button = [this](const QString &text, QAction *action) {
        auto *b = new QToolButton(m_toolBar);
        b->setText(text);
        b->setToolTip(action->toolTip());
        b->setAutoRaise(true);
        b->setEnabled(action->isEnabled());
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
        m_toolBar->addWidget(b);
    };
    auto field = [this](const QString &name, int width) {
        auto *edit = new QLineEdit(m_toolBar);
        edit->setObjectName(name);
        edit->setFixedWidth(width);
        m_toolBar->addWidget(edit);
        return edit;
    };
    button(QStringLiteral("<<"), ActFirstPage);
    button(QStringLiteral("<"), ActPriorPage);
    m_pageIndicator = field(QStringLiteral("PageEDT"), 69);
    m_pageIndicator->setReadOnly(true);
    m_pageIndicator->setAlignment(Qt::AlignRight);
    m_pageIndicator->setFocusPolicy(Qt::NoFocus);
    button(QStringLiteral(">"), ActNextPage);
    button(QStringLiteral(">>"), ActLastPage);
    m_toolBar->addSeparator();
    button(QStringLiteral("||"), ActSuspend);
    m_toolBar->addSeparator();
    m_toolBar->addWidget(new QLabel(QStringLiteral("印刷範囲"), m_toolBar));
    m_fromPage = field(QStringLiteral("FromPageEDT"), 45);
    m_toolBar->addWidget(new QLabel(QStringLiteral("～"), m_toolBar));
    m_toPage = field(QStringLiteral("ToPageEDT"), 45);
    for (QLineEdit *edit : {m_fromPage, m_toPage}) {
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setInputMethodHints(Qt::ImhDigitsOnly);
        edit->installEventFilter(this);
    }
}

void TBaseLRep::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (LightRep1->Title.isEmpty())
        LightRep1->Title = windowTitle();
    else
        setWindowTitle(LightRep1->Title);
    m_pageImage->setGeometry(8, 8, LightRep1->Width(), LightRep1->Height());
    m_pageImage->parentWidget()->setFixedSize(LightRep1->Width() + 16, LightRep1->Height() + 16);
    FormShow();
}

void TBaseLRep::FormShow()
{
    ShowAndPreview();
}

void TBaseLRep::ShowAndPreview()
{
    if (!isVisible())
        show();
    ActPreviewExecute();
}

void TBaseLRep::closeEvent(QCloseEvent *event)
{
    stopWorker();
    QDialog::closeEvent(event);
}

// Escape and the dialog's reject hide the window without a close event; whatever hides it stops
// the worker. A hide by the window system (minimising) keeps the preview going.
void TBaseLRep::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        stopWorker();
    QDialog::hideEvent(event);
}

bool TBaseLRep::DataEnd() const
{
    TLRMasterData *data = dsMast.DataSet();
    return m_dataExhausted || !data || !data->Active() || data->Eof() || printRangeDone(*LightRep1);
}

bool TBaseLRep::PreviewRunning() const
{
    return m_workerRunning;
}

QString TBaseLRep::PageIndicator() const
{
    return m_pageIndicator->text();
}

bool TBaseLRep::ActPrintPrepareExecute()
{
    stopWorker();
    TLRMasterData *data = dsMast.DataSet();
    auto abandon = [this](const QString &message) {
        TPrintMsg::closeMessage();
        endJobCursor();
        QApplication::beep();
        Messages::information(this, message);
        updateActions();
        return false;
    };
    if (!data)
        return abandon(QStringLiteral("dsMast.DataSet にデータセットを指定してください．"));
    if (!data->Active())
        data->Open();
    m_dataExhausted = false;
    data->First();
    if (!DataEnd())
        return true;
    if (m_suppressNoDataMessage) {
        TPrintMsg::closeMessage();
        return false;
    }
    return abandon(QStringLiteral("印刷対象データがありません．"));
}

void TBaseLRep::ActPreviewExecute()
{
    Messages::guarded(this, [this] {
        m_zoom = 0;
        if (!ActPrintPrepareExecute())
            return;
        LRPreviewControl1->Start();
        showNextPage();
        startWorker();
    });
    updateActions();
}

void TBaseLRep::showNextPage()
{
    WaitCursor wait;
    LRPreviewControl1->ShowNextPage();
    updateIndicator();
}

void TBaseLRep::startWorker()
{
    auto *worker = new TLRPreviewThread([this] { return DataEnd(); },
                                        [this] {
                                            LRPreviewControl1->RenderNextPage();
                                            updateIndicator();
                                        },
                                        this);
    // A worker that ends by itself (data exhausted, or a failing step) leaves nothing running.
    connect(worker, &TLRPreviewThread::ended, this, [this, worker] {
        if (m_worker == worker) {
            m_worker = nullptr;
            m_workerRunning = false;
        }
        worker->deleteLater();
        updateActions();
    });
    connect(worker, &TLRPreviewThread::failed, this,
            [this](const QString &message) { Messages::error(this, message); });
    m_worker = worker;
    m_workerRunning = true;
    ActSuspend->setChecked(false);
    worker->Resume();
    updateActions();
}

// Stops a running worker, paused or not; no step runs after this.
void TBaseLRep::stopWorker()
{
    if (TLRPreviewThread *worker = m_worker) {
        m_worker = nullptr;
        worker->disconnect(this);
        worker->Terminate();
        worker->deleteLater();
    }
    m_workerRunning = false;
    ActSuspend->setChecked(false);
}

void TBaseLRep::updateIndicator()
{
    m_pageIndicator->setText(
        QStringLiteral("%1/%2").arg(LRPreviewControl1->CurrentImage()).arg(LRPreviewControl1->ImageCount()));
    updateActions();
}

void TBaseLRep::updateActions()
{
    TLRMasterData *data = dsMast.DataSet();
    const bool more = (data && data->Active() && !DataEnd()) || !LRPreviewControl1->IsLast();
    ActNextPage->setEnabled(more);
    ActLastPage->setEnabled(more);
    ActFirstPage->setEnabled(!LRPreviewControl1->IsFirst());
    ActPriorPage->setEnabled(!LRPreviewControl1->IsFirst());
    ActSuspend->setEnabled(m_workerRunning);
}

void TBaseLRep::showDisplayedPage()
{
    m_pageImage->setPixmap(QPixmap::fromImage(LRPreviewControl1->DisplayedImage()));
}

void TBaseLRep::ActFirstPageExecute()
{
    LRPreviewControl1->First();
    updateIndicator();
}

void TBaseLRep::ActPriorPageExecute()
{
    LRPreviewControl1->Prior();
    updateIndicator();
}

void TBaseLRep::ActNextPageExecute()
{
    if (LRPreviewControl1->IsLast() && DataEnd())
        return;
    Messages::guarded(this, [this] { showNextPage(); });
}

void TBaseLRep::ActLastPageExecute()
{
    LRPreviewControl1->Last();
    updateIndicator();
}

void TBaseLRep::ActSuspendExecute()
{
    if (!m_worker)
        return;
    if (ActSuspend->isChecked())
        m_worker->Suspend();
    else
        m_worker->Resume();
}

// Enter moves to the next field, Shift+Enter to the previous one; leaving a changed field takes
// its page number or, for a text that is no whole number, keeps the focus there.
bool TBaseLRep::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field || (field != m_fromPage && field != m_toPage))
        return QDialog::eventFilter(watched, event);
    // Focus that comes and goes with the window (a message box, a menu) neither enters nor leaves
    // the field.
    auto windowFocus = [](QEvent *e) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(e)->reason();
        return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    };
    if (event->type() == QEvent::FocusIn) {
        if (windowFocus(event))
            return QDialog::eventFilter(watched, event);
        // A field whose exit was refused still holds the text to be checked when it is left again.
        if (field == m_refusedField)
            m_refusedField = nullptr;
        else
            field->setModified(false);
    } else if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (commitRangeField(field))
                focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && !windowFocus(event)) {
        commitRangeField(field);
    }
    return QDialog::eventFilter(watched, event);
}

bool TBaseLRep::commitRangeField(QLineEdit *field)
{
    if (!field->isModified())
        return true;
    const std::optional<int> value = pageFieldValue(field->text());
    if (!value) {
        QApplication::beep();
        m_refusedField = field;
        Messages::error(this, notAnIntegerMessage(field->text()));
        QTimer::singleShot(0, field, [field] {
            field->setFocus();
            field->selectAll();
        });
        return false;
    }
    if (m_refusedField == field)
        m_refusedField = nullptr;
    field->setText(pageFieldText(*value));
    field->setModified(false);
    (field == m_fromPage ? LightRep1->FirstPage : LightRep1->LastPage) = *value;
    if (*value > 0 && !LRPreviewControl1->ShowPage(*value))
        QApplication::beep();
    updateIndicator();
    return true;
}

void TBaseLRep::endJobCursor()
{
    if (!m_jobCursor)
        return;
    m_jobCursor = false;
    QApplication::restoreOverrideCursor();
}

bool TBaseLRep::commitPendingRangeField()
{
    for (QLineEdit *field : {m_fromPage, m_toPage})
        if (field->hasFocus() && !commitRangeField(field))
            return false;
    return true;
}

// Printing always starts from the first master record and renders every page again.
bool TBaseLRep::runJob(TLRPrintTarget &target)
{
    if (!commitPendingRangeField())
        return false;
    // The hourglass of the job; it goes, like the print message, before any message is shown.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_jobCursor = true;
    const std::unique_ptr<TBaseLRep, void (*)(TBaseLRep *)> cursorGuard(
        this, [](TBaseLRep *w) { w->endJobCursor(); });
    TPrintMsg::showMessage();
    try {
        if (!ActPrintPrepareExecute())
            return false;
        LightRep1->setPrinter(&target);
        runPrintJob(*LightRep1, [this] { return DataEnd(); });
        afterJob();
    } catch (const std::exception &e) {
        afterJob();
        TPrintMsg::closeMessage();
        endJobCursor();
        updateActions();
        Messages::showException(this, e);
        return false;
    }
    TPrintMsg::closeMessage();
    updateActions();
    if (LightRep1->PagesPrinted() == 0) {
        endJobCursor();
        Messages::information(this, QStringLiteral("印刷範囲にページがありません．"));
        return false;
    }
    return true;
}

// The job moved the master data on: the preview keeps the pages it stored but renders no more
// until it is started again.
void TBaseLRep::afterJob()
{
    LightRep1->setPrinter(nullptr);
    m_dataExhausted = true;
}

void TBaseLRep::ActPrintExecute()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        Messages::information(this,
                              QStringLiteral("プリンタが登録されていません．PDFファイルに保存します．"));
        ActSavePdfExecute();
        return;
    }
    TLRPrinterTarget target(m_printer, true);
    if (runJob(target) && !target.notice().isEmpty())
        Messages::warning(this, target.notice());
}

void TBaseLRep::ActSavePdfExecute()
{
    const QString suggested =
        (LightRep1->Title.isEmpty() ? QStringLiteral("report") : LightRep1->Title) + QStringLiteral(".pdf");
    QString fileName = ReportFileDialog::getSaveFileName(this, QStringLiteral("PDF保存"), suggested,
                                                         QStringLiteral("PDFファイル (*.pdf)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(600);
    pdf.setOutputFileName(fileName);
    TLRPrinterTarget target(pdf, false);
    // A job that failed half-way leaves no file that looks like the whole report.
    if (!runJob(target)) {
        if (target.begun())
            QFile::remove(fileName);
        return;
    }
    Messages::information(this, QStringLiteral("%1 ページをPDFファイル「%2」に保存しました")
                                    .arg(LightRep1->PagesPrinted())
                                    .arg(QDir::toNativeSeparators(fileName)));
}
