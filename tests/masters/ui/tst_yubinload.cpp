// The postal-code loader window, driven as a user would.
#include "controls/Messages.h"
#include "masters/ui/TFyubinLoad.h"
#include "TestDatabase.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(KADOMEL_TEST_DATA "/postal/") + name;
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestYubinLoad : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<TFyubinLoad> w;

    template<class T> T *child(const char *name) { return w->findChild<T *>(QLatin1String(name)); }
    qint64 addressRows() { return t->scalar(QStringLiteral("select count(*) from Address")).toLongLong(); }

    void loadFile(const QString &path)
    {
        child<QLineEdit>("FileNameEDT")->setText(path);
        QTest::mouseClick(child<QPushButton>("YomikomiBTN"), Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("KADOMEL_HOME", home.path().toUtf8());
        Messages::setTestMode(true);
    }
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->db().ExecDirect(
            QStringLiteral("insert into Address (Yubin, Jyusyo) values (1000001, '東京都千代田区千代田')"));
        w = std::make_unique<TFyubinLoad>();
        w->show();
    }
    void cleanup()
    {
        w.reset();
        t.reset();
        Messages::takeHistory();
    }

    void showsItsTexts()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("郵便番号読込み"));
        QCOMPARE(
            child<QPlainTextEdit>("Memo1")->toPlainText().split(u'\n'),
            QStringList({"日本郵便が提供している郵便番号データを読み込みます。",
                         "下記アドレスよりダウンロードしたデータを解凍してから読", "み込んでください。"}));
        QCOMPARE(child<QPushButton>("YomikomiBTN")->text(), QStringLiteral("読込み"));
        QCOMPARE(child<QPushButton>("CanBTN")->text(), QStringLiteral("キャンセル"));
        QVERIFY(!child<QProgressBar>("ProgressBar1")->isVisible());
    }

    void linkOpensTheDownloadPage()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QTest::mouseClick(child<QLabel>("Label1"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.opened, QList<QUrl>({QUrl(QString::fromLatin1(TFyubinLoad::kDownloadUrl))}));
    }

    void loadReplacesAddressAndCloses()
    {
        loadFile(fixture(QStringLiteral("ken_all_sample.csv")));
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QVERIFY(!w->isVisible());
        QCOMPARE(addressRows(), 1484);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Information);
        QCOMPARE(said.first().text, QStringLiteral("郵便番号データを 1484 件読み込みました"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void badFileSaysWhichLineAndRestoresTheWindow()
    {
        loadFile(fixture(QStringLiteral("broken_quote.csv")));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0].kind, Messages::Kind::Error);
        QCOMPARE(
            said[0].text,
            QStringLiteral("郵便番号データの2行目が正しくありません。\r\n引用符（\"）が閉じていません。"));
        QVERIFY(w->isVisible());
        QCOMPARE(addressRows(), 1);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(child<QPushButton>("YomikomiBTN")->isEnabled());
        QVERIFY(child<QPushButton>("CanBTN")->isEnabled());
        QVERIFY(!child<QProgressBar>("ProgressBar1")->isVisible());
    }

    void missingFileIsSaid()
    {
        loadFile(fixture(QStringLiteral("no_such_file.csv")));
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QVERIFY(said[0].text.endsWith(QStringLiteral("no_such_file.csv」が見つかりません。")));
        QVERIFY(w->isVisible());
        QCOMPARE(addressRows(), 1);
    }

    void cancelCloses()
    {
        QTest::mouseClick(child<QPushButton>("CanBTN"), Qt::LeftButton);
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(addressRows(), 1);
    }
};

QTEST_MAIN(TestYubinLoad)
#include "tst_yubinload.moc"
