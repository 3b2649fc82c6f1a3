// The program as a whole: its main window and data module made as the program entry makes them,
// from start to a clean end, the version on its splash window, and its application object's
// handler for failures that no command catches.
#include "app/ui/MainProgram.h"
#include "app/ui/TFmain.h"
#include "app/ui/TFsplash.h"
#include "common/AppError.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "ProgramTestMain.h"
#include "TestDatabase.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

namespace {

QStringList errorsShown()
{
    QStringList texts;
    for (const Messages::Record &r : Messages::takeHistory())
        if (r.kind == Messages::Kind::Error)
            texts << r.text;
    return texts;
}

QPoint rowCentre(TDBGridEx *grid, int row)
{
    return grid->visualRect(grid->model()->index(row, 0)).center();
}

// A first start: after its message the own-company window opens; the user names the company and
// saves. The timer stops once that is done.
void nameTheCompanyWhenAsked(QTimer &timer)
{
    timer.callOnTimeout([&timer] {
        if (auto *company = qobject_cast<TFjisyaJyoho *>(QApplication::activeModalWidget())) {
            timer.stop();
            company->Kaisyamei->setText(QStringLiteral("株式会社カドメル"));
            company->OkBTNClick();
        }
    });
    timer.start(10);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

    enum Route { Timer, Click, Key, ModalDialog };

private Q_SLOTS:
    void initTestCase() { Messages::setTestMode(true); }

    // First start in an empty folder, connected to its local database with every list open; then
    // "終　了": the window goes, the program ends, and everything is destroyed without a crash
    // (closing the database closes the lists, whose handlers belong to the main window).
    void startsConnectedAndEndsCleanly()
    {
        QTemporaryDir home;
        qputenv("KADOMEL_HOME", home.path().toUtf8());
        QVERIFY(!DMdata);
        {
            MainProgram program;
            TFmain &w = program.window();
            QTimer ownCompany;
            nameTheCompanyWhenAsked(ownCompany);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.Qseikyu->Active());
            QVERIFY(!ownCompany.isActive());
            QVERIFY(DMdata && DMdata->DataDB->Connected());
            // The program's event loop ends when its window closes; a loop that does not end is
            // stopped with another exit code.
            QTimer::singleShot(
                0, &w, [&w] { QTest::mouseClick(w.button(QStringLiteral("CloseBTN")), Qt::LeftButton); });
            QTimer stuck;
            stuck.callOnTimeout(qApp, [] { QCoreApplication::exit(1); });
            stuck.start(30000);
            QCOMPARE(QApplication::exec(), 0);
            QVERIFY(!w.isVisible());
        }
        QVERIFY(!DMdata);
        // After a clean exit everything is in the database file itself (a copy of it is a backup).
        const QDir folder(QDir(home.path()).filePath(QStringLiteral("DB")));
        const QFileInfo wal(folder.filePath(QStringLiteral("kadomel.sqlite3-wal")));
        QVERIFY(!wal.exists() || wal.size() == 0);
        TDMdata data;
        data.DataDB->Directory = folder.path();
        TEngineQuery company(data.DataDB);
        company.addSql(QStringLiteral("select JisyaNM from JisyaJyoho"));
        company.Open();
        QCOMPARE(company.Field(0).AsString(), QStringLiteral("株式会社カドメル"));
        const IniFile ini(AppPaths::iniPath());
        QVERIFY(ini.hasValue(QStringLiteral("Fmain"), QStringLiteral("Left")));
        QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("folder")),
                 QDir(home.path()).filePath(QStringLiteral("DB")));
    }

    // A configuration file that is no text is told, kept beside under a free ".bad" name with its
    // bytes whole, and the start goes on as a first start; the file written afterwards is text.
    void unreadableConfigurationIsKeptAndTheStartIsAFirstOne()
    {
        QTemporaryDir home;
        qputenv("KADOMEL_HOME", home.path().toUtf8());
        QByteArray garbage;
        for (int i = 0; i < 2048; ++i)
            garbage += char((i * 97 + 3) % 256);
        const QString iniPath = AppPaths::iniPath();
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write(iniPath, garbage);
        write(iniPath + QStringLiteral(".bad"), "an earlier one");
        Messages::takeHistory();
        {
            MainProgram program;
            TFmain &w = program.window();
            QTimer ownCompany;
            nameTheCompanyWhenAsked(ownCompany);
            w.show();
            QTRY_VERIFY(w.Qseikyu->Active());
            QVERIFY(!ownCompany.isActive()); // asked for the own company, as at a first start
            w.close();
        }
        const QString aside = iniPath + QStringLiteral(".bad.1");
        QList<Messages::Record> shown = Messages::takeHistory();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(int(shown.first().kind), int(Messages::Kind::Warning));
        QCOMPARE(shown.first().text, QStringLiteral("設定ファイルがテキストではないため読み込めません。\n%1\n"
                                                    "元のファイルを %2 として残し、初期設定で起動します。")
                                         .arg(iniPath, aside));
        QCOMPARE(shown.at(1).text, QStringLiteral("最初に自社情報を設定してください"));
        const auto read = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QCOMPARE(read(aside), garbage);
        QCOMPARE(read(iniPath + QStringLiteral(".bad")), QByteArray("an earlier one"));
        const IniFile ini(iniPath);
        QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("folder")),
                 QDir(home.path()).filePath(QStringLiteral("DB")));
        QVERIFY(ini.hasValue(QStringLiteral("Fmain"), QStringLiteral("Left")));
    }

    // The version of the build description reaches the splash window (and the configuration file,
    // checked with the main window).
    void splashShowsTheVersion()
    {
        TFsplash splash;
        QCOMPARE(splash.VerLBL->text(), QStringLiteral("Ver 1.03"));
    }

    // A failure thrown from whatever the event loop runs is shown with its message, the command is
    // abandoned and the program goes on: the window stays, a modal window keeps its loop, the next
    // command runs.
    void uncaughtFailureIsShownAndTheProgramGoesOn_data()
    {
        QTest::addColumn<int>("route");
        QTest::addColumn<bool>("programFailure");
        QTest::addColumn<QString>("shown");
        QTest::addRow("timer, the program's failure") << int(Timer) << true << "取引先が見つかりません";
        QTest::addRow("mouse click, a library's failure")
            << int(Click) << false << "vector index out of range";
        QTest::addRow("space on a button") << int(Key) << true << "取引先が見つかりません";
        QTest::addRow("click in a modal window") << int(ModalDialog) << true << "取引先が見つかりません";
    }

    void uncaughtFailureIsShownAndTheProgramGoesOn()
    {
        QFETCH(int, route);
        QFETCH(bool, programFailure);
        QFETCH(QString, shown);
        const auto fail = [programFailure] {
            if (programFailure)
                throw AppError(QStringLiteral("取引先が見つかりません"));
            throw std::out_of_range("vector index out of range");
        };
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("実行"), &window);
        connect(button, &QPushButton::clicked, &window, fail);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Messages::takeHistory();

        switch (route) {
        case Timer: {
            bool failureDelivered = false;
            QTimer::singleShot(0, &window, fail);
            QTimer::singleShot(0, &window, [&] { failureDelivered = true; }); // runs after the failing one
            QTRY_VERIFY(failureDelivered);
            break;
        }
        case Click:
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        case Key:
            window.activateWindow();
            button->setFocus();
            QTRY_VERIFY(button->hasFocus());
            QTest::keyClick(button, Qt::Key_Space);
            break;
        case ModalDialog: {
            QDialog dialog(&window);
            auto *inner = new QPushButton(QStringLiteral("実行"), &dialog);
            connect(inner, &QPushButton::clicked, &dialog, fail);
            bool stayedOpen = false;
            QTimer::singleShot(0, &dialog, [&] {
                QTest::mouseClick(inner, Qt::LeftButton);
                stayedOpen = dialog.isVisible();
                dialog.accept();
            });
            QCOMPARE(dialog.exec(), int(QDialog::Accepted));
            QVERIFY(stayedOpen);
            break;
        }
        }
        QCOMPARE(errorsShown(), QStringList{shown});
        QVERIFY(window.isVisible());
        bool nextRan = false;
        QTimer::singleShot(0, &window, [&] { nextRan = true; });
        QTRY_VERIFY(nextRan);
        QVERIFY(errorsShown().isEmpty());
    }

    // The delivery-note list's after-scroll rule reads the billing key of the row moved to; a key
    // that is no number (a database written by another tool) is told, and the program goes on.
    void unreadableBillingKeyOfADeliveryNote()
    {
        TestDatabase t; // SQLite: its columns take text where a number belongs
        KADOMEL_REQUIRE_DB(t);
        t.writeConnectionSettings();
        t.exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t.exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '得意先')"));
        for (const auto &[key, billing] : {std::pair{1, "0"}, std::pair{2, "'x'"}, std::pair{3, "0"}})
            t.exec(QStringLiteral("insert into Nohin (key, Hiduke, TorihikisakiKey, Kingaku, SeikyuKey) "
                                  "values (%1, '2026-01-01', 1, 1000, %2)")
                       .arg(key)
                       .arg(QLatin1String(billing)));
        TFmain w;
        w.enableCommand(QStringLiteral("Nohin2SeikyuBTN"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qseikyu->Active());
        Messages::takeHistory();
        w.PageControl1->setCurrentIndex(1);
        QTRY_VERIFY(w.NohinGrid->isVisible());

        QTest::mouseClick(w.NohinGrid->viewport(), Qt::LeftButton, {}, rowCentre(w.NohinGrid, 1));
        QCOMPARE(errorsShown(), QStringList{QStringLiteral("SeikyuKey: 'x' は整数ではありません")});
        QVERIFY(w.isVisible());
        w.Qnohin->Last();
        QVERIFY(w.button(QStringLiteral("Nohin2SeikyuBTN"))->isEnabled());
        QVERIFY(errorsShown().isEmpty());
    }
};

KADOMEL_PROGRAM_TEST_MAIN(TestProgram)
#include "tst_program.moc"
