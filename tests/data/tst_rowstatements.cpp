// INSERT and UPDATE texts built from a column list, and the schema's column lists they are built from.
#include "data/RowStatements.h"
#include "data/SqlText.h"

#include <QTest>

class TestRowStatements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each statement names every column once and binds it as the parameter of its name, in order.
    void statements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("params");
        const QStringList ab{"a", "b"};
        QTest::addRow("insert") << RowStatements::insertSql("T", ab) << "insert into T (a, b) values (:a, :b)"
                                << ab;
        QTest::addRow("insert of one column") << RowStatements::insertSql("T", {"Key"})
                                              << "insert into T (Key) values (:Key)" << QStringList{"Key"};
        QTest::addRow("update") << RowStatements::updateSql("T", ab, {"key"})
                                << "update T set a = :a, b = :b where key = :key"
                                << QStringList{"a", "b", "key"};
        QTest::addRow("update by two columns")
            << RowStatements::updateSql("Nyukin", {"Nyukingaku"}, {"Key", "SeikyuKey"})
            << "update Nyukin set Nyukingaku = :Nyukingaku where Key = :Key and SeikyuKey = :SeikyuKey"
            << QStringList{"Nyukingaku", "Key", "SeikyuKey"};
        // "left" is a reserved word on PostgreSQL: the column is quoted, its parameter is not.
        QTest::addRow("reserved column in insert")
            << RowStatements::insertSql("S", {"top", "left"})
            << "insert into S (top, \"left\") values (:top, :left)" << QStringList{"top", "left"};
        QTest::addRow("reserved column in update")
            << RowStatements::updateSql("S", {"left"}, {"key"})
            << "update S set \"left\" = :left where key = :key" << QStringList{"left", "key"};
    }
    void statements()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QFETCH(QStringList, params);
        QCOMPARE(sql, expected);
        QCOMPARE(SqlText::toPositional(sql).params, params);
    }

    void schemaColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("except");
        QTest::addColumn<QStringList>("columns");
        QTest::addRow("whole table") << "Syohin" << QStringList{}
                                     << QStringList{"SyohinCD", "SyohinNM", "Kikaku", "Tani", "Tanka"};
        QTest::addRow("table name in another case")
            << "SYOHIN" << QStringList{"syohincd"} << QStringList{"SyohinNM", "Kikaku", "Tani", "Tanka"};
        QTest::addRow("several left out, in any case")
            << "MitumoriMesai" << QStringList{"KEY", "gyo", "Kingaku"}
            << QStringList{"SyohinNM", "Kikaku", "Suryo", "Tani", "Tanka"};
        QTest::addRow("settings with the reserved column")
            << "RyosyusyouSettei" << QStringList{"key", "Height", "Width"}
            << QStringList{"SaibanHouhou", "Fuka1", "Fuka2", "Fuka3", "top", "left", "Syurui"};
        QTest::addRow("unknown table") << "Nothing" << QStringList{} << QStringList{};
    }
    void schemaColumns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, except);
        QFETCH(QStringList, columns);
        QCOMPARE(RowStatements::schemaColumns(table, except), columns);
    }
};

QTEST_GUILESS_MAIN(TestRowStatements)
#include "tst_rowstatements.moc"
