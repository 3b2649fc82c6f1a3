// Hostile text in the number fields: signs, exponents, full-width digits and values beyond 32 and 64
// bits, put into the fields of the customer, product and own-company windows (as a paste would,
// past the key filters) and into the amounts of a payment and of a document's lines. A text that is
// no number is refused with the message naming the field and nothing stored changes; one that is a
// number is stored as that number.
#include "billing/PaymentStore.h"
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "documents/DocumentStore.h"
#include "masters/CustomerStore.h"
#include "masters/ProductStore.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "masters/ui/TFsyohinMaster2.h"
#include "masters/ui/TFtorihikisakiMaster2.h"
#include "SaidMessages.h"
#include "TestDatabase.h"

#include <QLineEdit>
#include <QTest>

namespace {

QString notWhole(const QString &label, const QString &text)
{
    return QStringLiteral("%1に整数を入力してください（'%2' は整数ではありません）").arg(label, text);
}

QString notNumber(const QString &label, const QString &text)
{
    return QStringLiteral("%1に数値を入力してください（'%2' は数値ではありません）").arg(label, text);
}

} // namespace

class TestHostileNumbers : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    // Texts that are no whole number within 32 bits, for every whole-number field.
    static void noWholeNumbers()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("empty") << QString();
        QTest::addRow("two signs") << QStringLiteral("+-5");
        QTest::addRow("sign after") << QStringLiteral("5-");
        QTest::addRow("sign alone") << QStringLiteral("-");
        QTest::addRow("exponent") << QStringLiteral("1e3");
        QTest::addRow("fraction") << QStringLiteral("2.0");
        QTest::addRow("thousands separator") << QStringLiteral("1,000");
        QTest::addRow("hexadecimal") << QStringLiteral("0x1F");
        QTest::addRow("full-width digits") << QStringLiteral("１２");
        QTest::addRow("full-width minus") << QStringLiteral("－5");
        QTest::addRow("beyond 32 bits") << QStringLiteral("2147483648");
        QTest::addRow("below 32 bits") << QStringLiteral("-2147483649");
        QTest::addRow("beyond 64 bits") << QStringLiteral("99999999999999999999");
        QTest::addRow("quote") << QStringLiteral("5'");
        QTest::addRow("colon name") << QStringLiteral(":Kisyuzan");
        QTest::addRow("NUL between digits") << QStringLiteral("5") + QChar(0) + QStringLiteral("9");
        QTest::addRow("emoji") << QStringLiteral("\U0001F600");
        QTest::addRow("very long") << QString(30000, u'9'); // within the line edit's 32767 characters
    }

    // The text put into each field in turn, the others holding numbers: the save stops with the
    // message naming the field, and the window stays open with what was typed.
    static void refusedInEach(QWidget &window, QPushButton *ok, const QList<QLineEdit *> &fields,
                              const QString &text)
    {
        for (QLineEdit *field : fields) {
            const QString kept = field->text();
            field->setText(text);
            ok->click();
            QCOMPARE(said(), QStringList{notWhole(field->accessibleName(), text)});
            QVERIFY(window.isVisible());
            QCOMPARE(field->text(), text);
            field->setText(kept.isEmpty() ? QStringLiteral("0") : kept);
        }
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        said();
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    void customerWindowRefuses_data() { noWholeNumbers(); }
    void customerWindowRefuses()
    {
        QFETCH(QString, text);
        const QStringList before = t->fingerprint();
        TFtorihikisakiMaster2 w;
        w.show();
        w.TorihikisakiNM->setText(QStringLiteral("山田商事"));
        refusedInEach(w, w.OkBTN, {w.TorihikisakiCD, w.Kisyuzan, w.ZenkaiSeikyuGaku, w.SeikyuSimebi}, text);
        QCOMPARE(t->fingerprint(), before);
    }

    void productWindowRefuses_data() { noWholeNumbers(); }
    void productWindowRefuses()
    {
        QFETCH(QString, text);
        const QStringList before = t->fingerprint();
        TFsyohinMaster2 w;
        w.show();
        refusedInEach(w, w.MakatiButton1, {w.SyohinCD}, text);
        QCOMPARE(t->fingerprint(), before);
    }

    void ownCompanyWindowRefuses_data() { noWholeNumbers(); }
    void ownCompanyWindowRefuses()
    {
        QFETCH(QString, text);
        TFjisyaJyoho w;
        w.show(); // makes the own-company row when there is none
        said();
        const QStringList before = t->fingerprint();
        refusedInEach(w, w.OkBTN, {w.Simebi, w.NendoKaisi, w.takasa, w.haba}, text);
        QCOMPARE(t->fingerprint(), before);
    }

    // Signs and blanks make whole numbers: stored as the numbers they are.
    void customerWindowTakesSignedNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addRow("plus") << QStringLiteral("+5") << 5;
        QTest::addRow("minus with blanks") << QStringLiteral(" -7 ") << -7;
        QTest::addRow("minus zero") << QStringLiteral("-0") << 0;
        QTest::addRow("leading zeros") << QStringLiteral("007") << 7;
        QTest::addRow("largest") << QStringLiteral("2147483647") << 2147483647;
        QTest::addRow("smallest") << QStringLiteral("-2147483648") << int(-2147483647 - 1);
    }
    void customerWindowTakesSignedNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        TFtorihikisakiMaster2 w;
        w.show();
        w.TorihikisakiNM->setText(QStringLiteral("山田商事"));
        w.TorihikisakiCD->setText(QStringLiteral("1"));
        w.Kisyuzan->setText(text);
        w.OkBTN->click();
        QCOMPARE(said(), QStringList());
        const auto stored = CustomerStore::load(t->db(), w.savedKey());
        QVERIFY(stored);
        QCOMPARE(stored->Kisyuzan, value);
    }

    void productPrice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<double>("value");
        QTest::addRow("exponent") << QStringLiteral("1.5E3") << true << 1500.0;
        QTest::addRow("negative exponent") << QStringLiteral("-25e-1") << true << -2.5;
        QTest::addRow("plus sign") << QStringLiteral("+.5") << true << 0.5;
        QTest::addRow("largest double range") << QStringLiteral("1e308") << true << 1e308;
        QTest::addRow("beyond double") << QStringLiteral("1e309") << false << 0.0;
        QTest::addRow("below the smallest double") << QStringLiteral("1e-400") << false << 0.0;
        QTest::addRow("exponent without digits") << QStringLiteral("1e") << false << 0.0;
        QTest::addRow("two points") << QStringLiteral("1.2.3") << false << 0.0;
        QTest::addRow("two signs") << QStringLiteral("--1") << false << 0.0;
        QTest::addRow("infinity") << QStringLiteral("inf") << false << 0.0;
        QTest::addRow("not a number") << QStringLiteral("nan") << false << 0.0;
        QTest::addRow("hexadecimal float") << QStringLiteral("0x1p3") << false << 0.0;
        QTest::addRow("full-width digits") << QStringLiteral("１２０") << false << 0.0;
        QTest::addRow("yen sign") << QStringLiteral("¥100") << false << 0.0;
        QTest::addRow("very long") << QString(30000, u'9') << false << 0.0;
    }
    void productPrice()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QFETCH(double, value);
        const QStringList before = t->fingerprint();
        TFsyohinMaster2 w;
        w.show();
        w.SyohinCD->setText(QStringLiteral("1"));
        w.SyohinNM->setText(QStringLiteral("ボルト"));
        w.Tanka->setText(text);
        w.MakatiButton1->click();
        if (!taken) {
            QCOMPARE(said(), QStringList{notNumber(QStringLiteral("単価"), text)});
            QVERIFY(w.isVisible());
            QCOMPARE(t->fingerprint(), before);
            return;
        }
        QCOMPARE(said(), QStringList());
        const auto stored = ProductStore::load(t->db(), 1);
        QVERIFY(stored && stored->Tanka);
        QCOMPARE(*stored->Tanka, value);
    }

    void paymentAmount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: taken
        const QString tooLarge =
            QStringLiteral("入金額が大きすぎます。2,147,483,647円までの金額を入力してください");
        const auto refused = [](const QString &text) { return notWhole(QStringLiteral("入金額"), text); };
        QTest::addRow("largest") << QStringLiteral("2147483647") << QString();
        QTest::addRow("negative") << QStringLiteral("-500") << QString();
        QTest::addRow("beyond 32 bits") << QStringLiteral("2147483648") << tooLarge;
        QTest::addRow("below 32 bits") << QStringLiteral("-2147483649") << tooLarge;
        QTest::addRow("beyond 64 bits") << QStringLiteral("99999999999999999999") << tooLarge;
        QTest::addRow("exponent") << QStringLiteral("1e3") << refused(QStringLiteral("1e3"));
        QTest::addRow("full-width digits")
            << QStringLiteral("１０００") << refused(QStringLiteral("１０００"));
        QTest::addRow("yen sign") << QStringLiteral("¥1000") << refused(QStringLiteral("¥1000"));
        QTest::addRow("two signs") << QStringLiteral("--5") << refused(QStringLiteral("--5"));
        const QString nul = QStringLiteral("5") + QChar(0) + QStringLiteral("9");
        QTest::addRow("NUL between digits") << nul << refused(nul);
    }
    void paymentAmount()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            const int amount = PaymentStore::amountFromText(text);
            QVERIFY2(message.isEmpty(), qPrintable(QString::number(amount)));
            QCOMPARE(QString::number(amount), text.trimmed());
        } catch (const ConvertError &e) {
            QCOMPARE(e.message(), message);
        }
    }

    // The amounts of a document's lines as the editor hands them to the save: an amount or a sum
    // that no amount column holds is refused, naming it, and nothing is written.
    void documentAmounts_data()
    {
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QString>("message");
        const QString row = QStringLiteral("%1行目の金額 %2 は大きすぎるため保存できません。"
                                           "金額は -2,147,483,648 から 2,147,483,647 までです");
        const QString sum = QStringLiteral("合計金額 %1 は大きすぎるため保存できません。"
                                           "合計は -2,147,483,648 から 2,147,483,647 までです");
        QTest::addRow("beyond 32 bits")
            << QStringList{QStringLiteral("2147483648")} << row.arg(1).arg(QStringLiteral("2,147,483,648"));
        QTest::addRow("below 32 bits")
            << QStringList{QStringLiteral("-2147483649")} << row.arg(1).arg(QStringLiteral("-2,147,483,649"));
        // Read as the largest 64-bit amount, which the message shows rounded; only its start is compared.
        QTest::addRow("beyond 64 bits")
            << QStringList{QStringLiteral("1"), QStringLiteral("99999999999999999999")}
            << QStringLiteral("2行目の金額 9,223,372,036,854,77");
        QTest::addRow("sum beyond 32 bits")
            << QStringList{QStringLiteral("2000000000"), QStringLiteral("2000000000")}
            << sum.arg(QStringLiteral("4,000,000,000"));
        QTest::addRow("sum below 32 bits")
            << QStringList{QStringLiteral("-2000000000"), QStringLiteral("-2000000000")}
            << sum.arg(QStringLiteral("-4,000,000,000"));
    }
    void documentAmounts()
    {
        QFETCH(QStringList, amounts);
        QFETCH(QString, message);
        const QStringList before = t->fingerprint();
        DocumentRecord d;
        d.Hiduke = Clock::today();
        for (int i = 0; i < amounts.size(); ++i)
            d.lines << *DocumentLines::fromCells(i + 1, {QStringLiteral("品"), {}, {}, {}, amounts[i]});
        DocumentStore::SaveOptions options;
        options.newCustomer.TorihikisakiNM = QStringLiteral("山田商事");
        for (const auto kind : {DocumentStore::Kind::Mitumori, DocumentStore::Kind::Nohin}) {
            try {
                DocumentStore::save(t->db(), kind, d, options);
                QFAIL("saved");
            } catch (const AppError &e) {
                QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
            }
        }
        QCOMPARE(t->fingerprint(), before);
    }

    // Quantity times unit price that no amount holds: the line amount saturates, and the save refuses.
    void hugeLineAmount_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addRow("beyond 64 bits") << QStringLiteral("1e300") << QStringLiteral("1e300");
        QTest::addRow("below 64 bits") << QStringLiteral("-1e300") << QStringLiteral("1e10");
        QTest::addRow("just beyond 32 bits") << QStringLiteral("2") << QStringLiteral("1073741824");
    }
    void hugeLineAmount()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        const auto amount = DocumentLines::lineAmount(quantity, price);
        QVERIFY(amount);
        QVERIFY(!DocumentLines::fitsAmount(*amount));
        DocumentLine line = *DocumentLines::fromCells(1, {QStringLiteral("品"), quantity, {}, price, {}});
        line.Kingaku = amount;
        QVERIFY_THROWS_EXCEPTION(AppError, DocumentStore::checkAmounts({line}));
    }
};

QTEST_MAIN(TestHostileNumbers)
#include "tst_hostilenumbers.moc"
