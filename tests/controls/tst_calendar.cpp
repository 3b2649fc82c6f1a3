// The calendar picker and the date field, driven as a user would; the era year line.
#include "common/Clock.h"
#include "common/Wareki.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFcalendar.h"
#include "controls/TForm1.h"
#include "data/Engine.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A window holding one date field and one more field to leave it for.
class DateWindow : public TForm1
{
public:
    TDateEdit *field = new TDateEdit(QStringLiteral("MitumoriYMD"), this);
    QLineEdit *next = new QLineEdit(this);

    DateWindow() : TForm1(QStringLiteral("Fdatetest"))
    {
        bodyLayout()->addWidget(field);
        bodyLayout()->addWidget(next);
    }
};

// Runs the action on the calendar window as soon as it is shown modally.
void onCalendar(const std::function<void(TFcalendar *)> &action)
{
    QTimer::singleShot(0, [action] {
        QTRY_VERIFY(qobject_cast<TFcalendar *>(QApplication::activeModalWidget()));
        action(qobject_cast<TFcalendar *>(QApplication::activeModalWidget()));
    });
}

} // namespace

class TestCalendar : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    std::unique_ptr<TFcalendar> calendar;

    TFcalendar *openOn(const QDate &date)
    {
        calendar = std::make_unique<TFcalendar>();
        calendar->setDate(date);
        calendar->show();
        return calendar.get();
    }
    template<class T> T *child(const char *name) { return calendar->findChild<T *>(QLatin1String(name)); }
    QString line(const char *name) { return child<QLineEdit>(name)->text(); }
    int sunkenMonth()
    {
        int sunken = 0;
        for (int month = 1; month <= 12; ++month) {
            if (child<QPushButton>(qPrintable(QStringLiteral("Panel%1").arg(month)))->isChecked()) {
                if (sunken)
                    return -1; // two sunken buttons
                sunken = month;
            }
        }
        return sunken;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("KADOMEL_HOME", home.path().toUtf8());
        Messages::setTestMode(true);
        Clock::setFixed(QDateTime(QDate(2024, 3, 31), QTime(10, 0)));
    }
    void cleanup()
    {
        calendar.reset();
        Messages::takeHistory();
    }

    void eraYear_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::addRow("Heisei 10") << QDate(1998, 7, 1) << "平成10年（1998）";
        QTest::addRow("last day of Showa") << QDate(1989, 1, 7) << "昭和64年（1989）";
        QTest::addRow("first day of Heisei") << QDate(1989, 1, 8) << "平成01年（1989）";
        QTest::addRow("last day of Heisei") << QDate(2019, 4, 30) << "平成31年（2019）";
        QTest::addRow("first day of Reiwa") << QDate(2019, 5, 1) << "令和01年（2019）";
        QTest::addRow("Reiwa 8") << QDate(2026, 1, 5) << "令和08年（2026）";
    }
    void eraYear()
    {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(WarekiYearText(date), text);
    }

    void zeroDateShowsToday()
    {
        openOn(kZeroDate);
        QCOMPARE(child<QCalendarWidget>("Calendar1")->selectedDate(), QDate(2024, 3, 31));
        QCOMPARE(calendar->date(), QDate(2024, 3, 31));
        QCOMPARE(sunkenMonth(), 3);
        QCOMPARE(line("Tuki"), QStringLiteral("3月"));
        QCOMPARE(line("wareki"), QStringLiteral("令和06年（2024）"));
        QCOMPARE(calendar->windowTitle(), QStringLiteral("カレンダー"));
    }

    void weekStartsOnSunday()
    {
        openOn(QDate(2024, 3, 1));
        const QAbstractItemModel *model =
            child<QCalendarWidget>("Calendar1")->findChild<QTableView *>()->model();
        QStringList names;
        for (int column = 0; column < 7; ++column)
            names << model->data(model->index(0, column)).toString();
        QCOMPARE(names, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
    }

    void steps_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QDate>("expected");
        QTest::addRow("previous month, leap year")
            << QDate(2024, 3, 31) << "TukiDownBTN" << QDate(2024, 2, 29);
        QTest::addRow("previous month, common year")
            << QDate(2023, 3, 31) << "TukiDownBTN" << QDate(2023, 2, 28);
        QTest::addRow("next month from 31 January")
            << QDate(2024, 1, 31) << "TukiUpBTN" << QDate(2024, 2, 29);
        QTest::addRow("next month over the year") << QDate(2023, 12, 15) << "TukiUpBTN" << QDate(2024, 1, 15);
        QTest::addRow("previous year from 29 February")
            << QDate(2024, 2, 29) << "NenDownBTN" << QDate(2023, 2, 28);
        QTest::addRow("next year") << QDate(2024, 5, 31) << "NenUpBTN" << QDate(2025, 5, 31);
        QTest::addRow("month button to a shorter month")
            << QDate(2024, 5, 31) << "Panel6" << QDate(2024, 6, 30);
        QTest::addRow("month button back") << QDate(2024, 5, 15) << "Panel1" << QDate(2024, 1, 15);
        QTest::addRow("month button of the shown month")
            << QDate(2024, 5, 15) << "Panel5" << QDate(2024, 5, 15);
    }
    void steps()
    {
        QFETCH(QDate, start);
        QFETCH(QString, button);
        QFETCH(QDate, expected);
        openOn(start);
        QTest::mouseClick(calendar->findChild<QAbstractButton *>(button), Qt::LeftButton);
        QCOMPARE(calendar->date(), expected);
        QCOMPARE(child<QCalendarWidget>("Calendar1")->selectedDate(), expected);
        QCOMPARE(sunkenMonth(), expected.month());
        QCOMPARE(line("Tuki"), QStringLiteral("%1月").arg(expected.month()));
    }

    void arrowKeysFollowTheLines()
    {
        openOn(QDate(1989, 1, 7));
        QCOMPARE(line("wareki"), QStringLiteral("昭和64年（1989）"));
        QTest::keyClick(child<QCalendarWidget>("Calendar1")->findChild<QTableView *>(), Qt::Key_Right);
        QCOMPARE(calendar->date(), QDate(1989, 1, 8));
        QCOMPARE(line("wareki"), QStringLiteral("平成01年（1989）"));
        openOn(QDate(2024, 4, 30));
        QTest::keyClick(child<QCalendarWidget>("Calendar1")->findChild<QTableView *>(), Qt::Key_Right);
        QCOMPARE(calendar->date(), QDate(2024, 5, 1));
        QCOMPARE(sunkenMonth(), 5);
    }

    void enterIsOkEscapeIsCancel()
    {
        openOn(QDate(2024, 4, 30));
        QTest::keyClick(child<QCalendarWidget>("Calendar1")->findChild<QTableView *>(), Qt::Key_Return);
        QCOMPARE(calendar->result(), int(QDialog::Accepted));
        openOn(QDate(2024, 4, 30));
        QTest::keyClick(child<QCalendarWidget>("Calendar1")->findChild<QTableView *>(), Qt::Key_Escape);
        QCOMPARE(calendar->result(), int(QDialog::Rejected));
        QVERIFY(!calendar->isVisible());
    }

    void dateFieldKeyFilter()
    {
        DateWindow w;
        w.show();
        w.field->edit()->setFocus();
        QTest::keyClicks(w.field->edit(), QStringLiteral("h2a2-12.2x5"));
        QCOMPARE(w.field->text(), QStringLiteral("h221225"));
        // A key press of several characters is let through only when every one of them is.
        QTest::sendKeyEvent(QTest::Click, w.field->edit(), Qt::Key_unknown, QStringLiteral("1x"),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, w.field->edit(), Qt::Key_unknown,
                            QString::fromUtf8("\xF0\x9F\x98\x80"), Qt::NoModifier);
        QCOMPARE(w.field->text(), QStringLiteral("h221225"));
        QVERIFY(!w.field->edit()->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void dateFieldNormalisesOnLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addRow("month and day") << "1225"
                                       << "2024/12/25";
        QTest::addRow("Reiwa") << "R060229"
                               << "2024/02/29";
        QTest::addRow("empty stays empty") << ""
                                           << "";
    }
    void dateFieldNormalisesOnLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        DateWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.field->edit()->setFocus();
        QTest::keyClicks(w.field->edit(), typed);
        QTest::keyClick(w.field->edit(), Qt::Key_Return); // the base window moves on to the next field
        QCOMPARE(w.field->text(), shown);
        QVERIFY(w.next->hasFocus());
        QVERIFY(Messages::takeHistory().isEmpty());
    }

    void dateFieldRefusesWhatIsNoDate()
    {
        DateWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.field->edit()->setFocus();
        QTest::keyClicks(w.field->edit(), QStringLiteral("0230"));
        QTest::keyClick(w.field->edit(), Qt::Key_Tab);
        const QList<Messages::Record> said = Messages::takeHistory();
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0].kind, Messages::Kind::Error);
        QCOMPARE(said[0].text, QStringLiteral("'2024/02/30' は日付または時刻ではありません"));
        QCOMPARE(w.field->text(), QStringLiteral("0230"));
        QTRY_VERIFY(w.field->edit()->hasFocus());
    }

    void calendarButtonWritesThePickedDate()
    {
        DateWindow w;
        w.setAsksBeforeDiscarding(true);
        w.field->setText(QStringLiteral("2024/01/31"));
        w.show();
        onCalendar([](TFcalendar *c) {
            QTest::mouseClick(c->findChild<QToolButton *>(QStringLiteral("TukiUpBTN")), Qt::LeftButton);
            QTest::mouseClick(c->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        });
        QVERIFY(!w.hasUnsavedChanges());
        QTest::mouseClick(w.findChild<QToolButton *>(QStringLiteral("MitumoriYMDBTN")), Qt::LeftButton);
        QCOMPARE(w.field->text(), QStringLiteral("2024/02/29"));
        QVERIFY(w.hasUnsavedChanges()); // a picked date is a change closing the window asks about
    }

    void cancelLeavesTheFieldUnchanged()
    {
        DateWindow w;
        w.field->setText(QStringLiteral("no date"));
        w.show();
        onCalendar([](TFcalendar *c) {
            QCOMPARE(c->date(), QDate(2024, 3, 31)); // unreadable text: the zero date, hence today
            QTest::mouseClick(c->findChild<QToolButton *>(QStringLiteral("NenUpBTN")), Qt::LeftButton);
            QTest::mouseClick(c->findChild<QPushButton *>(QStringLiteral("BitBtn2")), Qt::LeftButton);
        });
        w.field->openCalendar();
        QCOMPARE(w.field->text(), QStringLiteral("no date"));
    }
};

QTEST_MAIN(TestCalendar)
#include "tst_calendar.moc"
