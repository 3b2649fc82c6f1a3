// The main window's extraction panels and its deletions of estimates, delivery notes and payments,
// driven through their buttons on both engines.
#include "app/ui/TFmain.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"
#include "TestDatabase.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

class TestListCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;
    std::unique_ptr<TFmain> w;

    // A database with the own company and two customers, and the main window open on it.
    void start(const QStringList &documents)
    {
        t = std::make_unique<TestDatabase>();
        if (!t->ok())
            return;
        t->writeConnectionSettings();
        t->exec(QStringLiteral("insert into JisyaJyoho (key, JisyaNM) values (0, '自社')"));
        t->exec(QStringLiteral("insert into Torihikisaki (key, TorihikisakiNM) values (1, '山田商店'), "
                               "(2, '鈴木工業')"));
        for (const QString &statement : documents)
            t->exec(statement);
        w = std::make_unique<TFmain>();
        w->show();
        QTRY_VERIFY(w->Qseikyu->Active());
        Messages::takeHistory();
    }

    int count(const QString &table)
    {
        return t->scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }

    static QList<int> keys(TEngineQuery &q)
    {
        QList<int> result;
        for (q.First(); !q.Eof(); q.Next())
            result << q.FieldByName(QStringLiteral("key")).AsInteger();
        return result;
    }

    static int currentKey(TEngineQuery &q) { return q.FieldByName(QStringLiteral("key")).AsInteger(); }

    void click(const char *name)
    {
        auto *b = w->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(b && b->isEnabled(), name);
        b->click();
    }

    void type(const char *name, const QString &text)
    {
        w->findChild<QLineEdit *>(QLatin1String(name))->setText(text);
    }

    static QStringList texts(const QList<Messages::Record> &records)
    {
        QStringList result;
        for (const Messages::Record &r : records)
            result << r.text;
        return result;
    }

