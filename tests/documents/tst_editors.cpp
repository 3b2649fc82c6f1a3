// The estimate and delivery note editors driven offscreen as a user would: product call-up in the
// line grid, line amounts and the total, saving with the report window, a note made from an estimate.
#include "../masterdata/ModalHelper.h"
#include "common/Clock.h"
#include "common/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "documents/BilledDocuments.h"
#include "documents/TFmitumori.h"
#include "documents/TFnohin.h"
#include "documents/TMesaiGrid.h"
#include "masters/ProductStore.h"
#include "report/TLRmitumorisyo.h"
#include "report/TLRnohinsyo.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    TEngineDatabase &db() { return t->db(); }
    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    QStringList messages(Messages::Kind kind = Messages::Kind::Information)
    {
        QStringList texts;
        for (const Messages::Record &r : Messages::takeHistory())
            if (r.kind == kind)
                texts << r.text;
        return texts;
    }

    static void show(TDocumentEditor &w)
    {
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    // Puts the current cell on (column, row) and types into its editor.
    static QLineEdit *typeInto(TMesaiGrid *grid, int column, int row, const QString &text)
    {
        grid->setFocus();
        grid->placeCurrent(column, row);
        grid->edit(grid->currentIndex());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!editor)
            return nullptr;
        editor->selectAll();
        typeKeys(editor, text);
        return editor;
    }

    static void enter(QLineEdit *editor) { QTest::keyClick(editor, Qt::Key_Return); }

    // Saves with OK; the report window that follows is closed once it shows the saved document.
    template<class Report> int saveClosingReport(TDocumentEditor &w)
    {
        bool reported = false;
        onModal<Report>([&](Report *report) {
            reported = true;
            report->reject();
        });
        QTest::mouseClick(w.OkBTN, Qt::LeftButton);
        return reported ? 1 : 0;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(QDateTime(QDate(2024, 4, 10), QTime(9, 0)));
        ProductStore::insert(db(), {12, QStringLiteral("事務机"), QString(), QStringLiteral("台"), 15000.5});
        Messages::takeHistory();
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    // Code 12 typed into row 3 and Enter: name, unit and price come from the product, the amount from
    // the quantity already there, and the total follows.
    void productCodeFillsTheRow()
    {
        TFmitumori w;
        show(w);
        w.MesaiGrid->setCell(1, 3, QStringLiteral("2"));
        QLineEdit *editor = typeInto(w.MesaiGrid, 0, 3, QStringLiteral("12"));
        QVERIFY(editor);
        enter(editor);
        QCOMPARE(w.MesaiGrid->cell(0, 3), QStringLiteral("事務机"));
        QCOMPARE(w.MesaiGrid->cell(2, 3), QStringLiteral("台"));
        QCOMPARE(w.MesaiGrid->cell(3, 3), QStringLiteral("15000.5"));
        QCOMPARE(w.MesaiGrid->cell(4, 3), QStringLiteral("30001"));
        QCOMPARE(w.MesaiGrid->currentRow() + 1, 3);
        QCOMPARE(w.MesaiGrid->currentColumn(), 1);
        QCOMPARE(w.Gokei->text(), QStringLiteral("合計：30,001"));
    }

    void unknownCodeCancelsTheMove()
    {
        TFnohin w;
        show(w);
        QLineEdit *editor = typeInto(w.MesaiGrid, 0, 3, QStringLiteral("99"));
        QVERIFY(editor);
        enter(editor);
        QCOMPARE(messages(), QStringList{QStringLiteral("商品がありません")});
        QCOMPARE(w.MesaiGrid->currentRow() + 1, 3);
        QCOMPARE(w.MesaiGrid->currentColumn(), 0);
        QCOMPARE(w.MesaiGrid->cell(0, 3), QStringLiteral("99"));
        QCOMPARE(w.MesaiGrid->cell(2, 3), QString());
    }

    // Amounts are cut toward zero; letters never reach a quantity cell.
    void amountsAndTotal()
    {
        TFmitumori w;
        show(w);
        enter(typeInto(w.MesaiGrid, 1, 1, QStringLiteral("3")));
        enter(typeInto(w.MesaiGrid, 3, 1, QStringLiteral("33.3")));
        QCOMPARE(w.MesaiGrid->cell(4, 1), QStringLiteral("99"));
        enter(typeInto(w.MesaiGrid, 1, 2, QStringLiteral("-1x")));
        QCOMPARE(w.MesaiGrid->cell(1, 2), QStringLiteral("-1"));
        enter(typeInto(w.MesaiGrid, 3, 2, QStringLiteral("2.5")));
        QCOMPARE(w.MesaiGrid->cell(4, 2), QStringLiteral("-2"));
        QCOMPARE(w.Gokei->text(), QStringLiteral("合計：97"));
    }

    // A new estimate saved without a customer registers an empty one; the report window shows it and
    // the window reports the key. Opened again, the estimate keeps key and number.
    void saveReportsKey()
    {
        int key = 0;
        {
            TFmitumori w;
            show(w);
            QVERIFY(!w.NohinBTN->isVisible());
            w.Kenmei->setText(QStringLiteral("事務机の件"));
            enter(typeInto(w.MesaiGrid, 0, 2, QStringLiteral("12")));
            QCOMPARE(saveClosingReport<TLRmitumorisyo>(w), 1);
            QVERIFY(!w.isVisible());
            key = w.mitumoriKey();
        }
        QCOMPARE(key, 1);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 1);
        QCOMPARE(count(QStringLiteral("select Gyo from MitumoriMesai where key = 1")), 2);

        TFmitumori again;
        again.setMitumoriKey(key);
        show(again);
        QVERIFY(again.NohinBTN->isVisible());
        QCOMPARE(again.Kenmei->text(), QStringLiteral("事務机の件"));
        QCOMPARE(again.MesaiGrid->cell(0, 2), QStringLiteral("事務机"));
        QVERIFY(!again.Kaisyamei->isEnabled());
        QVERIFY(again.Keisyo->isEnabled());
        int copied = -1;
        onModal<TFnohin>([&](TFnohin *note) {
            copied = note->mitumoriKey();
            note->reject();
        });
        QTest::mouseClick(again.NohinBTN, Qt::LeftButton);
        QCOMPARE(copied, key);
        QVERIFY(again.isVisible());
        QTest::mouseClick(again.CanBTN, Qt::LeftButton);
        QCOMPARE(again.mitumoriKey(), key);
    }

    // The note made from a stored estimate carries its customer, place, staff, lines and total, dated
    // today without a number; saving it stores a new note.
    void noteFromEstimate()
    {
        {
            TFmitumori e;
            show(e);
            e.Basyo->setText(QStringLiteral("本社"));
            e.DateField->setText(QStringLiteral("2024/03/01"));
            enter(typeInto(e.MesaiGrid, 0, 4, QStringLiteral("12")));
            saveClosingReport<TLRmitumorisyo>(e);
        }
        TFnohin w;
        w.setMitumoriKey(1);
        show(w);
        QCOMPARE(w.DateField->text(), QStringLiteral("2024/04/10"));
        QCOMPARE(w.NumberField->text(), QString());
        QCOMPARE(w.TorihikisakiKey->text(), QStringLiteral("1"));
        QCOMPARE(w.Basyo->text(), QStringLiteral("本社"));
        QCOMPARE(w.MesaiGrid->cell(0, 4), QStringLiteral("事務机"));
        QVERIFY(!w.Keisyo->isEnabled());
        QCOMPARE(saveClosingReport<TLRnohinsyo>(w), 1);
        QCOMPARE(w.nohinKey(), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from NohinMesai where key = 1 and Gyo = 4")), 1);
    }

    // "新規取引先" opens the block for typing; a customer code typed as the name calls the customer up.
    void customerByCode()
    {
        CustomerRecord c;
        c.TorihikisakiCD = 55;
        c.TorihikisakiNM = QStringLiteral("山田商事");
        c.Keisyo = QStringLiteral("殿");
        const int key = CustomerStore::insert(db(), c);
        TFmitumori w;
        show(w);
        QVERIFY(w.Kaisyamei->isReadOnly());
        QTest::mouseClick(w.SinkiTorihikisakiBTN, Qt::LeftButton);
        QVERIFY(!w.Kaisyamei->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), w.Kaisyamei);
        typeKeys(w.Kaisyamei, QStringLiteral("55"));
        QTest::keyClick(w.Kaisyamei, Qt::Key_Tab);
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("山田商事"));
        QCOMPARE(w.TorihikisakiKey->text(), QString::number(key));
        QCOMPARE(w.Keisyo->currentText(), QStringLiteral("御中")); // an honorific of neither kind
        QCOMPARE(QApplication::focusWidget(), w.Kenmei);
    }

    // The note to change was deleted at another computer since the list was read: the editor says so
    // and stores what is typed as a new note.
    void vanishedNoteOpensAsNew()
    {
        TFnohin w;
        w.setNohinKey(7);
        show(w);
        const QStringList said = messages();
        QCOMPARE(said.size(), 1);
        QVERIFY(said.first().startsWith(QStringLiteral("納品書（Key 7）が見つかりません")));
        w.MesaiGrid->setCell(0, 1, QStringLiteral("椅子"));
        QCOMPARE(saveClosingReport<TLRnohinsyo>(w), 1);
        QCOMPARE(w.nohinKey(), 1);
    }

    // A note that an invoice counts says so when it opens; a change of its amount is saved only after
    // the user agreed that the invoice will not follow, and the note keeps its invoice.
    void billedNoteAsksBeforeAChange()
    {
        CustomerRecord c;
        c.TorihikisakiNM = QStringLiteral("山田商事");
        DocumentRecord d;
        d.Hiduke = QDate(2024, 4, 1);
        d.TorihikisakiKey = CustomerStore::insert(db(), c);
        DocumentLine line;
        line.Gyo = 1;
        line.SyohinNM = QStringLiteral("椅子");
        line.Suryo = 2;
        line.Tanka = 15000;
        line.Kingaku = 30000;
        d.lines = {line};
        const int key = DocumentStore::save(db(), Numbering::Kind::Nohin, d, {}).key;
        t->exec(QStringLiteral("update Nohin set SeikyuKey = 5 where key = %1").arg(key));
        TFnohin w;
        w.setNohinKey(key);
        show(w);
        QCOMPARE(messages(), QStringList{BilledDocuments::openedNotice(BilledDocuments::Kind::DeliveryNote)});
        QVERIFY(messages().isEmpty());
        w.MesaiGrid->setCell(3, 1, QStringLiteral("14000"));
        w.MesaiGrid->setCell(4, 1, QStringLiteral("28000"));
        Messages::queueAnswer(false);
        QTest::mouseClick(w.OkBTN, Qt::LeftButton);
        QCOMPARE(messages(Messages::Kind::ConfirmYesNo),
                 QStringList{BilledDocuments::changeQuestion(BilledDocuments::Kind::DeliveryNote)});
        QVERIFY(w.isVisible());
        QCOMPARE(count(QStringLiteral("select Kingaku from Nohin where key = %1").arg(key)), 30000);
        Messages::queueAnswer(true);
        QCOMPARE(saveClosingReport<TLRnohinsyo>(w), 1);
        QCOMPARE(count(QStringLiteral("select Kingaku from Nohin where key = %1").arg(key)), 28000);
        QCOMPARE(count(QStringLiteral("select SeikyuKey from Nohin where key = %1").arg(key)), 5);
    }

    // A customer chosen in the search is shown read-only and out of the tab order; the save registers
    // no customer.
    void customerFromSearch()
    {
        CustomerRecord c;
        c.TorihikisakiNM = QStringLiteral("鈴木工業");
        c.Keisyo = QStringLiteral("様");
        CustomerStore::insert(db(), c);
        const int key = CustomerStore::insert(db(), c);
        TFnohin w;
        show(w);
        onModal<TFtorihikisakiKensaku>([key](TFtorihikisakiKensaku *search) {
            QVERIFY(search->Query1->Locate(key));
            QTest::mouseClick(search->OkBTN, Qt::LeftButton);
        });
        QTest::mouseClick(w.TorihikisakiKensakuBTN, Qt::LeftButton);
        QCOMPARE(w.TorihikisakiKey->text(), QString::number(key));
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("鈴木工業"));
        QCOMPARE(w.Keisyo->currentText(), QStringLiteral("様"));
        QVERIFY(w.Kaisyamei->isReadOnly());
        QCOMPARE(w.Kaisyamei->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(w.focusWidget(), w.Basyo);
        saveClosingReport<TLRnohinsyo>(w);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 2);
        QCOMPARE(count(QStringLiteral("select TorihikisakiKey from Nohin where key = 1")), key);
    }

    // An amount the 32-bit column cannot hold: the save says so, stores nothing and keeps the window
    // open with what was typed.
    void amountBeyond32BitsIsRefused()
    {
        TFmitumori w;
        show(w);
        enter(typeInto(w.MesaiGrid, 4, 1, QStringLiteral("3000000000")));
        QCOMPARE(w.Gokei->text(), QStringLiteral("合計：3,000,000,000"));
        QTest::mouseClick(w.OkBTN, Qt::LeftButton);
        const QStringList errors = messages(Messages::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(QStringLiteral("大きすぎる")), qPrintable(errors.first()));
        QVERIFY(w.isVisible());
        QCOMPARE(w.MesaiGrid->cell(4, 1), QStringLiteral("3000000000"));
        QCOMPARE(w.mitumoriKey(), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Mitumori")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);
    }

    // Not under "手入力": a click into the number field says the number is made automatically.
    void automaticNumberIsNotTyped()
    {
        t->exec(QStringLiteral("insert into NohinSettei (key, SaibanHouhou) values (0, '連番')"));
        TFnohin w;
        show(w);
        QVERIFY(w.NumberField->isReadOnly());
        QTest::mouseClick(w.NumberField, Qt::LeftButton);
        QCOMPARE(messages(), QStringList{QStringLiteral("納品№は自動付番なので編集できません")});
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
