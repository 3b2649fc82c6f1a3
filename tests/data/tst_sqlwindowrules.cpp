// The SQL window's rules that need no database: which statements run, and the statement files.
#include "data/SqlWindowRules.h"

#include "common/AppError.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using SqlWindowRules::Verdict;
Q_DECLARE_METATYPE(SqlWindowRules::Verdict)

class TestSqlWindowRules : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the fixture");
        return path;
    }

private Q_SLOTS:
    void classify_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Verdict>("verdict");
        QTest::addRow("select in lower case") << "select * from Syohin" << Verdict::Open;
        QTest::addRow("select over several lines")
            << "SELECT key,\n  SyohinMei\nFROM Syohin" << Verdict::Open;
        QTest::addRow("blanks and a drop in lower case") << "  drop table Syohin" << Verdict::RefuseDrop;
        QTest::addRow("create") << "Create table t (a int)" << Verdict::RefuseCreate;
        QTest::addRow("alter") << "alter table Syohin add x int" << Verdict::RefuseAlter;
        QTest::addRow("delete") << "delete from Syohin" << Verdict::AskAndRun;
        QTest::addRow("update") << "\tUPDATE Syohin set Tanka = 1" << Verdict::AskAndRun;
        QTest::addRow("insert") << "insert into Syohin (key) values (9)" << Verdict::AskAndRun;
        QTest::addRow("empty") << "" << Verdict::Invalid;
        QTest::addRow("only blanks") << "   \n  " << Verdict::Invalid;
        // Only the first line decides: a statement starting on the second line is refused.
        QTest::addRow("statement on the second line") << "\nselect * from Syohin" << Verdict::Invalid;
        QTest::addRow("comment first") << "-- list\nselect 1" << Verdict::Invalid;
        QTest::addRow("other statement") << "vacuum" << Verdict::Invalid;
        QTest::addRow("with clause") << "with a as (select 1) select * from a" << Verdict::Invalid;
        // The whole text runs, so the statements after the first are held to the same rules.
        QTest::addRow("select then drop") << "select 1; drop table Syohin" << Verdict::RefuseDrop;
        QTest::addRow("delete then create")
            << "delete from Syohin;\n/* x */ create table t (a int)" << Verdict::RefuseCreate;
        QTest::addRow("delete then alter after a comment")
            << "delete from Syohin;\n-- c\nALTER table Syohin" << Verdict::RefuseAlter;
        QTest::addRow("select then delete") << "select 1;\ndelete from Syohin" << Verdict::Invalid;
        QTest::addRow("two data changes")
            << "delete from Syohin; insert into Syohin (key) values (1);" << Verdict::AskAndRun;
        QTest::addRow("data change then other") << "update Syohin set Tanka = 1; vacuum" << Verdict::Invalid;
        // A semicolon inside a literal or a comment does not start a statement.
        QTest::addRow("semicolon in a literal") << "select '; drop table Syohin'" << Verdict::Open;
        QTest::addRow("trailing semicolon") << "select 1;" << Verdict::Open;
    }
    void classify()
    {
        QFETCH(QString, text);
        QFETCH(Verdict, verdict);
        QCOMPARE(SqlWindowRules::classify(text), verdict);
    }

    void messages()
    {
        QCOMPARE(SqlWindowRules::refusalMessage(Verdict::RefuseCreate),
                 QStringLiteral("CREATE操作は禁止です"));
        QCOMPARE(SqlWindowRules::refusalMessage(Verdict::RefuseAlter), QStringLiteral("ALTER操作は禁止です"));
        QCOMPARE(SqlWindowRules::refusalMessage(Verdict::RefuseDrop), QStringLiteral("DROP操作は禁止です"));
        QCOMPARE(SqlWindowRules::refusalMessage(Verdict::Invalid), QStringLiteral("SQL文に誤りがあります"));
        QCOMPARE(SqlWindowRules::confirmText(),
                 QStringLiteral("このSQLはﾃﾞｰﾀを変更する可能性があります\r\n続行しますか？"));
    }

    void readsEveryEncoding_data()
    {
        const QString text = QStringLiteral("select * from Torihikisaki\nwhere Meisyo like '%株式会社①%'");
        QStringEncoder cp932("windows-31j");
        QVERIFY(cp932.isValid());
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addRow("utf-8") << text.toUtf8() << text;
        QTest::addRow("utf-8 with bom and crlf")
            << QByteArray("\xEF\xBB\xBF") +
                   QString(text).replace(QLatin1String("\n"), QLatin1String("\r\n")).toUtf8()
            << text;
        // ① is in code page 932 but not in plain Shift-JIS.
        QTest::addRow("windows shift-jis")
            << QByteArray(cp932(QString(text).replace(QLatin1String("\n"), QLatin1String("\r\n")) +
                                QLatin1String("\r\n")))
            << text;
    }
    void readsEveryEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(SqlWindowRules::readStatementFile(write(QStringLiteral("in.sql"), bytes)), expected);
    }

    void writesUtf8AndReadsItBack()
    {
        const QString text = QStringLiteral("update Syohin\nset SyohinMei = '机'");
        const QString path = m_dir.filePath(QStringLiteral("out.SQL"));
        SqlWindowRules::writeStatementFile(path, text);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), (text + QLatin1Char('\n')).toUtf8());
        QCOMPARE(SqlWindowRules::readStatementFile(path), text);
    }

    void failuresThrow()
    {
        QVERIFY_THROWS_EXCEPTION(
            AppError, SqlWindowRules::readStatementFile(m_dir.filePath(QStringLiteral("none.sql"))));
        QVERIFY_THROWS_EXCEPTION(
            AppError, SqlWindowRules::writeStatementFile(m_dir.filePath(QStringLiteral("no/such/x.sql")),
                                                         QStringLiteral("x")));
    }

    void defaultExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addRow("none typed") << "/tmp/query"
                                    << "/tmp/query.SQL";
        QTest::addRow("own extension kept") << "/tmp/query.txt"
                                            << "/tmp/query.txt";
        QTest::addRow("lower case kept") << "/tmp/query.sql"
                                         << "/tmp/query.sql";
        QTest::addRow("dot in the folder only") << "/tmp/a.b/query"
                                                << "/tmp/a.b/query.SQL";
    }
    void defaultExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QCOMPARE(SqlWindowRules::withDefaultExtension(typed), written);
    }
};

QTEST_GUILESS_MAIN(TestSqlWindowRules)
#include "tst_sqlwindowrules.moc"
