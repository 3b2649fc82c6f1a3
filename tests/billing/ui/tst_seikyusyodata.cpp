// The invoice windows driven as a user would: 請求書データ作成 (the closing days it offers and their
// default dates, the two modes, a run, what the user is told when a run cannot go on) and 請求書一括印刷.
#include "billing/InvoiceRun.h"
#include "billing/ui/TFseikyuIkkatuInsatu.h"
#include "billing/ui/TFseikyusyoData.h"
#include "BillingFixture.h"
#include "common/Clock.h"
#include "common/ui/TFtorihikisakiKensaku.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "ModalHelper.h"
#include "report/ui/TLRseikyusyo.h"

#include <QCheckBox>

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

class tst_SeikyusyoData : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<BillingFixture> f;

    static QStringList items(QComboBox *box)
    {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        f = std::make_unique<BillingFixture>(*t);
        f->setCompanyDay(20);
    }
    void cleanup()
    {
        f.reset();
        t.reset();
        Clock::reset();
    }

    void closingDaysAndTheirDates()
    {
        f->addCustomer(QStringLiteral("五日締め"), 5);
        f->addCustomer(QStringLiteral("会社の締日"), 0);
        f->addCustomer(QStringLiteral("二十日締め"), 20);
        TFseikyusyoData w;
        w.show();
        QCOMPARE(items(w.SimebiCB), (QStringList{"20", "5", "20"}));
        QVERIFY(w.SimebiRB->isChecked());
        QCOMPARE(w.SeikyuSimebi->text(), QStringLiteral("2024/02/20"));
        QVERIFY(!w.TorihikisakiKensakuBTN->isEnabled());
        w.SimebiCB->setCurrentIndex(1);
        QCOMPARE(w.SeikyuSimebi->text(), QStringLiteral("2024/03/05"));
        QTest::mouseClick(w.KobetuRB, Qt::LeftButton);
        QVERIFY(w.TorihikisakiKensakuBTN->isEnabled());
        QVERIFY(!w.SimebiCB->isEnabled());
    }

    // The company's day runs the customers with day 0 and those whose own day it is.
    void runByClosingDay()
    {
        const int zero = f->addCustomer(QStringLiteral("会社の締日"), 0);
        const int twenty = f->addCustomer(QStringLiteral("二十日締め"), 20);
        const int five = f->addCustomer(QStringLiteral("五日締め"), 5);
        for (int c : {zero, twenty, five})
            f->addNote(c, 1000, QDate(2024, 2, 1));
        TFseikyusyoData w;
        w.show();
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.createdInvoices().size(), 2);
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Seikyu where TorihikisakiKey = %1").arg(five))
                     .toInt(),
                 0);
        QCOMPARE(t->scalar(QStringLiteral("select max(Simebi) from Seikyu")).toDate(), QDate(2024, 2, 20));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Information);
        QCOMPARE(said.first().text, QStringLiteral("2 件の請求書を作成しました"));
    }

    // A customer picked with the search gets its own default date; without one the run makes nothing.
    void individualMode()
    {
        const int c = f->addCustomer(QStringLiteral("十日締め商店"), 10);
        f->addNote(c, 1000, QDate(2024, 3, 10));
        {
            TFseikyusyoData w;
            w.show();
            QTest::mouseClick(w.KobetuRB, Qt::LeftButton);
            QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(f->invoiceCount(), 0);
        }
        TFseikyusyoData w;
        w.show();
        QTest::mouseClick(w.KobetuRB, Qt::LeftButton);
        onModal<TFtorihikisakiKensaku>(
            [](TFtorihikisakiKensaku *search) { QTest::mouseClick(search->OkBTN, Qt::LeftButton); });
        QTest::mouseClick(w.TorihikisakiKensakuBTN, Qt::LeftButton);
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("十日締め商店"));
        QCOMPARE(w.SeikyuSimebi->text(), QStringLiteral("2024/03/10"));
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        QCOMPARE(f->invoiceCount(), 1);
        QCOMPARE(f->zenkai(c), 1000);
    }

    // A company day without a closing date by the rule: the field stays empty and the run asks for one.
    void noDefaultDate()
    {
        f->setCompanyDay(50);
        f->addNote(f->addCustomer(QStringLiteral("会社の締日"), 0), 1000, QDate(2024, 2, 1));
        TFseikyusyoData w;
        w.show();
        QCOMPARE(w.SeikyuSimebi->text(), QString());
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().text, QStringLiteral("請求締日を入力してください"));
        QVERIFY(w.isVisible());
        QCOMPARE(f->invoiceCount(), 0);
    }

    // A failing customer: "データ作成に失敗しました", then the engine's message; the window stays open.
    void failureIsReported()
    {
        const int first = f->addCustomer(QStringLiteral("一番目"), 0);
        const int second = f->addCustomer(QStringLiteral("二番目"), 0);
        f->addNote(first, 1000, QDate(2024, 2, 1));
        f->addNote(second, 1000, QDate(2024, 2, 1));
        f->failCarryOverOf(second);
        TFseikyusyoData w;
        w.show();
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said[0].text, QStringLiteral("データ作成に失敗しました"));
        QCOMPARE(said[0].kind, Messages::Kind::Error);
        QVERIFY2(said[1].text.contains(QStringLiteral("injected failure")), qPrintable(said[1].text));
        QVERIFY(w.isVisible());
        QCOMPARE(f->invoiceCount(), 1);
    }

    // A customer with an invoice for a later closing date is skipped and named with that date; the
    // others are billed and the window closes.
    void laterInvoiceIsNamed()
    {
        const int later = f->addCustomer(QStringLiteral("先行商店"), 0);
        const int other = f->addCustomer(QStringLiteral("通常商店"), 0);
        f->addNote(later, 500, QDate(2024, 3, 1));
        InvoiceRun(t->db()).run({later}, QDate(2024, 3, 10));
        f->addNote(later, 1000, QDate(2024, 2, 1));
        f->addNote(other, 1000, QDate(2024, 2, 1));
        TFseikyusyoData w;
        w.show();
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.createdInvoices().size(), 1);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Warning);
        QVERIFY2(said.first().text.startsWith(QStringLiteral("1 件の請求書を作成しました")) &&
                     said.first().text.contains(QStringLiteral("先行商店")) &&
                     said.first().text.contains(QStringLiteral("2024/03/10")),
                 qPrintable(said.first().text));
        QCOMPARE(f->invoiceCount(), 2);
    }

    // 請求書一括印刷: today without invoices, else the latest closing date; the report window gets the
    // invoices of the date in Seq order without the settled ones, and the window closes after it.
    void batchPrinting()
    {
        {
            TFseikyuIkkatuInsatu w;
            w.show();
            QCOMPARE(w.SeikyuSimebi->text(), QStringLiteral("2024/03/15"));
        }
        const int c = f->addCustomer(QStringLiteral("一括商店"));
        FixtureInvoice settled;
        settled.simebi = QDate(2024, 2, 29);
        settled.nyukin = 5000;
        settled.seikyu = 0;
        f->docs().addInvoice(c, settled, {});
        FixtureInvoice open = settled;
        open.seikyu = 1000;
        const int printed = f->docs().addInvoice(c, open, {});
        FixtureInvoice older = open;
        older.simebi = QDate(2024, 1, 31);
        f->docs().addInvoice(c, older, {});

        TFseikyuIkkatuInsatu w;
        w.show();
        QCOMPARE(w.SeikyuSimebi->text(), QStringLiteral("2024/02/29"));
        QVERIFY(w.CheckBox1->isChecked());
        QList<int> handed;
        onModal<TLRseikyusyo>([&](TLRseikyusyo *report) {
            TEngineQuery *q = report->Qseikyu;
            for (q->First(); !q->Eof(); q->Next())
                handed << q->FieldByName(QStringLiteral("key")).AsInteger();
            report->reject();
        });
        QTest::mouseClick(w.DataSakuseiBTN, Qt::LeftButton);
        QCOMPARE(handed, QList<int>{printed});
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(tst_SeikyusyoData)
#include "tst_seikyusyodata.moc"
