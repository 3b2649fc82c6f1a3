// A report window whose master data set is a query of the database, on SQLite and PostgreSQL:
// one page per record, the messages for an empty query and for a query that is gone.
#include "controls/Messages.h"
#include "PdfWords.h"
#include "report/engine/ReportFonts.h"
#include "report/engine/TLightRep.h"
#include "report/engine/TLRItem.h"
#include "report/engine/TLRPanels.h"
#include "report/ui/ReportFileDialog.h"
#include "report/ui/TBaseLRep.h"
#include "TestDatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One page per product: its name in the header; the master moves on after the page.
class ProductReport : public TBaseLRep
{
public:
    explicit ProductReport(TEngineDatabase &db) : Qsyohin(new TEngineQuery(&db, this))
    {
        Qsyohin->addSql(QStringLiteral("select * from Syohin"));
        Qsyohin->addSql(QStringLiteral("order by SyohinCD"));
        dsMast.setDataSet(Qsyohin);
        auto *header = new TLRLayoutPanel(LightRep1);
        auto *name = new TLRItem(header);
        name->setBounds(0, 0, 300, 20);
        header->BeforePrint = [this, name](TLRControl *, const TLRRect &, TPrintStatus &) {
            name->Text = Qsyohin->FieldByName(QStringLiteral("SyohinNM")).AsString();
        };
        header->AfterPrint = [this](TLRControl *) { Qsyohin->Next(); };
    }
    TEngineQuery *Qsyohin;
};

QStringList messageTexts()
{
    QStringList texts;
    for (const Messages::Record &r : Messages::takeHistory())
        texts.append(r.text);
    return texts;
}

} // namespace

class TestLRMaster : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void addProducts(int count)
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM, Tanka) values (:cd, :nm, 100)"));
        for (int i = 1; i <= count; ++i) {
            q.ParamByName(QStringLiteral("cd")).setAsInteger(i);
            q.ParamByName(QStringLiteral("nm")).setAsString(QStringLiteral("商品%1").arg(i));
            q.ExecSQL();
        }
    }

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void init()
    {
        Messages::setTestMode(true);
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
    }
    void cleanup() { t.reset(); }

    void onePagePerMasterRecord()
    {
        addProducts(3);
        ProductReport window(t->db());
        window.Qsyohin->Open();
        window.show();
        QTRY_COMPARE(window.PageIndicator(), QStringLiteral("1/3"));
        QTRY_VERIFY(!window.PreviewRunning());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("products.pdf"));
        ReportFileDialog::setNextSaveFileName(pdf);
        window.ActSavePdf->trigger();
        // Each product on its own page, in the name item at the header's top-left corner.
        const QList<PdfWord> words = pdfWords(pdf);
        QCOMPARE(pdfPageCount(pdf), 3);
        for (int page = 1; page <= 3; ++page) {
            const auto name = findPhrase(words, QStringLiteral("商品%1").arg(page));
            QVERIFY2(name && name->page == page, qPrintable(describe(name)));
            QVERIFY2(liesWithin(name, QRectF(37, 37, 300, 20)), qPrintable(describe(name)));
        }
        QCOMPARE(messageTexts(), QStringList{QStringLiteral("3 ページをPDFファイル「%1」に保存しました")
                                                 .arg(QDir::toNativeSeparators(pdf))});
    }

    void emptyQueryHasNothingToPrint()
    {
        ProductReport window(t->db());
        window.show(); // the window opens the closed query itself
        QVERIFY(window.Qsyohin->Active());
        QCOMPARE(messageTexts(), QStringList{QStringLiteral("印刷対象データがありません．")});
    }

    void destroyedQueryIsNoDataSet()
    {
        ProductReport window(t->db());
        delete window.Qsyohin;
        window.show();
        QCOMPARE(messageTexts(),
                 QStringList{QStringLiteral("dsMast.DataSet にデータセットを指定してください．")});
    }
};

QTEST_MAIN(TestLRMaster)
#include "tst_lrmaster.moc"
