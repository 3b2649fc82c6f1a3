// The payment window driven as a user would, and the payment commands of the main window.
#include "app/ui/TFmain.h"
#include "billing/PaymentStore.h"
#include "billing/ui/TFnyukin.h"
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "documents/BilledDocuments.h"
#include "ModalHelper.h"
#include "report/ui/TLRryosyusyou.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class TestPaymentWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    const QDateTime m_now{QDate(2006, 4, 9), QTime(9, 30)};

    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    void addCustomer(int key, const QString &name, int zenkai)
    {
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM, ZenkaiSeikyuGaku) "
                               "values (%1, '%2', %3)")
                    .arg(key)
                    .arg(name)
                    .arg(zenkai));
    }

    void setNumbering(const QString &method)
    {
        t->exec(QStringLiteral("delete from RyosyusyouSettei"));
        t->exec(QStringLiteral("insert into RyosyusyouSettei (key, SaibanHouhou, Fuka1, Fuka2) "
                               "values (0, '%1', '年月（年２桁）', '-')")
                    .arg(method));
    }

    static void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeKeys(edit, text);
    }

    // Picks the customer whose name holds the fragment through the customer search.
    static void pickCustomer(TFnyukin &w, const QString &fragment)
    {
        bool picked = false;
        onModal<TFtorihikisakiKensaku>([&](TFtorihikisakiKensaku *search) {
            search->Edit1->setText(fragment);
            QTest::mouseClick(search->SpeedButton1, Qt::LeftButton);
            QTest::mouseClick(search->OkBTN, Qt::LeftButton);
            picked = true;
        });
        QTest::mouseClick(w.TorihikisakiKensakuBTN, Qt::LeftButton);
        QVERIFY(picked);
    }

    QStringList errors()
    {
        QStringList texts;
        for (const Messages::Record &r : Messages::takeHistory())
            texts << r.text;
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(m_now);
        t->exec(
            QStringLiteral("insert into JisyaJyoho (key, JisyaNM, NendoKaisiMM, KinyuKikan1, KinyuKikan2) "
                           "values (0, 'カドメル商店', 4, 'みずほ銀行', '')"));
        addCustomer(1, QStringLiteral("山田商事"), 50000);
        addCustomer(2, QStringLiteral("鈴木工業"), 1234567);
        setNumbering(QStringLiteral("月連番"));
        Messages::takeHistory();
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    // A new payment: today's date, "現金" first among the methods, the customer picked through the
    // search with its previous invoice amount, the copy button, and the receipt number taken on save.
    void newPaymentSavedWithPickedCustomer()
    {
        TFnyukin w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("入金登録"));
        QTRY_VERIFY(frameOnScreen(&w)); // with its title bar
        QCOMPARE(w.NyukinYMD->text(), QStringLiteral("2006/04/09"));
        QCOMPARE(w.TorihikisakiKey->text(), QStringLiteral("0"));
        QCOMPARE(w.SiharaiHouHouCB->count(), 4); // the second bank has no name
        QCOMPARE(w.SiharaiHouHouCB->itemText(1), QStringLiteral("みずほ銀行"));
        QCOMPARE(w.SiharaiHouHouCB->currentText(), QStringLiteral("現金"));
        QVERIFY(w.RyosyuNo->isReadOnly());
        QCOMPARE(w.RyosyuNo->focusPolicy(), Qt::NoFocus);

        // A search that ends without a choice changes nothing.
        onModal<TFtorihikisakiKensaku>([](TFtorihikisakiKensaku *search) { search->reject(); });
        QTest::mouseClick(w.TorihikisakiKensakuBTN, Qt::LeftButton);
        QCOMPARE(w.TorihikisakiKey->text(), QStringLiteral("0"));
        QVERIFY(!w.hasUnsavedChanges());

        pickCustomer(w, QStringLiteral("鈴木"));
        QCOMPARE(w.TorihikisakiKey->text(), QStringLiteral("2"));
        QVERIFY(w.hasUnsavedChanges()); // the chosen customer is a change closing the window asks about
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("鈴木工業"));
        QCOMPARE(w.ZenkaiSeikyuGaku->text(), QStringLiteral("1,234,567"));
        QTest::mouseClick(w.KingakuCopyBTN, Qt::LeftButton);
        QCOMPARE(w.Nyukingaku->text(), QStringLiteral("1234567"));
        type(w.NyukinYMD->edit(), QStringLiteral("H180420")); // era letter, leaves on save
        type(w.Tadasigaki, QStringLiteral("お品代として"));
        w.SiharaiHouHouCB->setCurrentIndex(1);

        QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
        QCOMPARE(errors(), QStringList());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.savedKey(), 1);
        const auto stored = PaymentStore::load(t->db(), 1);
        QCOMPARE(stored->NyukinYMD, QDate(2006, 4, 20));
        QCOMPARE(stored->TorihikisakiKey, 2);
        QCOMPARE(stored->Nyukingaku, 1234567);
        QCOMPARE(stored->NyukinHouhou, QStringLiteral("みずほ銀行"));
        QCOMPARE(stored->Tadasigaki, QStringLiteral("お品代として"));
        QCOMPARE(stored->RyosyuNo, QStringLiteral("0604-1"));
    }

    // The first payments, before 領収証設定 was ever opened, are numbered as its new row says: by key.
    void firstPaymentsNumberedWithoutReceiptSettings()
    {
        t->exec(QStringLiteral("delete from RyosyusyouSettei"));
        for (int expected = 1; expected <= 2; ++expected) {
            TFnyukin w;
            w.show();
            QVERIFY(w.RyosyuNo->isReadOnly());
            pickCustomer(w, QStringLiteral("山田"));
            type(w.Nyukingaku, QStringLiteral("8000"));
            QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
            QCOMPARE(errors(), QStringList());
            QCOMPARE(PaymentStore::load(t->db(), w.savedKey())->RyosyuNo, QString::number(expected));
        }
    }

    // What the user typed stays on screen after a refused save, with the reason said.
    void refusedSaveKeepsWindowOpen_data()
    {
        QTest::addColumn<bool>("pick");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("date");    // today's when empty
        QTest::addColumn<QString>("message"); // its beginning
        // The copy value before any customer is 0.
        QTest::newRow("no customer") << false << ""
                                     << ""
                                     << "取引先が選択されていません";
        QTest::newRow("amount too large") << true << "3000000000"
                                          << ""
                                          << "入金額が大きすぎます";
        QTest::newRow("no amount") << true << "-"
                                   << ""
                                   << "入金額に整数を入力してください";
        QTest::newRow("date too short") << true << ""
                                        << "12"
                                        << "12は日付ではありません";
    }
    void refusedSaveKeepsWindowOpen()
    {
        QFETCH(bool, pick);
        QFETCH(QString, amount);
        QFETCH(QString, date);
        QFETCH(QString, message);
        TFnyukin w;
        w.show();
        if (!date.isEmpty())
            w.NyukinYMD->setText(date);
        if (pick)
            pickCustomer(w, QStringLiteral("山田"));
        QTest::mouseClick(w.KingakuCopyBTN, Qt::LeftButton);
        QCOMPARE(w.Nyukingaku->text(), pick ? QStringLiteral("50000") : QStringLiteral("0"));
        if (!amount.isEmpty())
            w.Nyukingaku->setText(amount);
        QTest::mouseClick(w.TorokuInsatuBTN, Qt::LeftButton);
        const QStringList said = errors();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(message), qPrintable(said.first()));
        QVERIFY(w.isVisible());
        QCOMPARE(w.savedKey(), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from Nyukin")), 0);
    }

    // A stored payment opens as saved; a method no longer offered shows empty. Under "手入力" the
    // typed receipt number of the change is stored; its invoice stays. The payment is billed: opening
    // says so, and a change of its amount is saved only after the user agreed.
    void changeOfStoredPayment()
    {
        setNumbering(QStringLiteral("手入力"));
        t->exec(QStringLiteral(
            "insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, TorihikisakiKey, "
            "Nyukingaku, "
            "NyukinHouhou, Tadasigaki, SeikyuKey) values (4, 'R-1', '2006-03-31', 2006, 3, 1, 1, 8000, "
            "'振込', '内金', 9)"));
        TFnyukin w;
        w.NyukinKey = 4;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("入金修正"));
        QCOMPARE(errors(), QStringList{BilledDocuments::openedNotice(BilledDocuments::Kind::Payment)});
        QCOMPARE(w.NyukinYMD->text(), QStringLiteral("2006/03/31"));
        QCOMPARE(w.TorihikisakiKey->text(), QStringLiteral("1"));
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("山田商事"));
        QCOMPARE(w.ZenkaiSeikyuGaku->text(), QStringLiteral("50,000"));
        QCOMPARE(w.Nyukingaku->text(), QStringLiteral("8000"));
        QCOMPARE(w.SiharaiHouHouCB->currentText(), QString());
        QCOMPARE(w.Tadasigaki->text(), QStringLiteral("内金"));
        QCOMPARE(w.RyosyuNo->text(), QStringLiteral("R-1"));
        QVERIFY(!w.RyosyuNo->isReadOnly());
        type(w.RyosyuNo, QStringLiteral("R-1a"));
        type(w.Nyukingaku, QStringLiteral("8500"));
        const QStringList question{BilledDocuments::changeQuestion(BilledDocuments::Kind::Payment)};
        Messages::queueAnswer(false);
        QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
        QCOMPARE(errors(), question);
        QCOMPARE(w.savedKey(), 0);
        QCOMPARE(PaymentStore::load(t->db(), 4)->Nyukingaku, 8000);
        QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
        QCOMPARE(errors(), question);
        QCOMPARE(w.savedKey(), 4);
        const auto stored = PaymentStore::load(t->db(), 4);
        QCOMPARE(stored->RyosyuNo, QStringLiteral("R-1a"));
        QCOMPARE(stored->Nyukingaku, 8500);
        QCOMPARE(stored->NyukinHouhou, QString());
        QCOMPARE(stored->SeikyuKey, 9);
    }

    // Another computer billed the payment after the window opened: the save says so and stores
    // nothing, the window keeps what was typed, and saving again asks as for a billed payment.
    void billedAfterOpening()
    {
        t->exec(QStringLiteral(
            "insert into Nyukin (key, RyosyuNo, NyukinYMD, NyukinY, NyukinM, Seq, TorihikisakiKey, "
            "Nyukingaku, NyukinHouhou, Tadasigaki, SeikyuKey) values (4, 'R-1', '2006-03-31', 2006, 3, 1, 1, "
            "8000, '現金', '内金', 0)"));
        TFnyukin w;
        w.NyukinKey = 4;
        w.show();
        QCOMPARE(errors(), QStringList());
        t->exec(QStringLiteral("update Nyukin set SeikyuKey = 9 where key = 4"));
        type(w.Nyukingaku, QStringLiteral("8500"));
        QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
        const QStringList refusal = errors();
        QCOMPARE(refusal.size(), 1);
        QVERIFY2(refusal.first().contains(QStringLiteral("請求書に計上されました")),
                 qPrintable(refusal.first()));
        QCOMPARE(PaymentStore::load(t->db(), 4)->Nyukingaku, 8000);
        QVERIFY(w.isVisible());
        QCOMPARE(w.Nyukingaku->text(), QStringLiteral("8500"));
        QTest::mouseClick(w.TorokuBTN, Qt::LeftButton);
        QCOMPARE(errors(), QStringList{BilledDocuments::changeQuestion(BilledDocuments::Kind::Payment)});
        QCOMPARE(w.savedKey(), 4);
        QCOMPARE(PaymentStore::load(t->db(), 4)->Nyukingaku, 8500);
        QCOMPARE(PaymentStore::load(t->db(), 4)->SeikyuKey, 9);
    }

    // "登録→領収書印刷" saves, closes, and shows the receipt of the saved payment.
    void saveAndPrintShowsReceipt()
    {
        int printedKey = 0;
        QString title;
        bool windowClosed = false;
        TFnyukin w;
        onModal<TLRryosyusyou>([&](TLRryosyusyou *receipt) {
            title = receipt->windowTitle();
            printedKey = receipt->Qnyukin->ParamByName(QStringLiteral("key")).value().toInt();
            windowClosed = !w.isVisible();
            receipt->close();
        });
        w.show();
        pickCustomer(w, QStringLiteral("山田"));
        w.Nyukingaku->setText(QStringLiteral("30000"));
        QTest::mouseClick(w.TorokuInsatuBTN, Qt::LeftButton);
        QCOMPARE(errors(), QStringList());
        QCOMPARE(w.savedKey(), 1);
        QCOMPARE(printedKey, 1);
        QCOMPARE(title, QStringLiteral("領収証"));
        QVERIFY(windowClosed);
    }
    // "入金登録" and the save refresh the payment list; "入金修正" (a double click too) opens the
    // selected payment and the list stays on it; "領収証印刷" shows the selected payment's receipt.
    void mainWindowCommands()
    {
        t->writeConnectionSettings();
        t->exec(QStringLiteral("insert into Nyukin (key, NyukinYMD, TorihikisakiKey, Nyukingaku, SeikyuKey) "
                               "values (1, '2006-04-01', 1, 1000, 0)"));
        TFmain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_VERIFY(main.Qnyukin->Active());
        QCOMPARE(main.Qnyukin->RecordCount(), 1);
        for (const char *name : {"NyukinTorokuBTN", "NyukinSyuseiBTN", "RyosyuInsatuBTN"})
            QVERIFY2(main.button(QLatin1String(name))->isEnabled(), name);

        bool registered = false;
        onModal<TFnyukin>([&](TFnyukin *w) {
            QCOMPARE(w->NyukinKey, 0);
            pickCustomer(*w, QStringLiteral("鈴木"));
            w->Nyukingaku->setText(QStringLiteral("2000"));
            QTest::mouseClick(w->TorokuBTN, Qt::LeftButton);
            registered = true;
        });
        QTest::mouseClick(main.button(QStringLiteral("NyukinTorokuBTN")), Qt::LeftButton);
        QVERIFY(registered);
        QCOMPARE(main.Qnyukin->RecordCount(), 2);

        main.PageControl1->setCurrentIndex(2);
        main.Qnyukin->Last();
        QCOMPARE(main.Qnyukin->FieldByName(QStringLiteral("key")).AsInteger(), 2);
        int opened = 0;
        onModal<TFnyukin>([&](TFnyukin *w) {
            opened = w->NyukinKey;
            w->Nyukingaku->setText(QStringLiteral("2500"));
            QTest::mouseClick(w->TorokuBTN, Qt::LeftButton);
        });
        TDBGridEx *grid = main.NyukinGrid;
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(opened, 2);
        QCOMPARE(main.Qnyukin->FieldByName(QStringLiteral("key")).AsInteger(), 2);
        QCOMPARE(main.Qnyukin->FieldByName(QStringLiteral("Nyukingaku")).AsInteger(), 2500);

        int printed = 0;
        onModal<TLRryosyusyou>([&](TLRryosyusyou *receipt) {
            printed = receipt->Qnyukin->ParamByName(QStringLiteral("key")).value().toInt();
            receipt->close();
        });
        QTest::mouseClick(main.button(QStringLiteral("RyosyuInsatuBTN")), Qt::LeftButton);
        QCOMPARE(printed, 2);
        QCOMPARE(errors(), QStringList());
        main.close();
    }
};

QTEST_MAIN(TestPaymentWindow)
#include "tst_paymentwindow.moc"
