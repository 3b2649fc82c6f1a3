// The base window: placement kept in the configuration file and kept on the screen, and the Enter key.
#include "common/WindowPlacement.h"
#include "controls/Messages.h"
#include "controls/TForm1.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

class Window : public TForm1
{
public:
    QLineEdit *first = new QLineEdit(this);
    QLineEdit *second = new QLineEdit(this);
    QPlainTextEdit *memo = new QPlainTextEdit(this);
    QTableWidget *grid = new QTableWidget(2, 2, this);

    explicit Window(const QString &name = QStringLiteral("Ftest")) : TForm1(name)
    {
        for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(second),
                           static_cast<QWidget *>(memo), static_cast<QWidget *>(grid)})
            bodyLayout()->addWidget(w);
        resize(400, 300);
    }
};

} // namespace

class TestBaseWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    void writeSection(const QString &left, const QString &top,
                      const QString &state = QStringLiteral("wsNormal"))
    {
        IniFile ini(AppPaths::iniPath());
        ini.setString(QStringLiteral("Ftest"), QStringLiteral("Left"), left);
        ini.setString(QStringLiteral("Ftest"), QStringLiteral("Top"), top);
        ini.setString(QStringLiteral("Ftest"), QStringLiteral("WindowState"), state);
        ini.flush();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("KADOMEL_HOME", dir.path().toUtf8());
        Messages::setTestMode(true);
    }
    void init() { QFile::remove(AppPaths::iniPath()); }

    void firstShowIsTopLeftWithDesignedSizeAndIsSaved()
    {
        {
            Window w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.pos(), QPoint(0, 0));
            QCOMPARE(w.size(), QSize(400, 300));
            QCOMPARE(w.statusText(0), QStringLiteral("Ftest"));
            w.move(30, 40);
            w.resize(500, 350);
            w.close();
        }
        const IniFile ini(AppPaths::iniPath());
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Left"), -1), 30);
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Top"), -1), 40);
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Width"), -1), 500);
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Height"), -1), 350);
        QCOMPARE(ini.readString(QStringLiteral("Ftest"), QStringLiteral("WindowState")),
                 QStringLiteral("wsNormal"));
        Window again;
        again.show();
        QCOMPARE(again.pos(), QPoint(30, 40));
        QCOMPARE(again.size(), QSize(500, 350));
    }

    // Where the client area goes so that the frame (the client area and its margins) lies inside the
    // screen's free area; the frame's corner is where it was asked to be whenever it fits.
    void clientAreaKeepsTheFrameInside_data()
    {
        QTest::addColumn<QPoint>("frameCorner");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        const QMargins title(1, 20, 1, 1);
        const QRect screen(0, 0, 1366, 900);
        const QSize dialog(679, 604);
        QTest::addRow("corner of the screen")
            << QPoint(0, 0) << dialog << title << screen << QRect(1, 20, 679, 604);
        QTest::addRow("fits as asked")
            << QPoint(100, 50) << dialog << title << screen << QRect(101, 70, 679, 604);
        QTest::addRow("above the top edge")
            << QPoint(-1, -20) << dialog << title << screen << QRect(1, 20, 679, 604);
        QTest::addRow("beyond the right edge")
            << QPoint(1000, 10) << dialog << title << screen << QRect(1366 - 1 - 679, 30, 679, 604);
        QTest::addRow("below the bottom edge")
            << QPoint(10, 800) << dialog << title << screen << QRect(11, 900 - 1 - 604, 679, 604);
        QTest::addRow("panel at the top")
            << QPoint(0, 0) << dialog << title << QRect(0, 32, 1366, 868) << QRect(1, 52, 679, 604);
        QTest::addRow("second screen")
            << QPoint(1300, -5) << dialog << title << QRect(1366, 0, 1920, 1080) << QRect(1367, 20, 679, 604);
        // A frame larger than the free area keeps its title bar and left edge on the screen.
        QTest::addRow("larger than the screen") << QPoint(200, 100) << QSize(876, 566) << title
                                                << QRect(0, 0, 800, 500) << QRect(1, 20, 876, 566);
        QTest::addRow("no frame") << QPoint(-50, -50) << dialog << QMargins() << screen
                                  << QRect(0, 0, 679, 604);
    }
    void clientAreaKeepsTheFrameInside()
    {
        QFETCH(QPoint, frameCorner);
        QFETCH(QSize, client);
        QFETCH(QMargins, margins);
        QFETCH(QRect, available);
        QTEST(WindowPlacement::clientArea(frameCorner, client, margins, available), "expected");
    }

    // A stored placement that would put part of the frame off the screen opens inside it: left 0 for a
    // Left at or beyond the screen's width, moved in as far as needed otherwise.
    void storedPlacementOpensOnTheScreen_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("expected"); // the frame's corner; -1: as far right or down as fits
        QTest::addRow("left beyond the screen") << "99999"
                                                << "10" << QPoint(0, 10);
        QTest::addRow("negative top") << "30"
                                      << "-20" << QPoint(30, 0);
        QTest::addRow("negative left") << "-200"
                                       << "40" << QPoint(0, 40);
        QTest::addRow("sticking out right") << "-1"
                                            << "40" << QPoint(-1, 40);
        QTest::addRow("sticking out below") << "30"
                                            << "-1" << QPoint(30, -1);
    }
    void storedPlacementOpensOnTheScreen()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, expected);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        Window probe(QStringLiteral("Fprobe"));
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        const QSize frame = probe.frameGeometry().size();
        probe.close();
        if (left == QLatin1String("-1"))
            left = QString::number(screen.right() - frame.width() + 50);
        if (top == QLatin1String("-1"))
            top = QString::number(screen.bottom() - frame.height() + 50);
        if (expected.x() == -1)
            expected.setX(screen.right() + 1 - frame.width());
        if (expected.y() == -1)
            expected.setY(screen.bottom() + 1 - frame.height());
        writeSection(left, top);
        Window w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.frameGeometry().topLeft(), expected);
        QVERIFY(screen.contains(w.frameGeometry()));
    }

    // Left and Top are the frame's corner when saved and when restored, so the window opens where it
    // was closed, start after start (it crept up by one title bar at each start).
    void windowReopensWhereItWasClosed()
    {
        writeSection(QStringLiteral("40"), QStringLiteral("60"));
        for (int start = 0; start < 3; ++start) {
            Window w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.frameGeometry().topLeft(), QPoint(40, 60));
            QCOMPARE(w.pos(), QPoint(40, 60));
            w.close();
        }
        const IniFile ini(AppPaths::iniPath());
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Left"), -1), 40);
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Top"), -1), 60);
    }

    void maximisedWindowKeepsItsNormalBounds()
    {
        {
            Window w;
            w.show();
            w.move(50, 60);
            w.resize(420, 310);
            w.showMaximized();
            QTRY_VERIFY(w.windowState() & Qt::WindowMaximized);
            w.close();
        }
        const IniFile ini(AppPaths::iniPath());
        QCOMPARE(ini.readString(QStringLiteral("Ftest"), QStringLiteral("WindowState")),
                 QStringLiteral("wsMaximized"));
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Width"), -1), 420);
        QCOMPARE(ini.readInteger(QStringLiteral("Ftest"), QStringLiteral("Left"), -1), 50);
        Window again;
        again.show();
        QVERIFY(again.windowState() & Qt::WindowMaximized);
        again.showNormal();
        QTRY_COMPARE(again.size(), QSize(420, 310));
    }

    // The first status panel is 100 pixels wide and grows to show a longer window name whole.
    void statusPanelShowsTheWholeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("short") << "Fmain";
        QTest::addRow("long") << "FtorihikisakiKensakuWindow";
    }

    void statusPanelShowsTheWholeName()
    {
        QFETCH(QString, name);
        Window w(name);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *panel = w.findChild<QLabel *>(QStringLiteral("StatusPanel0"));
        QCOMPARE(panel->text(), name);
        QVERIFY(panel->width() >= 100);
        QVERIFY2(panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(name),
                 qPrintable(QString::number(panel->width())));
    }

    void enterMovesFocusOrCell()
    {
        Window w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        w.first->setFocus();
        QTRY_VERIFY(w.first->hasFocus());
        QTest::keyClick(w.first, Qt::Key_Return);
        QVERIFY(w.second->hasFocus());
        QVERIFY(w.isVisible()); // the key did not press a default button

        w.memo->setFocus();
        QTest::keyClick(w.memo, Qt::Key_Return);
        QCOMPARE(w.memo->toPlainText(), QStringLiteral("\n")); // a memo takes the line break
        QVERIFY(w.memo->hasFocus());

        w.grid->setFocus();
        w.grid->setCurrentCell(0, 1);
        QTest::keyClick(w.grid, Qt::Key_Return);
        QCOMPARE(w.grid->currentRow(), 1);
        QCOMPARE(w.grid->currentColumn(), 0);
        QTest::keyClick(w.grid, Qt::Key_Return);
        QCOMPARE(w.grid->currentColumn(), 1);
        QTest::keyClick(w.grid, Qt::Key_Return); // last cell of the last row: stays
        QCOMPARE(w.grid->currentRow(), 1);
        QCOMPARE(w.grid->currentColumn(), 1);
    }

    // Typed changes are given up only after "変更を破棄しますか？" is answered はい; いいえ keeps the
    // window and what was typed. Text the program fills in, and saving (OK), do not ask.
    void typedChangesAreDiscardedOnlyAfterAsking_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<bool>("asks");
        QTest::newRow("typed field, Escape") << "field"
                                             << "escape" << true;
        QTest::newRow("typed field, close box") << "field"
                                                << "closebox" << true;
        QTest::newRow("typed memo, キャンセル") << "memo"
                                                << "cancel" << true;
        QTest::newRow("edited grid cell, Escape") << "grid"
                                                  << "escape" << true;
        QTest::newRow("typed field, OK") << "field"
                                         << "ok" << false;
        QTest::newRow("filled by the program, Escape") << "program"
                                                       << "escape" << false;
        QTest::newRow("saved and kept open, Escape") << "saved"
                                                     << "escape" << false;
        QTest::newRow("nothing, close box") << "none"
                                            << "closebox" << false;
    }

    void typedChangesAreDiscardedOnlyAfterAsking()
    {
        QFETCH(QString, change);
        QFETCH(QString, closing);
        QFETCH(bool, asks);
        Window w;
        w.setAsksBeforeDiscarding(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        if (change == QLatin1String("field") || change == QLatin1String("saved")) {
            w.first->setFocus();
            QTest::keyClicks(w.first, QStringLiteral("abc"));
        } else if (change == QLatin1String("memo")) {
            w.memo->setFocus();
            QTest::keyClicks(w.memo, QStringLiteral("abc"));
        } else if (change == QLatin1String("grid")) {
            w.grid->setFocus();
            w.grid->setCurrentCell(0, 0);
            QTest::keyClick(w.grid, Qt::Key_F2);
            QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
            w.grid->setCurrentCell(1, 1); // the cell's text is committed
            QVERIFY(w.grid->item(0, 0));
        } else if (change == QLatin1String("program")) {
            w.first->setText(QStringLiteral("abc"));
            w.memo->setPlainText(QStringLiteral("abc"));
            w.grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("abc")));
        }
        if (change == QLatin1String("saved"))
            w.setModified(false);

        const auto closeOnce = [&] {
            if (closing == QLatin1String("escape"))
                QTest::keyClick(&w, Qt::Key_Escape);
            else if (closing == QLatin1String("closebox"))
                w.close();
            else if (closing == QLatin1String("cancel"))
                w.reject();
            else
                w.accept();
        };
        Messages::takeHistory();
        if (asks) {
            Messages::queueAnswer(false);
            closeOnce();
            QVERIFY(w.isVisible());
            const QTableWidgetItem *cell = w.grid->item(0, 0);
            QCOMPARE(w.first->text() + w.memo->toPlainText() + (cell ? cell->text() : QString()),
                     QStringLiteral("abc"));
            Messages::queueAnswer(true);
            closeOnce();
            const auto history = Messages::takeHistory();
            QCOMPARE(history.size(), 2);
            for (const auto &record : history) {
                QCOMPARE(record.kind, Messages::Kind::ConfirmYesNo);
                QCOMPARE(record.text, QStringLiteral("変更を破棄しますか？"));
            }
        } else {
            closeOnce();
            QVERIFY(Messages::takeHistory().isEmpty());
        }
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestBaseWindow)
#include "tst_basewindow.moc"
