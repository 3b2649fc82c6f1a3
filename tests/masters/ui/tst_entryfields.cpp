// Input limits of the entry fields: Shift-JIS byte lengths, the key filters of the number fields.
#include "controls/EntryFields.h"
#include "data/SjisLengthValidator.h"
#include "ModalHelper.h"

#include <QLineEdit>
#include <QTest>

class TestEntryFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void byteLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ASCII") << "abc-12" << 6;
        QTest::newRow("kanji and kana") << "山田あア" << 8;
        QTest::newRow("half-width katakana") << "ｱｲｳ" << 3;
        QTest::newRow("full-width digits and space") << "１２　" << 6;
        QTest::newRow("circled digit (CP932 only)") << "①" << 2;
        QTest::newRow("wave dash and minus sign") << "～−" << 4;
        QTest::newRow("no Shift-JIS: emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << 4;
        QTest::newRow("empty") << "" << 0;
    }
    void byteLength()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(sjisByteLength(text), bytes);
    }

    void columnLengthsComeFromSchema()
    {
        QCOMPARE(columnByteLength(QStringLiteral("Torihikisaki"), QStringLiteral("TorihikisakiNM")), 60);
        QCOMPARE(columnByteLength(QStringLiteral("torihikisaki"), QStringLiteral("yubin")), 8);
        QCOMPARE(columnByteLength(QStringLiteral("Syohin"), QStringLiteral("Tani")), 10);
        QCOMPARE(columnByteLength(QStringLiteral("Syohin"), QStringLiteral("Tanka")), 0); // a number
        QCOMPARE(columnByteLength(QStringLiteral("Nothing"), QStringLiteral("Tani")), 0);
    }

    void keys_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("digits") << int(EntryFields::Kind::Digits) << "1a-.2 3"
                                << "12 3";
        QTest::newRow("telephone") << int(EntryFields::Kind::DigitsOrHyphen) << "03-x1.2"
                                   << "03-12";
        QTest::newRow("price") << int(EntryFields::Kind::DigitsOrPoint) << "1-2.5円"
                               << "12.5";
        QTest::newRow("text") << int(EntryFields::Kind::Text) << "a-1.山"
                              << "a-1.山";
    }
    void keys()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QLineEdit edit;
        EntryFields::setUp(&edit, EntryFields::Kind(kind));
        typeKeys(&edit, typed);
        QCOMPARE(edit.text(), kept);
        QCOMPARE(edit.testAttribute(Qt::WA_InputMethodEnabled), kind == int(EntryFields::Kind::Text));
        QTest::keyClick(&edit, Qt::Key_Backspace); // control keys always pass
        QCOMPARE(edit.text(), kept.chopped(1));
    }

    // A key press can carry more than one character: one outside the basic plane comes as a pair
    // of UTF-16 units, an input composed on the keyboard as several characters.
    void keyWithSeveralCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << "";
        QTest::newRow("digit and letter") << "1a"
                                          << "";
        QTest::newRow("two digits") << "12"
                                    << "12";
    }
    void keyWithSeveralCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QLineEdit edit;
        EntryFields::setUp(&edit, EntryFields::Kind::Digits);
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, typed, Qt::NoModifier);
        QCOMPARE(edit.text(), kept);
    }

    void pasteBeyondLimitIsRefused()
    {
        QLineEdit edit;
        EntryFields::setUp(&edit, EntryFields::Kind::Text, QStringLiteral("Syohin"), QStringLiteral("Tani"));
        edit.insert(QStringLiteral("ダース"));
        edit.insert(QStringLiteral("ケース")); // 12 bytes in all
        QCOMPARE(edit.text(), QStringLiteral("ダース"));
        edit.insert(QStringLiteral("ab"));
        QCOMPARE(edit.text(), QStringLiteral("ダースab"));
    }

    void overlongStoredTextCanBeShortened()
    {
        QLineEdit edit;
        EntryFields::setUp(&edit, EntryFields::Kind::Text, QStringLiteral("Syohin"), QStringLiteral("Tani"));
        edit.setText(QStringLiteral("一二三四五六")); // written elsewhere: 12 bytes
        edit.end(false);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("一二三四五"));
        typeKeys(&edit, QStringLiteral("六"));
        QCOMPARE(edit.text(), QStringLiteral("一二三四五"));
    }
};

QTEST_MAIN(TestEntryFields)
#include "tst_entryfields.moc"
