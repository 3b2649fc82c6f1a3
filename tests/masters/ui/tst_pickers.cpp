// The postal-code lookup with its address choice, and the customer search, on both engines.
#include "common/ui/AddressLookup.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "common/ui/TFyubinSel.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "masters/CustomerSearch.h"
#include "masters/PostalLookup.h"
#include "ModalHelper.h"
#include "TestDatabase.h"

#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A window with the two fields the lookup works on, as the customer and document windows have them.
struct AddressWindow
{
    QWidget window;
    QLineEdit *Yubin = new QLineEdit(&window);
    QLineEdit *Jyusyo1 = new QLineEdit(&window);
    QLineEdit *Jyusyo2 = new QLineEdit(&window);

    AddressWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QLineEdit *edit : {Yubin, Jyusyo1, Jyusyo2})
            layout->addWidget(edit);
        Jyusyo1->setText(QStringLiteral("前の住所"));
        Jyusyo2->setText(QStringLiteral("ビル"));
        window.show();
        Yubin->setFocus();
    }
    void lookUp(const QString &code)
    {
        Yubin->setText(code);
        lookUpAddress(&window, Yubin, Jyusyo1);
    }
};

} // namespace

class TestPickers : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void addAddress(int code, const QString &address)
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Address (Yubin, Jyusyo) values (:Yubin, :Jyusyo)"));
        q.ParamByName(QStringLiteral("Yubin")).setAsInteger(code);
        q.ParamByName(QStringLiteral("Jyusyo")).setAsString(address);
        q.ExecSQL();
    }

    void addCustomer(int key, const QString &name)
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Torihikisaki (key, TorihikisakiCD, TorihikisakiNM, Busyo) "
                                "values (:key, :cd, :nm, :busyo)"));
        q.ParamByName(QStringLiteral("key")).setAsInteger(key);
        q.ParamByName(QStringLiteral("cd")).setAsInteger(key * 10);
        q.ParamByName(QStringLiteral("nm")).setAsString(name);
        q.ParamByName(QStringLiteral("busyo")).setAsString(QStringLiteral("営業部"));
        q.ExecSQL();
    }

    // The customers the search cases look through.
    static QStringList searchedNames()
    {
        return {"100%商店", "ABC商事",      "AxB商会", "A_B商会",  "C\\D工業",    "O'Brien商会",
                "abc工業",  "Ｓｏｎｙ販売", "École社", "山田商事", "１００％商店"};
    }

    static QStringList listedNames(TFtorihikisakiKensaku &dialog)
    {
        QStringList names;
        TEngineQuery *q = dialog.Query1;
        for (q->First(); !q->Eof(); q->Next())
            names << q->FieldByName(QStringLiteral("TorihikisakiNM")).AsString();
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Messages::takeHistory();
        addAddress(1000001, QStringLiteral("東京都千代田区千代田"));
        addAddress(600000, QStringLiteral("北海道札幌市中央区"));
        addAddress(600001, QStringLiteral("北海道札幌市中央区北一条西（１～１９丁目）"));
        addAddress(600001, QStringLiteral("北海道札幌市中央区北一条東"));
    }
    void cleanup() { t.reset(); }

    void searchCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code"); // -1: no search at all
        QTest::newRow("hyphenated") << "100-0001" << 1000001;
        QTest::newRow("plain") << "1000001" << 1000001;
        QTest::newRow("leading zero") << "060-0000" << 600000;
        QTest::newRow("without leading zero") << "600000" << 600000;
        QTest::newRow("blanks and letters dropped") << " 〒100-0001 " << 1000001;
        QTest::newRow("full width") << "０６０－００００" << 600000;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters and hyphens only") << "abc--" << -1;
    }
    void searchCode()
    {
        QFETCH(QString, typed);
        QFETCH(int, code);
        const std::optional<int> found = PostalLookup::searchCode(typed);
        QCOMPARE(found.value_or(-1), code);
    }

    void storedCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("without hyphen") << "4520961"
                                        << "452-0961";
        QTest::newRow("full-width, blanks around") << " ４５２０９６１ "
                                                   << "452-0961";
        QTest::newRow("with hyphen") << "452-0961"
                                     << "452-0961";
        QTest::newRow("six digits stay") << "600000"
                                         << "600000";
        QTest::newRow("empty") << ""
                               << "";
    }
    void storedCode()
    {
        QFETCH(QString, typed);
        QTEST(PostalLookup::storedCode(typed), "stored");
    }

    void searchCodeWithPointIsNoWholeNumber()
    {
        QVERIFY_THROWS_EXCEPTION(ConvertError, PostalLookup::searchCode(u"100.0001"));
    }

    void singleAddressFillsFirstLine()
    {
        AddressWindow w;
        w.lookUp(QStringLiteral("100-0001"));
        QCOMPARE(w.Jyusyo1->text(), QStringLiteral("東京都千代田区千代田"));
        QCOMPARE(w.Jyusyo2->text(), QStringLiteral("ビル"));
        QCOMPARE(w.window.focusWidget(), w.Jyusyo1);
    }

    void unknownCodeEmptiesFirstLine()
    {
        AddressWindow w;
        w.lookUp(QStringLiteral("999-9999"));
        QCOMPARE(w.Jyusyo1->text(), QString());
        QCOMPARE(w.window.focusWidget(), w.Jyusyo1);
    }

    // Before the postal-code data is loaded a lookup finds nothing for any code: it says so and where
    // to load the data, and keeps the address typed.
    void lookupWithoutPostalDataSaysWhereToLoadIt()
    {
        t->exec(QStringLiteral("delete from Address"));
        AddressWindow w;
        w.lookUp(QStringLiteral("100-0001"));
        QCOMPARE(w.Jyusyo1->text(), QStringLiteral("前の住所"));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Information);
        QCOMPARE(said.first().text, QString::fromUtf8(kPostalDataNotLoaded));
        QVERIFY(said.first().text.contains(QStringLiteral("郵便番号データ読み込み")));
    }

    void noDigitsOrNoWholeNumberChangesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("message");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letters") << "abc-" << false;
        QTest::newRow("point") << "100.0001" << true;
    }
    void noDigitsOrNoWholeNumberChangesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, message);
        AddressWindow w;
        w.lookUp(typed);
        QCOMPARE(w.Jyusyo1->text(), QStringLiteral("前の住所"));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), message ? 1 : 0);
        if (message)
            QCOMPARE(said.first().kind, Messages::Kind::Error);
    }

    void severalAddressesOfferChoice()
    {
        AddressWindow w;
        QString label;
        QStringList lines;
        int selected = -1;
        onModal<TFyubinSel>([&](TFyubinSel *dialog) {
            label = dialog->YubinBangoLBL->text();
            for (int i = 0; i < dialog->jyusyoLB->count(); ++i)
                lines << dialog->jyusyoLB->item(i)->text();
            selected = dialog->jyusyoLB->currentRow();
            QTest::mouseClick(dialog->OkBTN, Qt::LeftButton);
        });
        w.lookUp(QStringLiteral("0600001"));
        QCOMPARE(label, QStringLiteral("060-0001")); // leading zero restored
        QCOMPARE(lines.size(), 2);
        QCOMPARE(selected, 0);
        QCOMPARE(w.Jyusyo1->text(), lines.first());
        QCOMPARE(w.window.focusWidget(), w.Jyusyo1);
    }

    void doubleClickTakesThatLine()
    {
        AddressWindow w;
        QString second;
        onModal<TFyubinSel>([&](TFyubinSel *dialog) {
            QListWidget *list = dialog->jyusyoLB;
            second = list->item(1)->text();
            const QRect rect = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        });
        w.lookUp(QStringLiteral("060-0001"));
        QCOMPARE(w.Jyusyo1->text(), second);
    }

    void cancelOrTitleBarLeavesFirstLine_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("キャンセル") << true;
        QTest::newRow("title bar") << false;
    }
    void cancelOrTitleBarLeavesFirstLine()
    {
        QFETCH(bool, byButton);
        AddressWindow w;
        onModal<TFyubinSel>([&](TFyubinSel *dialog) {
            if (byButton)
                QTest::mouseClick(dialog->CanBTN, Qt::LeftButton);
            else
                dialog->close();
        });
        w.lookUp(QStringLiteral("060-0001"));
        QCOMPARE(w.Jyusyo1->text(), QStringLiteral("前の住所"));
    }

    void searchListsEveryCustomerAndFindsByFragment()
    {
        addCustomer(1, QStringLiteral("山田商事"));
        addCustomer(2, QStringLiteral("鈴木工業"));
        addCustomer(3, QStringLiteral("O'Brien商会"));
        TFtorihikisakiKensaku dialog;
        dialog.show();
        QCOMPARE(listedNames(dialog).size(), 3);
        QCOMPARE(dialog.DBGrid1->model()->columnCount(), 4);
        QCOMPARE(dialog.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("取引先CD"));

        const auto search = [&](const QString &fragment) {
            dialog.Edit1->setText(fragment);
            QTest::mouseClick(dialog.SpeedButton1, Qt::LeftButton);
            return listedNames(dialog);
        };
        QCOMPARE(search(QStringLiteral("商")),
                 QStringList({QStringLiteral("O'Brien商会"), QStringLiteral("山田商事")}));
        // Each search starts from the whole table again.
        QCOMPARE(search(QStringLiteral("工業")), QStringList({QStringLiteral("鈴木工業")}));
        // A quote is matched as a quote, not taken as the end of the pattern.
        QCOMPARE(search(QStringLiteral("'")), QStringList({QStringLiteral("O'Brien商会")}));
        QCOMPARE(search(QStringLiteral("') or ('1'='1")), QStringList());
        QCOMPARE(search(QString()).size(), 3);
        // A backslash is matched as itself on both engines, never taken as an escape.
        addCustomer(4, QStringLiteral("A\\B工業"));
        QCOMPARE(search(QStringLiteral("\\")), QStringList({QStringLiteral("A\\B工業")}));
        QCOMPARE(search(QStringLiteral("A\\B")), QStringList({QStringLiteral("A\\B工業")}));
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // The fragment is matched as typed, on both engines alike: ASCII letters without regard to case
    // and nothing else folded, the pattern characters and the backslash as themselves.
    void searchMatchesAlikeOnBothEngines_data()
    {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QStringList>("found");
        const QStringList all = searchedNames();
        QTest::addRow("ASCII letters without regard to case") << "abc" << QStringList{"ABC商事", "abc工業"};
        QTest::addRow("upper case finds lower case") << "ABC工" << QStringList{"abc工業"};
        QTest::addRow("full-width letters are not folded") << "ｓｏｎｙ" << QStringList{};
        QTest::addRow("letters beyond ASCII are not folded") << "école" << QStringList{};
        QTest::addRow("accented letter as typed") << "École" << QStringList{"École社"};
        QTest::addRow("percent sign as itself") << "%" << QStringList{"100%商店"};
        QTest::addRow("full-width percent sign") << "％" << QStringList{"１００％商店"};
        QTest::addRow("underscore as itself") << "A_B" << QStringList{"A_B商会"};
        QTest::addRow("underscore alone") << "_" << QStringList{"A_B商会"};
        QTest::addRow("backslash") << "\\" << QStringList{"C\\D工業"};
        QTest::addRow("backslash before a letter") << "\\D" << QStringList{"C\\D工業"};
        QTest::addRow("quote") << "'" << QStringList{"O'Brien商会"};
        QTest::addRow("Japanese") << "商事" << QStringList{"ABC商事", "山田商事"};
        // No name holds a NUL (the server cannot store one): it is dropped from the fragment.
        QTest::addRow("NUL") << QStringLiteral("山田%1商事").arg(QChar(0)) << QStringList{"山田商事"};
        QTest::addRow("NUL alone") << QString(QChar(0)) << all;
        QTest::addRow("empty") << "" << all;
    }
    void searchMatchesAlikeOnBothEngines()
    {
        QFETCH(QString, fragment);
        QFETCH(QStringList, found);
        const QStringList names = searchedNames();
        for (int i = 0; i < names.size(); ++i)
            addCustomer(i + 1, names.at(i));
        TEngineQuery q(&t->db());
        CustomerSearch::setUpByName(q, fragment);
        q.Open();
        QStringList listed;
        for (; !q.Eof(); q.Next())
            listed << q.FieldByName(QStringLiteral("TorihikisakiNM")).AsString();
        listed.sort();
        found.sort();
        QCOMPARE(listed, found);
    }

    void searchReturnsChosenKey_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<int>("key");
        QTest::newRow("OK") << "ok"
                            << "鈴木" << 2;
        QTest::newRow("double click") << "double click"
                                      << "鈴木" << 2;
        QTest::newRow("OK on empty result") << "ok"
                                            << "該当なし" << 0;
        QTest::newRow("キャンセル") << "cancel"
                                    << "鈴木" << 0;
        QTest::newRow("title bar") << "close"
                                   << "鈴木" << 0;
    }
    void searchReturnsChosenKey()
    {
        QFETCH(QString, how);
        QFETCH(QString, fragment);
        QFETCH(int, key);
        addCustomer(1, QStringLiteral("山田商事"));
        addCustomer(2, QStringLiteral("鈴木工業"));
        int result = -1;
        int code = -1;
        onModal<TFtorihikisakiKensaku>([&](TFtorihikisakiKensaku *dialog) {
            dialog->Edit1->setText(fragment);
            QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
            if (how == QLatin1String("ok")) {
                QTest::mouseClick(dialog->OkBTN, Qt::LeftButton);
            } else if (how == QLatin1String("double click")) {
                TDBGridEx *grid = dialog->DBGrid1;
                const QRect cell = grid->visualRect(grid->model()->index(0, 2));
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            } else if (how == QLatin1String("cancel")) {
                QTest::mouseClick(dialog->CanBTN, Qt::LeftButton);
            } else {
                dialog->close();
            }
        });
        TFtorihikisakiKensaku dialog;
        code = dialog.exec();
        result = dialog.torihikisakiKey();
        QCOMPARE(result, key);
        QCOMPARE(code == QDialog::Accepted,
                 how == QLatin1String("ok") || how == QLatin1String("double click"));
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
