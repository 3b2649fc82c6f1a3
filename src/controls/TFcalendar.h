#pragma once
// The calendar picker: a month grid with the Japanese era year, year and month steps and twelve
// month buttons. The caller sets the date (the zero date stands for none and shows today), shows
// the window modally and reads the date back after OK.
#include "controls/TForm1.h"

#include <optional>
#include <QDate>

class QCalendarWidget;
class QLineEdit;
class QPushButton;
class QToolButton;

class TFcalendar : public TForm1
{
    Q_OBJECT
public:
    explicit TFcalendar(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate &date);

    // Shows the picker modally on a date; the picked date, or nothing when the user cancelled.
    static std::optional<QDate> pick(QWidget *parent, const QDate &start);

protected:
    void FormShow() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QLayout *buildStepRow();
    QLayout *buildMonthButtons();
    QLayout *buildButtonRow();
    QToolButton *stepButton(const char *name, const QString &text, const QString &hint, int months);

    void moveMonths(int months);
    void showDate(const QDate &date);
    void gridChanged();
    void refreshLines();

    QDate m_date;
    QCalendarWidget *Calendar1 = nullptr;
    QLineEdit *wareki = nullptr;
    QLineEdit *Tuki = nullptr;
    QPushButton *Panels[12] = {};
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
};
