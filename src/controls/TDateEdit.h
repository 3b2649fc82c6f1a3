#pragma once
// A date field: text typed as "yyyy/mm/dd" or one of its short forms, a small calendar button
// beside it, a key filter that lets through only what a date can be typed with, and the text
// rewritten to "yyyy/mm/dd" when the focus leaves the field.
#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

class TDateEdit : public QWidget
{
    Q_OBJECT
public:
    // The text field takes the object name; the button takes buttonName (objectName + "BTN" when empty).
    explicit TDateEdit(const QString &objectName, QWidget *parent = nullptr, const QString &buttonName = {});

    QLineEdit *edit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }

    QString text() const;
    void setText(const QString &text);
    // Shows the date as "yyyy/mm/dd".
    void setDate(const QDate &date);
    // The text read by DateTextToDate: the zero date when it holds no date; throws ConvertError for
    // a part that is not a whole number.
    QDate date() const;

    // A double click in the text opens the calendar too.
    void setCalendarOnDoubleClick(bool on) { m_calendarOnDoubleClick = on; }

    // Rewrites the text through NormalizeDateText. On a failure the message is shown, the focus
    // goes back to the field and the result is false.
    bool normalize();
    // Opens the calendar on the field's date and writes the picked date back on OK.
    void openCalendar();

Q_SIGNALS:
    // The text was rewritten by leaving the field or by the calendar.
    void dateEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filterKey(const class QKeyEvent *key) const;

    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    bool m_calendarOnDoubleClick = false;
    bool m_normalizing = false;
};
