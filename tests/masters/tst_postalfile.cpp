// Reading the postal-code file: fields, records, encodings and the lines that must be refused.
#include "masters/PostalFile.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(KADOMEL_TEST_DATA "/postal/") + QLatin1String(name);
}

QByteArray sampleLine(int index)
{
    QFile file(fixture("ken_all_sample.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n').value(index).trimmed();
}

QList<PostalRecord> readAll(QIODevice &device)
{
    PostalFileReader reader(device);
    QList<PostalRecord> records;
    PostalRecord record;
    while (reader.next(record))
        records.append(record);
    return records;
}

QString readError(QIODevice &device)
{
    try {
        readAll(device);
    } catch (const PostalFileError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestPostalFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::addRow("plain") << "a,b,c" << QStringList{"a", "b", "c"};
        QTest::addRow("quoted") << "\"a\",\"b\"" << QStringList{"a", "b"};
        QTest::addRow("doubled quote") << "\"a\"\"b\",c" << QStringList{"a\"b", "c"};
        QTest::addRow("blanks kept inside quotes") << "\"060  \",x" << QStringList{"060  ", "x"};
        QTest::addRow("blank ends an unquoted field") << "a b,c" << QStringList{"a", "b", "c"};
        QTest::addRow("blanks around fields") << "  a , b " << QStringList{"a", "b"};
        QTest::addRow("empty fields") << ",,x" << QStringList{"", "", "x"};
        QTest::addRow("comma at the end") << "a," << QStringList{"a", ""};
        QTest::addRow("empty line") << "" << QStringList{};
    }
    void splitFields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(SplitPostalFields(line), fields);
    }

    void brokenQuotes_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addRow("not closed") << "a,\"bc,d";
        QTest::addRow("text right after the closing quote") << "\"ab\"cd,e";
        QTest::addRow("NUL inside quotes") << QStringLiteral("a,\"b%1c\",d").arg(QChar(0));
    }
    void brokenQuotes()
    {
        QFETCH(QString, line);
        QVERIFY_THROWS_EXCEPTION(PostalLineError, SplitPostalFields(line));
    }

    void parseLine()
    {
        PostalDecoder decoder;
        const PostalRecord record = ParsePostalLine(decoder.decode(sampleLine(0)));
        QCOMPARE(record.yubin, 600000); // 0600000 loses its leading zero
        // The file's "no town name" placeholder is no part of an address.
        QCOMPARE(record.jyusyo, QStringLiteral("北海道札幌市中央区"));
    }

    void townPlaceholder_data()
    {
        QTest::addColumn<QString>("field9"); // as it stands in the file
        QTest::addColumn<QString>("jyusyo");
        QTest::addRow("placeholder") << "\"以下に掲載がない場合\""
                                     << "北海道札幌市中央区";
        QTest::addRow("placeholder without quotes") << "以下に掲載がない場合"
                                                    << "北海道札幌市中央区";
        QTest::addRow("town name") << "\"旭ケ丘\""
                                   << "北海道札幌市中央区旭ケ丘";
        QTest::addRow("placeholder inside a longer name") << "\"（以下に掲載がない場合）\""
                                                          << "北海道札幌市中央区（以下に掲載がない場合）";
    }
    void townPlaceholder()
    {
        QFETCH(QString, field9);
        QFETCH(QString, jyusyo);
        const QString line =
            QStringLiteral("01101,\"060  \",\"0600000\",a,b,c,\"北海道\",\"札幌市中央区\",%1,0,0,0,0,0,0")
                .arg(field9);
        QCOMPARE(ParsePostalLine(line).jyusyo, jyusyo);
    }

    void refusedLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");
        QTest::addRow("eight fields") << "1,2,0600000,4,5,6,7,8"
                                      << "項目が9個ありません（8個）。";
        QTest::addRow("six-digit code") << "1,2,060000,4,5,6,7,8,9"
                                        << "3番目の項目の郵便番号「060000」が7桁の数字ではありません。";
        QTest::addRow("code with hyphen") << "1,2,060-0000,4,5,6,7,8,9"
                                          << "3番目の項目の郵便番号「060-0000」が7桁の数字ではありません。";
        QTest::addRow("full-width digits")
            << "1,2,０６０００００,4,5,6,7,8,9"
            << "3番目の項目の郵便番号「０６０００００」が7桁の数字ではありません。";
    }
    void refusedLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        try {
            ParsePostalLine(line);
            QFAIL("the line was accepted");
        } catch (const PostalLineError &e) {
            QCOMPARE(e.message(), reason);
        }
    }

    void decodesCp932()
    {
        PostalDecoder decoder;
        // 0x81 0x7C is the full-width hyphen-minus in CP932 (plain Shift-JIS would give U+2212).
        QCOMPARE(decoder.decode(QByteArray("\x81\x7c")), QString(QChar(0xFF0D)));
        QVERIFY_THROWS_EXCEPTION(PostalLineError, decoder.decode(QByteArray("a\xff")));
        QVERIFY_THROWS_EXCEPTION(PostalLineError, decoder.decode(QByteArray("\x82\x20")));
        // After an error the decoder reads good lines again.
        QCOMPARE(decoder.decode(QByteArray("\x82\xa0")), QStringLiteral("あ"));
    }

    void readsTheSample()
    {
        QFile file(fixture("ken_all_sample.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<PostalRecord> records = readAll(file);
        QCOMPARE(records.size(), 1484);
        int sameCode = 0;
        bool fullWidthHyphen = false;
        for (const PostalRecord &r : records) {
            sameCode += r.yubin == 4520961;
            if (r.yubin == 4070311)
                fullWidthHyphen = r.jyusyo.contains(QChar(0xFF0D));
        }
        QCOMPARE(sameCode, 66);
        QVERIFY(fullWidthHyphen);
    }

    void lineEndsAndLastLine()
    {
        // LF only, and a last line without its line end.
        const QByteArray line = sampleLine(0);
        QByteArray data = line + '\n' + line;
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(readAll(buffer).size(), 2);

        // Blank lines and the end-of-file mark carry nothing and are passed over.
        QByteArray padded = line + "\r\n\r\n" + line + "\r\n\r\n\x1a";
        QBuffer paddedBuffer(&padded);
        QVERIFY(paddedBuffer.open(QIODevice::ReadOnly));
        QCOMPARE(readAll(paddedBuffer).size(), 2);
    }

    void emptyFileHasNoRecords()
    {
        QFile file(fixture("empty.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(readAll(file).isEmpty());
    }

    void badFilesNameTheLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString head = QStringLiteral("郵便番号データの%1行目が正しくありません。\r\n");
        QTest::addRow("short line") << "short_line.csv" << head.arg(4) + "項目が9個ありません（5個）。";
        QTest::addRow("broken quote") << "broken_quote.csv" << head.arg(2) + "引用符（\"）が閉じていません。";
        QTest::addRow("bytes that are no CP932")
            << "bad_bytes.csv" << head.arg(3) + "Shift-JIS（CP932）の文字として読めないバイトがあります。";
        QTest::addRow("code of six digits")
            << "bad_code.csv" << head.arg(2) + "3番目の項目の郵便番号「064094」が7桁の数字ではありません。";
        QTest::addRow("NUL inside a quoted address")
            << "nul_in_address.csv"
            << head.arg(2) + "引用符（\"）で囲んだ項目にNUL文字（文字コード0）があります。";
    }
    void badFilesNameTheLine()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFile f(fixture(file.toLatin1().constData()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(readError(f), message);
    }

    void lineOfMegabytes()
    {
        QByteArray data = sampleLine(0) + "\r\n" + QByteArray(3 * 1024 * 1024, 'x') + "\r\n";
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QString message = readError(buffer);
        QVERIFY2(message.startsWith(QStringLiteral("郵便番号データの2行目が正しくありません。")),
                 qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("長すぎます")));
    }
};

QTEST_GUILESS_MAIN(TestPostalFile)
#include "tst_postalfile.moc"
