// CSV export of the masters and documents and CSV import of customers and products, on both
// engines: a round trip keeps every field, a refused row writes nothing and is named, UTF-8 and CP932
// files read alike, stored codes are updated or skipped.
#include "app/CsvExport.h"
#include "DocumentFixture.h"
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
    return {a, b};
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

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void exportThenImportKeepsEveryField_data()
    {
        QTest::addColumn<Csv::Encoding>("encoding");
        QTest::addRow("utf-8") << Csv::Encoding::Utf8;
        QTest::addRow("cp932") << Csv::Encoding::Cp932;
    }
    void exportThenImportKeepsEveryField()
    {
        QFETCH(Csv::Encoding, encoding);
        TEngineDatabase &db = t->db();
        for (const CustomerRecord &c : sampleCustomers())
            CustomerStore::insert(db, c);
        for (const ProductRecord &p : sampleProducts())
            ProductStore::insert(db, p);
        const QByteArray customers = Csv::encode(CsvExport::rows(db, CsvExport::Kind::Customers), encoding);
        const QByteArray products = Csv::encode(CsvExport::rows(db, CsvExport::Kind::Products), encoding);
        QCOMPARE(customers.startsWith("\xEF\xBB\xBF"), encoding == Csv::Encoding::Utf8);
        t->exec(QStringLiteral("delete from Torihikisaki; delete from Syohin"));

        for (auto [kind, bytes] : {std::pair{CsvImport::Kind::Customers, customers},
                                   std::pair{CsvImport::Kind::Products, products}}) {
            const CsvImport::Preview preview = CsvImport::preview(db, kind, bytes);
            QVERIFY2(preview.problemTexts().isEmpty(), qPrintable(preview.problemTexts().join('\n')));
            QCOMPARE(preview.encoding, encoding);
            CsvImport::apply(db, preview, CsvImport::Existing::Update, false);
        }
        for (const CustomerRecord &c : sampleCustomers()) {
            const std::optional<int> key = CustomerStore::keyByCode(db, c.TorihikisakiCD);
            QVERIFY(key);
            const CustomerRecord r = *CustomerStore::load(db, *key);
            QCOMPARE(r.TorihikisakiNM, c.TorihikisakiNM);
            QCOMPARE(r.Keisyo, c.Keisyo);
            QCOMPARE(r.Yubin, c.Yubin);
            QCOMPARE(r.Jyusyo1, c.Jyusyo1);
            QCOMPARE(r.Jyusyo2, c.Jyusyo2);
            QCOMPARE(r.Tel, c.Tel);
            QCOMPARE(r.Fax, c.Fax);
            QCOMPARE(r.Busyo, c.Busyo);
            QCOMPARE(r.Tantosya, c.Tantosya);
            QCOMPARE(r.Mail, c.Mail);
            QCOMPARE(r.Kisyuzan, c.Kisyuzan);
            QCOMPARE(r.ZenkaiSeikyuGaku, c.ZenkaiSeikyuGaku);
            QCOMPARE(r.SeikyuSimebi, c.SeikyuSimebi);
        }
        for (const ProductRecord &p : sampleProducts()) {
            const std::optional<ProductRecord> r = ProductStore::load(db, p.SyohinCD);
            QVERIFY(r);
            QCOMPARE(r->SyohinNM, p.SyohinNM);
            QCOMPARE(r->Kikaku, p.Kikaku);
            QCOMPARE(r->Tani, p.Tani);
            QCOMPARE(r->Tanka, p.Tanka);
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
