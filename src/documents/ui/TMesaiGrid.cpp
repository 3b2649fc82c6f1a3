#include "documents/ui/TMesaiGrid.h"

#include "data/SjisLengthValidator.h"
#include "documents/DocumentLines.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const QStringList kHeaders{QStringLiteral("商品名（または商品コード）"),
                           QStringLiteral("数量"),
                           QStringLiteral("単位"),
                           QStringLiteral("単価"),
                           QStringLiteral("金額"),
                           QStringLiteral("税率")};
const int kWidths[kLineColumns + 1] = {300, 64, 40, 64, 64, 52};

bool rightAligned(int column)
{
    return column == 1 || column == 3 || column == 4;
}

bool inputMethodOn(int column)
{
    return column == 0 || column == 2;
}

// The byte limit of the name and unit columns (the same in estimate and delivery note lines); 0 for
// the number columns.
int byteLimit(int column)
{
    if (column == 0)
        return columnByteLength(QStringLiteral("NohinMesai"), QStringLiteral("SyohinNM"));
    if (column == 2)
        return columnByteLength(QStringLiteral("NohinMesai"), QStringLiteral("Tani"));
    return 0;
}

// Drops the characters a column cannot hold, from the cell editor.
class KeyFilter : public QObject
{
public:
    KeyFilter(int column, QObject *parent) : QObject(parent), m_column(column) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            if (text.size() == 1 && !DocumentLines::acceptsKey(m_column, text.at(0)))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_column;
};

// Paints the cells filled by row and draws the text on one line, centred vertically, two pixels in
// from the edge; the cell editor writes every change through to the grid at once, so the grid's
// cells always hold what is typed. Name and unit stop at their columns' byte lengths.
class MesaiDelegate : public QStyledItemDelegate
{
public:
    explicit MesaiDelegate(TMesaiGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool shaded = (index.row() + 1) % 2 == 0;
        painter->fillRect(option.rect, shaded ? m_grid->shade() : QColor(Qt::white));
        const QRect text = option.rect.adjusted(2, 0, -2, 0);
        const Qt::Alignment align =
            (rightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(text, int(align) | Qt::TextSingleLine, index.data().toString());
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *self = const_cast<MesaiDelegate *>(this);
        if (index.column() == kRateColumn) {
            auto *rates = new QComboBox(parent);
            rates->addItems(DocumentLines::rateTexts());
            connect(rates, &QComboBox::activated, self, [self, rates] { Q_EMIT self->commitData(rates); });
            return rates;
        }
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setAlignment(rightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft);
        edit->setAttribute(Qt::WA_InputMethodEnabled, inputMethodOn(index.column()));
        edit->installEventFilter(new KeyFilter(index.column(), edit));
        if (const int limit = byteLimit(index.column()))
            edit->setValidator(new SjisLengthValidator(limit, edit));
        connect(edit, &QLineEdit::textEdited, self, [self, edit] { Q_EMIT self->commitData(edit); });
        return edit;
    }

    // The editor's own change written back leaves it alone (text, cursor and selection as typed);
    // only a cell changed from outside (product call-up, amount) is shown in it.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *rates = qobject_cast<QComboBox *>(editor)) {
            rates->setCurrentText(
                DocumentLines::rateText(DocumentLines::rateFromText(index.data().toString())));
            return;
        }
        auto *edit = static_cast<QLineEdit *>(editor);
        const QString text = index.data().toString();
        if (edit->text() != text)
            edit->setText(text);
    }

private:
    TMesaiGrid *m_grid;
};

} // namespace

// Every move of the current cell (keys, Enter, mouse, programme) passes through the selection
// model, so that the grid can be asked before it happens.
class MesaiSelectionModel : public QItemSelectionModel
{
public:
    MesaiSelectionModel(QAbstractItemModel *model, TMesaiGrid *grid)
        : QItemSelectionModel(model, grid), m_grid(grid)
    {
    }

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index.isValid() && index != currentIndex() && !m_grid->allowMove(index))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    TMesaiGrid *m_grid;
};

TMesaiGrid::TMesaiGrid(const QColor &shade, QWidget *parent)
    : QTableWidget(kMaxLines, kLineColumns + 1, parent), m_shade(shade)
{
    setObjectName(QStringLiteral("MesaiGrid"));
    QItemSelectionModel *old = selectionModel();
    setSelectionModel(new MesaiSelectionModel(model(), this));
    delete old;
    setItemDelegate(new MesaiDelegate(this));
    setHorizontalHeaderLabels(kHeaders);
    for (int c = 0; c <= kLineColumns; ++c)
        setColumnWidth(c, kWidths[c]);
    setColumnHidden(kRateColumn, true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; }").arg(shade.name()));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(true);
}

QString TMesaiGrid::cell(int column, int row) const
{
    const QTableWidgetItem *it = item(row - 1, column);
    return it ? it->text() : QString();
}

void TMesaiGrid::setCell(int column, int row, const QString &text)
{
    if (QTableWidgetItem *it = item(row - 1, column))
        it->setText(text);
    else
        setItem(row - 1, column, new QTableWidgetItem(text));
}

void TMesaiGrid::clearCells()
{
    clearContents();
}

void TMesaiGrid::placeCurrent(int column, int row)
{
    m_placing = true;
    setCurrentCell(row - 1, column);
    m_placing = false;
}

void TMesaiGrid::setRateColumnShown(bool shown)
{
    setColumnHidden(kRateColumn, !shown);
}

void TMesaiGrid::commitData(QWidget *editor)
{
    QTableWidget::commitData(editor);
    const QModelIndex at = currentIndex();
    if (at.isValid())
        Q_EMIT cellCommitted(at.column(), at.row() + 1);
}

bool TMesaiGrid::allowMove(const QModelIndex &to)
{
    if (m_placing || !beforeSelectCell)
        return true;
    return beforeSelectCell(to.column(), to.row() + 1);
}

void TMesaiGrid::setInputMethodFor(int column)
{
    setAttribute(Qt::WA_InputMethodEnabled, inputMethodOn(column));
}

void TMesaiGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableWidget::currentChanged(current, previous);
    if (current.isValid())
        setInputMethodFor(current.column());
}

// Keys a column cannot hold do not start an edit either.
void TMesaiGrid::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.size() == 1 && !DocumentLines::acceptsKey(currentColumn(), text.at(0))) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// Entering the grid from the header fields starts at the first cell with the input method on.
void TMesaiGrid::focusInEvent(QFocusEvent *event)
{
    QTableWidget::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        placeCurrent(0, 1);
        setInputMethodFor(0);
    }
}
