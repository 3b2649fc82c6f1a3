#include "controls/TFcalendar.h"

#include "common/Clock.h"
#include "common/Wareki.h"
#include "data/Engine.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TFcalendar::TFcalendar(QWidget *parent) : TForm1(QStringLiteral("Fcalendar"), parent)
{
    // The object name keeps the stored placement; the title is what the user reads.
    setWindowTitle(QStringLiteral("カレンダー"));
    setSizeable(false);
    buildControls();
    bodyLayout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFcalendar::buildControls()
{
    bodyLayout()->addLayout(buildStepRow());

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan)); // day names 日 月 火 水 木 金 土
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setNavigationBarVisible(false);
    Calendar1->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &TFcalendar::gridChanged);
    bodyLayout()->addWidget(Calendar1);

    bodyLayout()->addLayout(buildMonthButtons());
    bodyLayout()->addLayout(buildButtonRow());
}

QLayout *TFcalendar::buildStepRow()
{
    auto *row = new QHBoxLayout;
    wareki = new QLineEdit(this);
    wareki->setObjectName(QStringLiteral("wareki"));
    Tuki = new QLineEdit(this);
    Tuki->setObjectName(QStringLiteral("Tuki"));
    for (QLineEdit *line : {wareki, Tuki}) {
        line->setReadOnly(true);
        line->setFocusPolicy(Qt::NoFocus);
        line->setAlignment(Qt::AlignCenter);
    }
    Tuki->setFixedWidth(60);
    row->addWidget(stepButton("NenDownBTN", QStringLiteral("<<"), QStringLiteral("前年"), -12));
    row->addWidget(stepButton("TukiDownBTN", QStringLiteral("<"), QStringLiteral("先月"), -1));
    row->addWidget(wareki, 1);
    row->addWidget(Tuki);
    row->addWidget(stepButton("TukiUpBTN", QStringLiteral(">"), QStringLiteral("次月"), 1));
    row->addWidget(stepButton("NenUpBTN", QStringLiteral(">>"), QStringLiteral("次年"), 12));
    return row;
}

QToolButton *TFcalendar::stepButton(const char *name, const QString &text, const QString &hint, int months)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, months] { moveMonths(months); });
    return button;
}

QLayout *TFcalendar::buildMonthButtons()
{
    auto *grid = new QGridLayout;
    grid->setSpacing(2);
    for (int month = 1; month <= 12; ++month) {
        auto *panel = new QPushButton(QString::number(month), this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(month));
        panel->setCheckable(true); // the shown month's button stands sunken
        panel->setFocusPolicy(Qt::NoFocus);
        panel->setFixedWidth(36);
        connect(panel, &QPushButton::clicked, this, [this, month] { moveMonths(month - m_date.month()); });
        grid->addWidget(panel, (month - 1) / 6, (month - 1) % 6);
        Panels[month - 1] = panel;
    }
    return grid;
}

QLayout *TFcalendar::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch();
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    return row;
}

void TFcalendar::setDate(const QDate &date)
{
    m_date = date;
}

std::optional<QDate> TFcalendar::pick(QWidget *parent, const QDate &start)
{
    TFcalendar calendar(parent);
    calendar.setDate(start);
    if (calendar.exec() != QDialog::Accepted)
        return std::nullopt;
    return calendar.date();
}

void TFcalendar::FormShow()
{
    TForm1::FormShow();
    if (!m_date.isValid() || m_date == kZeroDate)
        m_date = Clock::today();
    showDate(m_date);
    Calendar1->setFocus();
}

// A move by months keeps the day, cut to the last day of a shorter month (31 January -> 28/29 February).
void TFcalendar::moveMonths(int months)
{
    showDate(m_date.addMonths(months));
}

void TFcalendar::showDate(const QDate &date)
{
    const QSignalBlocker block(Calendar1);
    Calendar1->setSelectedDate(date);
    Calendar1->setCurrentPage(date.year(), date.month());
    gridChanged();
}

void TFcalendar::gridChanged()
{
    m_date = Calendar1->selectedDate();
    refreshLines();
}

void TFcalendar::refreshLines()
{
    wareki->setText(WarekiYearText(m_date));
    Tuki->setText(QStringLiteral("%1月").arg(m_date.month()));
    for (int month = 1; month <= 12; ++month)
        Panels[month - 1]->setChecked(month == m_date.month());
}

// Enter ends the picker with OK wherever the focus is; the base window would move the focus on.
bool TFcalendar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget &&
            widget->window() == this && isVisible()) {
            accept();
            return true;
        }
    }
    return TForm1::eventFilter(watched, event);
}
