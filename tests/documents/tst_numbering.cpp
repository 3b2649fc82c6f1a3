// Document numbering: elements, periods, running numbers and number texts of the four kinds, and two
// computers numbering at once, on both engines.
#include "data/Engine.h"
#include "documents/DocumentSettings.h"
#include "documents/Numbering.h"
#include "OtherComputer.h"
#include "TestDatabase.h"

#include <QTest>

using namespace Numbering;
Q_DECLARE_METATYPE(Numbering::Kind)

namespace {

QDate ymd(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
}

// Saves a document header as the editors do: one write transaction, the old header deleted first
// when the document is saved again, the number taken right before the insert.
Numbered save(TEngineDatabase &db, Kind kind, const SaibanSettei &settings, const QDate &date, int key = 0,
              const QString &typed = QString(), int fiscalYearStart = 4)
{
    const KindInfo &k = info(kind);
    TEngineTransaction transaction(db);
    TEngineQuery q(&db);
    if (key != 0) {
        q.addSql(QStringLiteral("delete from %1 where key = :key").arg(k.headerTable));
        q.ParamByName(QStringLiteral("key")).setAsInteger(key);
        q.ExecSQL();
    }
    const Numbered n = take(db, kind, settings, fiscalYearStart, date, key, typed);
    const bool invoice = kind == Kind::Seikyu;
    const bool payment = kind == Kind::Ryosyusyou;
    const QString dateColumn = invoice   ? QStringLiteral("Simebi")
                               : payment ? QStringLiteral("NyukinYMD")
                                         : QStringLiteral("Hiduke");
    q.clearSql();
    if (invoice) {
        q.addSql(
            QStringLiteral("insert into Seikyu (key, SeikyuNo, Seq, Simebi) values (:key, :no, :seq, :d)"));
    } else {
        const QString y = payment ? QStringLiteral("NyukinY") : QStringLiteral("HidukeY");
        const QString m = payment ? QStringLiteral("NyukinM") : QStringLiteral("HidukeM");
        q.addSql(
            QStringLiteral("insert into %1 (key, %2, Seq, %3, %4, %5) values (:key, :no, :seq, :d, :y, :m)")
                .arg(k.headerTable, k.numberColumn, dateColumn, y, m));
        q.ParamByName(QStringLiteral("y")).setAsInteger(date.year());
        q.ParamByName(QStringLiteral("m")).setAsInteger(date.month());
    }
    q.ParamByName(QStringLiteral("key")).setAsInteger(n.key);
    q.ParamByName(QStringLiteral("no")).setAsString(n.number);
    q.ParamByName(QStringLiteral("seq")).setAsInteger(n.seq);
    q.ParamByName(QStringLiteral("d")).setAsDate(date);
    q.ExecSQL();
    transaction.commit();
    return n;
}

SaibanSettei settings(const QString &method, const QString &f1 = {}, const QString &f2 = {},
                      const QString &f3 = {})
{
    return {method, f1, f2, f3};
}

} // namespace

class TestNumbering : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> t;

    void openDatabase()
    {
        t = std::make_unique<TestDatabase>();
        if (!t->ok()) {
            if (qEnvironmentVariableIsSet("KADOMEL_REQUIRE_PG"))
                QFAIL(qPrintable(t->skipReason()));
            QSKIP(qPrintable(t->skipReason()));
        }
    }

