// kadomel --check-start, run as a package check runs it: the program starts on a folder, ends by
// itself once the start is over, and tells by its status whether the start succeeded. Nothing may
// wait for a person: a first start's own-company window is closed, a failed connection is an error.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestStartCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endsByItselfWithTheStartsOutcome_data()
    {
        QTest::addColumn<QByteArray>("ini"); // kadomel.ini of the folder, none when empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("told");
        QTest::addRow("first start on an empty folder")
            << QByteArray() << 0
            << QStringList{QStringLiteral("最初に自社情報を設定してください"), QStringLiteral("閉じた画面: "),
                           QStringLiteral("起動できました")};
        // Nothing listens on port 1: the connection fails and the start says so.
        QTest::addRow("server that cannot be reached")
            << QByteArray("[DB]\ntype=remote\nip=127.0.0.1\nport=1\nname=kadomel\nuser=kadomel\npass=x\n")
            << 1
            << QStringList{QStringLiteral("エラー: データベースへの接続に失敗しました"),
                           QStringLiteral("起動に失敗しました")};
    }

    void endsByItselfWithTheStartsOutcome()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, status);
        QFETCH(QStringList, told);
        QTemporaryDir home;
        if (!ini.isEmpty()) {
            QFile f(QDir(home.path()).filePath(QStringLiteral("kadomel.ini")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KADOMEL_HOME"), home.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KADOMEL_PROGRAM), {QStringLiteral("--check-start")});
        QVERIFY(p.waitForFinished(120000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == status, qPrintable(err));
        for (const QString &text : told)
            QVERIFY2(err.contains(text), qPrintable(err));
        // The program ended as it always does: its settings are stored in the folder.
        QVERIFY(QFile::exists(QDir(home.path()).filePath(QStringLiteral("kadomel.ini"))));
    }
};

QTEST_GUILESS_MAIN(TestStartCheck)
#include "tst_startcheck.moc"
