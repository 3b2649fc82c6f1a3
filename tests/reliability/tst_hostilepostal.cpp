// Every fault of a postal-code file that the loader names: a file that cannot be opened or read, a
// line too long, broken quotes, a NUL, too few fields, a code that is no seven digits, bytes that are
// no CP932, a file without a single record. Each is refused with its message naming the line, and
// Address (and everything else stored) stays as it was, also when the fault is in the last line.
#include "masters/PostalLoader.h"
#include "TestDatabase.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A good line of the national file for one code.
QString line(const QString &code, const QString &town = QStringLiteral("以下に掲載がない場合"))
{
    return QStringLiteral("01101,\"060  \",\"%1\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\","
                          "\"北海道\",\"札幌市中央区\",\"%2\",0,0,0,0,0,0")
        .arg(code, town);
}

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        encoder = QStringEncoder("Shift_JIS");
    return encoder.encode(text);
}

// Two good lines, then the bad one, in CP932 with CR LF.
QByteArray afterGoodLines(const QByteArray &bad)
{
    return cp932(line(QStringLiteral("0600000")) + QStringLiteral("\r\n") + line(QStringLiteral("0640941")) +
                 QStringLiteral("\r\n")) +
           bad + "\r\n";
}

QString lineFault(int number, const QString &reason)
{
    return QStringLiteral("郵便番号データの%1行目が正しくありません。\r\n%2").arg(number).arg(reason);
}

