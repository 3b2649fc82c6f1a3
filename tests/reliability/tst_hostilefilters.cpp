// Hostile text in every filter and search field of the lists: the four extraction panels of the main
// window (customer and staff) and the customer search. Each text is matched literally or refused with
// a message, nothing crashes, and nothing stored changes. The days fields get numbers that are no
// numbers, signs and values beyond 32 bits; the postal-code field's lookup gets codes among hostile
// text.
#include "app/ui/TFmain.h"
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "data/Engine.h"
#include "masters/ui/TFtorihikisakiMaster2.h"
#include "SaidMessages.h"
#include "TestDatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

// Customer names that hold the characters the filters must take literally; each customer has one
// estimate, delivery note, payment and invoice, whose staff member has the customer's name.
const QStringList kNames = {
    QStringLiteral("O'Brien商会"),      QStringLiteral("100%電機"),
    QStringLiteral("1000商会"),         QStringLiteral("A_B工業"),
    QStringLiteral("AXB工業"),          QStringLiteral("円\\記号"),
    QStringLiteral(":name堂"),          QStringLiteral("何?屋"),
    QStringLiteral("\U00020BB7野商店"), QStringLiteral("\U0001F600ショップ"),
    QStringLiteral("山田商事"),
};

struct Page
{
    const char *prefix;
    TEngineQuery *TFmain::*list;
    bool staff;
};

const Page kPages[] = {{"Mitu", &TFmain::Qmitumori, true},
                       {"Nohin", &TFmain::Qnohin, true},
                       {"Nyukin", &TFmain::Qnyukin, false},
                       {"Seikyu", &TFmain::Qseikyu, true}};

const QDate kToday(2026, 12, 10);
const QDate kDated(2026, 12, 1); // every document: 9 days before today

} // namespace

