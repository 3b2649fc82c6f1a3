// The main window: the start-up sequence, the lists, the connection dialog.
#include "app/ui/TFmain.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "data/Schema.h"
#include "data/ui/TFDBSetting.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "ModalHelper.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTimer m_canceller;
    int m_ownCompanyCancelled = 0;
    bool m_ownCompanyOnScreen = false;
    std::unique_ptr<TestDatabase> t;

    QStringList said(Messages::Kind kind)
    {
        QStringList texts;
        for (const Messages::Record &r : Messages::takeHistory())
            if (r.kind == kind)
                texts << r.text;
        return texts;
    }

private Q_SLOTS:
    // Where a start finds no own company, its window opens after the message; the user cancels it.
    void init()
    {
        m_ownCompanyCancelled = 0;
        connect(&m_canceller, &QTimer::timeout, this, [this] {
            if (auto *w = qobject_cast<TFjisyaJyoho *>(QApplication::activeModalWidget())) {
                ++m_ownCompanyCancelled;
                m_ownCompanyOnScreen = frameOnScreen(w);
                w->reject();
            }
        });
        m_canceller.start(10);
    }
    void cleanup()
    {
        m_canceller.stop();
        m_canceller.disconnect();
        t.reset();
    }

    void firstStartCreatesEverything()
    {
        t = std::make_unique<TestDatabase>(false);
        KADOMEL_REQUIRE_DB(*t);
        if (t->isPostgres())
            t->writeConnectionSettings();
        QDir(t->folder()).removeRecursively(); // nothing but the configuration
        QDir().mkpath(t->folder());
        if (t->isPostgres())
            t->writeConnectionSettings();
        Messages::takeHistory();
        {
            TFmain w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.Qmitumori->Active());
            QCOMPARE(m_ownCompanyCancelled, 1); // the own-company window opened after the message
            QVERIFY(m_ownCompanyOnScreen);      // with its title bar
            QCOMPARE(t->scalar(QStringLiteral("select count(*) from JisyaJyoho")).toInt(), 1);
            QVERIFY(QFileInfo(AppPaths::dataFolder()).isDir());
            for (const Schema::Table &table : Schema::tables())
                QVERIFY2(DMdata->DataDB->TableExists(QLatin1String(table.name)), table.name);
            const QList<Messages::Record> history = Messages::takeHistory();
            QCOMPARE(history.size(), 1);
            QCOMPARE(history.first().text, QStringLiteral("最初に自社情報を設定してください"));
            QCOMPARE(w.pos(), QPoint(0, 0));
            QCOMPARE(w.size(), QSize(876, 566));
            QCOMPARE(w.PageControl1->count(), 6);
            QCOMPARE(w.PageControl1->currentIndex(), 0);
            const QStringList captions{QStringLiteral("見積書"),   QStringLiteral("納品書"),
                                       QStringLiteral("入金処理"), QStringLiteral("請求書"),
                                       QStringLiteral("各種設定"), QStringLiteral("売掛・売上")};
            for (int i = 0; i < 6; ++i)
                QCOMPARE(w.PageControl1->tabText(i), captions[i]);
            for (TEngineQuery *q : {w.Qmitumori, w.Qnohin, w.Qnyukin, w.Qseikyu})
                QVERIFY(q->Active());
            QCOMPARE(w.MitumoriGrid->model()->headerData(1, Qt::Horizontal).toString(),
                     QStringLiteral("見積№"));
            QCOMPARE(w.MitumoriGrid->columnWidth(1), 84);
            QCOMPARE(w.statusText(0), QStringLiteral("Fmain"));
            QCOMPARE(w.statusText(1), QString());
            QCOMPARE(w.NyukinSiharaiHoho->count(), 1);
            w.close();
        }
        const IniFile ini(AppPaths::iniPath());
        QCOMPARE(ini.readString(QStringLiteral("Kadomel"), QStringLiteral("Ver")), QStringLiteral("1.03"));
        QVERIFY(ini.hasValue(QStringLiteral("Fmain"), QStringLiteral("Left")));
        if (!t->isPostgres()) {
            QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("type")), QStringLiteral("local"));
            QCOMPARE(ini.readString(QStringLiteral("DB"), QStringLiteral("folder")), AppPaths::dataFolder());
        }
    }

    // Each start sends the user to the own-company window while the company has no name: a cancelled
    // first start asks again at the next one.
    void startAsksWhileTheCompanyHasNoName_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("asked");
        QTest::addRow("no row") << "" << true;
        QTest::addRow("no name") << "insert into JisyaJyoho (key) values (0)" << true;
        QTest::addRow("empty name") << "insert into JisyaJyoho (key, JisyaNM) values (0, '')" << true;
        QTest::addRow("blanks") << "insert into JisyaJyoho (key, JisyaNM) values (0, ' 　')" << true;
        QTest::addRow("named") << "insert into JisyaJyoho (key, JisyaNM) values (0, '自社')" << false;
    }
    void startAsksWhileTheCompanyHasNoName()
    {
        QFETCH(QString, row);
        QFETCH(bool, asked);
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        if (!row.isEmpty())
            t->exec(row);
        Messages::takeHistory();
        for (int start = 1; start <= 2; ++start) {
            TFmain w;
            w.show();
            QTRY_VERIFY(w.Qmitumori->Active());
            QCOMPARE(m_ownCompanyCancelled, asked ? start : 0);
            QCOMPARE(said(Messages::Kind::Information),
                     asked ? QStringList{QStringLiteral("最初に自社情報を設定してください")} : QStringList());
            w.close();
        }
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from JisyaJyoho")).toInt(), 1);
    }

    void listsOpenAtLastRowAndDeliveryNoteRule()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '得意先')"));
        for (int key = 1; key <= 600; ++key)
            t->exec(QStringLiteral("insert into Nohin (key, Hiduke, TorihikisakiKey, Kingaku, SeikyuKey) "
                                   "values (%1, '2026-01-01', 1, %2, %3)")
                        .arg(key)
                        .arg(key * 1000)
                        .arg(key == 600 ? 9 : 0));
        t->exec(
            QStringLiteral("insert into Nyukin (key, TorihikisakiKey, NyukinHouhou) values (1, 1, '振込')"));
        t->exec(
            QStringLiteral("insert into Nyukin (key, TorihikisakiKey, NyukinHouhou) values (2, 1, '現金')"));
        t->exec(QStringLiteral("insert into Nyukin (key, TorihikisakiKey, NyukinHouhou, Nyukingaku) "
                               "values (3, 1, '振込', 1234567)"));
        Messages::takeHistory();

        TFmain w;
        w.enableCommand(QStringLiteral("Nohin2SeikyuBTN"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qnohin->Active());
        QVERIFY(said(Messages::Kind::Information).isEmpty()); // the own company exists
        // The list holds the rows around its last one, which the grid shows as current.
        QCOMPARE(w.Qnohin->FieldByName(QStringLiteral("key")).AsInteger(), 600);
        const int last = w.NohinGrid->model()->rowCount() - 1;
        QVERIFY(last < 599);
        QCOMPARE(w.NohinGrid->currentIndex().row(), last);
        QCOMPARE(w.NohinGrid->model()->data(w.NohinGrid->model()->index(last, 3)).toString(),
                 QStringLiteral("600,000"));
        TFlatButton *toInvoice = w.button(QStringLiteral("Nohin2SeikyuBTN"));
        QVERIFY(!toInvoice->isEnabled()); // the last note is invoiced
        w.Qnohin->Prior();
        QVERIFY(toInvoice->isEnabled());
        w.NohinGrid->setCurrentIndex(w.NohinGrid->model()->index(last, 0));
        QVERIFY(!toInvoice->isEnabled());

        // Payments show their amounts as every list does, with thousands separators.
        QTRY_VERIFY(w.Qnyukin->Active());
        const QAbstractItemModel *payments = w.NyukinGrid->model();
        QCOMPARE(payments->headerData(2, Qt::Horizontal).toString(), QStringLiteral("入金額"));
        QCOMPARE(payments->data(payments->index(payments->rowCount() - 1, 2)).toString(),
                 QStringLiteral("1,234,567"));

        QCOMPARE(w.NyukinSiharaiHoho->count(), 3);
        QCOMPARE(w.NyukinSiharaiHoho->itemText(0), QString());
        QCOMPARE(w.NyukinSiharaiHoho->currentIndex(), 0);
    }

    void settingsPageOpensTheMasterWindows_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addRow("products") << "SyohinMasterBTN"
                                  << "TFsyohinMaster";
        QTest::addRow("customers") << "TorihikisakiMasterBTN"
                                   << "TFtorihikisakiMaster";
        QTest::addRow("postal codes") << "YubinBTN"
                                      << "TFyubinLoad";
        QTest::addRow("own company") << "JisyaJyohoBTN"
                                     << "TFjisyaJyoho";
        QTest::addRow("estimate settings") << "MitumoriSetteiBTN"
                                           << "TFmitumoriSettei";
        QTest::addRow("delivery note settings") << "NohinSetteiBTN"
                                                << "TFnohinSettei";
        QTest::addRow("invoice settings") << "SeikyuSetteiBTN"
                                          << "TFseikyuSettei";
        QTest::addRow("receipt settings") << "RyosyusyouSetteiBTN"
                                          << "TFryosyusyouSettei";
    }

    void settingsPageOpensTheMasterWindows()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        TFmain w;
        w.show();
        QTRY_VERIFY(w.Qmitumori->Active());
        QString opened;
        QTimer::singleShot(0, &w, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            opened = modal ? QString::fromLatin1(modal->metaObject()->className()) : QString();
            if (modal)
                modal->close();
        });
        w.button(button)->click();
        QCOMPARE(opened, window);
    }

    // Escape is no way out of the main window (it would hide it and leave the program running
    // without a window); the dialog-style windows keep taking it as their cancel.
    void escapeKeepsTheMainWindowOpen()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        TFmain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qmitumori->Active());
        w.activateWindow();
        for (QWidget *focus : {static_cast<QWidget *>(w.MitumoriGrid), static_cast<QWidget *>(w.PageControl1),
                               static_cast<QWidget *>(w.button(QStringLiteral("CloseBTN")))}) {
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
            QVERIFY2(w.isVisible(), focus->objectName().toUtf8());
            QCOMPARE(w.result(), 0);
        }

        TFDBSetting dialog(w.Settings, *DMdata, &w);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(w.isVisible());
    }

    void failedConnectionLeavesListsClosed()
    {
        t = std::make_unique<TestDatabase>(false);
        KADOMEL_REQUIRE_DB(*t);
        if (t->isPostgres())
            QSKIP("one engine is enough for an unreachable server");
        IniFile ini(AppPaths::iniPath());
        ini.setString(QStringLiteral("DB"), QStringLiteral("type"), QStringLiteral("remote"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("ip"), QStringLiteral("127.0.0.1"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("port"), QStringLiteral("1"));
        ini.setString(QStringLiteral("DB"), QStringLiteral("user"), QStringLiteral("nobody"));
        ini.flush();
        DMdata->DataDB->Close();
        Messages::takeHistory();
        TFmain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList errors; // the start-up runs from the event loop once the window shows
        QTRY_VERIFY((errors << said(Messages::Kind::Error)).size() >= 2);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.first(), QStringLiteral("データベースへの接続に失敗しました"));
        QVERIFY(!w.Qmitumori->Active());
        QVERIFY(w.isVisible()); // the window stays usable
    }

    void connectionDialog()
    {
        t = std::make_unique<TestDatabase>(false);
        KADOMEL_REQUIRE_DB(*t);
        if (t->isPostgres())
            QSKIP("the dialog's folder switching is checked on local folders");
        TFmain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qmitumori->Active());
        const ConnectionSettings before = w.Settings;

        // A failed connection: previous database again, dialog open, settings unchanged.
        {
            TFDBSetting dialog(w.Settings, *DMdata, &w);
            dialog.show();
            QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("PortEDT"))->text(),
                     QStringLiteral("12005"));
            QVERIFY(!dialog.findChild<QLineEdit *>(QStringLiteral("IPEDT"))->isEnabled());
            dialog.findChild<QRadioButton *>(QStringLiteral("ServerRB"))->click();
            QVERIFY(dialog.findChild<QLineEdit *>(QStringLiteral("IPEDT"))->isEnabled());
            QVERIFY(!dialog.findChild<QLineEdit *>(QStringLiteral("FolderEDT"))->isEnabled());
            dialog.findChild<QLineEdit *>(QStringLiteral("IPEDT"))->setText(QStringLiteral("127.0.0.1"));
            dialog.findChild<QLineEdit *>(QStringLiteral("PortEDT"))->setText(QStringLiteral("1"));
            dialog.findChild<QLineEdit *>(QStringLiteral("UserEDT"))->setText(QStringLiteral("x"));
            Messages::takeHistory();
            dialog.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
            QCOMPARE(said(Messages::Kind::Error),
                     QStringList{QStringLiteral("データベースへの接続に失敗しました")});
            QVERIFY(dialog.isVisible());
            QVERIFY(DMdata->DataDB->Connected());
            QCOMPARE(DMdata->DataDB->dialect(), TEngineDialect::SQLite);
            QCOMPARE(w.Settings.type, before.type);
            dialog.close();
        }
        // A second folder: connected there, settings follow, server values kept.
        QTemporaryDir second;
        TFDBSetting dialog(w.Settings, *DMdata, &w);
        dialog.show();
        dialog.findChild<QLineEdit *>(QStringLiteral("FolderEDT"))->setText(second.path());
        dialog.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(w.Settings.folder, second.path());
        QCOMPARE(w.Settings.port, before.port);
        QVERIFY(QFile::exists(QDir(second.path()).filePath(QLatin1String(kLocalDatabaseFile))));
        QVERIFY(!w.Qmitumori->Active()); // the lists wait for the user's extraction
        w.close();
        QCOMPARE(IniFile(AppPaths::iniPath()).readString(QStringLiteral("DB"), QStringLiteral("folder")),
                 second.path());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
