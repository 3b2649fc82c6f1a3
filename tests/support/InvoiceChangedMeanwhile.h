#pragma once
// The two ways another computer changes the invoice of a delivery note or payment while a save of it
// waits: the rows of the stores' tests (the invoice key read when opened, the one the other computer
// stores, the beginning of what the refusal says).
#include <QTest>

inline void invoiceChangedMeanwhileRows()
{
    QTest::addColumn<int>("openedKey");
    QTest::addColumn<int>("otherKey");
    QTest::addColumn<QString>("message");
    QTest::newRow("billed meanwhile") << 0 << 9 << "開いた後にほかのコンピュータで請求書に計上されました";
    QTest::newRow("invoice deleted meanwhile") << 7 << 0 << "請求書は、開いた後にほかのコンピュータで削除";
}