class TestHostileFilters : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<TFmain> w;
    QStringList m_before;

    void seed()
    {
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t->exec(QStringLiteral("insert into Address (Yubin, Jyusyo) values (600000, '北海道札幌市中央区')"));
        const QStringList statements = {
            QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (:k, :name)"),
            QStringLiteral(
                "insert into Mitumori (key, Hiduke, TorihikisakiKey, JisyaTanto) values (:k, :d, :k, "
                ":name)"),
            QStringLiteral(
                "insert into Nohin (key, Hiduke, TorihikisakiKey, JisyaTanto) values (:k, :d, :k, :name)"),
            QStringLiteral("insert into Nyukin (key, NyukinYMD, TorihikisakiKey) values (:k, :d, :k)"),
            QStringLiteral(
                "insert into Seikyu (key, Simebi, TorihikisakiKey, JisyaTanto) values (:k, :d, :k, "
                ":name)")};
        for (int i = 0; i < kNames.size(); ++i) {
            for (const QString &sql : statements) {
                TEngineQuery q(&t->db());
                q.addSql(sql);
                q.ParamByName(QStringLiteral("k")).setAsInteger(i + 1);
                if (sql.contains(QLatin1String(":name")))
                    q.ParamByName(QStringLiteral("name")).setAsString(kNames[i]);
                if (sql.contains(QLatin1String(":d")))
                    q.ParamByName(QStringLiteral("d")).setAsDate(kDated);
                q.ExecSQL();
            }
        }
    }

    static int rows(TEngineQuery &q)
    {
        int n = 0;
        for (q.First(); !q.Eof(); q.Next())
            ++n;
        return n;
    }

    void extract(const Page &page, const QString &customer, const QString &staff, const QString &days)
    {
        const QString prefix = QLatin1String(page.prefix);
        w->findChild<QLineEdit *>(prefix + QStringLiteral("Torihikisaki"))->setText(customer);
        if (page.staff)
            w->findChild<QLineEdit *>(prefix + QStringLiteral("Tanto"))->setText(staff);
        w->findChild<QLineEdit *>(prefix + QStringLiteral("Nissu"))->setText(days);
        w->findChild<QPushButton *>(prefix + QStringLiteral("TyusyutuBTN"))->click();
    }

    // Either the list opens with `matches` rows and nothing is said, or the message is said and the
    // list stays closed.
    static void checkOutcome(TEngineQuery &list, int matches, const QString &message, const QString &where)
    {
        const QStringList messages = said();
        if (message.isEmpty()) {
            QVERIFY2(messages.isEmpty(), qPrintable(where + QStringLiteral(": ") + messages.join(u'|')));
            QVERIFY2(list.Active(), qPrintable(where));
            QVERIFY2(rows(list) == matches,
                     qPrintable(QStringLiteral("%1: %2 rows").arg(where).arg(rows(list))));
        } else {
            QVERIFY2(messages == QStringList{message},
                     qPrintable(where + QStringLiteral(": ") + messages.join(u'|')));
            QVERIFY2(!list.Active(), qPrintable(where));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        Clock::setFixed(QDateTime(kToday, QTime(9, 0)));
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        seed();
        w = std::make_unique<TFmain>();
        w->show();
        QTRY_VERIFY(w->Qseikyu->Active());
        said();
        m_before = t->fingerprint();
    }
    void cleanupTestCase()
    {
        w.reset();
        t.reset();
        Clock::reset();
    }
    void cleanup()
    {
        if (t && t->ok())
            QCOMPARE(t->fingerprint(), m_before);
    }

    void textFilters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("matches"); // customers whose name holds the text
        QTest::addColumn<QString>("message");
        const QString tooLong = QStringLiteral("抽出する文字列が長すぎます（1000 文字まで）");
        QTest::addRow("quote") << QStringLiteral("'") << 1 << QString();
        QTest::addRow("two quotes") << QStringLiteral("''") << 0 << QString();
        QTest::addRow("double quote") << QStringLiteral("\"") << 0 << QString();
        QTest::addRow("statement in quotes")
            << QStringLiteral("O'Brien'); delete from Torihikisaki; --") << 0 << QString();
        QTest::addRow("percent alone") << QStringLiteral("%") << 1 << QString();
        QTest::addRow("percent is no wildcard") << QStringLiteral("100%") << 1 << QString();
        QTest::addRow("underscore alone") << QStringLiteral("_") << 1 << QString();
        QTest::addRow("underscore is no wildcard") << QStringLiteral("A_B") << 1 << QString();
        QTest::addRow("backslash") << QStringLiteral("\\") << 1 << QString();
        QTest::addRow("backslash before percent") << QStringLiteral("\\%") << 0 << QString();
        QTest::addRow("colon name") << QStringLiteral(":name") << 1 << QString();
        QTest::addRow("the filter's own parameter") << QStringLiteral(":Torihikisaki") << 0 << QString();
        QTest::addRow("question mark") << QStringLiteral("?") << 1 << QString();
        QTest::addRow("small letters") << QStringLiteral("o'brien") << 1 << QString();
        // A NUL is no character of any stored text: it is left out of the fragment.
        QTest::addRow("NUL inside") << QStringLiteral("山田") + QChar(0) + QStringLiteral("商事") << 1
                                    << QString();
        QTest::addRow("NUL alone") << QString(QChar(0)) << kNames.size() << QString();
        QTest::addRow("outside CP932: 𠮷") << QStringLiteral("\U00020BB7") << 1 << QString();
        QTest::addRow("outside CP932: emoji") << QStringLiteral("\U0001F600") << 1 << QString();
        QTest::addRow("replacement character") << QStringLiteral("\uFFFD") << 0 << QString();
        QTest::addRow("lone high surrogate") << QString(QChar(0xD842)) << 0 << QString();
        QTest::addRow("lone low surrogate") << QStringLiteral("野") + QChar(0xDFB7) << 0 << QString();
        QTest::addRow("longest taken") << QString(1000, u'商') << 0 << QString();
        QTest::addRow("longest taken, all percent") << QString(1000, u'%') << 0 << QString();
        QTest::addRow("one beyond the longest") << QString(1001, u'商') << -1 << tooLong;
        QTest::addRow("very long") << QString(200000, u'\'') << -1 << tooLong;
    }
    void textFilters()
    {
        QFETCH(QString, text);
        QFETCH(int, matches);
        QFETCH(QString, message);
        for (const Page &page : kPages) {
            const QString name = QLatin1String(page.prefix);
            extract(page, text, QString(), QString());
            checkOutcome(*(w.get()->*page.list), matches, message, name + QStringLiteral(" customer"));
            if (page.staff) {
                extract(page, QString(), text, QString());
                checkOutcome(*(w.get()->*page.list), matches, message, name + QStringLiteral(" staff"));
            }
        }

        TFtorihikisakiKensaku search;
        search.show();
        search.Edit1->setText(text);
        search.SpeedButton1->click();
        const QStringList messages = said();
        if (message.isEmpty()) {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
            QCOMPARE(rows(*search.Query1), matches);
        } else {
            QCOMPARE(messages, QStringList{message});
        }
    }

    void daysFilters_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("message");
        const int all = kNames.size();
        const auto notWhole = [](const QString &text) {
            return QStringLiteral("'%1' は整数ではありません").arg(text);
        };
        QTest::addRow("plus sign") << QStringLiteral("+9") << all << QString();
        QTest::addRow("minus sign: from tomorrow") << QStringLiteral("-1") << 0 << QString();
        QTest::addRow("blanks around") << QStringLiteral(" 9 ") << all << QString();
        QTest::addRow("one day short") << QStringLiteral("8") << 0 << QString();
        QTest::addRow("largest 32-bit") << QStringLiteral("2147483647") << all << QString();
        QTest::addRow("smallest 32-bit") << QStringLiteral("-2147483648") << 0 << QString();
        QTest::addRow("beyond 32 bits")
            << QStringLiteral("2147483648") << -1 << notWhole(QStringLiteral("2147483648"));
        QTest::addRow("beyond 64 bits")
            << QStringLiteral("99999999999") << -1 << notWhole(QStringLiteral("99999999999"));
        QTest::addRow("exponent") << QStringLiteral("1e3") << -1 << notWhole(QStringLiteral("1e3"));
        QTest::addRow("fraction") << QStringLiteral("9.5") << -1 << notWhole(QStringLiteral("9.5"));
        QTest::addRow("two signs") << QStringLiteral("+-9") << -1 << notWhole(QStringLiteral("+-9"));
        QTest::addRow("hexadecimal") << QStringLiteral("0x10") << -1 << notWhole(QStringLiteral("0x10"));
        QTest::addRow("full-width digits")
            << QStringLiteral("１０") << -1 << notWhole(QStringLiteral("１０"));
        QTest::addRow("quote") << QStringLiteral("9'") << -1 << notWhole(QStringLiteral("9'"));
        QTest::addRow("colon name") << QStringLiteral(":Hiduke") << -1 << notWhole(QStringLiteral(":Hiduke"));
        QTest::addRow("NUL") << QStringLiteral("9") + QChar(0) << -1
                             << notWhole(QStringLiteral("9") + QChar(0));
    }
    void daysFilters()
    {
        QFETCH(QString, days);
        QFETCH(int, matches);
        QFETCH(QString, message);
        for (const Page &page : kPages) {
            extract(page, QString(), QString(), days);
            checkOutcome(*(w.get()->*page.list), matches, message, QLatin1String(page.prefix));
        }
    }

    // The lookup behind the button beside the customer's postal-code field: the digits of the text
    // are the code; the one address of the code fills the first address line, a code without one
    // empties it, a text without digits looks nothing up.
    void postalLookup_data()
    {
        QTest::addColumn<QString>("yubin");
        QTest::addColumn<QString>("address"); // the first address line afterwards
        QTest::addColumn<QString>("message");
        const QString found = QStringLiteral("北海道札幌市中央区");
        const QString kept = QStringLiteral("元の住所");
        const auto notWhole = [](const QString &text) {
            return QStringLiteral("'%1' は整数ではありません").arg(text);
        };
        QTest::addRow("hyphenated") << QStringLiteral("060-0000") << found << QString();
        QTest::addRow("full width") << QStringLiteral("０６０－００００") << found << QString();
        QTest::addRow("quote and statement")
            << QStringLiteral("060-0000'; delete from Address; --") << found << QString();
        QTest::addRow("NUL before") << QChar(0) + QStringLiteral("0600000") << found << QString();
        QTest::addRow("colon name") << QStringLiteral(":Yubin") << kept << QString();
        QTest::addRow("question mark") << QStringLiteral("?") << kept << QString();
        QTest::addRow("emoji") << QStringLiteral("\U0001F600") << kept << QString();
        QTest::addRow("lone surrogate") << QString(QChar(0xD842)) << kept << QString();
        QTest::addRow("exponent: digits 1 and 3") << QStringLiteral("1e3") << QString() << QString();
        QTest::addRow("sign dropped") << QStringLiteral("-0600000") << found << QString();
        QTest::addRow("point") << QStringLiteral("060.0000") << kept << notWhole(QStringLiteral("060.0000"));
        QTest::addRow("beyond 32 bits")
            << QStringLiteral("99999999999") << kept << notWhole(QStringLiteral("99999999999"));
        QTest::addRow("very long") << QString(30000, u'9') << kept << notWhole(QString(30000, u'9'));
    }
    void postalLookup()
    {
        QFETCH(QString, yubin);
        QFETCH(QString, address);
        QFETCH(QString, message);
        TFtorihikisakiMaster2 w;
        w.show();
        w.Yubin->setText(yubin);
        w.Jyusyo1->setText(QStringLiteral("元の住所"));
        w.YubinBTN->click();
        QCOMPARE(said(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(w.Jyusyo1->text(), address);
        w.setModified(false);
    }
};

QTEST_MAIN(TestHostileFilters)
#include "tst_hostilefilters.moc"
