#include "app/ui/ExtractionPanel.h"

#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>

namespace {

struct PanelNames
{
    const char *prefix; // of the edits, radios and extraction button
    const char *ascending;
    const char *first; // none on the payment page
    const char *last;
    bool staff;
};

PanelNames namesOf(Extraction::Page page)
{
    switch (page) {
    case Extraction::Page::Estimates:
        return {"Mitu", "MituHidukeAsc", "MituFirst", "MituLast", true};
    case Extraction::Page::DeliveryNotes:
        return {"Nohin", "NohinHidukeASC", "NohinFirstBTN", "NohinLastBTN", true};
    case Extraction::Page::Payments:
        return {"Nyukin", "NyukinHidukeAsc", nullptr, nullptr, false};
    case Extraction::Page::Invoices:
        break;
    }
    return {"Seikyu", "SeikyuHidukeAsc", "SeikyuFirstBTN", "SeikyuLastBTN", true};
}

// A sign and the ten digits of the largest whole number the days filter reads.
constexpr int maxDaysLength = 11;

} // namespace

// Two rows of filters and buttons beside the order group, so that the panel fits the page at the
// window's designed size.
ExtractionPanel::ExtractionPanel(Extraction::Page page, TEngineQuery *list, QWidget *parent)
    : QGroupBox(QStringLiteral("抽出条件"), parent), m_page(page), m_list(list)
{
    const PanelNames names = namesOf(page);
    const QString prefix = QLatin1String(names.prefix);
    setObjectName(prefix + QStringLiteral("Panel"));
    setStyleSheet(QStringLiteral("ExtractionPanel { font-weight: bold; }"));
    auto *panel = new QHBoxLayout(this);
    auto *rows = new QVBoxLayout;
    auto *filters = new QHBoxLayout;
    auto *actions = new QHBoxLayout;
    rows->addLayout(filters);
    rows->addLayout(actions);
    panel->addLayout(rows);

    filters->addWidget(new QLabel(QStringLiteral("取引先"), this));
    m_customer = addEdit(filters, prefix + QStringLiteral("Torihikisaki"), 121);
    EntryFields::setUp(m_customer, EntryFields::Kind::Text, QStringLiteral("Torihikisaki"),
                       QStringLiteral("TorihikisakiNM"));
    connect(m_customer, &QLineEdit::textEdited, this, [this] {
        m_customerKey = 0;
        m_customer->setToolTip(QString());
    });
    if (names.staff) {
        filters->addWidget(new QLabel(QStringLiteral("自社担当者"), this));
        m_staff = addEdit(filters, prefix + QStringLiteral("Tanto"), 89);
        EntryFields::setUp(m_staff, EntryFields::Kind::Text, QStringLiteral("Mitumori"),
                           QStringLiteral("JisyaTanto"));
    }
    filters->addStretch();

    m_days = addEdit(actions, prefix + QStringLiteral("Nissu"), 41);
    m_days->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_days->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhLatinOnly);
    m_days->setMaxLength(maxDaysLength);
    actions->addWidget(new QLabel(QStringLiteral("日以内"), this));
    auto *extractButton = new TFlatButton(QStringLiteral("抽出"), this);
    extractButton->setObjectName(prefix + QStringLiteral("TyusyutuBTN"));
    extractButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    actions->addWidget(extractButton);
    connect(extractButton, &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { extract(); }); });
    if (names.first)
        addMoves(actions, QLatin1String(names.first), QLatin1String(names.last));
    if (page == Extraction::Page::Payments)
        addPaymentMethods(actions);
    actions->addStretch();

    panel->addWidget(
        orderGroup(prefix, QLatin1String(names.ascending),
                   page == Extraction::Page::Invoices ? QStringLiteral("締日順") : QStringLiteral("日付順")));
    panel->addStretch();
}

QLineEdit *ExtractionPanel::addEdit(QBoxLayout *row, const QString &name, int width)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    row->addWidget(edit);
    return edit;
}

// "並び替え": the descending radio stands left of the ascending one, which is checked at start.
QGroupBox *ExtractionPanel::orderGroup(const QString &prefix, const QString &ascName, const QString &caption)
{
    auto *group = new QGroupBox(QStringLiteral("並び替え"), this);
    auto *column = new QVBoxLayout(group);
    auto *row = new QHBoxLayout;
    column->addLayout(row);
    m_descending = new QRadioButton(caption + QStringLiteral("（↑）"), group);
    m_descending->setObjectName(prefix + QStringLiteral("HidukeDesc"));
    auto *ascending = new QRadioButton(caption + QStringLiteral("（↓）"), group);
    ascending->setObjectName(ascName);
    ascending->setChecked(true);
    row->addWidget(m_descending);
    row->addWidget(ascending);
    return group;
}

void ExtractionPanel::addMoves(QBoxLayout *row, const QString &firstName, const QString &lastName)
{
    const auto add = [this, row](const QString &name, const QString &hint, QStyle::StandardPixmap picture,
                                 void (*move)(TEngineQuery &)) {
        auto *b = new TFlatButton(QString(), this);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(style()->standardIcon(picture));
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this,
                [this, move] { Messages::guarded(this, [this, move] { move(*m_list); }); });
    };
    add(firstName, QStringLiteral("先頭へ"), QStyle::SP_ArrowUp, &Extraction::moveToFirst);
    add(lastName, QStringLiteral("末尾へ"), QStyle::SP_ArrowDown, &Extraction::moveToLast);
}

void ExtractionPanel::addPaymentMethods(QBoxLayout *row)
{
    row->addWidget(new QLabel(QStringLiteral("支払方法"), this));
    m_methods = new QComboBox(this);
    m_methods->setObjectName(QStringLiteral("NyukinSiharaiHoho"));
    m_methods->setFixedWidth(145);
    row->addWidget(m_methods);
}

Extraction::Filter ExtractionPanel::filter() const
{
    return {m_customer->text(), m_staff ? m_staff->text() : QString(), m_days->text(),
            m_descending->isChecked(), m_customerKey};
}

void ExtractionPanel::extract()
{
    Extraction::run(*m_list, m_page, filter());
}

void ExtractionPanel::extractCustomer(int key, const QString &name)
{
    m_customerKey = key;
    m_customer->setText(name);
    m_customer->setToolTip(QStringLiteral("この取引先だけを抽出しています（入力し直すと名前で抽出します）"));
    if (m_staff)
        m_staff->clear();
    m_days->clear();
    extract();
}
