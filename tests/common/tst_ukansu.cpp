// Typed dates and numbers: the short forms of the date fields, the date reader, the text tests.
#include "common/Clock.h"
#include "common/Ukansu.h"
#include "data/Engine.h"

#include <QTest>

class TestUkansu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(9, 0))); }
    void cleanupTestCase() { Clock::reset(); }

    void truncDecimals_data()
    {
        QTest::addColumn<int>("places");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        // Binary floating point without correction: 0.29 is 0.28999... and loses its last unit.
        QTest::addRow("0.29 to 2") << 2 << 0.29 << 0.28;
        QTest::addRow("0.57 to 2") << 2 << 0.57 << 0.56;
        QTest::addRow("1.1 to 1") << 1 << 1.1 << 1.1;
        QTest::addRow("2.675 to 0") << 0 << 2.675 << 2.0;
        QTest::addRow("negative towards zero") << 0 << -2.7 << -2.0;
        QTest::addRow("amount") << 0 << 3.0 * 333.33 << 999.0;
        QTest::addRow("beyond 64 bits") << 0 << 1e300 << 1e300;
    }
    void truncDecimals()
    {
        QFETCH(int, places);
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(TruncDecimals(places, value), expected);
    }

    void textTests_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("digitsOrPoint");
        QTest::addColumn<bool>("digitsOrHyphen");
        QTest::addColumn<bool>("floatText");
        QTest::addRow("empty") << "" << false << false << false;
        QTest::addRow("digits") << "123" << true << true << true;
        QTest::addRow("several points") << "1.2.3" << true << false << false;
        QTest::addRow("point only") << "." << true << false << false;
        QTest::addRow("hyphen only") << "-" << false << true << false;
        QTest::addRow("minus sign") << "-500" << false << true << true;
        QTest::addRow("hyphen inside") << "5-0" << false << true << false;
        QTest::addRow("full-width digits") << "１２" << false << false << false;
        QTest::addRow("blanks around") << " 1.5 " << false << false << true;
        QTest::addRow("exponent") << "1.5E3" << false << false << true;
        QTest::addRow("exponent without digits") << "1e" << false << false << false;
        QTest::addRow("leading point") << ".5" << true << false << true;
        QTest::addRow("thousands separator") << "1,000" << false << false << false;
        QTest::addRow("out of range") << "1e999" << false << false << false;
        QTest::addRow("letters") << "abc" << false << false << false;
    }
    void textTests()
    {
        QFETCH(QString, text);
        QFETCH(bool, digitsOrPoint);
        QFETCH(bool, digitsOrHyphen);
        QFETCH(bool, floatText);
        QCOMPARE(IsDigitsOrPoint(text), digitsOrPoint);
        QCOMPARE(IsDigitsOrHyphen(text), digitsOrHyphen);
        QCOMPARE(IsFloatText(text), floatText);
    }

    void normalizeDateText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        // The clock stands at 2010/06/15.
        QTest::addRow("empty stays empty") << ""
                                           << "";
        QTest::addRow("month and day") << "1225"
                                       << "2010/12/25";
        QTest::addRow("two-digit year") << "101225"
                                        << "2010/12/25";
        QTest::addRow("two-digit year 50 years back") << "600101"
                                                      << "1960/01/01";
        QTest::addRow("two-digit year 49 years on") << "590101"
                                                    << "2059/01/01";
        QTest::addRow("eight digits") << "20101225"
                                      << "2010/12/25";
        QTest::addRow("Heisei") << "H221225"
                                << "2010/12/25";
        QTest::addRow("Showa lower case") << "s640107"
                                          << "1989/01/07";
        QTest::addRow("first day of Heisei") << "H010108"
                                             << "1989/01/08";
        QTest::addRow("Meiji") << "M450729"
                               << "1912/07/29";
        QTest::addRow("Taisho") << "t150101"
                                << "1926/01/01";
        QTest::addRow("Reiwa") << "R010501"
                               << "2019/05/01";
        QTest::addRow("Reiwa lower case") << "r080105"
                                          << "2026/01/05";
        QTest::addRow("slashes padded") << "2010/1/5"
                                        << "2010/01/05";
        QTest::addRow("two numbers: this year") << "12/5"
                                                << "2010/12/05";
        QTest::addRow("time after a blank") << "2010/12/25 10:30"
                                            << "2010/12/25";
        QTest::addRow("three-digit year kept") << "010/12/25"
                                               << "0010/12/25";
        // The written forms users type or paste: era letter with slashes, era name or year in kanji.
        QTest::addRow("era letter with slashes") << "R8/12/10"
                                                 << "2026/12/10";
        QTest::addRow("lower-case era letter, slashes") << "h22/1/5"
                                                        << "2010/01/05";
        QTest::addRow("era name") << "令和8年12月10日"
                                  << "2026/12/10";
        QTest::addRow("era name, first year") << "令和元年5月1日"
                                              << "2019/05/01";
        QTest::addRow("era name, full-width digits") << "平成２２年１２月２５日"
                                                     << "2010/12/25";
        QTest::addRow("Showa in its last year") << "昭和64年1月7日"
                                                << "1989/01/07";
        QTest::addRow("an earlier era the calendar knows") << "天保8年12月10日"
                                                           << "1837/12/10";
        QTest::addRow("year in kanji form") << "2026年12月10日"
                                            << "2026/12/10";
        QTest::addRow("kanji form without the day mark") << "2026年12月10"
                                                         << "2026/12/10";
    }
    void normalizeDateText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeDateText(typed), expected);
    }

    void normalizeDateTextErrors_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("tooShort"); // DateError rather than ConvertError
        QTest::addColumn<QString>("message");
        QTest::addRow("three characters") << "123" << true << "123は日付ではありません";
        QTest::addRow("one slash form of three") << "1/5" << true << "1/5は日付ではありません";
        QTest::addRow("one Japanese character is two bytes") << "あ" << true << "あは日付ではありません";
        QTest::addRow("29 February of a common year")
            << "0229" << false << "'2010/02/29' は日付または時刻ではありません";
        QTest::addRow("not an era letter")
            << "X221225" << false << "'X221225' は日付または時刻ではありません";
        // "ſ" upper-cases to "S" but is no era letter; as two bytes it would make a six-character era form.
        QTest::addRow("long s is no era letter")
            << "ſ64017" << false << "'ſ64017' は日付または時刻ではありません";
        QTest::addRow("hyphens") << "2010-12-25" << false << "'2010-12-25' は日付または時刻ではありません";
        QTest::addRow("point in month and day")
            << "1.25" << false << "'2010/1./25' は日付または時刻ではありません";
        QTest::addRow("point in era year") << "H.11225" << false << "'.1' は整数ではありません";
        QTest::addRow("month 13") << "20101301" << false << "'2010/13/01' は日付または時刻ではありません";
        QTest::addRow("bad time") << "2010/12/25 25:00" << false
                                  << "'2010/12/25 25:00' は日付または時刻ではありません";
        QTest::addRow("time without blank")
            << "2010/12/2510:00" << false << "'2010/12/2510:00' は日付または時刻ではありません";
        QTest::addRow("two Japanese characters")
            << "あい" << false << "'あい' は日付または時刻ではありません";
        QTest::addRow("unknown era name")
            << "未来8年12月10日" << false << "'未来8年12月10日' は日付または時刻ではありません";
        QTest::addRow("era letter, day 32")
            << "R8/12/32" << false << "'2026/12/32' は日付または時刻ではありません";
    }
    void normalizeDateTextErrors()
    {
        QFETCH(QString, typed);
        QFETCH(bool, tooShort);
        QFETCH(QString, message);
        try {
            NormalizeDateText(typed);
            QFAIL("no error raised");
        } catch (const DateError &e) {
            QVERIFY(tooShort);
            QCOMPARE(e.message(), message);
        } catch (const ConvertError &e) {
            QVERIFY(!tooShort);
            QCOMPARE(e.message(), message);
        }
    }

    void normalizeLeapDayInLeapYear()
    {
        Clock::setFixed(QDateTime(QDate(2012, 1, 10), QTime(9, 0)));
        QCOMPARE(NormalizeDateText(QStringLiteral("0229")), QStringLiteral("2012/02/29"));
        Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(9, 0)));
    }

    void dateTextToDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::addRow("canonical") << "2010/12/25" << QDate(2010, 12, 25);
        QTest::addRow("no century completion") << "10/12/25" << QDate(10, 12, 25);
        QTest::addRow("unpadded") << "2010/1/5" << QDate(2010, 1, 5);
        QTest::addRow("no day") << "2010/12" << kZeroDate;
        QTest::addRow("hyphens") << "2010-12-25" << kZeroDate;
        QTest::addRow("empty") << "" << kZeroDate;
        QTest::addRow("30 February") << "2010/02/30" << kZeroDate;
        QTest::addRow("year 0") << "0/1/1" << kZeroDate;
        QTest::addRow("time makes the day unreadable") << "2010/12/25 10:00" << kZeroDate;
        QTest::addRow("part beyond 32 bits") << "99999999999/1/1" << kZeroDate;
        QTest::addRow("year beyond 9999") << "10000/1/1" << kZeroDate;
    }
    void dateTextToDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QCOMPARE(DateTextToDate(text), expected);
    }

    void dateTextToDateRaisesForPointInPart()
    {
        try {
            DateTextToDate(u"2010/12/2.5");
            QFAIL("no error raised");
        } catch (const ConvertError &e) {
            QCOMPARE(e.message(), QStringLiteral("'2.5' は整数ではありません"));
        }
    }

    void dateFieldKeys()
    {
        for (QChar c : QStringLiteral("0123456789/MTSHRmtshr \b\t"))
            QVERIFY2(IsDateFieldKey(c), qPrintable(QString(c)));
        for (QChar c : QStringLiteral("-.aXx:あ１ſＳ"))
            QVERIFY2(!IsDateFieldKey(c), qPrintable(QString(c)));
    }
};

QTEST_GUILESS_MAIN(TestUkansu)
#include "tst_ukansu.moc"
