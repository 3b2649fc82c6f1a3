// The customer CSV import against what is stored, on both engines: the carried amounts of a customer
// with an invoice are never changed by a file, columns and cells a file lacks leave the stored values,
// the preview names each change old → new and the write checks it again under the lock (another
// computer's invoice run or change meanwhile), and values a file would alter are refused by row and
// column.
#include "app/CsvExport.h"
#include "billing/InvoiceRun.h"
#include "DocumentFixture.h"
#include "masters/CsvImport.h"
#include "masters/CustomerStore.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QStringEncoder>
#include <QTest>

namespace {

const QDate kClosing(2024, 3, 20);

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QByteArray utf8Csv(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The customer every test starts from: code 5, everything filled in.
CustomerRecord storedCustomer()
{
    CustomerRecord c;
    c.TorihikisakiCD = 5;
    c.TorihikisakiNM = QStringLiteral("旧名商店");
    c.Keisyo = QStringLiteral("様");
    c.Yubin = QStringLiteral("452-0961");
    c.Jyusyo1 = QStringLiteral("愛知県清須市春日");
    c.Jyusyo2 = QStringLiteral("春日ビル");
    c.Tel = QStringLiteral("03-1111-2222");
    c.Fax = QStringLiteral("03-1111-2223");
    c.Busyo = QStringLiteral("経理部");
    c.Tantosya = QStringLiteral("山田");
    c.Mail = QStringLiteral("a@example.jp");
    c.Kisyuzan = 777;
    c.SeikyuSimebi = 20;
    return c;
}

QStringList changeTexts(const CsvImport::Preview &p, const CsvImport::Row &row)
{
    QStringList texts;
    for (const CsvImport::Change &c : row.changes)
        texts.append(QStringLiteral("%1: %2 → %3").arg(p.columns.at(c.column), c.before, c.after));
    return texts;
}

} // namespace

class TestCustomerImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    int key = 0;

    TEngineDatabase &db() { return t->db(); }

