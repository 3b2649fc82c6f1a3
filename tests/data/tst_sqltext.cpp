// Reading statement texts: splitting at ";", named parameters, the ORDER BY a list is read page by
// page by, and the order added to grouped statements.
#include "data/SqlText.h"

#include <QTest>

class TestSqlText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitStatements_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("statements");
        QTest::addRow("two") << "create table a (x int); create index i on a (x);"
                             << QStringList{"create table a (x int)", "create index i on a (x)"};
        QTest::addRow("semicolon in a text") << "insert into a values ('x;y'); select 1"
                                             << QStringList{"insert into a values ('x;y')", "select 1"};
        QTest::addRow("doubled quote")
            << "select 'it''s; fine' from a" << QStringList{"select 'it''s; fine' from a"};
        QTest::addRow("quoted name") << "select \"a;b\" from t; select 2"
                                     << QStringList{"select \"a;b\" from t", "select 2"};
        QTest::addRow("line comment")
            << "select 1 -- a; b\n; select 2" << QStringList{"select 1 -- a; b", "select 2"};
        QTest::addRow("block comment") << "select /* ; */ 1;;" << QStringList{"select /* ; */ 1"};
        QTest::addRow("only separators") << " ; ; " << QStringList{};
    }
    void splitStatements()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, statements);
        QCOMPARE(SqlText::splitStatements(text), statements);
    }

    void parameters_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("params");
        QTest::addRow("names as written")
            << "select * from a where key = :Key and x >= :d1_2"
            << "select * from a where key = ? and x >= ?" << QStringList{"Key", "d1_2"};
        QTest::addRow("repeated") << "where a = :p or b = :P"
                                  << "where a = ? or b = ?" << QStringList{"p", "P"};
        QTest::addRow("cast is no parameter") << "select x::text, :v::int"
                                              << "select x::text, ?::int" << QStringList{"v"};
        QTest::addRow("inside quotes") << "select ':no', \":no\" -- :no\n, :yes"
                                       << "select ':no', \":no\" -- :no\n, ?" << QStringList{"yes"};
        QTest::addRow("colon before digit") << "select '12:30', 1 :2"
                                            << "select '12:30', 1 :2" << QStringList{};
        QTest::addRow("japanese name") << "values (:金額)"
                                       << "values (?)" << QStringList{"金額"};
    }
    void parameters()
    {
        QFETCH(QString, statement);
        QFETCH(QString, sql);
        QFETCH(QStringList, params);
        const SqlText::Positional p = SqlText::toPositional(statement);
        QCOMPARE(p.sql, sql);
        QCOMPARE(p.params, params);
    }

    void pageableSelect_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("order"); // column:a|d, ...; empty when not pageable
        QTest::addRow("estimate list")
            << "select m.key, m.Hiduke from mitumori m, Torihikisaki T\nwhere m.TorihikisakiKey = t.Key\n"
               "order by m.Hiduke, m.key ASC"
            << "select m.key, m.Hiduke from mitumori m, Torihikisaki T\nwhere m.TorihikisakiKey = t.Key"
            << "Hiduke:a,key:a";
        QTest::addRow("descending") << "SELECT * FROM Syohin Order By SyohinNM desc, SyohinCD"
                                    << "SELECT * FROM Syohin"
                                    << "SyohinNM:d,SyohinCD:a";
        QTest::addRow("order in a subquery only") << "select * from (select * from a order by x) q"
                                                  << ""
                                                  << "";
        QTest::addRow("expression") << "select * from a order by lower(x)"
                                    << ""
                                    << "";
        QTest::addRow("position") << "select * from a order by 1"
                                  << ""
                                  << "";
        QTest::addRow("grouped") << "select x, count(*) from a group by x order by x"
                                 << ""
                                 << "";
        QTest::addRow("limited") << "select * from a order by x limit 5"
                                 << ""
                                 << "";
        QTest::addRow("distinct") << "select distinct x from a order by x"
                                  << ""
                                  << "";
        QTest::addRow("union") << "select x from a union select x from b order by x"
                               << ""
                               << "";
        QTest::addRow("no order") << "select * from a"
                                  << ""
                                  << "";
        QTest::addRow("not a select") << "delete from a where x in (select x from b order by x)"
                                      << ""
                                      << "";
    }
    void pageableSelect()
    {
        QFETCH(QString, statement);
        QFETCH(QString, body);
        QFETCH(QString, order);
        const std::optional<SqlText::PageableSelect> p = SqlText::pageableSelect(statement);
        QCOMPARE(p.has_value(), !order.isEmpty());
        if (!p)
            return;
        QCOMPARE(p->body, body);
        QStringList items;
        for (const SqlText::OrderItem &item : p->order)
            items << item.column + (item.descending ? QStringLiteral(":d") : QStringLiteral(":a"));
        QCOMPARE(items.join(QLatin1Char(',')), order);
    }

    void groupOrder_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::addRow("grouped")
            << "select HidukeY, count(*) from Mitumori Group By HidukeY;"
            << "select HidukeY, count(*) from Mitumori Group By HidukeY order by HidukeY";
        QTest::addRow("having") << "select x from a group by x having count(*) > 1"
                                << "select x from a group by x having count(*) > 1 order by x";
        QTest::addRow("ordered already") << "select x from a group by x order by x desc"
                                         << "select x from a group by x order by x desc";
        QTest::addRow("group in a subquery") << "select * from (select x from a group by x) q"
                                             << "select * from (select x from a group by x) q";
        QTest::addRow("not grouped") << "select * from a"
                                     << "select * from a";
    }
    void groupOrder()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(SqlText::withGroupOrder(statement), expected);
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
