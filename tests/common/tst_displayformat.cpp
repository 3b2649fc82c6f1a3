// The display patterns of grids, fields and printed pages.
#include "common/DisplayFormat.h"

#include <QTest>

class TestDisplayFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const QString integer = QStringLiteral("#,#0");
        QTest::addRow("integer zero") << integer << 0.0 << "0";
        QTest::addRow("integer thousands") << integer << 1234567.0 << "1,234,567";
        QTest::addRow("integer below a thousand") << integer << 999.0 << "999";
        QTest::addRow("integer negative") << integer << -1234.0 << "-1,234";
        QTest::addRow("integer half away from zero") << integer << 2.5 << "3";
        QTest::addRow("integer negative half") << integer << -2.5 << "-3";
        QTest::addRow("integer carry into a new group") << integer << 999.5 << "1,000";
        QTest::addRow("integer small negative: no minus zero") << integer << -0.4 << "0";

        const QString quantity = QStringLiteral("#,##.##");
        QTest::addRow("quantity zero is empty") << quantity << 0.0 << "";
        QTest::addRow("quantity fraction only") << quantity << 0.5 << ".5";
        QTest::addRow("quantity whole: no point") << quantity << 1234.0 << "1,234";
        QTest::addRow("quantity one decimal") << quantity << 1234.5 << "1,234.5";
        QTest::addRow("quantity rounded") << quantity << 1234.567 << "1,234.57";
        QTest::addRow("quantity binary 1.005") << quantity << 1.005 << "1"; // 1.00499... in binary
        QTest::addRow("quantity exact tie") << quantity << 0.125 << ".13";
        QTest::addRow("quantity negative") << quantity << -1.5 << "-1.5";

        QTest::addRow("blank integer zero") << "#,#" << 0.0 << "";
        QTest::addRow("blank integer") << "#,#" << 12345.0 << "12,345";

        const QString yen = QStringLiteral("\\#,#0;\\-#,#0;\\0");
        QTest::addRow("yen positive") << yen << 1234.0 << "¥1,234";
        QTest::addRow("yen negative") << yen << -1234.0 << "¥-1,234";
        QTest::addRow("yen zero section") << yen << 0.0 << "¥0";
        QTest::addRow("yen rounds to zero") << yen << -0.4 << "¥0";
        QTest::addRow("yen sign in pattern") << "¥#,#0" << 5000.0 << "¥5,000";

        QTest::addRow("two decimals zero") << "0.00" << 0.0 << "0.00";
        QTest::addRow("two decimals padded") << "0.00" << 1.5 << "1.50";
        QTest::addRow("two decimals binary 2.675") << "0.00" << 2.675 << "2.67";
        QTest::addRow("two decimals tiny negative") << "0.00" << -0.001 << "0.00";
        QTest::addRow("two decimals large") << "0.00" << 123456.789 << "123456.79";

        QTest::addRow("postal leading zero") << "000-0000" << 600000.0 << "060-0000";
        QTest::addRow("postal seven digits") << "000-0000" << 4520961.0 << "452-0961";
        QTest::addRow("postal zero") << "000-0000" << 0.0 << "000-0000";
        QTest::addRow("more digits than places") << "000-0000" << 12345678.0 << "1234-5678";

        QTest::addRow("quoted literal") << "#,#0\"円\"" << 1500.0 << "1,500円";
        QTest::addRow("empty negative section") << "#,#0;;ゼロ" << -5.0 << "-5";
        QTest::addRow("zero section text") << "#,#0;;ゼロ" << 0.0 << "ゼロ";
    }
    void numbers()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(pattern, value), expected);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");
        QTest::addRow("canonical") << "yyyy/mm/dd" << QDate(2010, 1, 5) << "2010/01/05";
        QTest::addRow("year below 1000") << "yyyy/mm/dd" << QDate(10, 12, 25) << "0010/12/25";
        QTest::addRow("zero date") << "yyyy/mm/dd" << QDate(1899, 12, 30) << "1899/12/30";
        QTest::addRow("printed date") << "yyyy'年 'm'月 'd'日'" << QDate(2026, 1, 5) << "2026年 1月 5日";
        QTest::addRow("printed date two digits")
            << "yyyy'年 'm'月 'd'日'" << QDate(2010, 12, 25) << "2010年 12月 25日";
        QTest::addRow("invalid date is empty") << "yyyy/mm/dd" << QDate() << "";
    }
    void dates()
    {
        QFETCH(QString, pattern);
        QFETCH(QDate, date);
        QFETCH(QString, expected);
        QCOMPARE(formatDate(pattern, date), expected);
    }

    void timeStampMinutesAfterHour()
    {
        const QDateTime stamp(QDate(2010, 12, 25), QTime(9, 5, 7));
        QCOMPARE(formatDateTime(u"yyyy/mm/dd hh:mm:ss", stamp), QStringLiteral("2010/12/25 09:05:07"));
        QCOMPARE(formatDateTime(u"yyyy/mm/dd hh:nn:ss", stamp), QStringLiteral("2010/12/25 09:05:07"));
    }

    void helpers()
    {
        QCOMPARE(DisplayFormat::formatYen(-1234), QStringLiteral("¥-1,234"));
        QCOMPARE(DisplayFormat::formatPostalCode(600000), QStringLiteral("060-0000"));
    }
};

QTEST_GUILESS_MAIN(TestDisplayFormat)
#include "tst_displayformat.moc"
