// The main window's invoice commands: making invoices (from the window and from a delivery note),
// printing the selected one, deleting the latest, and the lists they refresh.
#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "billing/ui/TFseikyusyoData.h"
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "DocumentFixture.h"
#include "ModalHelper.h"
#include "report/ui/TLRseikyusyo.h"
#include "TestDatabase.h"

#include <QTest>

class tst_InvoiceCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<DocumentFixture> docs;
    std::unique_ptr<TFmain> w;
    int customer = 0;

    int count(const QString &sql) { return t->scalar(sql).toInt(); }

    // Collects the keys of the invoices the report window is given when a command opens it.
    void onReport()
    {
        m_reported.clear();
        onModal<TLRseikyusyo>([this](TLRseikyusyo *report) {
            for (report->Qseikyu->First(); !report->Qseikyu->Eof(); report->Qseikyu->Next())
                m_reported.append(report->Qseikyu->FieldByName(QStringLiteral("key")).AsInteger());
            report->reject();
        });
    }
    QList<int> m_reported;

    void click(const char *name) { QTest::mouseClick(w->button(QLatin1String(name)), Qt::LeftButton); }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2024, 3, 25), QTime(9, 0)));
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->writeConnectionSettings();
        docs = std::make_unique<DocumentFixture>(t->db());
        docs->addCompany();
        customer = docs->addCustomer();
        w = std::make_unique<TFmain>();
        w->show();
        QTRY_VERIFY(w->Qseikyu->Active());
        Messages::takeHistory();
    }
    void cleanup()
    {
        w.reset();
        docs.reset();
        t.reset();
        Clock::reset();
    }

    // The note's customer is billed up to the note's date, all its notes by then in one invoice; the
    // report shows that invoice; both lists are read again and the note counts as billed.
    void invoiceFromDeliveryNote()
    {
        docs->addDeliveryNote(customer, DocumentFixture::lines(1), 100, QDate(2024, 3, 1));
        const int note = docs->addDeliveryNote(customer, DocumentFixture::lines(2), 300, QDate(2024, 3, 10));
        const int later = docs->addDeliveryNote(customer, DocumentFixture::lines(1), 50, QDate(2024, 3, 11));
        MainLists::reopen(*w->Qnohin);
        QVERIFY(w->Qnohin->Locate(note));
        QVERIFY(w->button(QStringLiteral("Nohin2SeikyuBTN"))->isEnabled());
        onReport();
        click("Nohin2SeikyuBTN");
        QCOMPARE(count(QStringLiteral("select count(*) from Seikyu")), 1);
        QCOMPARE(count(QStringLiteral("select Hanbaigaku from Seikyu")), 400);
        QCOMPARE(m_reported, QList<int>{count(QStringLiteral("select key from Seikyu"))});
        QCOMPARE(count(QStringLiteral("select SeikyuKey from Nohin where key = %1").arg(later)), 0);
        QCOMPARE(w->Qseikyu->RecordCount(), 1);
        QCOMPARE(w->Qnohin->FieldByName(QStringLiteral("key")).AsInteger(), note); // back on the note
        QVERIFY(w->Qnohin->FieldByName(QStringLiteral("SeikyuKey")).AsInteger() != 0);
        QVERIFY(!w->button(QStringLiteral("Nohin2SeikyuBTN"))->isEnabled());

        // A note of the same date added afterwards makes a second invoice for that closing date: the
        // report shows that one only.
        const int first = count(QStringLiteral("select key from Seikyu"));
        const int sameDay =
            docs->addDeliveryNote(customer, DocumentFixture::lines(1), 70, QDate(2024, 3, 10));
        MainLists::reopen(*w->Qnohin);
        QVERIFY(w->Qnohin->Locate(sameDay));
        onReport();
        click("Nohin2SeikyuBTN");
        QCOMPARE(count(QStringLiteral("select count(*) from Seikyu")), 2);
        const int second = count(QStringLiteral("select max(key) from Seikyu"));
        QVERIFY(second != first);
        QCOMPARE(m_reported, QList<int>{second});
    }

    // The run's window from the invoice page; the list shows the new invoice afterwards. Printing the
    // selected invoice hands its key to the report window.
    void runWindowAndPrint()
    {
        docs->addDeliveryNote(customer, DocumentFixture::lines(1), 100, QDate(2024, 2, 1));
        onModal<TFseikyusyoData>(
            [](TFseikyusyoData *run) { QTest::mouseClick(run->DataSakuseiBTN, Qt::LeftButton); });
        click("SeikyusyoDataBTN");
        QCOMPARE(w->Qseikyu->RecordCount(), 1);
        const int key = w->Qseikyu->FieldByName(QStringLiteral("key")).AsInteger();
        QVERIFY(key > 0);
        onReport();
        click("SeikyuInsatuBTN");
        QCOMPARE(m_reported, QList<int>{key});
    }

    // An older invoice is refused with the customer's name; the latest goes, and the note it billed is
    // unbilled again in the delivery-note list.
    void deleteLatestOnly()
    {
        const int note = docs->addDeliveryNote(customer, DocumentFixture::lines(1), 100, QDate(2024, 2, 1));
        docs->addDeliveryNote(customer, DocumentFixture::lines(1), 200, QDate(2024, 3, 1));
        onModal<TFseikyusyoData>([](TFseikyusyoData *run) {
            run->SeikyuSimebi->setText(QStringLiteral("2024/02/20"));
            QTest::mouseClick(run->DataSakuseiBTN, Qt::LeftButton);
        });
        click("SeikyusyoDataBTN");
        onModal<TFseikyusyoData>([](TFseikyusyoData *run) {
            run->SeikyuSimebi->setText(QStringLiteral("2024/03/20"));
            QTest::mouseClick(run->DataSakuseiBTN, Qt::LeftButton);
        });
        click("SeikyusyoDataBTN");
        QCOMPARE(w->Qseikyu->RecordCount(), 2);
        MainLists::reopen(*w->Qnohin);
        Messages::takeHistory(); // the runs' counts of invoices made

        w->Qseikyu->First(); // the older closing date
        click("SeikyuDelBTN");
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(
            said.first().text,
            QStringLiteral("株式会社テスト商事の最後の請求ではありません\r\n最後の請求から削除してください"));
        QCOMPARE(count(QStringLiteral("select count(*) from Seikyu")), 2);

        w->Qseikyu->Last();
        click("SeikyuDelBTN");
        click("SeikyuDelBTN"); // the list went back to the row after it: now the older one, the latest
        QCOMPARE(count(QStringLiteral("select count(*) from Seikyu")), 0);
        QVERIFY(w->Qseikyu->IsEmpty());
        QVERIFY(w->Qnohin->Locate(note));
        QCOMPARE(w->Qnohin->FieldByName(QStringLiteral("SeikyuKey")).AsInteger(), 0);
        QVERIFY(Messages::takeHistory().isEmpty());
    }
};

QTEST_MAIN(tst_InvoiceCommands)
#include "tst_invoicecommands.moc"
