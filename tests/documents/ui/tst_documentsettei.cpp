// The settings dialogs of the four document kinds, driven as a user would, on both engines.
#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "documents/DocumentSettings.h"
#include "documents/ui/TFmitumoriSettei.h"
#include "documents/ui/TFnohinSettei.h"
#include "documents/ui/TFryosyusyouSettei.h"
#include "documents/ui/TFseikyuSettei.h"
#include "ModalHelper.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using Numbering::Kind;
Q_DECLARE_METATYPE(Numbering::Kind)

namespace {

std::unique_ptr<TFdocumentSettei> dialogFor(Kind kind)
{
    switch (kind) {
    case Kind::Mitumori:
        return std::make_unique<TFmitumoriSettei>();
    case Kind::Nohin:
        return std::make_unique<TFnohinSettei>();
    case Kind::Seikyu:
        return std::make_unique<TFseikyuSettei>();
    case Kind::Ryosyusyou:
        break;
    }
    return std::make_unique<TFryosyusyouSettei>();
}

void setText(QComboBox *box, const QString &text)
{
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    typeKeys(box->lineEdit(), text);
}

void setText(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    typeKeys(edit, text);
}

} // namespace

class TestDocumentSettei : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    QStringList errorsShown()
    {
        QStringList texts;
        for (const Messages::Record &r : Messages::takeHistory())
            if (r.kind == Messages::Kind::Error)
                texts << r.text;
        return texts;
    }

    // The estimate row as a row of texts, to compare before and after.
    QString estimateRow()
    {
        return t
            ->scalar(QStringLiteral("select SaibanHouhou || '|' || coalesce(Fuka1, '') || '|' || top || '|' "
                                    "|| \"left\" from MitumoriSettei"))
            .toString();
    }

    void insertEstimateRow()
    {
        t->exec(QStringLiteral("insert into MitumoriSettei (key, SaibanHouhou, Fuka1, Fuka2, Fuka3, Height, "
                               "width, top, \"left\", "
                               "Syurui, Bikou) values (0, '月連番', '年月（年４桁）', '-', 'No', 73, 73, 10, "
                               "20, '窓付き封筒20行', "
                               "'一行目' || char(10) || '二行目')")
                    .replace(QStringLiteral("char(10)"),
                             t->isPostgres() ? QStringLiteral("chr(10)") : QStringLiteral("char(10)")));
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Messages::takeHistory();
        Clock::setFixed(QDateTime(QDate(2006, 4, 9), QTime(10, 0)));
    }
    void cleanup()
    {
        Clock::reset();
        t.reset();
    }

    void firstOpeningInsertsTheDefaultRow_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("numberCaption");
        QTest::addColumn<QString>("formKind");
        QTest::addColumn<QString>("syurui");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("remarks"); // first line; empty: no remarks
        const QString window = QStringLiteral("窓付き封筒20行");
        QTest::addRow("estimate") << Kind::Mitumori << "MitumoriSettei"
                                  << "見積書設定"
                                  << "見積№"
                                  << "見積書種類" << window << "手入力"
                                  << "この見積書は無料ソフト「Kadomel」で作成しました。";
        QTest::addRow("delivery note") << Kind::Nohin << "NohinSettei"
                                       << "納品書設定"
                                       << "納品№"
                                       << "納品書種類" << window << "手入力"
                                       << "この納品書は無料ソフト「Kadomel」で作成しました。";
        QTest::addRow("invoice") << Kind::Seikyu << "SeikyuSettei"
                                 << "請求書設定"
                                 << "請求№"
                                 << "請求書種類" << window << "手入力"
                                 << "この請求書は無料ソフト「Kadomel」で作成しました。";
        QTest::addRow("receipt") << Kind::Ryosyusyou << "RyosyusyouSettei"
                                 << "領収証設定"
                                 << "領収証№"
                                 << "領収証種類"
                                 << "A4上下（領収証＋控え）"
                                 << "連番"
                                 << "";
    }
    // A cancel keeps the row, so that the numbering finds the member's default method from then on.
    void firstOpeningInsertsTheDefaultRow()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, table);
        QFETCH(QString, syurui);
        QFETCH(QString, method);
        QFETCH(QString, remarks);
        for (int opening = 0; opening < 2; ++opening) {
            auto w = dialogFor(kind);
            w->show();
            QTEST(w->windowTitle(), "caption");
            QTEST(w->GroupBox1->title(), "numberCaption");
            QTEST(w->GroupBox2->title(), "formKind");
            QCOMPARE(w->Madotuki20RB->text(), syurui);
            QVERIFY(w->Madotuki20RB->isChecked());
            QCOMPARE(w->method(), method);
            QCOMPARE(w->ue->text(), QStringLiteral("96"));
            QCOMPARE(w->hidari->text(), QStringLiteral("576"));
            QCOMPARE(w->Bikou != nullptr, !remarks.isEmpty());
            if (w->Bikou)
                QCOMPARE(w->Bikou->toPlainText().split(QLatin1Char('\n')).value(0), remarks);
            w->MakatiButton1->click();
            QCOMPARE(w->result(), int(QDialog::Rejected));
        }
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt(), 1);
        QCOMPARE(t->scalar(QStringLiteral(
                               "select SaibanHouhou || '|' || top || '|' || \"left\" || '|' || Syurui || "
                               "'|' || coalesce(Height, -1) || '|' || coalesce(Fuka1, 'null') from %1")
                               .arg(table))
                     .toString(),
                 QStringLiteral("%1|96|576|%2|%3|null").arg(method, syurui, remarks.isEmpty() ? "-1" : "73"));
        // The home page is still a placeholder address: no line names it on a customer's document.
        if (!remarks.isEmpty())
            QCOMPARE(t->scalar(QStringLiteral("select Bikou from %1").arg(table)).toString(), remarks);
        QCOMPARE(Numbering::readSettings(t->db(), kind).SaibanHouhou, method);
    }

    void storedRowIsShownPreviewedAndSaved()
    {
        insertEstimateRow();
        TFmitumoriSettei w;
        w.show();
        QVERIFY(w.TukiRenbanRB->isChecked());
        QCOMPARE(w.Fuka1CB->currentText(), QStringLiteral("年月（年４桁）"));
        QCOMPARE(w.Fuka3CB->currentText(), QStringLiteral("No")); // a free text shows as typed
        QCOMPARE(w.ue->text(), QStringLiteral("10"));
        QCOMPARE(w.hidari->text(), QStringLiteral("20"));
        QCOMPARE(w.Bikou->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(w.HyojiRei->text(), QStringLiteral("表示例：200604-No1234"));

        w.TenyuryokuRB->click();
        QCOMPARE(w.HyojiRei->text(), QStringLiteral("表示例："));
        w.RenbanRB->click();
        QCOMPARE(w.HyojiRei->text(), QStringLiteral("表示例：200604-No1234"));
        for (QComboBox *box : {w.Fuka1CB, w.Fuka2CB, w.Fuka3CB})
            setText(box, QString());
        QCOMPARE(w.HyojiRei->text(), QStringLiteral("表示例：1234"));
        w.NitiRenbanRB->click();
        setText(w.Fuka1CB, QStringLiteral("年２桁"));
        w.Fuka2CB->setCurrentIndex(w.Fuka2CB->findText(QStringLiteral("日")));
        setText(w.Fuka3CB, QStringLiteral("見積"));
        QCOMPARE(w.HyojiRei->text(), QStringLiteral("表示例：0609見積1234"));
        setText(w.ue, QStringLiteral("120"));
        w.Bikou->setPlainText(QStringLiteral("備考"));

        w.OkBTN->click();
        QCOMPARE(errorsShown(), QStringList());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(
            t->scalar(QStringLiteral("select SaibanHouhou || '|' || Fuka1 || '|' || Fuka2 || '|' || Fuka3 || "
                                     "'|' || top || '|' || \"left\" || '|' || Syurui || '|' || Bikou || '|' "
                                     "|| Height from MitumoriSettei"))
                .toString(),
            QStringLiteral("日連番|年２桁|日|見積|120|20|窓付き封筒20行|備考|73"));
        const Numbering::SaibanSettei s = Numbering::readSettings(t->db(), Kind::Mitumori);
        QCOMPARE(s.elements(), (QStringList{"年２桁", "日", "見積"}));
    }

    void unknownMethodSelectsTheMembersDefault_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("expected");
        QTest::addRow("estimate") << Kind::Mitumori << "MitumoriSettei"
                                  << "手入力";
        QTest::addRow("receipt") << Kind::Ryosyusyou << "RyosyusyouSettei"
                                 << "連番";
    }
    void unknownMethodSelectsTheMembersDefault()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, table);
        t->exec(QStringLiteral("insert into %1 (key, SaibanHouhou, Fuka1) values (0, '月別', '年２桁')")
                    .arg(table));
        auto w = dialogFor(kind);
        w->show();
        QTEST(w->method(), "expected");
        QCOMPARE(w->ue->text(), QString()); // NULL shows empty
        const bool manual = w->method() == Numbering::kTenyuryoku;
        QCOMPARE(w->HyojiRei->text(), manual ? QStringLiteral("表示例：") : QStringLiteral("表示例：061234"));
    }

    void positionFieldsTakeDigitsOnly()
    {
        TFnohinSettei w;
        w.show();
        setText(w.hidari, QStringLiteral("1a2-3.４"));
        QCOMPARE(w.hidari->text(), QStringLiteral("123"));
        // Blanks pass the key filter, but do not make a number: OK reports the field and stores nothing.
        insertEstimateRow();
        TFmitumoriSettei e;
        e.show();
        const QString before = estimateRow();
        setText(e.Fuka1CB, QStringLiteral("X"));
        for (const QString &bad : {QString(), QStringLiteral("1 2")}) {
            setText(e.ue, bad);
            e.OkBTN->click();
            const QStringList errors = errorsShown();
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors.first().contains(QStringLiteral("印影の上から")), qPrintable(errors.first()));
            QVERIFY(e.isVisible());
            QCOMPARE(estimateRow(), before);
        }
    }

    void previewWarnsWhenTheNumberMayNotFit()
    {
        TFseikyuSettei w;
        w.show();
        QVERIFY(w.TenyuryokuRB->isChecked());
        setText(w.Fuka1CB,
                QStringLiteral("請求書番号です")); // 14 bytes; invoices compose under manual entry too
        setText(w.Fuka2CB, QStringLiteral("年２桁"));
        QVERIFY(w.HyojiReiChui->isHidden()); // 16 bytes and four digits fit
        setText(w.Fuka3CB, QStringLiteral("-"));
        QVERIFY(!w.HyojiReiChui->isHidden());
        w.RenbanRB->click(); // the bare key
        QVERIFY(w.HyojiReiChui->isHidden());
        // An element box holds no more than its column's 20 bytes.
        setText(w.Fuka1CB, QStringLiteral("あいうえおかきくけこさ"));
        QCOMPARE(w.Fuka1CB->currentText(), QStringLiteral("あいうえおかきくけこ"));
    }

    // Two computers opening the dialog on an empty table at once: the second finds the first's row.
    void twoOpeningsInsertOneRow()
    {
        OtherComputer other(*t);
        other.writeAndHold([](TEngineDatabase &db) {
            DocumentSettings::loadOrCreate(db, Kind::Nohin, {QStringLiteral("あちら")});
        });
        TFnohinSettei w;
        w.show();
        QCOMPARE(other.finish(), QString());
        QCOMPARE(w.Bikou->toPlainText(), QStringLiteral("あちら"));
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from NohinSettei")).toInt(), 1);
    }

    void rowRemovedMeanwhileIsReported()
    {
        TFmitumoriSettei w;
        w.show();
        t->exec(QStringLiteral("delete from MitumoriSettei"));
        w.OkBTN->click();
        QCOMPARE(errorsShown(), QStringList{QStringLiteral(
                                    "見積書設定が見つかりません（ほかのコンピュータで削除されました）")});
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TestDocumentSettei)
#include "tst_documentsettei.moc"
