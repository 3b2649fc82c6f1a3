// Hostile configuration files. Random bytes: kadomel-cli, which starts as the program does, keeps the
// file as kadomel.ini.bad, says so, and works on the default database without changing what it
// holds. Text with hostile values: the connection falls back to its defaults where a value is no
// number, and a window whose stored placement is out of all bounds still opens on the screen.
#include "common/ui/TFtorihikisakiKensaku.h"
#include "data/AppPaths.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "RandomBytes.h"
#include "TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHostileConfig : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->exec(QStringLiteral(
            "insert into Torihikisaki (key, TorihikisakiNM, SeikyuSimebi) values (1, '山田商事', 5)"));
    }
    void cleanup() { t.reset(); }

    void randomFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const int size : {7, 64, 512, 4096, 65536})
            for (const quint32 seed : {1u, 2u, 3u})
                QTest::addRow("%d random bytes, seed %u", size, seed)
                    << randomBytes(size, seed * 7919 + size);
        QTest::addRow("zero bytes") << QByteArray(1024, '\0');
        QTest::addRow("a good section, then random bytes")
            << QByteArray("[DB]\r\ntype=local\r\n") + randomBytes(256, 99);
        QTest::addRow("UTF-16 with byte order mark")
            << QByteArray("\xFF\xFE[\0D\0B\0]\0\r\0\n\0t\0y\0p\0e\0=\0l\0o\0c\0a\0l\0", 32);
        QTest::addRow("a lone Shift-JIS lead byte") << QByteArray("[Tanto]\r\nName=\x82\r\n");
    }
    void randomFiles()
    {
        QFETCH(QByteArray, bytes);
        const QString iniPath = AppPaths::iniPath();
        QCOMPARE(iniPath, t->folder() + QStringLiteral("/kadomel.ini"));
        writeFile(iniPath, bytes);
        const QStringList before = t->fingerprint();

        QProcess cli;
        cli.start(QStringLiteral(KADOMEL_CLI),
                  {QStringLiteral("--home"), t->folder(), QStringLiteral("invoice-run"),
                   QStringLiteral("--closing"), QStringLiteral("2026/12/20"), QStringLiteral("--day"),
                   QStringLiteral("20")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, qPrintable(err));
        QCOMPARE(err.trimmed(), IniFile::setAsideNotice(iniPath, iniPath + QStringLiteral(".bad")));
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()).trimmed(),
                 QStringLiteral("0 件の請求書を作成しました"));
        QCOMPARE(readFile(iniPath + QStringLiteral(".bad")), bytes);
        QCOMPARE(t->fingerprint(), before);
    }

    // Text, but not what the program wrote: numbers that are none or out of every range.
    void hostileValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("port"); // as the connection reads it
        QTest::addRow("beyond 64 bits")
            << QByteArray("[DB]\nport=99999999999999999999\n"
                          "[FtorihikisakiKensaku]\nLeft=99999999999999999999\n"
                          "Top=-99999999999999999999\nWidth=99999999999999999999\n")
            << 12005;
        QTest::addRow("largest 32-bit") << QByteArray("[DB]\nport=2147483647\n[FtorihikisakiKensaku]\n"
                                                      "Left=2147483647\nTop=2147483647\nWidth=2147483647\n"
                                                      "Height=2147483647\n")
                                        << 2147483647;
        QTest::addRow("smallest 32-bit")
            << QByteArray("[DB]\nport=-2147483648\n[FtorihikisakiKensaku]\n"
                          "Left=-2147483648\nTop=-2147483648\nWidth=-2147483648\n"
                          "Height=-2147483648\n")
            << int(-2147483647 - 1);
        QTest::addRow("exponents and signs")
            << QByteArray("[DB]\nport=1e3\n[FtorihikisakiKensaku]\nLeft=+-5\n"
                          "Top=1e9\nWidth=0x7fffffff\nHeight=１２００\n")
            << 12005;
        QTest::addRow("very long lines")
            << QByteArray("[DB]\nport=") + QByteArray(200000, '9') + "\n[" + QByteArray(100000, 'A') + "]\n" +
                   QByteArray(100000, '=') + "\n[FtorihikisakiKensaku]\nWidth=" + QByteArray(100000, '7') +
                   "\n"
            << 12005;
        QTest::addRow("maximized, and larger than any screen")
            << QByteArray("[FtorihikisakiKensaku]\nWindowState=wsMaximized\nWidth=100000\nHeight=100000\n")
            << 12005;
    }
    void hostileValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, port);
        writeFile(AppPaths::iniPath(), text);
        QCOMPARE(IniFile::setAsideIfNotText(AppPaths::iniPath()), QString());
        QCOMPARE(ConnectionSettings::read(IniFile(AppPaths::iniPath())).port, port);

        TFtorihikisakiKensaku w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // No larger than the free area, and the title bar's corner on it.
        const QRect available = w.screen()->availableGeometry();
        QVERIFY2(available.contains(w.frameGeometry().topLeft()),
                 qPrintable(QStringLiteral("%1,%2").arg(w.frameGeometry().x()).arg(w.frameGeometry().y())));
        QVERIFY(w.width() <= available.width() && w.height() <= available.height());
    }
};

QTEST_MAIN(TestHostileConfig)
#include "tst_hostileconfig.moc"
