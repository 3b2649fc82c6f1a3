// The estimate and delivery note commands of the main window: the editor they open and how the list
// is refreshed afterwards.
#include "app/ui/TFmain.h"
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "documents/ui/TFmitumori.h"
#include "documents/ui/TFnohin.h"
#include "documents/ui/TMesaiGrid.h"
#include "ModalHelper.h"
#include "report/ui/TLRmitumorisyo.h"
#include "report/ui/TLRnohinsyo.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

class TestEstimateCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    static int currentKey(const TEngineQuery *list)
    {
        return list->FieldByName(QStringLiteral("key")).AsInteger();
    }

    // OK in the editor, then the report window that the save opens is closed.
    template<class Editor, class Report> static void saveIn(Editor *editor)
    {
        editor->MesaiGrid->setCell(0, 1, QStringLiteral("事務机"));
        if (editor->TorihikisakiKey->text() == QStringLiteral("0"))
            editor->Kaisyamei->setText(QStringLiteral("新規商事")); // a new customer needs a name
        onModal<Report>([](Report *report) { report->reject(); });
        QTest::mouseClick(editor->OkBTN, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        Clock::setFixed(QDateTime(QDate(2024, 4, 10), QTime(9, 0)));
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '得意先')"));
        for (int key = 1; key <= 3; ++key)
            t->exec(QStringLiteral("insert into Mitumori (key, Hiduke, TorihikisakiKey, Kingaku) "
                                   "values (%1, '2030-01-0%1', 1, 100)")
                        .arg(key));
        Messages::takeHistory();
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    // The new estimate (dated today, so first in the list) is selected afterwards; a cancelled editor
    // leaves the list on its row.
    void newEstimateIsSelectedAndCancelChangesNothing()
    {
        TFmain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qmitumori->Active());
        QCOMPARE(currentKey(w.Qmitumori), 3);

        onModal<TFmitumori>([](TFmitumori *editor) { editor->reject(); });
        QTest::mouseClick(w.button(QStringLiteral("MitumoriSakuseiBTN")), Qt::LeftButton);
        QCOMPARE(currentKey(w.Qmitumori), 3);
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Mitumori")).toInt(), 3);

        onModal<TFmitumori>([](TFmitumori *editor) { saveIn<TFmitumori, TLRmitumorisyo>(editor); });
        QTest::mouseClick(w.button(QStringLiteral("MitumoriSakuseiBTN")), Qt::LeftButton);
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Mitumori")).toInt(), 4);
        QCOMPARE(currentKey(w.Qmitumori), 4);
        QCOMPARE(w.Qmitumori->RecNo(), 0);
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // "見積書修正" opens the selected estimate; "見積書から納品書作成" copies it into a new note and
    // brings the delivery note page to the front.
    void changeAndNoteFromSelectedEstimate()
    {
        TFmain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.Qmitumori->Active());
        QVERIFY(w.Qmitumori->Locate(2));
        int opened = -1;
        onModal<TFmitumori>([&](TFmitumori *editor) {
            opened = editor->mitumoriKey();
            editor->reject();
        });
        QTest::mouseClick(w.button(QStringLiteral("MitumoriSyuseiBTN")), Qt::LeftButton);
        QCOMPARE(opened, 2);
        QCOMPARE(currentKey(w.Qmitumori), 2);

        int copied = -1;
        onModal<TFnohin>([&](TFnohin *editor) {
            copied = editor->mitumoriKey();
            saveIn<TFnohin, TLRnohinsyo>(editor);
        });
        QTest::mouseClick(w.button(QStringLiteral("Mitumori2NohinBTN")), Qt::LeftButton);
        QCOMPARE(copied, 2);
        QCOMPARE(w.PageControl1->currentIndex(), 1);
        QCOMPARE(w.Qnohin->RecordCount(), 1);
        QCOMPARE(t->scalar(QStringLiteral("select TorihikisakiKey from Nohin where key = 1")).toInt(), 1);
    }
};

QTEST_MAIN(TestEstimateCommands)
#include "tst_estimatecommands.moc"
