// The data grid over an engine query and the flat caption button.
#include "controls/EngineQueryModel.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

class TestDataGrid : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;

private Q_SLOTS:
    void initTestCase()
    {
        t = std::make_unique<TestDatabase>();
        KADOMEL_REQUIRE_DB(*t);
        TEngineTransaction tr(t->db());
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("insert into Syohin (SyohinCD, SyohinNM, Tanka) values (:cd, :nm, :tanka)"));
        for (int i = 1; i <= 5000; ++i) {
            q.ParamByName(QStringLiteral("cd")).setAsInteger(i);
            q.ParamByName(QStringLiteral("nm")).setAsString(QStringLiteral("品%1").arg(i));
            q.ParamByName(QStringLiteral("tanka")).setAsFloat(i * 1000.5);
            q.ExecSQL();
        }
        tr.commit();
    }

    void rowsAreReadAsTheGridNeedsThemAndFollowTheQuery()
    {
        TEngineQuery q(&t->db());
        q.addSql(QStringLiteral("select SyohinCD, SyohinNM, Tanka from Syohin order by SyohinCD"));
        q.setPaged(true);
        q.FieldDefs() = {{QStringLiteral("SyohinNM"), QStringLiteral("品名"), {}, 120, true},
                         {QStringLiteral("Tanka"), QStringLiteral("単価"), QStringLiteral("#,#0"), -1, true},
                         {QStringLiteral("SyohinCD"), {}, {}, -1, false}};
        TDBGridEx grid;
        grid.setQuery(&q);
        grid.resize(400, 300);
        grid.show();
        q.Open();
        QVERIFY(grid.model()->rowCount() < 5000); // not every row at once
        QCOMPARE(grid.model()->columnCount(), 2);
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("単価"));
        QCOMPARE(grid.columnWidth(0), 120);
        QCOMPARE(grid.model()->data(grid.model()->index(0, 1)).toString(), QStringLiteral("1,001"));

        q.Last();
        const int held = grid.model()->rowCount();
        QVERIFY(held < 5000); // the rows around the last one, not the whole table
        QCOMPARE(grid.currentIndex().row(), held - 1);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 5000);

        // One notch of the wheel: one record.
        QWheelEvent up(QPointF(10, 10), grid.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &up);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 4999);
        QCOMPARE(grid.currentIndex().row(), held - 2);
        QWheelEvent down(QPointF(10, 10), grid.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &down);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 5000);

        // Up from the first row held reads the rows above it; the current row stays the same one.
        grid.setCurrentIndex(grid.model()->index(0, 0));
        const int top = q.FieldByName(QStringLiteral("SyohinCD")).AsInteger();
        QTest::keyClick(grid.viewport(), Qt::Key_Up);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), top - 1);
        QVERIFY(grid.model()->rowCount() > held);
        QTest::keyClick(grid.viewport(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(q.FieldByName(QStringLiteral("SyohinCD")).AsInteger(), 1);
        QCOMPARE(grid.currentIndex().row(), 0);
        q.Close();
        QCOMPARE(grid.model()->rowCount(), 0);
    }

    void flatButtonFaceFollowsThePointer()
    {
        TFlatButton b(QStringLiteral("削　除"));
        b.setHoverColor(Qt::red);
        const QColor face = b.faceColor();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&b, &enter);
        QCOMPARE(b.faceColor(), QColor(Qt::red));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&b, &leave);
        QCOMPARE(b.faceColor(), face);
    }
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