private Q_SLOTS:
    void cleanup()
    {
        w.reset();
        t.reset();
    }

    void panels()
    {
        start({QStringLiteral("insert into Mitumori (key, Hiduke, TorihikisakiKey) values "
                              "(1, '2026-01-01', 1), (2, '2026-02-01', 2), (3, '2026-03-01', 1)"),
               QStringLiteral("insert into Seikyu (key, Simebi, TorihikisakiKey, JisyaTanto) values "
                              "(1, '2026-01-31', 1, '山田'), (2, '2026-01-31', 2, '佐藤')"),
               QStringLiteral("insert into Nohin (key, Hiduke, TorihikisakiKey, JisyaTanto) values "
                              "(1, '2026-01-05', 1, '佐藤')")});
        KADOMEL_REQUIRE_DB(*t);
        QCOMPARE(currentKey(*w->Qmitumori), 3); // at start on the last row

        // Each page's staff filter takes the text of its own page.
        type("NohinTanto", QStringLiteral("佐藤"));
        type("SeikyuTanto", QStringLiteral("山田"));
        click("SeikyuTyusyutuBTN");
        QCOMPARE(keys(*w->Qseikyu), QList<int>{1});

        // After an extraction the list shows its first row; the order radios turn it round.
        type("MituTorihikisaki", QStringLiteral("山田"));
        click("MituTyusyutuBTN");
        QCOMPARE(w->MitumoriGrid->currentIndex().row(), 0);
        QCOMPARE(currentKey(*w->Qmitumori), 1);
        click("MituLast");
        QCOMPARE(currentKey(*w->Qmitumori), 3);
        click("MituFirst");
        QCOMPARE(currentKey(*w->Qmitumori), 1);
        w->findChild<QRadioButton *>(QStringLiteral("MituHidukeDesc"))->click();
        click("MituTyusyutuBTN");
        QCOMPARE(keys(*w->Qmitumori), (QList<int>{3, 1}));

        // A days text that is no whole number: the message, and the list stays closed.
        type("MituNissu", QStringLiteral("1週間"));
        click("MituTyusyutuBTN");
        QCOMPARE(texts(Messages::takeHistory()), QStringList{QStringLiteral("'1週間' は整数ではありません")});
        QVERIFY(!w->Qmitumori->Active());
        click("MituFirst");
        QCOMPARE(texts(Messages::takeHistory()),
                 QStringList{QStringLiteral("データセットは閉じているため, この操作は実行できません")});
        type("MituNissu", QString());
        click("MituTyusyutuBTN");
        QVERIFY(w->Qmitumori->Active());
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // The filter fields stop at the byte length of the column they search (a pasted text that would
    // go beyond is not taken), and the days field at the digits of a whole number.
    void filterFieldsStopAtTheirColumns_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("characters");
        QTest::addColumn<QChar>("character");
        QTest::addRow("customer, estimates") << "MituTorihikisaki" << 30 << QChar(u'山');
        QTest::addRow("customer, payments") << "NyukinTorihikisaki" << 30 << QChar(u'山');
        QTest::addRow("staff, delivery notes") << "NohinTanto" << 10 << QChar(u'山');
        QTest::addRow("staff, invoices") << "SeikyuTanto" << 20 << QChar(u'a');
        QTest::addRow("days") << "MituNissu" << 11 << QChar(u'9');
    }
    void filterFieldsStopAtTheirColumns()
    {
        QFETCH(QString, field);
        QFETCH(int, characters);
        QFETCH(QChar, character);
        start({});
        KADOMEL_REQUIRE_DB(*t);
        auto *edit = w->findChild<QLineEdit *>(field);
        QVERIFY(edit);
        edit->insert(QString(60000, character));
        QVERIFY(edit->text().size() <= characters);
        for (int i = 0; i < characters + 5; ++i)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
        QCOMPARE(edit->text(), QString(characters, character));
    }

    void deletingTheOnlyEstimate()
    {
        start({QStringLiteral("insert into Mitumori (key, Hiduke, TorihikisakiKey, Title) values "
                              "(1, '2026-01-05', 1, '事務所改装工事')"),
               QStringLiteral(
                   "insert into MitumoriMesai (Key, Gyo, SyohinNM) values (1, 1, 'a'), (1, 2, 'b')")});
        KADOMEL_REQUIRE_DB(*t);
        const QString question = QStringLiteral("2026/01/05\n\r山田商店\n\r事務所改装工事\n\r"
                                                "の見積りを削除します。\n\rよろしいですか？");
        Messages::queueAnswer(false);
        click("MitumoriSakujyoBTN");
        QCOMPARE(texts(Messages::takeHistory()), QStringList{question});
        QCOMPARE(count(QStringLiteral("Mitumori")), 1);

        Messages::queueAnswer(true);
        click("MitumoriSakujyoBTN");
        QCOMPARE(texts(Messages::takeHistory()), QStringList{question});
        QCOMPARE(count(QStringLiteral("Mitumori")), 0);
        QCOMPARE(count(QStringLiteral("MitumoriMesai")), 0);
        QVERIFY(w->Qmitumori->Active());
        QVERIFY(w->Qmitumori->IsEmpty());
        // Nothing left to delete: no question.
        click("MitumoriSakujyoBTN");
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    // The warning comes first; No to it ends the command. The list goes on at the next row.
    void deletingAnInvoicedDeliveryNote()
    {
        start(
            {QStringLiteral("insert into Nohin (key, Hiduke, TorihikisakiKey, Kingaku, SeikyuKey) values "
                            "(1, '2026-01-05', 1, 100, 0), (2, '2026-01-06', 2, 1234567, 7), "
                            "(3, '2026-01-07', 1, 300, 0)"),
             QStringLiteral("insert into NohinMesai (Key, Gyo, SyohinNM) values (2, 1, 'a'), (3, 1, 'b')")});
        KADOMEL_REQUIRE_DB(*t);
        const QString warning = QStringLiteral("請求書発行済みですが削除してもよろしいですか？\n\r"
                                               "削除した場合は取引先マスタの前回請求額を修正してください");
        const QString question = QStringLiteral("2026/01/06\n\r鈴木工業\n\r¥1,234,567\n\r"
                                                "の納品書を削除します。\n\rよろしいですか？");
        QVERIFY(w->Qnohin->Locate(2));
        Messages::queueAnswer(false);
        click("NohinSakujyoBTN");
        QCOMPARE(texts(Messages::takeHistory()), QStringList{warning});
        QCOMPARE(count(QStringLiteral("Nohin")), 3);

        Messages::queueAnswer(true);
        Messages::queueAnswer(true);
        click("NohinSakujyoBTN");
        QCOMPARE(texts(Messages::takeHistory()), (QStringList{warning, question}));
        QCOMPARE(keys(*w->Qnohin), (QList<int>{1, 3}));
        QCOMPARE(count(QStringLiteral("NohinMesai where Key = 2")), 0);
        QCOMPARE(count(QStringLiteral("NohinMesai")), 1);

        // An unbilled note: one question.
        QVERIFY(w->Qnohin->Locate(1));
        Messages::queueAnswer(true);
        click("NohinSakujyoBTN");
        QCOMPARE(Messages::takeHistory().size(), 1);
        QCOMPARE(currentKey(*w->Qnohin), 3); // the row that took the deleted one's place
    }

    void aFailedDeletionRollsBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("lines");
        QTest::addRow("estimate") << "MitumoriSakujyoBTN"
                                  << "Mitumori"
                                  << "MitumoriMesai";
        QTest::addRow("delivery note") << "NohinSakujyoBTN"
                                       << "Nohin"
                                       << "NohinMesai";
        QTest::addRow("payment") << "NyukinSakujyoBTN"
                                 << "Nyukin" << QString();
    }

    // The header table is out of reach after the lines were deleted: nothing stays deleted.
    void aFailedDeletionRollsBack()
    {
        QFETCH(QString, button);
        QFETCH(QString, header);
        QFETCH(QString, lines);
        start({QStringLiteral(
                   "insert into Mitumori (key, Hiduke, TorihikisakiKey) values (1, '2026-01-05', 1)"),
               QStringLiteral("insert into MitumoriMesai (Key, Gyo) values (1, 1)"),
               QStringLiteral("insert into Nohin (key, Hiduke, TorihikisakiKey) values (1, '2026-01-05', 1)"),
               QStringLiteral("insert into NohinMesai (Key, Gyo) values (1, 1)"),
               QStringLiteral(
                   "insert into Nyukin (key, NyukinYMD, TorihikisakiKey) values (1, '2026-01-05', 1)")});
        KADOMEL_REQUIRE_DB(*t);
        t->exec(QStringLiteral("alter table %1 rename to Hidden%1").arg(header));
        Messages::queueAnswer(true);
        click(button.toLatin1().constData());
        const QList<Messages::Record> said = Messages::takeHistory();
        t->exec(QStringLiteral("alter table Hidden%1 rename to %1").arg(header));
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.last().kind, Messages::Kind::Error);
        QCOMPARE(said.last().text, QStringLiteral("削除に失敗しました"));
        QCOMPARE(count(header), 1);
        if (!lines.isEmpty())
            QCOMPARE(count(lines), 1);
        QVERIFY(DMdata->DataDB->InTransaction() == false);
    }

    // Another computer deleted the payment after the list was read: said so, not reported deleted.
    void aPaymentDeletedMeanwhile()
    {
        start({QStringLiteral("insert into Nyukin (key, NyukinYMD, TorihikisakiKey, Nyukingaku) values "
                              "(1, '2026-01-05', 1, 5000), (2, '2026-01-06', 2, 8000)")});
        KADOMEL_REQUIRE_DB(*t);
        QCOMPARE(currentKey(*w->Qnyukin), 2);
        {
            TEngineSession session;
            TEngineDatabase other(&session, QStringLiteral("OtherComputer"));
            t->configure(session, other);
            other.Open();
            TEngineQuery q(&other);
            q.addSql(QStringLiteral("delete from Nyukin where key = 2"));
            q.ExecSQL();
        }
        Messages::queueAnswer(true);
        click("NyukinSakujyoBTN");
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(texts(said),
                 (QStringList{QStringLiteral("2026/01/06\n\r鈴木工業\n\r¥8,000\n\r"
                                             "の入金を削除します。\n\rよろしいですか？"),
                              QStringLiteral("この入金はほかのコンピュータで削除されています。")}));
        QCOMPARE(said.last().kind, Messages::Kind::Warning);
        QCOMPARE(keys(*w->Qnyukin), QList<int>{1});
        QCOMPARE(count(QStringLiteral("Nyukin")), 1);
    }
};

QTEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
