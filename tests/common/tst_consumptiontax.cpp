// The consumption tax: the registration number's check digit, the tax rounded once per document and
// rate, and the sums and summary lines of a document.
#include "common/ConsumptionTax.h"

#include <QTest>

using namespace ConsumptionTax;
Q_DECLARE_METATYPE(ConsumptionTax::Rounding)

class TestConsumptionTax : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registrationNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("wellFormed");
        QTest::addColumn<bool>("valid");
        // Published corporate numbers with a T in front.
        QTest::newRow("published 1") << "T8000012010038" << true << true;
        QTest::newRow("published 2") << "T7000012050002" << true << true;
        QTest::newRow("published 3") << "T1180301018771" << true << true;
        QTest::newRow("check digit wrong") << "T7000012050003" << true << false;
        QTest::newRow("two base digits swapped") << "T7000012500002" << true << false;
        QTest::newRow("check digit 9 (weighted sum a multiple of 9)") << "T9000000000009" << true << true;
        QTest::newRow("no T") << "7000012050002" << false << false;
        QTest::newRow("small t") << "t7000012050002" << false << false;
        QTest::newRow("12 digits") << "T700001205000" << false << false;
        QTest::newRow("14 digits") << "T70000120500021" << false << false;
        QTest::newRow("full-width digit") << "T700001205000２" << false << false;
        QTest::newRow("hyphen") << "T7-00001205000" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void registrationNumber()
    {
        QFETCH(QString, number);
        QFETCH(bool, wellFormed);
        QFETCH(bool, valid);
        QCOMPARE(isWellFormedRegistrationNumber(number), wellFormed);
        QCOMPARE(hasValidCheckDigit(number), valid);
    }

    void taxOfOneRate_data()
    {
        QTest::addColumn<qint64>("sum");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("inclusive");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<qint64>("tax");
        QTest::newRow("three lines of 335 at 10%, once: not 3 x 33")
            << qint64(1005) << 10 << false << Rounding::Down << qint64(100);
        QTest::newRow("10% down") << qint64(1005) << 10 << false << Rounding::Down << qint64(100);
        QTest::newRow("8% down") << qint64(2468) << 8 << false << Rounding::Down << qint64(197);
        QTest::newRow("10% half up") << qint64(1005) << 10 << false << Rounding::HalfUp << qint64(101);
        QTest::newRow("8% half up (197.44)") << qint64(2468) << 8 << false << Rounding::HalfUp << qint64(197);
        QTest::newRow("10% up") << qint64(1001) << 10 << false << Rounding::Up << qint64(101);
        QTest::newRow("10% up, exact") << qint64(1000) << 10 << false << Rounding::Up << qint64(100);
        QTest::newRow("with tax 10%") << qint64(1005) << 10 << true << Rounding::Down << qint64(91);
        QTest::newRow("with tax 8% (182.8)") << qint64(2468) << 8 << true << Rounding::Down << qint64(182);
        QTest::newRow("with tax 8% half up") << qint64(2468) << 8 << true << Rounding::HalfUp << qint64(183);
        QTest::newRow("with tax 10% up") << qint64(1100) << 10 << true << Rounding::Up << qint64(100);
        QTest::newRow("untaxed") << qint64(5000) << 0 << false << Rounding::Up << qint64(0);
        QTest::newRow("returns round their size")
            << qint64(-1005) << 10 << false << Rounding::HalfUp << qint64(-101);
        QTest::newRow("returns down toward zero")
            << qint64(-2468) << 8 << false << Rounding::Down << qint64(-197);
        QTest::newRow("largest total")
            << qint64(2147483647) << 10 << false << Rounding::Down << qint64(214748364);
    }
    void taxOfOneRate()
    {
        QFETCH(qint64, sum);
        QFETCH(int, rate);
        QFETCH(bool, inclusive);
        QFETCH(Rounding, rounding);
        QFETCH(qint64, tax);
        QCOMPARE(taxOf(sum, rate, inclusive, rounding), tax);
    }

    void sumsRoundOncePerRate()
    {
        const Settings settings{true, {}, false, Rounding::Down};
        const RateSums one = sumsOf({{10, 335}, {10, 335}, {10, 335}}, settings);
        QCOMPARE(one.Taisyo10, 1005);
        QCOMPARE(one.Zei10, 100);
        QCOMPARE(one.ratesUsed(), 1);
        QCOMPARE(one.total(false), 1105);

        const RateSums mixed = sumsOf({{10, 1005}, {8, 1234}, {8, 1234}, {0, 500}}, settings);
        QCOMPARE(mixed.Taisyo8, 2468);
        QCOMPARE(mixed.Zei8, 197);
        QCOMPARE(mixed.Hikazei, 500);
        QCOMPARE(mixed.tax(), 297);
        QCOMPARE(mixed.subtotal(false), 3973);
        QCOMPARE(mixed.total(false), 4270);
        QCOMPARE(summaryLines(mixed, false),
                 (QStringList{"10%対象（税抜）¥1,005 消費税 ¥100", "8%対象（税抜）¥2,468 消費税 ¥197",
                              "非課税 ¥500"}));

        const RateSums inclusive = sumsOf({{10, 1005}, {8, 2468}}, {true, {}, true, Rounding::Down});
        QCOMPARE(inclusive.Zei10, 91);
        QCOMPARE(inclusive.Zei8, 182);
        QCOMPARE(inclusive.subtotal(true), 3473 - 273);
        QCOMPARE(inclusive.total(true), 3473);
        QCOMPARE(summaryLines(inclusive, true),
                 (QStringList{"10%対象（税込）¥1,005 内消費税 ¥91", "8%対象（税込）¥2,468 内消費税 ¥182"}));
    }

    void storedValues()
    {
        QCOMPARE(rateOf(std::nullopt), 10);
        QCOMPARE(rateOf(8), 8);
        QCOMPARE(rateOf(0), 0);
        QCOMPARE(rateOf(5), 10);
        QCOMPARE(roundingOf(std::nullopt), Rounding::Down);
        QCOMPARE(roundingOf(1), Rounding::HalfUp);
        QCOMPARE(roundingOf(2), Rounding::Up);
        QCOMPARE(roundingOf(7), Rounding::Down);
        QCOMPARE(yen(-300), QStringLiteral("-¥300"));
        QCOMPARE(yen(0), QStringLiteral("¥0"));
    }
};

QTEST_GUILESS_MAIN(TestConsumptionTax)
#include "tst_consumptiontax.moc"
