#include "controls/TDateEdit.h"

#include "common/DisplayFormat.h"
#include "common/Ukansu.h"
#include "controls/Messages.h"
#include "controls/TFcalendar.h"

#include <algorithm>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

TDateEdit::TDateEdit(const QString &objectName, QWidget *parent, const QString &buttonName) : QWidget(parent)
{
    setObjectName(objectName + QStringLiteral("Field"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(objectName);
    m_edit->setAttribute(Qt::WA_InputMethodEnabled, false); // a number field: no input method
    m_edit->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhLatinOnly);
    m_edit->installEventFilter(this);

    m_button = new QToolButton(this);
    m_button->setObjectName(buttonName.isEmpty() ? objectName + QStringLiteral("BTN") : buttonName);
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(QStringLiteral("カレンダー"));
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &TDateEdit::openCalendar);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
}

QString TDateEdit::text() const
{
    return m_edit->text();
}

void TDateEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

void TDateEdit::setDate(const QDate &date)
{
    m_edit->setText(formatDate(DisplayFormat::kDate, date));
}

QDate TDateEdit::date() const
{
    return DateTextToDate(m_edit->text());
}

bool TDateEdit::normalize()
{
    const QString before = m_edit->text();
    QString after;
    if (!Messages::guarded(window(), [&] { after = NormalizeDateText(before); })) {
        QTimer::singleShot(0, m_edit, [edit = m_edit] {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        });
        return false;
    }
    if (after != before) {
        m_edit->setText(after);
        Q_EMIT dateEdited();
    }
    return true;
}

void TDateEdit::openCalendar()
{
    QDate start;
    if (!Messages::guarded(window(), [&] { start = date(); }))
        return;
    if (const auto picked = TFcalendar::pick(window(), start)) {
        setDate(*picked);
        Q_EMIT dateEdited();
    }
}

bool TDateEdit::filterKey(const QKeyEvent *key) const
{
    const QString typed = key->text();
    return std::any_of(typed.cbegin(), typed.cend(), [](QChar c) { return !IsDateFieldKey(c); });
}

bool TDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return filterKey(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonDblClick:
        if (m_calendarOnDoubleClick) {
            QTimer::singleShot(0, this, &TDateEdit::openCalendar);
            return true;
        }
        break;
    case QEvent::FocusOut: {
        // Leaving for another field of the window; not a menu, a message box or another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_normalizing) {
            m_normalizing = true;
            normalize();
            m_normalizing = false;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
