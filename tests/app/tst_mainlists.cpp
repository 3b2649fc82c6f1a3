// The main window's lists: the amount columns' titles follow the qualified-invoice option.
#include "app/MainLists.h"
#include "data/Engine.h"

#include <QTest>

class TestMainLists : public QObject
{
    Q_OBJECT

    static QString title(TEngineQuery &q, const QString &field)
    {
        for (const TFieldDef &def : q.FieldDefs())
            if (def.name == field)
                return def.label;
        return {};
    }

private Q_SLOTS:
    void amountTitles_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("pricesIncludeTax");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("invoices");
        QTest::newRow("option off") << false << true << "金額"
                                    << "請求額";
        QTest::newRow("without tax") << true << false << "金額（税抜）"
                                     << "請求額（税込）";
        QTest::newRow("with tax") << true << true << "金額（税込）"
                                  << "請求額（税込）";
    }
    void amountTitles()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, pricesIncludeTax);
        QFETCH(QString, documents);
        QFETCH(QString, invoices);
        TEngineSession session;
        TEngineDatabase db(&session);
        TEngineQuery estimates(&db), notes(&db), bills(&db);
        MainLists::setUpEstimates(estimates);
        MainLists::setUpDeliveryNotes(notes);
        MainLists::setUpInvoices(bills);
        ConsumptionTax::Settings tax;
        tax.enabled = enabled;
        tax.pricesIncludeTax = pricesIncludeTax;
        QCOMPARE(MainLists::captionAmounts(estimates, notes, bills, tax), enabled);
        QCOMPARE(title(estimates, QStringLiteral("Kingaku")), documents);
        QCOMPARE(title(notes, QStringLiteral("Kingaku")), documents);
        QCOMPARE(title(bills, QStringLiteral("Seikyugaku")), invoices);
        QVERIFY(!MainLists::captionAmounts(estimates, notes, bills, tax)); // nothing changes a second time
    }
};

QTEST_GUILESS_MAIN(TestMainLists)
#include "tst_mainlists.moc"
