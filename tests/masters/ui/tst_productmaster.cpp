// The product master: list and edit windows driven as a user would, on both engines.
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "masters/ProductStore.h"
#include "masters/ui/TFsyohinMaster.h"
#include "masters/ui/TFsyohinMaster2.h"
#include "ModalHelper.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QTest>

class TestProductMaster : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    TEngineDatabase &db() { return t->db(); }
    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    void addProduct(int code, const QString &name, double price)
    {
        ProductStore::insert(db(),
                             ProductRecord{code, name, QStringLiteral("A4"), QStringLiteral("冊"), price});
    }

    static void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeKeys(edit, text);
    }

    // Clicks the list's button and runs the action on the edit window it opens; returns whether the
    // edit window was still open after the action.
    bool onEditor(QPushButton *button, std::function<void(TFsyohinMaster2 *)> edit)
    {
        bool ran = false;
        bool stillOpen = false;
        onModal<TFsyohinMaster2>([&](TFsyohinMaster2 *editor) {
            ran = true;
            edit(editor);
            stillOpen = editor->isVisible();
            if (stillOpen) {
                editor->setModified(false); // the test gives up what it typed
                editor->reject();
            }
        });
        QTest::mouseClick(button, Qt::LeftButton);
        if (!ran)
            qWarning("the edit window did not open");
        return ran && stillOpen;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Messages::takeHistory();
    }
    void cleanup() { t.reset(); }

    void listIsOrderedByCode()
    {
        addProduct(30, QStringLiteral("封筒"), 12.5);
        addProduct(10, QStringLiteral("ノート"), 150);
        addProduct(20, QStringLiteral("鉛筆"), 80);
        TFsyohinMaster list;
        list.show();
        QAbstractItemModel *model = list.DBGrid1->model();
        const QStringList titles = {"商品CD", "商品名", "規格", "単位", "単価"};
        QCOMPARE(model->columnCount(), titles.size());
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles.at(c));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("ノート"));
        QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("封筒"));
        QCOMPARE(model->index(2, 4).data().toString(), QStringLiteral("12.5"));
    }

    void addKeepsFractionOfPrice()
    {
        TFsyohinMaster list;
        list.show();
        QString presetCode;
        bool codeEditable = false;
        const bool open = onEditor(list.AddBTN, [&](TFsyohinMaster2 *e) {
            presetCode = e->SyohinCD->text();
            codeEditable = !e->SyohinCD->isReadOnly();
            type(e->SyohinCD, QStringLiteral("15"));
            type(e->SyohinNM, QStringLiteral("ボールペン"));
            type(e->Kikaku, QStringLiteral("黒"));
            type(e->Tani, QStringLiteral("本"));
            type(e->Tanka, QStringLiteral("12.5"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        });
        QVERIFY(!open);
        QCOMPARE(presetCode, QStringLiteral("0"));
        QVERIFY(codeEditable);
        const auto p = ProductStore::load(db(), 15);
        QVERIFY(p);
        QCOMPARE(p->SyohinNM, QStringLiteral("ボールペン"));
        QCOMPARE(p->Kikaku, QStringLiteral("黒"));
        QCOMPARE(p->Tani, QStringLiteral("本"));
        QCOMPARE(p->Tanka, std::optional<double>(12.5));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 1);
    }

    void duplicateCodeFailsAndKeepsWhatWasTyped()
    {
        TFsyohinMaster list;
        list.show();
        QVERIFY(!onEditor(list.AddBTN, [&](TFsyohinMaster2 *e) {
            type(e->SyohinNM, QStringLiteral("最初"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton); // preset code 0 is stored
        }));
        QString typed;
        QVERIFY(onEditor(list.AddBTN, [&](TFsyohinMaster2 *e) {
            type(e->SyohinNM, QStringLiteral("二番目"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
            typed = e->SyohinNM->text();
        }));
        QCOMPARE(typed, QStringLiteral("二番目"));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().text, QStringLiteral("更新に失敗しました"));
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin")), 1);
        QCOMPARE(ProductStore::load(db(), 0)->SyohinNM, QStringLiteral("最初"));
    }

    void modifyKeepsCode()
    {
        addProduct(10, QStringLiteral("ノート"), 150);
        addProduct(20, QStringLiteral("鉛筆"), 1234.75);
        TFsyohinMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        QStringList shown;
        bool codeReadOnly = false;
        QVERIFY(!onEditor(list.UpdBTN, [&](TFsyohinMaster2 *e) {
            shown = QStringList{e->SyohinCD->text(), e->SyohinNM->text(), e->Tanka->text()};
            codeReadOnly = e->SyohinCD->isReadOnly();
            typeKeys(e->SyohinCD, QStringLiteral("9")); // read-only: no effect
            type(e->SyohinNM, QStringLiteral("赤鉛筆"));
            type(e->Tanka, QStringLiteral("90"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        }));
        QCOMPARE(shown, QStringList({"20", "鉛筆", "1234.75"}));
        QVERIFY(codeReadOnly);
        QCOMPARE(ProductStore::load(db(), 20)->SyohinNM, QStringLiteral("赤鉛筆"));
        QCOMPARE(ProductStore::load(db(), 20)->Tanka, std::optional<double>(90));
        QCOMPARE(ProductStore::load(db(), 10)->SyohinNM, QStringLiteral("ノート"));
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin")), 2);
    }

    // The tax rate is offered only with the qualified-invoice option; a save without the option keeps
    // the rate stored before.
    void taxRateOnlyWithTheOption()
    {
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM, TekikakuKBN) values (0, '自社', 1)"));
        addProduct(20, QStringLiteral("お茶"), 120);
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin where ZeiRitu is null")), 1);
        TFsyohinMaster list;
        list.show();
        QAbstractItemModel *model = list.DBGrid1->model();
        QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("税率"));
        QCOMPARE(model->index(0, 5).data().toString(), QStringLiteral("10%"));
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(0, 0));
        bool offered = false;
        QString shown;
        onEditor(list.UpdBTN, [&](TFsyohinMaster2 *e) {
            offered = e->ZeiRitu->isVisible();
            shown = e->ZeiRitu->currentText();
            e->ZeiRitu->setCurrentIndex(1);
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        });
        QVERIFY(offered);
        QCOMPARE(shown, QStringLiteral("10%")); // no rate yet reads as 10
        QCOMPARE(ProductStore::load(db(), 20)->ZeiRitu, std::optional<int>(8));
        QCOMPARE(list.DBGrid1->model()->index(0, 5).data().toString(), QStringLiteral("8%（軽減税率）"));

        t->exec(QStringLiteral("update JisyaJyoho set TekikakuKBN = 0"));
        onEditor(list.UpdBTN, [&](TFsyohinMaster2 *e) {
            offered = e->ZeiRitu->isVisible();
            type(e->Tanka, QStringLiteral("130"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        });
        QVERIFY(!offered);
        QCOMPARE(ProductStore::load(db(), 20)->Tanka, std::optional<double>(130));
        QCOMPARE(ProductStore::load(db(), 20)->ZeiRitu, std::optional<int>(8));
    }

    // The loaded product is not a change: Escape closes at once. A typed change asks first, and
    // いいえ keeps the edit window with what was typed.
    void escapeAsksBeforeDroppingTypedChanges()
    {
        addProduct(20, QStringLiteral("鉛筆"), 80);
        TFsyohinMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(0, 0));
        QVERIFY(!onEditor(list.UpdBTN, [&](TFsyohinMaster2 *e) { QTest::keyClick(e, Qt::Key_Escape); }));
        QVERIFY(Messages::takeHistory().isEmpty());

        QString kept;
        QVERIFY(!onEditor(list.UpdBTN, [&](TFsyohinMaster2 *e) {
            type(e->SyohinNM, QStringLiteral("赤鉛筆"));
            Messages::queueAnswer(false);
            QTest::keyClick(e, Qt::Key_Escape);
            kept = e->isVisible() ? e->SyohinNM->text() : QString();
            Messages::queueAnswer(true);
            QTest::keyClick(e, Qt::Key_Escape);
        }));
        QCOMPARE(kept, QStringLiteral("赤鉛筆"));
        const auto history = Messages::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history.at(0).text, QStringLiteral("変更を破棄しますか？"));
        QCOMPARE(ProductStore::load(db(), 20)->SyohinNM, QStringLiteral("鉛筆"));
    }

    // Another computer deletes the product while this one saves a change to it or deletes it too.
    void changeWhileDeletedAtAnotherComputerFails_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("message");
        QTest::newRow("update") << false << "商品（商品CD 20）が見つかりません";
        QTest::newRow("delete") << true << "商品（商品CD 20）は既に削除されています";
    }
    void changeWhileDeletedAtAnotherComputerFails()
    {
        QFETCH(bool, remove);
        QFETCH(QString, message);
        addProduct(10, QStringLiteral("ノート"), 150);
        addProduct(20, QStringLiteral("鉛筆"), 80);
        OtherComputer other(*t);
        other.writeAndHold([](TEngineDatabase &otherDb) {
            TEngineQuery q(&otherDb);
            q.addSql(QStringLiteral("delete from Syohin where SyohinCD = 20"));
            q.ExecSQL();
        });
        QString error;
        try {
            if (remove)
                ProductStore::remove(db(), 20);
            else
                ProductStore::update(db(), ProductRecord{20, QStringLiteral("赤鉛筆"), {}, {}, 90.0});
        } catch (const EngineError &e) {
            error = e.message();
        }
        QCOMPARE(other.finish(), QString());
        QCOMPARE(error, message);
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin")), 1);
    }

    void deleteOfProductGoneMeanwhileSaysSo()
    {
        addProduct(10, QStringLiteral("ノート"), 150);
        TFsyohinMaster list;
        list.show();
        t->exec(QStringLiteral("delete from Syohin")); // at another computer
        Messages::queueAnswer(true);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.at(1).kind, Messages::Kind::Error);
        QCOMPARE(said.at(1).text, QStringLiteral("商品（商品CD 10）は既に削除されています"));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 0);
    }

    void badPriceOrCodeKeepsEditorOpen_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message"); // names the field
        QTest::newRow("two decimal points") << "5"
                                            << "1.2.3"
                                            << "単価に数値を入力してください（'1.2.3' は数値ではありません）";
        QTest::newRow("point only") << "5"
                                    << "."
                                    << "単価に数値を入力してください（'.' は数値ではありません）";
        QTest::newRow("empty code") << ""
                                    << "100"
                                    << "商品CDに整数を入力してください（'' は整数ではありません）";
        QTest::newRow("code beyond 32 bits")
            << "99999999999"
            << "100"
            << "商品CDに整数を入力してください（'99999999999' は整数ではありません）";
    }
    void badPriceOrCodeKeepsEditorOpen()
    {
        QFETCH(QString, code);
        QFETCH(QString, price);
        QFETCH(QString, message);
        TFsyohinMaster list;
        list.show();
        QVERIFY(onEditor(list.AddBTN, [&](TFsyohinMaster2 *e) {
            type(e->SyohinCD, code);
            type(e->Tanka, price);
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        }));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QCOMPARE(said.first().text, message);
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin")), 0);
    }

    void emptyPriceStoresNoValue()
    {
        TFsyohinMaster list;
        list.show();
        onEditor(list.AddBTN, [&](TFsyohinMaster2 *e) {
            type(e->SyohinCD, QStringLiteral("7"));
            QTest::mouseClick(e->MakatiButton1, Qt::LeftButton);
        });
        QCOMPARE(ProductStore::load(db(), 7)->Tanka, std::nullopt);
        QCOMPARE(ProductStore::priceText(ProductStore::load(db(), 7)->Tanka), QString());
    }

    void deleteAsksAndLeavesDocumentLines()
    {
        addProduct(10, QStringLiteral("ノート"), 150);
        addProduct(20, QStringLiteral("鉛筆"), 80);
        TEngineQuery line(&db());
        line.addSql(QStringLiteral(
            "insert into MitumoriMesai (Key, Gyo, SyohinNM, Tanka) values (1, 1, '鉛筆', 80)"));
        line.ExecSQL();
        TFsyohinMaster list;
        list.show();
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        Messages::queueAnswer(false);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        QCOMPARE(count(QStringLiteral("select count(*) from Syohin")), 2);
        list.DBGrid1->setCurrentIndex(list.DBGrid1->model()->index(1, 0));
        Messages::queueAnswer(true);
        QTest::mouseClick(list.DelBTN, Qt::LeftButton);
        QVERIFY(!ProductStore::load(db(), 20));
        QVERIFY(ProductStore::load(db(), 10));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.at(1).text, QStringLiteral("20 鉛筆を削除してもよろしいですか？"));
        QCOMPARE(count(QStringLiteral("select count(*) from MitumoriMesai where SyohinNM = '鉛筆'")), 1);
        QCOMPARE(list.DBGrid1->model()->rowCount(), 1);
    }

    void editorFieldsFilterKeys()
    {
        TFsyohinMaster2 e;
        e.show();
        type(e.Tanka, QStringLiteral("12a-.5"));
        QCOMPARE(e.Tanka->text(), QStringLiteral("12.5"));
        type(e.SyohinCD, QStringLiteral("3.4"));
        QCOMPARE(e.SyohinCD->text(), QStringLiteral("34"));
        type(e.Tani, QStringLiteral("ダースダース"));
        QCOMPARE(e.Tani->text(), QStringLiteral("ダースダー")); // 10 bytes
        QVERIFY(!e.Tanka->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!e.SyohinCD->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(e.SyohinNM->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void deleteButtonTurnsRed()
    {
        TFsyohinMaster list;
        list.show();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(list.DelBTN, &enter);
        QCOMPARE(list.DelBTN->faceColor(), QColor(Qt::red));
        QApplication::sendEvent(list.UpdBTN, &enter);
        QCOMPARE(list.UpdBTN->faceColor(), QColor(Qt::white));
    }
};

QTEST_MAIN(TestProductMaster)
#include "tst_productmaster.moc"
