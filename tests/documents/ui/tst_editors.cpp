// The estimate and delivery note editors driven offscreen as a user would: product call-up in the
// line grid, line amounts and the total, saving with the report window, a note made from an estimate.
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "documents/BilledDocuments.h"
#include "documents/ui/TFmitumori.h"
#include "documents/ui/TFnohin.h"
#include "documents/ui/TMesaiGrid.h"
#include "masters/ProductStore.h"
#include "ModalHelper.h"
#include "report/ui/TLRmitumorisyo.h"
#include "report/ui/TLRnohinsyo.h"
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

    // "新規取引先" with a company name typed: the save registers that customer.
    static void newCustomer(TDocumentEditor &w, const QString &name = QStringLiteral("新規商事"))
    {
        QTest::mouseClick(w.SinkiTorihikisakiBTN, Qt::LeftButton);
        w.Kaisyamei->setText(name);
    }

    static void clickCell(TMesaiGrid *grid, int column, int row)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

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

    // With the qualified-invoice option the grid shows a rate column: the product's rate at call-up
    // ("※" on a reduced-rate row), 10% for a row typed without a product; beside the total the
    // subtotal and the tax per rate; the save keeps the rates. Without the option none of it shows.
    void taxOption_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("option on") << true;
        QTest::newRow("option off") << false;
    }
    void taxOption()
    {
        QFETCH(bool, enabled);
        t->exec(
            QStringLiteral("insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM, TekikakuKBN) "
                           "values (0, '自社', 99, 4, %1)")
                .arg(enabled ? 1 : 0));
        t->exec(QStringLiteral("update Syohin set ZeiRitu = 8 where SyohinCD = 12"));
        TFmitumori w;
        show(w);
        QCOMPARE(w.MesaiGrid->rateColumnShown(), enabled);
        QCOMPARE(w.Zeigaku->isVisible(), enabled);
        w.MesaiGrid->setCell(1, 1, QStringLiteral("1"));
        enter(typeInto(w.MesaiGrid, 0, 1, QStringLiteral("12")));
        enter(typeInto(w.MesaiGrid, 1, 2, QStringLiteral("1")));
        enter(typeInto(w.MesaiGrid, 3, 2, QStringLiteral("1005")));
        if (!enabled) {
            QCOMPARE(w.MesaiGrid->cell(kRateColumn, 1), QString());
            QCOMPARE(w.Gokei->text(), QStringLiteral("合計：16,005"));
        } else {
            QCOMPARE(w.MesaiGrid->cell(kRateColumn, 1), QStringLiteral("8%※"));
            QCOMPARE(w.MesaiGrid->cell(kRateColumn, 2), QStringLiteral("10%"));
            QCOMPARE(w.Zeigaku->text(), QStringLiteral("小計：16,005　消費税：1,300（10%：100　8%：1,200）"));
            QCOMPARE(w.Gokei->text(), QStringLiteral("合計：17,305"));
        }
        newCustomer(w);
        QCOMPARE(saveClosingReport<TLRmitumorisyo>(w), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from MitumoriMesai where ZeiRitu = 8")),
                 enabled ? 1 : 0);
        QCOMPARE(count(QStringLiteral("select count(*) from MitumoriMesai where ZeiRitu is null")),
                 enabled ? 0 : 2);
        QCOMPARE(count(QStringLiteral("select Kingaku from Mitumori")), 16005);
        QCOMPARE(t->scalar(QStringLiteral("select Zei8 from Mitumori")).isNull(), !enabled);
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

    // A new estimate saved with a new customer registers it; the report window shows it and the
    // window reports the key. Opened again, the estimate keeps key and number, and the stored
    // customer's honorific (which the page prints) cannot be changed.
    void saveReportsKey()
    {
        int key = 0;
        {
            TFmitumori w;
            show(w);
            QVERIFY(!w.NohinBTN->isVisible());
            newCustomer(w);
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
        QVERIFY(!again.Keisyo->isEnabled());
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
            newCustomer(e);
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
        typeKeys(w.Kaisyamei, QStringLiteral("５５")); // as the input method delivers it
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
        newCustomer(w);
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
        c.Jyusyo1 = QStringLiteral("北海道札幌市中央区北一条西二丁目一番地　札幌中央ビルディング十二階");
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
        QCOMPARE(w.Jyusyo1->cursorPosition(), 0); // a long address shows from its beginning
        QVERIFY(!w.Keisyo->isEnabled());
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

    // A quantity typed and OK pressed without leaving the cell, and a product code left in the name
    // column: the stored lines carry the amounts the rows show, the total is their sum.
    void okCompletesEveryRow()
    {
        TFnohin w;
        show(w);
        newCustomer(w);
        w.MesaiGrid->setCell(1, 1, QStringLiteral("3"));
        w.MesaiGrid->setCell(3, 1, QStringLiteral("100"));
        w.MesaiGrid->setCell(4, 1, QStringLiteral("300"));
        w.MesaiGrid->setCell(1, 5, QStringLiteral("2"));
        typeInto(w.MesaiGrid, 0, 5, QStringLiteral("１２"));
        QVERIFY(typeInto(w.MesaiGrid, 1, 1, QStringLiteral("5")));
        QCOMPARE(saveClosingReport<TLRnohinsyo>(w), 1);
        QCOMPARE(count(QStringLiteral("select Kingaku from NohinMesai where Gyo = 1")), 500);
        QCOMPARE(t->scalar(QStringLiteral("select SyohinNM from NohinMesai where Gyo = 5")).toString(),
                 QStringLiteral("事務机"));
        QCOMPARE(count(QStringLiteral("select Kingaku from NohinMesai where Gyo = 5")), 30001);
        QCOMPARE(count(QStringLiteral("select Kingaku from Nohin")), 30501);
    }

    // A price changed and another row clicked: the amount and the total follow at once.
    void committedPriceMovesTheAmount()
    {
        TFmitumori w;
        show(w);
        enter(typeInto(w.MesaiGrid, 1, 1, QStringLiteral("5")));
        enter(typeInto(w.MesaiGrid, 3, 1, QStringLiteral("100")));
        QCOMPARE(w.MesaiGrid->cell(4, 1), QStringLiteral("500"));
        QVERIFY(typeInto(w.MesaiGrid, 3, 1, QStringLiteral("200")));
        clickCell(w.MesaiGrid, 0, 4);
        QCOMPARE(w.MesaiGrid->currentRow() + 1, 4);
        QCOMPARE(w.MesaiGrid->cell(4, 1), QStringLiteral("1000"));
        QCOMPARE(w.Gokei->text(), QStringLiteral("合計：1,000"));
    }

    // An unknown product code still in the name column refuses the save naming its row.
    void unknownCodeAtOkRefusesTheSave()
    {
        TFnohin w;
        show(w);
        newCustomer(w);
        w.MesaiGrid->setCell(0, 7, QStringLiteral("99"));
        QTest::mouseClick(w.OkBTN, Qt::LeftButton);
        const QStringList said = messages();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(QStringLiteral("7行目の商品コード「99」の商品がありません")),
                 qPrintable(said.first()));
        QVERIFY(w.isVisible());
        QCOMPARE(count(QStringLiteral("select count(*) from Nohin")), 0);
    }

    // Typing and deleting in the middle of a cell work as in any text field.
    void editingInsideACell_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::addRow("insert into name") << 0 << "abcd" << 1 << 0 << "XY"
                                          << "aXYbcd";
        QTest::addRow("insert into quantity") << 1 << "1234" << 2 << 0 << "56"
                                              << "125634";
        QTest::addRow("replace inside unit") << 2 << "ケース箱" << 3 << 2 << "段ボ"
                                             << "ケ段ボ箱";
    }
    void editingInsideACell()
    {
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(int, backspaces);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        TFmitumori w;
        show(w);
        QLineEdit *editor = typeInto(w.MesaiGrid, column, 2, before);
        QVERIFY(editor);
        editor->setCursorPosition(cursor);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(editor, Qt::Key_Backspace);
        typeKeys(editor, typed);
        QCOMPARE(editor->text(), after);
        enter(editor);
        QCOMPARE(w.MesaiGrid->cell(column, 2), after);
    }

    // Name and unit cells stop at their columns' byte lengths (40 and 10; a kanji takes two).
    void cellsStopAtTheirByteLength()
    {
        TFnohin w;
        show(w);
        enter(typeInto(w.MesaiGrid, 0, 1, QString(25, QChar(u'机'))));
        QCOMPARE(w.MesaiGrid->cell(0, 1), QString(20, QChar(u'机')));
        enter(typeInto(w.MesaiGrid, 2, 1, QStringLiteral("ケースケースab")));
        QCOMPARE(w.MesaiGrid->cell(2, 1), QStringLiteral("ケースケー"));
    }

    // Without a date, with an unreadable one, or with a new customer left without a name, the save
    // says why and stores nothing.
    void incompleteHeaderRefusesTheSave_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("message");
        QTest::addRow("no date") << QString() << "新規商事"
                                 << "日付がない";
        QTest::addRow("unreadable date") << "2024/13/45"
                                         << "新規商事"
                                         << "日付がない";
        QTest::addRow("no customer") << "2024/04/10" << QString() << "取引先の会社名がありません";
    }
    void incompleteHeaderRefusesTheSave()
    {
        QFETCH(QString, date);
        QFETCH(QString, customer);
        QFETCH(QString, message);
        TFmitumori w;
        show(w);
        newCustomer(w, customer);
        w.DateField->setText(date);
        w.MesaiGrid->setCell(0, 1, QStringLiteral("椅子"));
        QTest::mouseClick(w.OkBTN, Qt::LeftButton);
        const QStringList errors = messages(Messages::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(message), qPrintable(errors.first()));
        QVERIFY(w.isVisible());
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