// A device whose reads fail, as a file on a disk that went away does.
class FailingDevice : public QIODevice
{
public:
    FailingDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    QString failure() const { return QStringLiteral("Input/output error"); }

protected:
    qint64 readData(char *, qint64) override
    {
        setErrorString(failure());
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestHostilePostal : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    QStringList m_before;

    // Loads and returns the message of the refusal; checks that nothing stored changed.
    QString refusal(const std::function<qint64(PostalLoader &)> &load)
    {
        PostalLoader loader(t->db());
        QString message;
        try {
            load(loader);
        } catch (const PostalFileError &e) {
            message = e.message();
        }
        [&] {
            QVERIFY(!t->db().InTransaction());
            QCOMPARE(t->fingerprint(), m_before);
        }();
        return message;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->db().ExecDirect(
            QStringLiteral("insert into Address (Yubin, Jyusyo) values (1000001, '東京都千代田区千代田')"));
        m_before = t->fingerprint();
    }
    void cleanup() { t.reset(); }

    void badContents_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        const QString noRecord = QStringLiteral("郵便番号データが1行もありません。");
        const auto badCode = [](const QString &code) {
            return lineFault(
                3, QStringLiteral("3番目の項目の郵便番号「%1」が7桁の数字ではありません。").arg(code));
        };
        const auto withCode = [](const QString &code) { return afterGoodLines(cp932(line(code))); };
        QTest::addRow("empty file") << QByteArray() << noRecord;
        QTest::addRow("only blank lines") << QByteArray("\r\n  \r\n\t\n\r\n") << noRecord;
        QTest::addRow("only the end-of-file mark") << QByteArray("\x1a") << noRecord;
        QTest::addRow("line too long")
            << afterGoodLines(QByteArray(PostalFileReader::kMaxLineBytes + 1, 'a'))
            << lineFault(3, QStringLiteral("1行が長すぎます（65536バイトを超えています）。"));
        QTest::addRow("line too long without a line end")
            << QByteArray(PostalFileReader::kMaxLineBytes * 4, ',')
            << lineFault(1, QStringLiteral("1行が長すぎます（65536バイトを超えています）。"));
        QTest::addRow("quote not closed")
            << afterGoodLines(
                   cp932(QStringLiteral("01101,\"060\",\"0600000\",a,b,c,\"北海道\",\"札幌市\",\"旭ケ丘")))
            << lineFault(3, QStringLiteral("引用符（\"）が閉じていません。"));
        QTest::addRow("text after a closing quote")
            << afterGoodLines(cp932(QStringLiteral("01101,\"060\"x,\"0600000\",a,b,c,d,e,f")))
            << lineFault(3, QStringLiteral("引用符（\"）で囲んだ項目の後に区切りの「,」がありません。"));
        QTest::addRow("NUL in a quoted address")
            << afterGoodLines(cp932(line(QStringLiteral("0600000"), QStringLiteral("旭ケ丘") + QChar(0))))
            << lineFault(3, QStringLiteral("引用符（\"）で囲んだ項目にNUL文字（文字コード0）があります。"));
        QTest::addRow("eight fields") << afterGoodLines("01101,060,0600000,a,b,c,d,e")
                                      << lineFault(3, QStringLiteral("項目が9個ありません（8個）。"));
        QTest::addRow("one field") << afterGoodLines("0600000")
                                   << lineFault(3, QStringLiteral("項目が9個ありません（1個）。"));
        QTest::addRow("code of six digits")
            << withCode(QStringLiteral("060000")) << badCode(QStringLiteral("060000"));
        QTest::addRow("code of eight digits")
            << withCode(QStringLiteral("06000000")) << badCode(QStringLiteral("06000000"));
        QTest::addRow("code with a sign")
            << withCode(QStringLiteral("+600000")) << badCode(QStringLiteral("+600000"));
        QTest::addRow("code with a hyphen")
            << withCode(QStringLiteral("060-000")) << badCode(QStringLiteral("060-000"));
        QTest::addRow("code in full-width digits")
            << withCode(QStringLiteral("０６０００００")) << badCode(QStringLiteral("０６０００００"));
        QTest::addRow("code with an exponent")
            << withCode(QStringLiteral("6.0E+05")) << badCode(QStringLiteral("6.0E+05"));
        QTest::addRow("empty code") << withCode(QString()) << badCode(QString());
        QTest::addRow("bytes that are no CP932")
            << afterGoodLines(QByteArray("01101,060,0600000,a,b,c,\x81\x20,e,f"))
            << lineFault(3, QStringLiteral("Shift-JIS（CP932）の文字として読めないバイトがあります。"));
        QTest::addRow("UTF-8 text")
            << afterGoodLines(line(QStringLiteral("0600000")).toUtf8())
            << lineFault(3, QStringLiteral("Shift-JIS（CP932）の文字として読めないバイトがあります。"));
        QTest::addRow("a lead byte at the end")
            << afterGoodLines(QByteArray("01101,060,0600000,a,b,c,d,e,\x82"))
            << lineFault(3, QStringLiteral("Shift-JIS（CP932）の文字として読めないバイトがあります。"));
    }
    void badContents()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QCOMPARE(refusal([&](PostalLoader &loader) {
                     QBuffer buffer(&file);
                     buffer.open(QIODevice::ReadOnly);
                     return loader.load(buffer);
                 }),
                 message);
    }

    void fileThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("missing") << QStringLiteral("KEN_ALL.CSV");
        QTest::addRow("a folder") << QStringLiteral("folder");
        QTest::addRow("a name with quotes and a colon") << QStringLiteral("'a':name?.csv");
    }
    void fileThatCannotBeOpened()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        const QString path = dir.filePath(name);
        const QString message = refusal([&](PostalLoader &loader) { return loader.load(path); });
        QVERIFY2(message.startsWith(QStringLiteral("ファイル「%1」を開けません。\r\n").arg(path)),
                 qPrintable(message));
    }

    void fileThatCannotBeRead()
    {
        FailingDevice device;
        QCOMPARE(refusal([&](PostalLoader &loader) { return loader.load(device); }),
                 QStringLiteral("ファイルを読み込めません。\r\n") + device.failure());
    }
};

QTEST_MAIN(TestHostilePostal)
#include "tst_hostilepostal.moc"
