#pragma once
// The report window: shows the pages of one report layout while the rest renders in the
// background, pages through them, and prints the report (or a page range) on the chosen printer
// or into a PDF file. Each document layout derives from it, adds its data sets, items and event
// handlers, and calls ShowAndPreview at the end of its FormShow.
#include "report/engine/TLRDataSource.h"

#include <memory>
#include <QDialog>
#include <QPointer>
#include <QPrinter>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolBar;
class TLightRep;
class TLRPreviewControl;
class TLRPreviewThread;
class TLRPrintTarget;

class TBaseLRep : public QDialog
{
    Q_OBJECT
public:
    explicit TBaseLRep(QWidget *parent = nullptr);
    ~TBaseLRep() override;

    TLightRep *LightRep1;
    TLRDataSource dsMast;
    TLRPreviewControl *LRPreviewControl1;

    // true when the data is exhausted, or the print range is done while printing.
    virtual bool DataEnd() const;
    // Prepares the master data for a run; false when the command is to be abandoned (the user
    // has been told why). Layouts close and reopen their queries around the base part.
    virtual bool ActPrintPrepareExecute();

    void ActPreviewExecute();
    void ActPrintExecute();
    void ActSavePdfExecute();
    void ActFirstPageExecute();
    void ActPriorPageExecute();
    void ActNextPageExecute();
    void ActLastPageExecute();
    void ActSuspendExecute();

    bool PreviewRunning() const;
    QString PageIndicator() const;
    QPrinter &printer() { return m_printer; }

protected:
    // Runs once when the window is first shown; the base shows the window and previews.
    virtual void FormShow();
    void ShowAndPreview();

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildPrinterMenu(QMenu *menu);
    void choosePrinter(const QString &name);
    void showNextPage();
    void startWorker();
    void stopWorker();
    void updateIndicator();
    void updateActions();
    void showDisplayedPage();
    bool commitRangeField(QLineEdit *field);
    bool commitPendingRangeField();
    bool runJob(TLRPrintTarget &target);
    void afterJob();
    // Takes away the hourglass of a print job, once.
    void endJobCursor();

    QPrinter m_printer;
    QPointer<TLRPreviewThread> m_worker;
    bool m_workerRunning = false;
    bool m_dataExhausted = false;
    bool m_suppressNoDataMessage = false;
    int m_zoom = 0;
    bool m_shown = false;
    bool m_jobCursor = false;

    QToolBar *m_toolBar;
    QScrollArea *m_scrollBox;
    QLabel *m_pageImage;
    QLineEdit *m_pageIndicator;
    QLineEdit *m_fromPage;
    QLineEdit *m_toPage;
    QPointer<QLineEdit> m_refusedField; // the range field whose exit was refused last
    QActionGroup *m_printerGroup;

public:
    QAction *ActPreview;
    QAction *ActPrint;
    QAction *ActSavePdf;
    QAction *ActPrinterSetup;
    QAction *ActExit;
    QAction *ActFirstPage;
    QAction *ActNextPage;
    QAction *ActPriorPage;
    QAction *ActLastPage;
    QAction *ActSuspend;
};
