// Deleting a document while another computer saves the same one, on both engines.
#include "app/DocumentDeletion.h"
#include "data/Engine.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QTest>

class TestDocumentDeletion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The other computer saves estimate 1 anew (its lines replaced, under the table's numbering lock
    // as a save takes it) while this one deletes it: the deletion waits and then removes the lines
    // that save stored, leaving none behind without their estimate.
    void deletionWaitsForASaveOfTheSameDocument()
    {
        TestDatabase t;
        KADOMEL_REQUIRE_DB(t);
        t.exec(QStringLiteral("insert into Mitumori (key, TorihikisakiKey) values (1, 1)"));
        t.exec(QStringLiteral("insert into MitumoriMesai (Key, Gyo) values (1, 1)"));
        OtherComputer other(t);
        other.writeAndHold([](TEngineDatabase &db) {
            db.LockForNumbering(QStringLiteral("Mitumori"));
            TEngineQuery q(&db);
            q.addSql(QStringLiteral("delete from MitumoriMesai where Key = 1; "
                                    "insert into MitumoriMesai (Key, Gyo) values (1, 1), (1, 2), (1, 3); "
                                    "update Mitumori set Title = 'saved' where key = 1"));
            q.ExecSQL();
        });
        QCOMPARE(DocumentDeletion::remove(t.db(), DocumentDeletion::Kind::Estimate, 1),
                 DocumentDeletion::Outcome::Deleted);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from MitumoriMesai")).toInt(), 0);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from Mitumori")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDocumentDeletion)
#include "tst_documentdeletion.moc"