    // A delivery note of 50,000 and the invoice run of kClosing: 前回請求額 becomes 50,000.
    void bill(TEngineDatabase &on, int customer, int amount = 50000)
    {
        DocumentFixture(on).addDeliveryNote(customer, DocumentFixture::lines(1), amount,
                                            kClosing.addDays(-5));
        InvoiceRun run(on);
        QCOMPARE(run.run({customer}, kClosing).size(), 1);
    }
    CustomerRecord stored() { return *CustomerStore::load(db(), key); }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM, SeikyuSimebi, NendoKaisiMM) "
                               "values (0, '自社', 20, 4)"));
        key = CustomerStore::insert(db(), storedCustomer());
    }
    void cleanup() { t.reset(); }

    // The whole story of the fault: export, invoice run, a phone number changed in the file, import.
    // The invoice's amount stays the customer's previous amount, and the next run carries it over.
    void anOldExportKeepsWhatTheCustomerOwes()
    {
        const QByteArray exported =
            Csv::encode(CsvExport::rows(db(), CsvExport::Kind::Customers), Csv::Encoding::Utf8);
        bill(db(), key);
        QCOMPARE(stored().ZenkaiSeikyuGaku, 50000);
        const QByteArray edited = QByteArray(exported).replace("03-1111-2222", "03-9999-0000");

        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, edited);
        QCOMPARE(p.rows.size(), 1);
        QCOMPARE(changeTexts(p, p.rows.first()),
                 QStringList{QStringLiteral("Tel: 03-1111-2222 → 03-9999-0000")});
        QVERIFY2(p.result(p.rows.first(), CsvImport::Existing::Update)
                     .contains(QStringLiteral(
                         "前回請求額 は請求書のある取引先では取り込みません（ファイル 0、登録済み 50000）")),
                 qPrintable(p.result(p.rows.first(), CsvImport::Existing::Update)));
        const CsvImport::Outcome outcome = CsvImport::apply(db(), p, CsvImport::Existing::Update, false);
        QCOMPARE(outcome.updated, 1);
        QCOMPARE(stored().Tel, QStringLiteral("03-9999-0000"));
        QCOMPARE(stored().ZenkaiSeikyuGaku, 50000);

        DocumentFixture(db()).addDeliveryNote(key, DocumentFixture::lines(1), 100, kClosing.addDays(10));
        InvoiceRun next(db());
        const QList<int> made = next.run({key}, kClosing.addMonths(1));
        QCOMPARE(made.size(), 1);
        QCOMPARE(t->scalar(QStringLiteral("select ZenkaiSeikyu from Seikyu where key = %1").arg(made.first()))
                     .toInt(),
                 50000);
    }

    void carriedAmounts_data()
    {
        QTest::addColumn<bool>("invoiced");
        QTest::addColumn<QStringList>("csv");
        QTest::addColumn<int>("kisyuzan");
        QTest::addColumn<int>("zenkai");
        QTest::addColumn<QString>("said"); // in the preview's result
        QTest::addRow("invoiced: 前回請求額 of the file left")
            << true << QStringList{"取引先CD,取引先名,前回請求額", "5,旧名商店,0"} << 777 << 50000
            << "前回請求額 は請求書のある取引先では取り込みません";
        QTest::addRow("invoiced: 期首売掛残 of the file left")
            << true << QStringList{"取引先CD,取引先名,期首売掛残", "5,旧名商店,\"1,000\""} << 777 << 50000
            << "期首売掛残 は請求書のある取引先では取り込みません（ファイル 1000、登録済み 777）";
        QTest::addRow("invoiced: the same amounts say nothing")
            << true << QStringList{"取引先CD,取引先名,期首売掛残,前回請求額", "5,旧名商店,777,50000"} << 777
            << 50000 << "変更なし";
        QTest::addRow("no invoice yet: an opening amount")
            << false << QStringList{"取引先CD,取引先名,前回請求額", "5,旧名商店,\"1,200\""} << 777 << 1200
            << "更新 前回請求額: 0 → 1200";
    }
    void carriedAmounts()
    {
        QFETCH(bool, invoiced);
        QFETCH(QStringList, csv);
        QFETCH(int, kisyuzan);
        QFETCH(int, zenkai);
        QFETCH(QString, said);
        if (invoiced)
            bill(db(), key);
        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, utf8Csv(csv));
        QVERIFY2(p.problemTexts().isEmpty(), qPrintable(p.problemTexts().join('\n')));
        const QString result = p.result(p.rows.first(), CsvImport::Existing::Update);
        QVERIFY2(result.contains(said), qPrintable(result));
        CsvImport::apply(db(), p, CsvImport::Existing::Update, false);
        QCOMPARE(stored().Kisyuzan, kisyuzan);
        QCOMPARE(stored().ZenkaiSeikyuGaku, zenkai);
    }

    void aNewCustomerBringsItsOpeningAmounts()
    {
        const CsvImport::Preview p =
            CsvImport::preview(db(), CsvImport::Kind::Customers,
                               utf8Csv({"取引先CD,取引先名,期首売掛残,前回請求額,登録日",
                                        "6,新規商店,\"4,000\",3000,2019/04/01 09:30:15"}));
        QCOMPARE(p.result(p.rows.first(), CsvImport::Existing::Update), QStringLiteral("新規"));
        QCOMPARE(CsvImport::apply(db(), p, CsvImport::Existing::Update, false).added, 1);
        const CustomerRecord c = *CustomerStore::load(db(), *CustomerStore::keyByCode(db(), 6));
        QCOMPARE(c.Kisyuzan, 4000);
        QCOMPARE(c.ZenkaiSeikyuGaku, 3000);
        QCOMPARE(c.Keisyo, QStringLiteral("御中"));
        QCOMPARE(c.TorokuYMD, QDateTime(QDate(2019, 4, 1), QTime(9, 30, 15)));
    }

    // A column the file lacks, a cell the row lacks, an empty number or honorific cell: stored values
    // stay, and only the field the row really changes is named.
    void whatTheFileLacksStaysAsStored_data()
    {
        QTest::addColumn<QStringList>("csv");
        const QString header = CsvImport::columns(CsvImport::Kind::Customers).join(',');
        QTest::addRow("only code and name columns") << QStringList{"取引先CD,取引先名", "5,新名商店"};
        QTest::addRow("a short row under the whole header") << QStringList{header, ",5,新名商店"};
        QTest::addRow("empty number and honorific cells")
            << QStringList{"取引先CD,取引先名,敬称,締日,期首売掛残,前回請求額", "5,新名商店,,,,"};
    }
    void whatTheFileLacksStaysAsStored()
    {
        QFETCH(QStringList, csv);
        const CustomerRecord before = stored();
        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, utf8Csv(csv));
        QVERIFY2(p.problemTexts().isEmpty(), qPrintable(p.problemTexts().join('\n')));
        QCOMPARE(changeTexts(p, p.rows.first()),
                 QStringList{QStringLiteral("取引先名: 旧名商店 → 新名商店")});
        QCOMPARE(CsvImport::apply(db(), p, CsvImport::Existing::Update, false).updated, 1);
        CustomerRecord expected = before;
        expected.TorihikisakiNM = QStringLiteral("新名商店");
        const CustomerRecord now = stored();
        for (auto field :
             {&CustomerRecord::Keisyo, &CustomerRecord::Yubin, &CustomerRecord::Jyusyo1,
              &CustomerRecord::Jyusyo2, &CustomerRecord::Tel, &CustomerRecord::Fax, &CustomerRecord::Busyo,
              &CustomerRecord::Tantosya, &CustomerRecord::Mail, &CustomerRecord::TorihikisakiNM})
            QCOMPARE(now.*field, expected.*field);
        QCOMPARE(now.Kisyuzan, 777);
        QCOMPARE(now.SeikyuSimebi, 20);
        QCOMPARE(now.TorokuYMD, before.TorokuYMD);
    }

    // Which record a row is, when codes do not tell it alone.
    void rowsThatNameOneRecord_data()
    {
        QTest::addColumn<QStringList>("csv");
        QTest::addColumn<QString>("refusal"); // empty: every row is written
        QTest::addColumn<int>("customers");   // stored afterwards
        QTest::addRow("code 0 twice: two customers without a code")
            << QStringList{"取引先CD,取引先名", "0,見積先", "0,見積先"} << "" << 3;
        QTest::addRow("one exported customer twice")
            << QStringList{"key,取引先CD,取引先名,登録日", "9,0,見積先,2020/01/02 03:04:05",
                           "9,0,見積先,2020/01/02 03:04:05"}
            << "3 行目 取引先CD: 2 行目と同じ取引先です（key と登録日が同じ）" << 2;
        QTest::addRow("two exported customers sharing a new code")
            << QStringList{"key,取引先CD,取引先名,登録日", "9,7,甲,2020/01/02 03:04:05",
                           "10,7,乙,2020/01/02 03:04:05"}
            << "" << 3;
        QTest::addRow("a code two stored customers share")
            << QStringList{"取引先CD,取引先名", "5,旧名商店"}
            << "2 行目 取引先CD: 取引先CD 5 の取引先が 2 件登録されているため、どれを更新するか決められません"
            << 2;
    }
    void rowsThatNameOneRecord()
    {
        QFETCH(QStringList, csv);
        QFETCH(QString, refusal);
        QFETCH(int, customers);
        if (QTest::currentDataTag() == QLatin1String("a code two stored customers share"))
            CustomerStore::insert(db(), storedCustomer());
        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, utf8Csv(csv));
        QCOMPARE(p.problemTexts().join('\n'), refusal);
        CsvImport::apply(db(), p, CsvImport::Existing::Update, true);
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(), customers);
    }

    // What another computer does between the preview and the write is seen by the write, which
    // takes the customers' lock first: the other's transaction is still open when the import starts
    // to write.
    void theWriteChecksAgainUnderTheLock_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("csv");
        QTest::addColumn<QString>("refusal"); // empty: written
        QTest::addRow("invoice run, the row changes the phone")
            << "run" << QStringList{"取引先CD,取引先名,Tel,前回請求額", "5,旧名商店,03-9999-0000,0"} << "";
        QTest::addRow("invoice run, the row changes 前回請求額")
            << "run" << QStringList{"取引先CD,取引先名,前回請求額", "5,旧名商店,1200"}
            << "2 行目: 請求書が作成されたため 前回請求額 は変更できません";
        QTest::addRow("invoice run, the row changes 期首売掛残")
            << "run" << QStringList{"取引先CD,取引先名,期首売掛残", "5,旧名商店,1"}
            << "2 行目: 請求書が作成されたため 期首売掛残 は変更できません";
        QTest::addRow("the phone changed")
            << "phone" << QStringList{"取引先CD,取引先名,Tel", "5,旧名商店,03-9999-0000"}
            << "2 行目: Tel がほかのコンピュータで変更されました";
        QTest::addRow("the same code registered")
            << "register" << QStringList{"取引先CD,取引先名", "6,新規商店"}
            << "2 行目: 同じコードの取引先がほかのコンピュータで登録されました";
        QTest::addRow("the customer deleted")
            << "delete" << QStringList{"取引先CD,取引先名", "5,新名商店"}
            << "2 行目: 取引先がほかのコンピュータで削除されたか、コードが変更されました";
    }
    void theWriteChecksAgainUnderTheLock()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, csv);
        QFETCH(QString, refusal);
        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, utf8Csv(csv));
        QCOMPARE(p.refused(), 0);
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &odb) {
            if (meanwhile == QLatin1String("run")) {
                bill(odb, key);
                return;
            }
            // The customer master's window at the other computer.
            if (meanwhile == QLatin1String("delete")) {
                CustomerStore::remove(odb, key);
                return;
            }
            CustomerRecord c = *CustomerStore::load(odb, key);
            if (meanwhile == QLatin1String("phone"))
                c.Tel = QStringLiteral("06-0000-0000");
            else
                c.TorihikisakiCD = 6;
            CustomerStore::update(odb, c);
        });
        QString message;
        try {
            CsvImport::apply(db(), p, CsvImport::Existing::Update, false);
        } catch (const AppError &e) {
            message = e.message();
        }
        QCOMPARE(other.finish(), QString());
        if (refusal.isEmpty()) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            QCOMPARE(stored().Tel, QStringLiteral("03-9999-0000"));
            QCOMPARE(stored().ZenkaiSeikyuGaku, 50000); // the run's amount, not the file's 0
            return;
        }
        QVERIFY2(message.contains(refusal), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("何も登録していません")));
        // Only what the other computer did is stored.
        if (meanwhile == QLatin1String("run"))
            QCOMPARE(stored().ZenkaiSeikyuGaku, 50000);
        if (meanwhile == QLatin1String("phone"))
            QCOMPARE(stored().Tel, QStringLiteral("06-0000-0000"));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Torihikisaki")).toInt(),
                 meanwhile == QLatin1String("delete") ? 0 : 1);
    }

    // Values the file would alter on their way in: each refuses its row, naming line and column, and
    // nothing is stored.
    void alteredValuesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("named");
        const QByteArray header = "取引先CD,取引先名,期首売掛残\r\n1,良い商店,0\r\n";
        QTest::addRow("invalid bytes after the byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + header + "2,\xFF\xFE\xE5\xB1\x8B,0\r\n"
            << "3 行目 取引先名: UTF-8 として読めないバイトがあります";
        QTest::addRow("a NUL in the name")
            << header + QByteArray("2,山田\0商店,0\r\n", sizeof("2,山田\0商店,0\r\n") - 1)
            << "3 行目 取引先名: NUL 文字が含まれています";
        QTest::addRow("commas that are no grouping") << header + "2,山田商店,\"1,2,3\"\r\n"
                                                     << "3 行目 期首売掛残: 整数ではありません（1,2,3）";
        QTest::addRow("CP932 with one bad byte")
            << cp932(QString::fromUtf8(header)) + cp932(QStringLiteral("2,山田")) + "\x81\x20" + ",0\r\n"
            << "3 行目 取引先名: Shift-JIS（CP932） として読めないバイトがあります";
        QTest::addRow("a bad byte in a column the import does not read")
            << QByteArray("取引先CD,取引先名,備考\r\n1,良い商店,\r\n2,山田,\xFF\r\n")
            << "3 行目 備考: UTF-8 として読めないバイトがあります";
    }
    void alteredValuesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        const QStringList before = t->fingerprint();
        const CsvImport::Preview p = CsvImport::preview(db(), CsvImport::Kind::Customers, bytes);
        QVERIFY2(p.usable(), qPrintable(p.problemTexts().join('\n')));
        QCOMPARE(p.rows.size(), 2);
        QCOMPARE(p.refused(), 1);
        QCOMPARE(p.rows.first().fields.at(2), QStringLiteral("良い商店")); // the other rows read as they are
        QCOMPARE(p.problemTexts().join(QLatin1Char('\n')), named);
        QVERIFY_THROWS_EXCEPTION(AppError, CsvImport::apply(db(), p, CsvImport::Existing::Update, false));
        QCOMPARE(t->fingerprint(), before);
    }

    // A huge cell is quoted shortly in the message that refuses it.
    void aHugeCellIsNotRepeated()
    {
        const QByteArray huge(10 * 1024 * 1024, '9');
        const CsvImport::Preview p = CsvImport::preview(
            db(), CsvImport::Kind::Customers, "取引先CD,取引先名,期首売掛残\r\n2,山田," + huge + "x\r\n");
        QCOMPARE(p.problemTexts(), QStringList{QStringLiteral(
                                       "2 行目 期首売掛残: 整数ではありません（99999999999999999999…）")});
    }
};

QTEST_GUILESS_MAIN(TestCustomerImport)
#include "tst_customerimport.moc"