private Q_SLOTS:
    void cleanup() { t.reset(); }

    void elements_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");
        const QDate d(2006, 4, 9);
        QTest::addRow("empty") << "" << d << "";
        QTest::addRow("ymd 4") << "年月日（年４桁）" << d << "20060409";
        QTest::addRow("ymd 2") << "年月日（年２桁）" << d << "060409";
        QTest::addRow("ym 4") << "年月（年４桁）" << d << "200604";
        QTest::addRow("ym 2") << "年月（年２桁）" << d << "0604";
        QTest::addRow("y 4") << "年４桁" << d << "2006";
        QTest::addRow("y 2") << "年２桁" << d << "06";
        QTest::addRow("month") << "月" << d << "04";
        QTest::addRow("day") << "日" << d << "09";
        QTest::addRow("hyphen") << "-" << d << "-";
        QTest::addRow("free text") << "見積A-" << d << "見積A-";
        // Captions are matched exactly: half-width digits make it free text.
        QTest::addRow("half-width caption") << "年4桁" << d << "年4桁";
        QTest::addRow("caption with a blank") << "月 " << d << "月 ";
        // A date field that held no date numbers with the zero date.
        QTest::addRow("zero date") << "年月日（年２桁）" << kZeroDate << "991230";
        QTest::addRow("year 2000") << "年２桁" << QDate(2000, 1, 5) << "00";
    }
    void elements()
    {
        QFETCH(QString, element);
        QFETCH(QDate, date);
        QTEST(elementText(element, date), "expected");
    }

    void fiscalYears_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("startMonth");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addRow("march, start april")
            << ymd("2006/03/31") << 4 << ymd("2005/04/01") << ymd("2006/03/31");
        QTest::addRow("april, start april")
            << ymd("2006/04/01") << 4 << ymd("2006/04/01") << ymd("2007/03/31");
        QTest::addRow("start january") << ymd("2006/12/31") << 1 << ymd("2006/01/01") << ymd("2006/12/31");
        QTest::addRow("start december") << ymd("2006/11/30") << 12 << ymd("2005/12/01") << ymd("2006/11/30");
        // Ends on the last day of February, a leap year's included.
        QTest::addRow("start march, leap year")
            << ymd("2008/03/01") << 3 << ymd("2008/03/01") << ymd("2009/02/28");
        QTest::addRow("start march, before")
            << ymd("2008/02/29") << 3 << ymd("2007/03/01") << ymd("2008/02/29");
        // A month outside 1 to 12 (only an old database can hold one) counts as April.
        QTest::addRow("month 0") << ymd("2006/03/31") << 0 << ymd("2005/04/01") << ymd("2006/03/31");
        QTest::addRow("month 13") << ymd("2006/04/01") << 13 << ymd("2006/04/01") << ymd("2007/03/31");
    }
    void fiscalYears()
    {
        QFETCH(QDate, date);
        QFETCH(int, startMonth);
        const Period p = fiscalYear(date, startMonth);
        QTEST(p.FromYMD, "from");
        QTEST(p.ToYMD, "to");
    }

    void numberTexts_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<int>("seq");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected"); // "<none>": the number field's text is used
        const Kind est = Kind::Mitumori;
        QTest::addRow("year, hyphen")
            << est << kTukiRenban << QStringList{"年４桁", "-", ""} << 7 << 3 << "2006-7";
        QTest::addRow("ymd 2 digits")
            << est << kNenRenban << QStringList{"年月日（年２桁）", "", ""} << 7 << 3 << "0604097";
        QTest::addRow("ym, hyphen, day")
            << est << kNitiRenban << QStringList{"年月（年４桁）", "-", "日"} << 7 << 3 << "200604-097";
        QTest::addRow("plain sequence is the key")
            << est << kRenban << QStringList{"年４桁", "-", "日"} << 7 << 152 << "152";
        QTest::addRow("no leading zeros, 9")
            << est << kTukiRenban << QStringList{"-", "", ""} << 9 << 1 << "-9";
        QTest::addRow("no leading zeros, 10")
            << est << kTukiRenban << QStringList{"-", "", ""} << 10 << 1 << "-10";
        QTest::addRow("unknown method composes")
            << est << "月別" << QStringList{"月", "", ""} << 5 << 1 << "045";
        QTest::addRow("manual estimate")
            << est << kTenyuryoku << QStringList{"年４桁", "", ""} << 5 << 1 << "<none>";
        QTest::addRow("manual delivery note")
            << Kind::Nohin << kTenyuryoku << QStringList{} << 5 << 1 << "<none>";
        QTest::addRow("manual receipt")
            << Kind::Ryosyusyou << kTenyuryoku << QStringList{} << 5 << 1 << "<none>";
        // Invoices have no number field: they compose under manual entry too.
        QTest::addRow("manual invoice") << Kind::Seikyu << kTenyuryoku << QStringList{} << 3 << 9 << "3";
        QTest::addRow("manual invoice, elements")
            << Kind::Seikyu << kTenyuryoku << QStringList{"年２桁", "", ""} << 3 << 9 << "063";
    }
    void numberTexts()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, method);
        QFETCH(QStringList, elements);
        QFETCH(int, seq);
        QFETCH(int, key);
        elements.resize(3);
        const std::optional<QString> no = SaibanNo(
            kind, settings(method, elements[0], elements[1], elements[2]), QDate(2006, 4, 9), seq, key);
        QTEST(no.value_or(QStringLiteral("<none>")), "expected");
    }

    void previews_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QString>("expected");
        QTest::addRow("month sequence")
            << kTukiRenban << QStringList{"年月（年４桁）", "-", ""} << "表示例：200604-1234";
        QTest::addRow("manual shows nothing")
            << kTenyuryoku << QStringList{"年月（年４桁）", "-", ""} << "表示例：";
        QTest::addRow("plain sequence, no elements") << kRenban << QStringList{"", "", ""} << "表示例：1234";
        // The example shows the elements under plain sequence too, although that number is the key.
        QTest::addRow("plain sequence, elements")
            << kRenban << QStringList{"年２桁", "", "月"} << "表示例：06041234";
        QTest::addRow("free text") << kNitiRenban << QStringList{"", "No.", ""} << "表示例：No.1234";
    }
    void previews()
    {
        QFETCH(QString, method);
        QFETCH(QStringList, elements);
        QTEST(preview(method, elements, QDate(2006, 4, 9)), "expected");
    }

    void previewWarnsOfLongNumbers()
    {
        const QDate d(2006, 4, 9);
        const QStringList sixteen{"年月日（年４桁）", "あいうえ", ""};    // 8 + 8 bytes
        const QStringList seventeen{"年月日（年４桁）", "あいうえ", "-"}; // 8 + 8 + 1
        QVERIFY(!previewMayBeTooLong(Kind::Mitumori, kTukiRenban, sixteen, d));
        QVERIFY(previewMayBeTooLong(Kind::Mitumori, kTukiRenban, seventeen, d));
        QVERIFY(!previewMayBeTooLong(Kind::Mitumori, kRenban, seventeen, d));
        QVERIFY(!previewMayBeTooLong(Kind::Mitumori, kTenyuryoku, seventeen, d));
        QVERIFY(previewMayBeTooLong(Kind::Seikyu, kTenyuryoku, seventeen, d));
    }

    // Running numbers over the stored documents: each date of "stored" is saved first under the same
    // method, then the new date is numbered.
    void runningNumbers_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("startMonth");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("expected");
        const Kind est = Kind::Mitumori;
        for (const QString &method : methods())
            QTest::addRow("first estimate, %s", qPrintable(method))
                << est << method << 4 << QStringList{} << "2006/04/09" << 1;
        for (Kind kind : {Kind::Nohin, Kind::Seikyu, Kind::Ryosyusyou})
            QTest::addRow("first of kind %d", int(kind))
                << kind << kTukiRenban << 4 << QStringList{} << "2006/04/09" << 1;
        const QStringList aroundApril{"2005/04/01", "2005/10/10", "2006/03/31"};
        QTest::addRow("fiscal year, last day") << est << kNenRenban << 4 << aroundApril << "2006/03/31" << 4;
        QTest::addRow("fiscal year, new one") << est << kNenRenban << 4 << aroundApril << "2006/04/01" << 1;
        QTest::addRow("fiscal year from january")
            << est << kNenRenban << 1 << QStringList{"2005/12/31", "2006/01/01"} << "2006/12/31" << 2;
        QTest::addRow("new month") << est << kTukiRenban << 4 << QStringList{"2006/04/09", "2006/04/30"}
                                   << "2006/05/01" << 1;
        QTest::addRow("earlier month continues")
            << est << kTukiRenban << 4 << QStringList{"2006/04/09", "2006/05/01", "2006/05/02"}
            << "2006/04/20" << 2;
        QTest::addRow("same month, other year")
            << est << kTukiRenban << 4 << QStringList{"2005/04/09"} << "2006/04/09" << 1;
        QTest::addRow("day") << Kind::Nohin << kNitiRenban << 4
                             << QStringList{"2006/04/09", "2006/04/10", "2006/04/09"} << "2006/04/09" << 3;
        QTest::addRow("manual counts the table")
            << est << kTenyuryoku << 4 << QStringList{"2001/01/01", "2006/04/09"} << "1999/01/01" << 3;
        QTest::addRow("plain counts the table")
            << Kind::Ryosyusyou << kRenban << 4 << QStringList{"2001/01/01", "2006/04/09"} << "1999/01/01"
            << 3;
        QTest::addRow("unknown method counts the table")
            << est << "月別" << 4 << QStringList{"2001/01/01", "2006/04/09"} << "1999/01/01" << 3;
        QTest::addRow("receipt month")
            << Kind::Ryosyusyou << kTukiRenban << 4 << QStringList{"2006/04/01", "2006/03/31", "2006/04/30"}
            << "2006/04/15" << 3;
        QTest::addRow("receipt fiscal year") << Kind::Ryosyusyou << kNenRenban << 4
                                             << QStringList{"2006/04/01", "2006/03/31"} << "2007/03/31" << 2;
        // Invoices count on their closing date.
        QTest::addRow("invoice month")
            << Kind::Seikyu << kTukiRenban << 4
            << QStringList{"2006/04/30", "2006/05/31", "2006/04/01", "2006/03/31"} << "2006/04/15" << 3;
        QTest::addRow("invoice fiscal year")
            << Kind::Seikyu << kNenRenban << 4 << QStringList{"2006/03/31", "2006/04/30", "2007/03/31"}
            << "2006/05/31" << 3;
        QTest::addRow("invoice day") << Kind::Seikyu << kNitiRenban << 4
                                     << QStringList{"2006/04/30", "2006/04/29", "2006/04/30"} << "2006/04/30"
                                     << 3;
        QTest::addRow("zero date") << est << kNitiRenban << 4 << QStringList{"1899/12/30", "2006/04/09"}
                                   << "1899/12/30" << 2;
    }
    void runningNumbers()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, method);
        QFETCH(int, startMonth);
        QFETCH(QStringList, stored);
        QFETCH(QString, date);
        openDatabase();
        const SaibanSettei s = settings(method, QStringLiteral("-"));
        for (const QString &d : stored)
            save(t->db(), kind, s, ymd(d), 0, QStringLiteral("typed"), startMonth);
        const Numbered n = save(t->db(), kind, s, ymd(date), 0, QStringLiteral("typed"), startMonth);
        QTEST(n.seq, "expected");
        QCOMPARE(n.key, int(stored.size()) + 1);
    }

    void settingsAndFiscalStartAreRead()
    {
        openDatabase();
        TEngineDatabase &db = t->db();
        QCOMPARE(readSettings(db, Kind::Nohin).SaibanHouhou, kTenyuryoku); // no row
        QCOMPARE(readSettings(db, Kind::Nohin).elements(), QStringList(3));
        QCOMPARE(readFiscalYearStart(db), 4);
        t->exec(QStringLiteral("insert into NohinSettei (key, SaibanHouhou, Fuka1, Fuka3) "
                               "values (0, '月連番', '年２桁', 'X')"));
        t->exec(QStringLiteral("insert into JisyaJyoho (key, NendoKaisiMM) values (0, 1)"));
        const SaibanSettei s = readSettings(db, Kind::Nohin);
        QCOMPARE(s.SaibanHouhou, kTukiRenban);
        QCOMPARE(s.elements(), (QStringList{"年２桁", "", "X"}));
        QCOMPARE(readFiscalYearStart(db), 1);
        t->exec(QStringLiteral("update JisyaJyoho set NendoKaisiMM = null"));
        QCOMPARE(readFiscalYearStart(db), 4);
    }

    // A kind whose settings dialog was never opened numbers as the row that dialog inserts: receipts
    // by their key, the other kinds by hand (invoices compose 1, 2, 3).
    void missingRowNumbersAsTheDialogsRow_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("number");
        QTest::addRow("estimate") << Kind::Mitumori << kTenyuryoku << "typed";
        QTest::addRow("delivery note") << Kind::Nohin << kTenyuryoku << "typed";
        QTest::addRow("invoice") << Kind::Seikyu << kTenyuryoku << "1";
        QTest::addRow("receipt") << Kind::Ryosyusyou << kRenban << "1";
    }
    void missingRowNumbersAsTheDialogsRow()
    {
        QFETCH(Kind, kind);
        openDatabase();
        TEngineDatabase &db = t->db();
        const SaibanSettei missing = readSettings(db, kind);
        QTEST(missing.SaibanHouhou, "method");
        QCOMPARE(missing.elements(), QStringList(3));
        QTEST(save(db, kind, missing, QDate(2006, 4, 9), 0, QStringLiteral("typed")).number, "number");

        DocumentSettings::loadOrCreate(db, kind, DocumentSettings::defaultRemarks(kind));
        const SaibanSettei inserted = readSettings(db, kind);
        QCOMPARE(inserted.SaibanHouhou, missing.SaibanHouhou);
        QCOMPARE(inserted.elements(), missing.elements());
    }

    // Two computers taking receipt numbers at once while no settings row exists: each numbers by the
    // default row, and the second waits for the first's key.
    void twoComputersNumberWithoutASettingsRow()
    {
        openDatabase();
        const QDate april(2006, 4, 9);
        Numbered theirs;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &db) {
            theirs = save(db, Kind::Ryosyusyou, readSettings(db, Kind::Ryosyusyou), april);
        });
        const Numbered mine = save(t->db(), Kind::Ryosyusyou, readSettings(t->db(), Kind::Ryosyusyou), april);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(theirs.number, QStringLiteral("1"));
        QCOMPARE(mine.number, QStringLiteral("2"));
        QCOMPARE(t->scalar(QStringLiteral("select count(distinct RyosyuNo) from Nyukin")).toInt(), 2);
    }

    void numbersKeepTheirKindsRules()
    {
        openDatabase();
        TEngineDatabase &db = t->db();
        const SaibanSettei month =
            settings(kTukiRenban, QStringLiteral("年月（年４桁）"), QStringLiteral("-"));
        const QDate april(2006, 4, 9), may(2006, 5, 1);

        // An estimate saved again keeps its number; its running number is counted anew without itself.
        QCOMPARE(save(db, Kind::Mitumori, month, april).number, QStringLiteral("200604-1"));
        QCOMPARE(save(db, Kind::Mitumori, month, april).number, QStringLiteral("200604-2"));
        Numbered again = save(db, Kind::Mitumori, month, april, 2, QStringLiteral("200604-2"));
        QCOMPARE(again.seq, 2); // the latest of its month keeps its running number
        again = save(db, Kind::Mitumori, month, may, 1, QStringLiteral("200604-1"));
        QCOMPARE(again.number, QStringLiteral("200604-1"));
        QCOMPARE(again.seq, 1); // the first of May

        // A delivery note saved again is numbered anew from its current date.
        QCOMPARE(save(db, Kind::Nohin, month, april).number, QStringLiteral("200604-1"));
        QCOMPARE(save(db, Kind::Nohin, month, april).number, QStringLiteral("200604-2"));
        again = save(db, Kind::Nohin, month, april, 1, QStringLiteral("200604-1"));
        QCOMPARE(again.number, QStringLiteral("200604-3")); // the older one takes the next number
        QCOMPARE(save(db, Kind::Nohin, month, may, 2, QStringLiteral("200604-2")).number,
                 QStringLiteral("200605-1"));

        // Plain sequence: the bare key, kept by a document saved again.
        const SaibanSettei plain = settings(kRenban, QStringLiteral("年４桁"));
        QCOMPARE(save(db, Kind::Ryosyusyou, plain, april).number, QStringLiteral("1"));
        QCOMPARE(save(db, Kind::Ryosyusyou, plain, april).number, QStringLiteral("2"));
        QCOMPARE(save(db, Kind::Nohin, plain, may, 1).number, QStringLiteral("1"));

        // Manual entry: the typed text, empty included.
        QCOMPARE(save(db, Kind::Mitumori, settings(kTenyuryoku, QStringLiteral("年４桁")), april, 0,
                      QStringLiteral("A-01"))
                     .number,
                 QStringLiteral("A-01"));
        QCOMPARE(save(db, Kind::Ryosyusyou, settings(kTenyuryoku), april).number, QString());
        // With the default settings invoices are numbered 1, 2, 3.
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(save(db, Kind::Seikyu, SaibanSettei{}, QDate(2006, 4, 30 - i)).number,
                     QString::number(i));
    }

    void tooLongNumbersAreRefused_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::addRow("19 + 1 bytes fit") << kTukiRenban << "ABCDEFGHIJKLMNOPQRS"
                                          << "" << false;
        QTest::addRow("20 + 1 bytes") << kTukiRenban << "ABCDEFGHIJKLMNOPQRST"
                                      << "" << true;
        QTest::addRow("kanji, 20 + 1 bytes") << kNenRenban << "見積書番号ですよねえ"
                                             << "" << true;
        QTest::addRow("typed 21 bytes") << kTenyuryoku << ""
                                        << "ABCDEFGHIJKLMNOPQRSTU" << true;
        QTest::addRow("typed 20 bytes") << kTenyuryoku << ""
                                        << "見積書番号ですよねえ" << false;
    }
    void tooLongNumbersAreRefused()
    {
        QFETCH(QString, method);
        QFETCH(QString, element);
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        openDatabase();
        const SaibanSettei s = settings(method, element);
        if (!refused) {
            QCOMPARE(save(t->db(), Kind::Mitumori, s, QDate(2006, 4, 9), 0, typed).seq, 1);
            return;
        }
        try {
            save(t->db(), Kind::Mitumori, s, QDate(2006, 4, 9), 0, typed);
            QFAIL("the number was taken");
        } catch (const AppError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("見積№「")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("20バイト")), qPrintable(e.message()));
        }
        QVERIFY(!t->db().InTransaction());
        QCOMPARE(t->scalar(QStringLiteral("select count(*) from Mitumori")).toInt(), 0);
    }

    // Outside a write transaction there is nothing that keeps a second computer from the same number.
    void takingNeedsATransaction()
    {
        openDatabase();
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 take(t->db(), Kind::Nohin, SaibanSettei{}, 4, QDate(2006, 4, 9)));
    }

    // Two computers numbering delivery notes of one month at once: the second waits for the first's
    // save and draws the next number and key.
    void twoComputersDrawDifferentNumbers()
    {
        openDatabase();
        const SaibanSettei month =
            settings(kTukiRenban, QStringLiteral("年月（年２桁）"), QStringLiteral("-"));
        const QDate april(2006, 4, 9);
        save(t->db(), Kind::Nohin, month, QDate(2006, 3, 31)); // another month
        Numbered theirs;
        OtherComputer other(*t);
        other.writeAndHold([&](TEngineDatabase &db) {
            // Inside the other computer's transaction: joins it.
            theirs = save(db, Kind::Nohin, month, april);
        });
        const Numbered mine = save(t->db(), Kind::Nohin, month, april);
        QCOMPARE(other.finish(), QString());
        QCOMPARE(theirs.number, QStringLiteral("0604-1"));
        QCOMPARE(mine.number, QStringLiteral("0604-2"));
        QCOMPARE(theirs.key, 2);
        QCOMPARE(mine.key, 3);
        QCOMPARE(t->scalar(QStringLiteral("select count(distinct NohinNo) from Nohin")).toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TestNumbering)
#include "tst_numbering.moc"
