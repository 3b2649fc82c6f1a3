// The SQL window driven offscreen on each engine: what runs, what is refused or asked, the grid and
// its copy command, the statement files.
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "data/ui/TFsql.h"
#include "TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QWheelEvent>

class TestSqlWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<TFsql> w;

    void run(const QString &text)
    {
        w->Memo1->setPlainText(text);
        QTest::mouseClick(w->Button1, Qt::LeftButton);
    }
    int products() { return t->scalar(QStringLiteral("select count(*) from Syohin")).toInt(); }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        t->exec(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM, Tanka) values (1, '机', 12000);"
                               "insert into Syohin (SyohinCD, SyohinNM, Tanka) values (2, '椅子', 5000);"
                               "insert into Syohin (SyohinCD, SyohinNM, Tanka) values (3, '棚', 8000)"));
        w = std::make_unique<TFsql>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Messages::takeHistory();
    }
    void cleanup()
    {
        w.reset();
        t.reset();
    }

    // A select in lower case fills the grid; the copy command is there exactly while rows are.
    void selectFillsTheGridAndCopyFollowsTheQuery()
    {
        QVERIFY(!w->Copy2CB->isEnabled());
        QVERIFY(!w->Button5->isEnabled());
        run(QStringLiteral("select SyohinCD, SyohinNM from Syohin\norder by SyohinCD"));
        QVERIFY(Messages::takeHistory().isEmpty());
        QVERIFY(w->Query1->Active());
        QCOMPARE(w->DBGridEx1->model()->rowCount(), 3);
        QVERIFY(w->Copy2CB->isEnabled());
        QVERIFY(w->Button5->isEnabled());

        // The wheel moves one record.
        QWheelEvent down(QPointF(5, 5), w->DBGridEx1->viewport()->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->DBGridEx1->viewport(), &down);
        QCOMPARE(w->Query1->RecNo(), 1);

        // A refused statement closes the query first: the grid is empty and there is nothing to copy.
        run(QStringLiteral("drop table Syohin"));
        QVERIFY(!w->Query1->Active());
        QCOMPARE(w->DBGridEx1->model()->rowCount(), 0);
        QVERIFY(!w->Copy2CB->isEnabled());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addRow("blanks then drop") << "  drop table Syohin"
                                          << "DROP操作は禁止です";
        QTest::addRow("create") << "create table Extra (a integer)"
                                << "CREATE操作は禁止です";
        QTest::addRow("alter") << "ALTER TABLE Syohin ADD Extra integer"
                               << "ALTER操作は禁止です";
        QTest::addRow("empty") << ""
                               << "SQL文に誤りがあります";
        QTest::addRow("statement on the second line") << "\ndelete from Syohin"
                                                      << "SQL文に誤りがあります";
        // The whole text runs, so a schema change behind a select or a data change is refused too.
        QTest::addRow("select then drop") << "select 1; drop table Syohin"
                                          << "DROP操作は禁止です";
        QTest::addRow("delete then drop") << "delete from Syohin;\ndrop table Syohin"
                                          << "DROP操作は禁止です";
        QTest::addRow("select then delete") << "select 1;\ndelete from Syohin"
                                            << "SQL文に誤りがあります";
    }
    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        run(text);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::Error);
        QCOMPARE(said.first().text, message);
        QCOMPARE(products(), 3); // nothing ran
        QVERIFY(t->db().TableExists(QStringLiteral("Syohin")));
        QVERIFY(!t->db().TableExists(QStringLiteral("Extra")));
    }

    void dataChangesAskFirst()
    {
        Messages::queueAnswer(false);
        run(QStringLiteral("delete from Syohin where SyohinCD > 1"));
        QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().kind, Messages::Kind::ConfirmOkCancel);
        QCOMPARE(said.first().text,
                 QStringLiteral("このSQLはﾃﾞｰﾀを変更する可能性があります\r\n続行しますか？"));
        QCOMPARE(products(), 3); // Cancel: untouched

        Messages::queueAnswer(true);
        run(QStringLiteral("delete from Syohin where SyohinCD > 1;\n"
                           "update Syohin set SyohinNM = 'デスク' where SyohinCD = 1"));
        said = Messages::takeHistory();
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.last().kind, Messages::Kind::Information);
        QCOMPARE(said.last().text, QStringLiteral("3 行を変更しました")); // the rows of both statements
        QCOMPARE(products(), 1);
        QCOMPARE(t->scalar(QStringLiteral("select SyohinNM from Syohin")).toString(),
                 QStringLiteral("デスク"));
        QVERIFY(!w->Query1->Active());
    }

    // The engine's own message is shown; the query stays closed and the window open.
    void engineErrorsAreShown_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("unknown table") << "select * from NoSuchTable";
        // A select runs read-only: PostgreSQL's SELECT ... INTO would create a table.
        QTest::addRow("select into") << "select * into Extra from Syohin";
        QTest::addRow("key violation") << "insert into Syohin (SyohinCD, SyohinNM) values (1, 'x')";
    }
    void engineErrorsAreShown()
    {
        QFETCH(QString, text);
        run(QStringLiteral("select * from Syohin"));
        QVERIFY(w->Copy2CB->isEnabled());
        run(text);
        const QList<Messages::Record> said = Messages::takeHistory();
        QVERIFY(!said.isEmpty());
        QCOMPARE(said.last().kind, Messages::Kind::Error);
        QVERIFY(!said.last().text.isEmpty());
        QVERIFY(!said.last().text.contains(QStringLiteral("SQL文に誤りがあります")));
        QVERIFY(!w->Query1->Active());
        QVERIFY(!w->Copy2CB->isEnabled());
        QVERIFY(w->isVisible());
        QCOMPARE(products(), 3);
        QVERIFY(!t->db().TableExists(QStringLiteral("Extra")));

        // The connection writes again afterwards.
        Messages::queueAnswer(true);
        run(QStringLiteral("delete from Syohin where SyohinCD = 3"));
        QCOMPARE(products(), 2);
    }

    // Two columns and three rows: four lines ended by a carriage return alone, one tab between the
    // values; the current row stays where it was.
    void copiesTabSeparatedTextAndKeepsTheRow()
    {
        run(QStringLiteral("select SyohinCD, SyohinNM from Syohin order by SyohinCD"));
        w->DBGridEx1->setCurrentIndex(w->DBGridEx1->model()->index(1, 1));
        QCOMPARE(w->Query1->RecNo(), 1);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(w->Button5, Qt::LeftButton);
        // PostgreSQL folds the names of unquoted columns to lower case.
        const QString header =
            t->isPostgres() ? QStringLiteral("syohincd\tsyohinnm\n") : QStringLiteral("SyohinCD\tSyohinNM\n");
        QCOMPARE(QGuiApplication::clipboard()->text(), header + QStringLiteral("1\t机\n2\t椅子\n3\t棚\n"));
        QCOMPARE(w->Query1->RecNo(), 1);
        QCOMPARE(w->DBGridEx1->currentIndex().row(), 1);

        // The pop-up menu's item is the same action.
        QVERIFY(w->PopupMenu1->actions().contains(w->Copy2CB));
    }

    // Binary values are empty, NULLs too; line breaks in a text are dropped so that a row stays one
    // line, in the first column as in the others.
    void copiesBlobsEmptyAndTextsOnOneLine()
    {
        t->exec(QStringLiteral("create table CopyCase (Bikou text, Pic %1, Num integer, Bikou2 text)")
                    .arg(t->isPostgres() ? QStringLiteral("bytea") : QStringLiteral("blob")));
        TEngineQuery insert(&t->db());
        insert.addSql(QStringLiteral("insert into CopyCase values (:b, :p, :n, :b2)"));
        insert.ParamByName(QStringLiteral("b")).setAsString(QStringLiteral("一行目\r\n二行目"));
        insert.ParamByName(QStringLiteral("p")).setAsBlob(QByteArray("\xFF\xD8\x00\x01", 4));
        insert.ParamByName(QStringLiteral("n")).setNullInteger();
        insert.ParamByName(QStringLiteral("b2")).setAsString(QStringLiteral("a\nb"));
        insert.ExecSQL();
        run(QStringLiteral("select * from CopyCase"));
        QTest::mouseClick(w->Button5, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 1),
                 QStringLiteral("一行目二行目\t\t\tab\n"));
    }

    void savesAndLoadsStatementFiles()
    {
        // Save as UTF-8 with ".SQL" added to a name without extension.
        const QString text = QStringLiteral("select * from Syohin\nwhere SyohinNM = '机'");
        w->Memo1->setPlainText(text);
        QVERIFY(!w->saveFile(t->folder() + QStringLiteral("/sub.d/query")));
        QFile saved(t->folder() + QStringLiteral("/sub.d/query.SQL"));
        QVERIFY(!saved.exists()); // the folder does not exist: the write failed
        QCOMPARE(Messages::takeHistory().size(), 1);

        QVERIFY(w->saveFile(t->folder() + QStringLiteral("/query")));
        QFile file(t->folder() + QStringLiteral("/query.SQL"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (text + QLatin1Char('\n')).toUtf8());
        QCOMPARE(w->dialogFolder(), t->folder());

        // A file from Windows, in Shift-JIS with CRLF, replaces the text.
        QDir().mkpath(t->folder() + QStringLiteral("/win"));
        QFile sjis(t->folder() + QStringLiteral("/win/old.SQL"));
        QVERIFY(sjis.open(QIODevice::WriteOnly));
        sjis.write(QStringEncoder("windows-31j")(
            QStringLiteral("select SyohinNM\r\nfrom Syohin where SyohinNM = '椅子'\r\n")));
        sjis.close();
        QVERIFY(w->loadFile(sjis.fileName()));
        QCOMPARE(w->Memo1->toPlainText(),
                 QStringLiteral("select SyohinNM\nfrom Syohin where SyohinNM = '椅子'"));
        QCOMPARE(w->dialogFolder(), t->folder() + QStringLiteral("/win"));
        run(w->Memo1->toPlainText());
        QCOMPARE(w->DBGridEx1->model()->rowCount(), 1);

        // A file that cannot be read: the error, the memo keeps its text.
        Messages::takeHistory();
        QVERIFY(!w->loadFile(t->folder() + QStringLiteral("/missing.SQL")));
        QCOMPARE(Messages::takeHistory().size(), 1);
        QCOMPARE(w->Memo1->toPlainText(),
                 QStringLiteral("select SyohinNM\nfrom Syohin where SyohinNM = '椅子'"));
    }

    void closeActionClosesTheWindow()
    {
        QTest::mouseClick(w->Button4, Qt::LeftButton);
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestSqlWindow)
#include "tst_sqlwindow.moc"
