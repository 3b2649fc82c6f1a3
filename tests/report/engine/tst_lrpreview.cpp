// The preview without a window: the page store in its temporary file, the preview control's
// pages and navigation, and the background worker's steps.
#include "EventLoopTurns.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLRPageStore.h"
#include "report/engine/TLRPreviewControl.h"
#include "report/engine/TLRPreviewThread.h"
#include "ReportTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

class TestLRPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void storeKeepsPagesLosslesslyInATemporaryFile();
    void controlRendersStoresAndNavigates();
    void workerStepsUntilTheDataEnds();
    void terminatedOrSuspendedWorkerTakesNoStep();
};

void TestLRPreview::storeKeepsPagesLosslesslyInATemporaryFile()
{
    QList<QImage> pages;
    for (int i = 0; i < 3; ++i)
        pages.append(paintedImage(QSize(794, 1123), [i](QPainter &p) {
            p.fillRect(QRect(10 * i, 20, 300, 40), QColor(30 * i, 200, 7));
            p.drawText(QPoint(100, 500), QStringLiteral("ページ %1").arg(i));
        }));
    QString fileName;
    {
        TLRPageStore store;
        store.reset();
        fileName = store.fileName();
        QCOMPARE(QFileInfo(fileName).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY(QFileInfo(fileName).fileName().startsWith(QStringLiteral("vLR")));
        for (const QImage &page : pages)
            store.append(page);
        QCOMPARE(store.count(), 3);
        QVERIFY(store.fileSize() < 3 * 794 * 1123 / 20); // compressed, not raw pixels
        for (int i = 2; i >= 0; --i)
            QCOMPARE(store.read(i).convertToFormat(QImage::Format_RGB32), pages[i]);
        QVERIFY(store.read(3).isNull());
        store.reset();
        QVERIFY(!QFile::exists(fileName));
        QCOMPARE(store.count(), 0);
        fileName = store.fileName();
        QVERIFY(QFile::exists(fileName));
    }
    QVERIFY(!QFile::exists(fileName));
}

void TestLRPreview::controlRendersStoresAndNavigates()
{
    PagedReport report(3);
    TLRPreviewControl control;
    control.LightRep = &report.root;
    control.Start();
    QCOMPARE(report.root.State(), TLRState::lrsPreviewing);
    control.ShowNextPage();
    QCOMPARE(control.CurrentImage(), 1);
    const QImage first = control.DisplayedImage();
    control.RenderNextPage();
    control.RenderNextPage();
    QCOMPARE(control.ImageCount(), 3);
    QCOMPARE(control.CurrentImage(), 1);
    QVERIFY(control.IsFirst() && !control.IsLast());

    control.ShowNextPage(); // stored already: shown, not rendered again
    QCOMPARE(control.CurrentImage(), 2);
    QCOMPARE(report.rendered, 3);
    QVERIFY(!control.ShowPage(5));
    QVERIFY(!control.ShowImage(0));
    QCOMPARE(control.CurrentImage(), 2);
    QVERIFY(control.ShowPage(3));
    QVERIFY(control.IsLast());
    control.Next();
    QCOMPARE(control.CurrentImage(), 3);
    control.First();
    QCOMPARE(control.DisplayedImage().convertToFormat(QImage::Format_RGB32), first);
}

void TestLRPreview::workerStepsUntilTheDataEnds()
{
    int steps = 0;
    QObject owner;
    auto *worker = new TLRPreviewThread([&] { return steps >= 5; }, [&] { ++steps; }, &owner);
    QSignalSpy ended(worker, &TLRPreviewThread::ended);
    worker->Resume();
    QCOMPARE(steps, 0); // steps run from the event loop, not inside Resume
    QTRY_COMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toBool(), true);
    QCOMPARE(steps, 5);
    QVERIFY(worker->Completed() && worker->Finished());
}

void TestLRPreview::terminatedOrSuspendedWorkerTakesNoStep()
{
    int steps = 0;
    QObject owner;
    auto *worker = new TLRPreviewThread([] { return false; }, [&] { ++steps; }, &owner);
    QSignalSpy ended(worker, &TLRPreviewThread::ended);
    worker->Resume();
    QTRY_VERIFY(steps > 2);
    worker->Suspend();
    int seen = steps;
    QVERIFY(waitForEventLoopTurns());
    QCOMPARE(steps, seen);
    worker->Resume();
    QTRY_VERIFY(steps > seen);
    worker->Terminate();
    seen = steps;
    QVERIFY(waitForEventLoopTurns());
    QCOMPARE(steps, seen);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toBool(), false);
    worker->Resume(); // an ended worker stays ended
    QVERIFY(waitForEventLoopTurns());
    QCOMPARE(steps, seen);
}

QTEST_MAIN(TestLRPreview)
#include "tst_lrpreview.moc"
