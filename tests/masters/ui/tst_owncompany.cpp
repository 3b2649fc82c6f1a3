// The own-company window and its row, driven as a user would, on both engines.
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "DocumentFixture.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "ModalHelper.h"
#include "report/engine/TLRImage.h"
#include "report/layouts/ReportLayout.h"
#include "report/ui/TLRineiTest.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

class TestOwnCompany : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    static void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeKeys(edit, text);
    }

    int rows() { return t->scalar(QStringLiteral("select count(*) from JisyaJyoho")).toInt(); }

    QStringList errorsShown()
    {
        QStringList texts;
        for (const Messages::Record &r : Messages::takeHistory())
            if (r.kind == Messages::Kind::Error)
                texts << r.text;
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        Messages::takeHistory();
    }
    void cleanup() { t.reset(); }

    // The first showing creates the row with the defaults; a cancel keeps it.
    void firstShowingCreatesTheRow()
    {
        QCOMPARE(rows(), 0);
        {
            TFjisyaJyoho w;
            w.show();
            QCOMPARE(rows(), 1);
            QCOMPARE(w.Simebi->text(), QStringLiteral("99"));
            QCOMPARE(w.NendoKaisi->text(), QStringLiteral("4"));
            QCOMPARE(w.takasa->text(), QStringLiteral("70"));
            QCOMPARE(w.haba->text(), QStringLiteral("70"));
            QCOMPARE(w.seal(), OwnCompanyStore::blankSeal());
            QCOMPARE(QImage::fromData(w.seal()).size(), QSize(50, 50));
            w.CanBTN->click();
        }
        QCOMPARE(rows(), 1);
        const OwnCompanyRecord stored = OwnCompanyStore::loadOrCreate(t->db());
        QCOMPARE(stored.SeikyuSimebi, 99);
        QCOMPARE(stored.Inei, OwnCompanyStore::blankSeal());
    }

    // Every field goes to its column, the person in charge to this computer's configuration file.
    void okStoresEveryField()
    {
        {
            TFjisyaJyoho w;
            w.show();
            type(w.Kaisyamei, QStringLiteral("株式会社カドメル"));
            type(w.Tel, QStringLiteral("03-1234-5678"));
            type(w.Simebi, QStringLiteral("20"));
            type(w.NendoKaisi, QStringLiteral("1"));
            type(w.takasa, QStringLiteral("80"));
            type(w.Tantousya, QStringLiteral("山田"));
            type(w.KinyuKikan[2], QStringLiteral("みずほ銀行"));
            type(w.Kouza[2], QStringLiteral("1234567"));
            w.Syumoku[2]->setCurrentIndex(2);
            QTest::keyClicks(w.Tel, QStringLiteral("x")); // no letters in a number field
            w.OkBTN->click();
            QVERIFY(!w.isVisible());
        }
        const OwnCompanyRecord c = OwnCompanyStore::loadOrCreate(t->db());
        QCOMPARE(c.JisyaNM, QStringLiteral("株式会社カドメル"));
        QCOMPARE(c.Tel, QStringLiteral("03-1234-5678"));
        QCOMPARE(c.SeikyuSimebi, 20);
        QCOMPARE(c.NendoKaisiMM, 1);
        QCOMPARE(c.Height, 80);
        QCOMPARE(c.accounts[2].KinyuKikan, QStringLiteral("みずほ銀行"));
        QCOMPARE(c.accounts[2].Syumoku, QStringLiteral("当座"));
        QCOMPARE(c.accounts[2].Kouza, QStringLiteral("1234567"));
        QCOMPARE(StaffMember::read(IniFile(AppPaths::iniPath())).Name, QStringLiteral("山田"));
        TFjisyaJyoho again;
        again.show();
        QCOMPARE(again.Tantousya->text(), QStringLiteral("山田"));
        QCOMPARE(again.Syumoku[2]->currentText(), QStringLiteral("当座"));
        QCOMPARE(again.Kaisyamei->cursorPosition(), 0); // a long text shows from its beginning
    }

    // The qualified-invoice group: with the option on, a number the invoices cannot carry (none, not
    // "T" and 13 digits, a check digit that does not match) is refused, the window stays open with
    // the focus on it and nothing is stored; the group is enabled only with the option; a company
    // that never turned it on keeps NULL in its columns. The field shows all 14 characters.
    void taxOption_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::addRow("published number") << "T8000012010038"
                                          << "T8000012010038";
        QTest::addRow("full-width, small t") << "ｔ８００００１２０１００３８"
                                             << "T8000012010038";
        QTest::addRow("check digit wrong") << "T8000012010039"
                                           << "";
        QTest::addRow("too short") << "T123"
                                   << "";
        QTest::addRow("none") << ""
                              << "";
    }
    void taxOption()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        {
            TFjisyaJyoho w;
            w.show();
            type(w.Kaisyamei, QStringLiteral("自社"));
            w.OkBTN->click(); // the option off: nothing of it is written, no number needed
            QVERIFY(!w.isVisible());
        }
        QVERIFY(t->scalar(QStringLiteral("select TekikakuKBN from JisyaJyoho")).isNull());
        QVERIFY(!OwnCompanyStore::taxSettings(t->db()).enabled);
        {
            TFjisyaJyoho w;
            w.show();
            QVERIFY(!w.TourokuNo->isEnabled());
            w.Tekikaku->setChecked(true);
            QVERIFY(w.TourokuNo->isEnabled());
            type(w.TourokuNo, typed);
            const QFontMetrics metrics = w.TourokuNo->fontMetrics();
            QVERIFY(w.TourokuNo->width() > metrics.horizontalAdvance(QStringLiteral("T8888888888888")) + 8);
            w.ZeiKomi->setCurrentIndex(1);
            w.ZeiHasuu->setCurrentIndex(2);
            Messages::takeHistory();
            w.OkBTN->click();
            if (stored.isEmpty()) {
                QVERIFY(w.isVisible());
                const QStringList errors = errorsShown();
                QCOMPARE(errors.size(), 1);
                QVERIFY2(errors[0].contains(QStringLiteral("登録番号")), qPrintable(errors[0]));
                QCOMPARE(w.focusWidget(), w.TourokuNo);
                QVERIFY(!OwnCompanyStore::taxSettings(t->db()).enabled);
                return;
            }
            QVERIFY(!w.isVisible());
            QVERIFY(errorsShown().isEmpty());
        }
        ConsumptionTax::Settings tax = OwnCompanyStore::taxSettings(t->db());
        QVERIFY(tax.enabled);
        QCOMPARE(tax.registrationNumber, stored);
        QVERIFY(tax.pricesIncludeTax);
        QCOMPARE(tax.rounding, ConsumptionTax::Rounding::Up);
        {
            TFjisyaJyoho w; // turned off again: stored as off, the number kept
            w.show();
            QCOMPARE(w.TourokuNo->text(), stored);
            w.Tekikaku->setChecked(false);
            w.OkBTN->click();
        }
        tax = OwnCompanyStore::taxSettings(t->db());
        QVERIFY(!tax.enabled);
        QCOMPARE(tax.registrationNumber, stored);
        QCOMPARE(t->scalar(QStringLiteral("select TekikakuKBN from JisyaJyoho")).toInt(), 0);
    }

    // A value the invoice run or the numbering could not use is refused; nothing is written and
    // the window stays open with what was typed.
    void refusedValuesKeepTheWindowOpen_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addRow("closing day 32") << "Simebi"
                                        << "32";
        QTest::addRow("closing day 0") << "Simebi"
                                       << "0";
        QTest::addRow("closing day empty") << "Simebi"
                                           << "";
        QTest::addRow("month 13") << "NendoKaisi"
                                  << "13";
        QTest::addRow("height empty") << "takasa"
                                      << "";
    }
    void refusedValuesKeepTheWindowOpen()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        TFjisyaJyoho w;
        w.show();
        type(w.Kaisyamei, QStringLiteral("変更"));
        type(w.findChild<QLineEdit *>(field), text);
        w.OkBTN->click();
        QVERIFY(w.isVisible());
        QCOMPARE(errorsShown().size(), 1);
        QCOMPARE(w.Kaisyamei->text(), QStringLiteral("変更"));
        QCOMPARE(OwnCompanyStore::loadOrCreate(t->db()).JisyaNM, QString());
    }

    // A picture of another type is stored as JPEG; a file that is no picture keeps the old seal;
    // "クリア" stores the blank JPEG, not nothing.
    void sealPictures()
    {
        QTemporaryDir dir;
        QImage red(40, 30, QImage::Format_ARGB32);
        red.fill(Qt::red);
        const QString png = dir.filePath(QStringLiteral("seal.png"));
        QVERIFY(red.save(png));
        const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();

        TFjisyaJyoho w;
        w.show();
        w.loadSealFile(png);
        const QByteArray loaded = w.seal();
        QVERIFY(loaded.startsWith("\xff\xd8")); // JPEG
        QCOMPARE(QImage::fromData(loaded).size(), QSize(40, 30));
        w.loadSealFile(broken);
        QCOMPARE(errorsShown().size(), 1);
        QCOMPARE(w.seal(), loaded);
        w.OkBTN->click();
        QCOMPARE(OwnCompanyStore::loadOrCreate(t->db()).Inei, loaded);

        TFjisyaJyoho again;
        again.show();
        QCOMPARE(again.seal(), loaded);
        again.findChild<QPushButton *>(QStringLiteral("MakatiButton2"))->click();
        again.OkBTN->click();
        QCOMPARE(OwnCompanyStore::loadOrCreate(t->db()).Inei, OwnCompanyStore::blankSeal());
    }

    // A stored seal cut short (written by another program) is told when the window shows it and
    // kept as it is by a save; the test print tells it once more and prints without it. A JPEG file
    // cut short is refused when loaded.
    void unreadableSeal()
    {
        const QByteArray jpeg = DocumentFixture::stripedSealJpeg();
        const QByteArray cut = jpeg.left(jpeg.size() * 2 / 3);
        OwnCompanyRecord c = OwnCompanyStore::loadOrCreate(t->db());
        c.Inei = cut;
        OwnCompanyStore::save(t->db(), c);
        Messages::takeHistory();

        TFjisyaJyoho w;
        w.show();
        QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(int(said.first().kind), int(Messages::Kind::Warning));
        QCOMPARE(
            said.first().text,
            QStringLiteral("保存されている印影の画像を読み込めません（JPEGかビットマップの画像ではないか、"
                           "壊れています）。\n印影の画像を読み込み直してください。"
                           "このままでは印影なしで印刷されます。"));
        QVERIFY(w.Inei->pixmap().isNull());

        bool sealPrinted = true;
        onModal<TLRineiTest>([&](TLRineiTest *sheet) {
            sealPrinted = !sheet->layout()->items().image("Inei")->Picture().isNull();
            sheet->reject();
        });
        w.findChild<QPushButton *>(QStringLiteral("MakatiButton3"))->click();
        QVERIFY(!sealPrinted);
        said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().text,
                 QStringLiteral(
                     "印影の画像を読み込めません（JPEGかビットマップの画像ではないか、壊れています）。\n"
                     "印影なしで印刷します。自社情報で印影の画像を読み込み直してください。"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.jpg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cut);
        file.close();
        w.loadSealFile(path);
        QCOMPARE(errorsShown(),
                 QStringList{
                     QStringLiteral("「%1」は読み込める画像ではありません。\r\n（画像が途中で切れています）")
                         .arg(path)});
        w.OkBTN->click();
        QCOMPARE(OwnCompanyStore::loadOrCreate(t->db()).Inei, cut);
    }

    // The test sheet prints the seal being edited, at the size typed in, before anything is saved.
    void testPrintTakesTheUnsavedSealAndSize()
    {
        TFjisyaJyoho w;
        w.show();
        type(w.takasa, QStringLiteral("90"));
        type(w.haba, QStringLiteral("45"));
        QSize printed;
        onModal<TLRineiTest>([&](TLRineiTest *sheet) {
            const TLRImage *seal = sheet->layout()->items().image("Inei");
            printed = QSize(seal->Width(), seal->Height());
            sheet->reject();
        });
        w.findChild<QPushButton *>(QStringLiteral("MakatiButton3"))->click();
        QCOMPARE(printed, QSize(45, 90));
        QCOMPARE(OwnCompanyStore::loadOrCreate(t->db()).Height, 70); // nothing saved

        type(w.takasa, QString());
        w.findChild<QPushButton *>(QStringLiteral("MakatiButton3"))->click(); // refused, no sheet
        QCOMPARE(errorsShown().size(), 1);
    }

    // The row deleted at another computer while the window is open: the save says so.
    void saveAfterTheRowWasDeleted()
    {
        TFjisyaJyoho w;
        w.show();
        t->exec(QStringLiteral("delete from JisyaJyoho"));
        w.OkBTN->click();
        QVERIFY(w.isVisible());
        QCOMPARE(errorsShown().size(), 1);
    }
};

QTEST_MAIN(TestOwnCompany)
#include "tst_owncompany.moc"
