// The customer master: its rules on both engines, and the list and edit windows driven as a user
// would.
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "masters/CustomerStore.h"
#include "masters/ui/TFtorihikisakiMaster.h"
#include "masters/ui/TFtorihikisakiMaster2.h"
#include "ModalHelper.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QTest>
#include <QToolButton>

class TestCustomerMaster : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    const QDateTime m_now{QDate(2024, 4, 1), QTime(9, 30)};

    TEngineDatabase &db() { return t->db(); }

    int addCustomer(const QString &name, int code = 0, const QString &keisyo = QStringLiteral("御中"))
    {
        CustomerRecord c;
        c.TorihikisakiNM = name;
        c.TorihikisakiCD = code;
        c.Keisyo = keisyo;
        return CustomerStore::insert(db(), c);
    }

    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    static void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeKeys(edit, text);
    }

    // Opens the list window, runs the action on the edit window that the button opens, and waits
    // until the edit window is gone.
    void onEditor(TFtorihikisakiMaster &list, QPushButton *button,
                  std::function<void(TFtorihikisakiMaster2 *)> edit)
    {
        bool ran = false;
        onModal<TFtorihikisakiMaster2>([&](TFtorihikisakiMaster2 *editor) {
            ran = true;
            edit(editor);
            if (editor->isVisible()) {
                editor->setModified(false); // the test gives up what it typed
                editor->reject();
            }
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(ran);
        Q_UNUSED(list);
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(m_now);
        Messages::takeHistory();
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    void newKeyIsHighestPlusOneAndCodesMayRepeat()
    {
        QCOMPARE(addCustomer(QStringLiteral("山田商事"), 7), 1);
        QCOMPARE(addCustomer(QStringLiteral("鈴木工業"), 7), 2);
        QCOMPARE(CustomerStore::remove(db(), 2).total(), 0);
        QCOMPARE(addCustomer(QStringLiteral("佐藤商店"), 8), 2); // the deleted highest key is taken again
        const auto first = CustomerStore::load(db(), 1);
        QVERIFY(first);
        QCOMPARE(first->TorihikisakiCD, 7);
        QCOMPARE(first->TorokuYMD, m_now);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki where TorihikisakiCD = 7")), 1);
        QVERIFY(!CustomerStore::load(db(), 3));
    }

    void updateOfVanishedCustomerFails()
    {
        CustomerRecord c;
        c.key = 5;
        QVERIFY_THROWS_EXCEPTION(EngineError, CustomerStore::update(db(), c));
    }

    // Another computer deletes the customer while this one saves a change to it or deletes it too:
    // the statement finds no row once the other's delete is committed, and must say so.
    void changeWhileDeletedAtAnotherComputerFails_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("message");
        QTest::newRow("update") << false << "取引先（Key 2）が見つかりません";
        QTest::newRow("delete") << true << "取引先（Key 2）は既に削除されています";
    }
    void changeWhileDeletedAtAnotherComputerFails()
    {
        QFETCH(bool, remove);
        QFETCH(QString, message);
        addCustomer(QStringLiteral("山田商事"));
        const int key = addCustomer(QStringLiteral("鈴木工業"));
        CustomerRecord changed = *CustomerStore::load(db(), key);
        changed.TorihikisakiNM = QStringLiteral("鈴木工業株式会社");
        OtherComputer other(*t);
        other.writeAndHold([key](TEngineDatabase &otherDb) {
            TEngineQuery q(&otherDb);
            q.addSql(QStringLiteral("delete from Torihikisaki where Key = %1").arg(key));
            q.ExecSQL();
        });
        QString error;
        try {
            if (remove)
                CustomerStore::remove(db(), key);
            else
                CustomerStore::update(db(), changed);
        } catch (const EngineError &e) {
            error = e.message();
        }
        QCOMPARE(other.finish(), QString());
        QCOMPARE(error, message);
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 1);
    }

    // A document save at another computer takes the customers' lock before it stores a document
    // for the customer; a delete here waits for it and then finds the document.
    void deleteWaitsForDocumentSavedAtAnotherComputer()
    {
        const int key = addCustomer(QStringLiteral("山田商事"));
        OtherComputer other(*t);
        other.writeAndHold([key](TEngineDatabase &otherDb) {
            otherDb.LockForNumbering(QStringLiteral("Torihikisaki"));
            TEngineQuery q(&otherDb);
            q.addSql(QStringLiteral("insert into Mitumori (key, TorihikisakiKey) values (1, %1)").arg(key));
            q.ExecSQL();
        });
        const DocumentReferences r = CustomerStore::remove(db(), key);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(r.estimates, 1);
        QVERIFY(CustomerStore::load(db(), key));
    }

    // A document save registers its new customer inside its own transaction: the customer goes
    // with the document or not at all. Alone, adding a customer commits by itself.
    void insertJoinsCallersTransaction()
    {
        {
            TEngineTransaction documentSave(db());
            QCOMPARE(addCustomer(QStringLiteral("山田商事")), 1);
            QVERIFY(db().InTransaction());
        } // rolled back, as when the document could not be stored
        QVERIFY(!db().InTransaction());
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);

        QCOMPARE(addCustomer(QStringLiteral("鈴木工業")), 1);
        QVERIFY(!db().InTransaction());
        TEngineSession session;
        TEngineDatabase otherDb(&session, QStringLiteral("OtherComputer"));
        t->configure(session, otherDb);
        TEngineQuery q(&otherDb);
        q.addSql(QStringLiteral("select TorihikisakiNM from Torihikisaki"));
        q.Open();
        QCOMPARE(q.Field(0).AsString(), QStringLiteral("鈴木工業"));
    }

    void shownHonorific_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("company") << "御中"
                                 << "御中";
        QTest::newRow("person") << "様"
                                << "様";
        QTest::newRow("empty") << ""
                               << "御中";
        QTest::newRow("other text") << "殿"
                                    << "御中";
    }
    void shownHonorific()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(CustomerStore::shownHonorific(stored), shown);
    }

    void customerWithDocumentsIsKept()
    {
        const int key = addCustomer(QStringLiteral("山田商事"));
        t->exec(QStringLiteral("insert into Mitumori (key, TorihikisakiKey) values (1, %1)").arg(key));
        t->exec(
            QStringLiteral("insert into Nohin (key, TorihikisakiKey, SeikyuKey) values (1, %1, 0)").arg(key));
        t->exec(
            QStringLiteral("insert into Nohin (key, TorihikisakiKey, SeikyuKey) values (2, %1, 0)").arg(key));
        t->exec(QStringLiteral("insert into Nyukin (key, TorihikisakiKey) values (1, %1)").arg(key));
        t->exec(QStringLiteral("insert into Seikyu (key, TorihikisakiKey) values (1, %1)").arg(key));
        const DocumentReferences r = CustomerStore::remove(db(), key);
        QCOMPARE(r.estimates, 1);
        QCOMPARE(r.deliveryNotes, 2);
        QCOMPARE(r.payments, 1);
        QCOMPARE(r.invoices, 1);
        QVERIFY(CustomerStore::load(db(), key));
        QVERIFY(CustomerStore::referencesMessage(r).contains(QStringLiteral("5件")));
    }

    void listShowsColumnsInKeyOrder()
    {
        addCustomer(QStringLiteral("山田商事"));
        addCustomer(QStringLiteral("鈴木工業"));
        TFtorihikisakiMaster list;
        list.show();
        QAbstractItemModel *model = list.DBGrid1->model();
        const QStringList titles = {"key",    "取引先CD",   "取引先名",   "〒",    "住所１",
                                    "住所２", "Tel",        "Fax",        "部署",  "担当者",
                                    "Mail",   "期首売掛残", "前回請求額", "登録日"};
        QCOMPARE(model->columnCount(), titles.size());
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles.at(c));
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("鈴木工業"));
        QCOMPARE(model->index(0, 13).data().toString(), QStringLiteral("2024/04/01 09:30:00"));
    }

    void deleteButtonTurnsRedUnderPointer()
    {
        TFtorihikisakiMaster list;
        list.show();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(list.DelBTN, &enter);
        QCOMPARE(list.DelBTN->faceColor(), QColor(Qt::red));
        QApplication::sendEvent(list.AddBTN, &enter);
        QCOMPARE(list.AddBTN->faceColor(), QColor(Qt::white));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(list.DelBTN, &leave);
        QCOMPARE(list.DelBTN->faceColor(), QApplication::palette().color(QPalette::Button));
    }

    void addStoresEveryField()
    {
        TFtorihikisakiMaster list;
        list.show();
        QStringList defaults;
        bool onScreen = false;
        onEditor(list, list.AddBTN, [&](TFtorihikisakiMaster2 *e) {
            onScreen = frameOnScreen(e);
            defaults = {e->Key->text(),          e->Keisyo->currentText(),
                        e->Kisyuzan->text(),     e->ZenkaiSeikyuGaku->text(),
                        e->SeikyuSimebi->text(), e->TorihikisakiNM->text()};
            type(e->TorihikisakiCD, QStringLiteral("12"));
            type(e->TorihikisakiNM, QStringLiteral("山田太郎"));
            e->Keisyo->setCurrentText(QStringLiteral("様"));
            type(e->Yubin, QStringLiteral("100-0001"));
            type(e->Jyusyo1, QStringLiteral("東京都千代田区"));
            type(e->Jyusyo2, QStringLiteral("千代田ビル"));
            type(e->Tel, QStringLiteral("03-1234-5678"));
            type(e->Fax, QStringLiteral("03-1234-5679"));
            type(e->Busyo, QStringLiteral("総務部"));
            type(e->Tantosya, QStringLiteral("山田"));
            type(e->Mail, QStringLiteral("taro@example.jp"));
            type(e->Kisyuzan, QStringLiteral("5000"));
            type(e->ZenkaiSeikyuGaku, QStringLiteral("12000"));
            type(e->SeikyuSimebi, QStringLiteral("99"));
            QTest::mouseClick(e->OkBTN, Qt::LeftButton);
        });
        QVERIFY(onScreen); // with its title bar
        QCOMPARE(defaults, QStringList({"0", "御中", "0", "0", "0", ""}));
        const auto c = CustomerStore::load(db(), 1);
        QVERIFY(c);
        QCOMPARE(c->TorihikisakiCD, 12);
        QCOMPARE(c->TorihikisakiNM, QStringLiteral("山田太郎"));
        QCOMPARE(c->Keisyo, QStringLiteral("様"));
        QCOMPARE(
            QStringList({c->Yubin, c->Jyusyo1, c->Jyusyo2, c->Tel, c->Fax, c->Busyo, c->Tantosya, c->Mail}),
            QStringList({"100-0001", "東京都千代田区", "千代田ビル", "03-1234-5678", "03-1234-5679", "総務部",
                         "山田", "taro@example.jp"}));
        QCOMPARE(c->Kisyuzan, 5000);
        QCOMPARE(c->ZenkaiSeikyuGaku, 12000);
        QCOMPARE(c->SeikyuSimebi, 99);
        QCOMPARE(c->TorokuYMD, m_now);
        QCOMPARE(list.DBGrid1->model()->rowCount(), 1); // the list was read again
    }

    void modifyShowsStoredRowAndKeepsKeyAndRegistration()
    {
        addCustomer(QStringLiteral("山田商事"), 1);
        addCustomer(QStringLiteral("鈴木工業"), 2, QStringLiteral("殿"));
        Clock::setFixed(m_now.addDays(3));
        TFtorihikisakiMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        QString shownKeisyo, shownKey;
        bool shownFromStart = false;
        onEditor(list, list.UpdBTN, [&](TFtorihikisakiMaster2 *e) {
            shownKey = e->Key->text();
            shownKeisyo = e->Keisyo->currentText();
            shownFromStart = e->TorihikisakiNM->cursorPosition() == 0; // long names show their beginning
            type(e->TorihikisakiNM, QStringLiteral("鈴木工業株式会社"));
            type(e->SeikyuSimebi, QStringLiteral("0"));
            QTest::mouseClick(e->OkBTN, Qt::LeftButton);
        });
        QCOMPARE(shownKey, QStringLiteral("2"));
        QCOMPARE(shownKeisyo, QStringLiteral("御中"));
        QVERIFY(shownFromStart);
        const auto c = CustomerStore::load(db(), 2);
        QCOMPARE(c->TorihikisakiNM, QStringLiteral("鈴木工業株式会社"));
        QCOMPARE(c->Keisyo, QStringLiteral("御中")); // an unknown honorific is stored as 御中 once confirmed
        QCOMPARE(c->SeikyuSimebi, 0);
        QCOMPARE(c->TorokuYMD, m_now);
        QCOMPARE(CustomerStore::load(db(), 1)->TorihikisakiNM, QStringLiteral("山田商事"));
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 2);
    }

    void cancelStoresNothingButRereadsList_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("キャンセル") << true;
        QTest::newRow("title bar") << false;
    }
    void cancelStoresNothingButRereadsList()
    {
        QFETCH(bool, byButton);
        addCustomer(QStringLiteral("山田商事"));
        TFtorihikisakiMaster list;
        list.show();
        onEditor(list, list.UpdBTN, [&](TFtorihikisakiMaster2 *e) {
            type(e->TorihikisakiNM, QStringLiteral("変更"));
            addCustomer(QStringLiteral("別の端末で追加"));
            if (byButton)
                QTest::mouseClick(e->MakatiButton2, Qt::LeftButton);
            else
                e->close();
        });
        QCOMPARE(CustomerStore::load(db(), 1)->TorihikisakiNM, QStringLiteral("山田商事"));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 2);
    }

    void numberFieldWithoutNumberKeepsEditorOpen_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // names the field
        QTest::newRow("empty code") << "TorihikisakiCD"
                                    << ""
                                    << "取引先CDに整数を入力してください（'' は整数ではありません）";
        QTest::newRow("empty closing day") << "SeikyuSimebi"
                                           << ""
                                           << "請求締日に整数を入力してください（'' は整数ではありません）";
        QTest::newRow("amount beyond 32 bits")
            << "Kisyuzan"
            << "9999999999"
            << "期首売掛残に整数を入力してください（'9999999999' は整数ではありません）";
        QTest::newRow("empty previous invoice amount")
            << "ZenkaiSeikyuGaku"
            << ""
            << "前回請求額に整数を入力してください（'' は整数ではありません）";
    }
    void numberFieldWithoutNumberKeepsEditorOpen()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TFtorihikisakiMaster list;
        list.show();
        bool stillOpen = false;
        QString name;
        onEditor(list, list.AddBTN, [&](TFtorihikisakiMaster2 *e) {
            type(e->TorihikisakiNM, QStringLiteral("山田商事"));
            type(e->TorihikisakiCD, QStringLiteral("1"));
            type(e->findChild<QLineEdit *>(field), typed);
            QTest::mouseClick(e->OkBTN, Qt::LeftButton);
            stillOpen = e->isVisible();
            name = e->TorihikisakiNM->text();
        });
        QVERIFY(stillOpen);
        QCOMPARE(name, QStringLiteral("山田商事"));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QCOMPARE(said.first().text, message);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);
    }

    void engineFailureSaysSoAndKeepsWhatWasTyped()
    {
        addCustomer(QStringLiteral("山田商事"));
        TFtorihikisakiMaster list;
        list.show();
        bool stillOpen = false;
        onEditor(list, list.UpdBTN, [&](TFtorihikisakiMaster2 *e) {
            t->exec(QStringLiteral("delete from Torihikisaki")); // deleted at another computer meanwhile
            type(e->TorihikisakiNM, QStringLiteral("変更後"));
            QTest::mouseClick(e->OkBTN, Qt::LeftButton);
            stillOpen = e->isVisible() && e->TorihikisakiNM->text() == QStringLiteral("変更後");
        });
        QVERIFY(stillOpen);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().text, QStringLiteral("更新に失敗しました"));
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 0);
    }

    void deleteAsksAndHonoursAnswer()
    {
        addCustomer(QStringLiteral("山田商事"));
        addCustomer(QStringLiteral("鈴木工業"));
        TFtorihikisakiMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        Messages::queueAnswer(false);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        QCOMPARE(count(QStringLiteral("select count(*) from Torihikisaki")), 2);
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        Messages::queueAnswer(true);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        QVERIFY(!CustomerStore::load(db(), 2));
        QVERIFY(CustomerStore::load(db(), 1));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.at(0).kind, Messages::Kind::ConfirmYesNo);
        QCOMPARE(said.at(0).text, QStringLiteral("2 鈴木工業を削除してもよろしいですか？"));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 1);
    }

    void deleteOfCustomerGoneMeanwhileSaysSo()
    {
        addCustomer(QStringLiteral("山田商事"));
        addCustomer(QStringLiteral("鈴木工業"));
        TFtorihikisakiMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        t->exec(QStringLiteral("delete from Torihikisaki where Key = 2")); // at another computer
        Messages::queueAnswer(true);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.at(1).kind, Messages::Kind::Error);
        QCOMPARE(said.at(1).text, QStringLiteral("取引先（Key 2）は既に削除されています"));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 1);
    }

    void deleteRefusedWhileDocumentsReferToCustomer()
    {
        addCustomer(QStringLiteral("山田商事"));
        t->exec(QStringLiteral("insert into Nohin (key, TorihikisakiKey, SeikyuKey) values (1, 1, 0)"));
        t->exec(QStringLiteral("insert into Nyukin (key, TorihikisakiKey) values (1, 1)"));
        TFtorihikisakiMaster list;
        list.show();
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1); // refused without asking
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QVERIFY(said.first().text.contains(QStringLiteral("2件")));
        QVERIFY(CustomerStore::load(db(), 1));
    }

    void emptyListModifyAndDelete()
    {
        TFtorihikisakiMaster list;
        list.show();
        bool editorOpened = false;
        onModal<TFtorihikisakiMaster2>([&](TFtorihikisakiMaster2 *e) {
            editorOpened = true;
            e->reject();
        });
        QTest::mouseClick(list.UpdBTN, Qt::LeftButton); // the editor runs modally inside the click
        QVERIFY(!editorOpened);
        QCOMPARE(Messages::takeHistory().size(), 1); // the conversion message
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().text, QStringLiteral(" を削除してもよろしいですか？"));
    }

    void editorFieldsFilterKeysAndLookUpAddress()
    {
        t->exec(QStringLiteral("insert into Address (Yubin, Jyusyo) values (600000, '北海道札幌市中央区')"));
        TFtorihikisakiMaster2 e;
        e.show();
        typeKeys(e.TorihikisakiCD, QStringLiteral("1a2-3"));
        QCOMPARE(e.TorihikisakiCD->text(), QStringLiteral("123"));
        typeKeys(e.Tel, QStringLiteral("03-12x34-5678901"));
        QCOMPARE(e.Tel->text(), QStringLiteral("03-1234-5678")); // and no more than 12 bytes
        typeKeys(e.TorihikisakiNM, QString(31, QChar(u'あ')));
        QCOMPARE(e.TorihikisakiNM->text(), QString(30, QChar(u'あ'))); // 60 bytes
        QVERIFY(!e.Tel->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!e.SeikyuSimebi->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(e.Jyusyo1->testAttribute(Qt::WA_InputMethodEnabled));

        e.Jyusyo2->setText(QStringLiteral("ビル"));
        typeKeys(e.Yubin, QStringLiteral("060-0000"));
        e.setModified(false);
        QTest::mouseClick(e.YubinBTN, Qt::LeftButton);
        QCOMPARE(e.Jyusyo1->text(), QStringLiteral("北海道札幌市中央区"));
        QVERIFY(e.hasUnsavedChanges()); // the address asked for is a change closing the window asks about
        QCOMPARE(e.Jyusyo2->text(), QStringLiteral("ビル"));
        QCOMPARE(e.focusWidget(), e.Jyusyo1);
    }
};

QTEST_MAIN(TestCustomerMaster)
#include "tst_customermaster.moc"
