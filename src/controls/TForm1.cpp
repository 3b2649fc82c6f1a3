#include "controls/TForm1.h"

#include "common/WindowPlacement.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QString stateText(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return QStringLiteral("wsMinimized");
    if (state & Qt::WindowMaximized)
        return QStringLiteral("wsMaximized");
    return QStringLiteral("wsNormal");
}

// The string grid moves right, then to column 0 of the next row; on the last cell it stays.
void moveStringGridCell(QTableWidget *grid)
{
    const int row = qMax(grid->currentRow(), 0);
    const int column = grid->currentColumn();
    if (column + 1 < grid->columnCount())
        grid->setCurrentCell(row, column + 1);
    else if (row + 1 < grid->rowCount())
        grid->setCurrentCell(row + 1, 0);
}

// The data grid moves right, and from the last column to the first column of the next record.
void moveDataGridCell(QAbstractItemView *grid)
{
    QAbstractItemModel *model = grid->model();
    if (!model)
        return;
    const QModelIndex current = grid->currentIndex();
    const int row = qMax(current.row(), 0);
    const int column = current.column();
    if (column + 1 < model->columnCount())
        grid->setCurrentIndex(model->index(row, column + 1));
    else if (row + 1 < model->rowCount())
        grid->setCurrentIndex(model->index(row + 1, 0));
}

} // namespace

TForm1::TForm1(const QString &objectName, QWidget *parent) : QDialog(parent)
{
    setObjectName(objectName);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(15);
    setFont(f);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_body = new QVBoxLayout;
    m_body->setContentsMargins(6, 6, 6, 6);
    outer->addLayout(m_body, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusBar1->addWidget(m_panels[i], i);
    }
    m_panels[0]->setMinimumWidth(100); // and wider for a longer window name
    outer->addWidget(StatusBar1);
}

void TForm1::setStatusText(int panel, const QString &text)
{
    if (panel >= 0 && panel < 2) {
        m_panels[panel]->setText(text);
        m_panels[panel]->repaint();
    }
}

QString TForm1::statusText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

// Left and Top are the corner of the window's frame, as pos() gives it when the placement is saved.
// The window manager takes a position as the frame's only when it is set before the system window
// exists; set later, it places the client area there, a title bar lower, and the window would creep
// up by one title bar at every start. So the placement goes in just before the first show.
void TForm1::setVisible(bool visible)
{
    if (visible && !m_placed && !testAttribute(Qt::WA_WState_Created))
        restorePlacement();
    QDialog::setVisible(visible);
}

// Left and Top at or beyond the screen's width or height start at 0; the frame is then kept inside
// the screen's free area. Its margins are not known before the window manager has framed the window:
// the rest is done when the window first shows (keepFrameOnScreen).
void TForm1::restorePlacement()
{
    m_placed = true;
    const IniFile ini(AppPaths::iniPath());
    const QString section = objectName();
    const QScreen *screen = this->screen();
    const QRect whole = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect available = screen ? screen->availableGeometry() : whole;

    QSize size = this->size();
    if (m_sizeable) {
        const int width = ini.readInteger(section, QStringLiteral("Width"), 0);
        const int height = ini.readInteger(section, QStringLiteral("Height"), 0);
        // A stored size beyond the screen (a damaged or hand-edited file) would ask for a window
        // larger than any picture can be painted into: it is taken only up to the free area.
        if (width > 0)
            size.setWidth(qMin(width, available.width()));
        if (height > 0)
            size.setHeight(qMin(height, available.height()));
        resize(size);
    }

    const int left = ini.readInteger(section, QStringLiteral("Left"), 0);
    const int top = ini.readInteger(section, QStringLiteral("Top"), 0);
    const QPoint corner(left < whole.width() ? left : 0, top < whole.height() ? top : 0);
    m_bounds = QRect(WindowPlacement::clientArea(corner, size, QMargins(), available).topLeft(), size);
    move(m_bounds.topLeft());

    const QString state = ini.readString(section, QStringLiteral("WindowState"), QStringLiteral("wsNormal"));
    if (state == QLatin1String("wsNormal"))
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    else if (state == QLatin1String("wsMinimized"))
        setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
    else if (state == QLatin1String("wsMaximized"))
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void TForm1::FormShow()
{
    if (!m_placed) // a window whose system window was made early
        restorePlacement();
    setStatusText(0, objectName());
}

void TForm1::FormClose()
{
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        rememberNormalBounds();
    IniFile ini(AppPaths::iniPath());
    const QString section = objectName();
    ini.setString(section, QStringLiteral("Left"), QString::number(m_bounds.left()));
    ini.setString(section, QStringLiteral("Top"), QString::number(m_bounds.top()));
    ini.setString(section, QStringLiteral("Width"), QString::number(m_bounds.width()));
    ini.setString(section, QStringLiteral("Height"), QString::number(m_bounds.height()));
    ini.setString(section, QStringLiteral("WindowState"), stateText(windowState()));
    ini.flush();
}

void TForm1::rememberNormalBounds()
{
    m_bounds = QRect(pos(), size());
}

void TForm1::showEvent(QShowEvent *event)
{
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_saved = false;
        qApp->installEventFilter(this);
        if (m_asksBeforeDiscarding)
            watchUserEdits();
        Messages::guarded(this, [this] { FormShow(); });
        settleBeforeMapping();
    }
    QDialog::showEvent(event);
}

bool TForm1::normalState() const
{
    return !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

// What FormShow fills in may grow the window after its system window was made, by a layout request
// posted for later. Qt sends such a resize with the client area's position, and when the window
// manager sees it before it has framed the window it takes the frame's corner for the client area's:
// the title bar lands above the screen's edge (a frame meant for 0, 0 at -1, -20) where it cannot be
// grabbed. So the layouts settle here and the frame's corner is given again, before the window is
// mapped.
void TForm1::settleBeforeMapping()
{
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (layout())
        layout()->activate();
    QWindow *handle = windowHandle();
    if (handle && !handle->isExposed() && normalState())
        handle->setFramePosition(m_bounds.topLeft());
}

// Once the window manager has framed the window, the whole frame is brought inside the screen's free
// area, wherever the stored placement or the window manager put it.
void TForm1::keepFrameOnScreen()
{
    m_frameKept = true;
    QWindow *handle = windowHandle();
    if (!handle || !handle->screen() || !normalState())
        return;
    const QRect available = handle->screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (!available.contains(frame))
        setGeometry(WindowPlacement::clientArea(frame.topLeft(), size(), handle->frameMargins(), available));
}

void TForm1::saveOnce()
{
    if (m_saved || !m_shownOnce)
        return;
    m_saved = true;
    qApp->removeEventFilter(this);
    Messages::guarded(this, [this] { FormClose(); });
}

// Only signals that come from the user count: a line edit's textEdited (also inside spin boxes,
// editable combo boxes and date fields, and the address a postal lookup fills), a date field's
// calendar pick, a combo box's activated, a check box's clicked, a grid cell's editor writing its
// value; a window that fills fields from a picker marks itself. Text set by the program while loading emits
// none of them. A memo's document keeps its own modified mark, which setPlainText clears.
void TForm1::watchUserEdits()
{
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textEdited, this, &TForm1::markModified);
    for (QComboBox *combo : findChildren<QComboBox *>())
        connect(combo, &QComboBox::activated, this, &TForm1::markModified);
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        if (button->isCheckable())
            connect(button, &QAbstractButton::clicked, this, &TForm1::markModified);
    for (TDateEdit *date : findChildren<TDateEdit *>())
        connect(date, &TDateEdit::dateEdited, this, &TForm1::markModified); // also a calendar pick
    // A grid's cell editor lives in the grid's viewport; a value it writes to the model is typed,
    // a value the program writes while the editor is closed is not.
    for (QAbstractItemView *view : findChildren<QAbstractItemView *>()) {
        if (!view->model() || view->editTriggers() == QAbstractItemView::NoEditTriggers)
            continue;
        connect(view->model(), &QAbstractItemModel::dataChanged, this, [this, view] {
            const QWidget *focus = QApplication::focusWidget();
            if (focus && view->viewport()->isAncestorOf(focus))
                markModified();
        });
    }
}

bool TForm1::hasUnsavedChanges() const
{
    if (m_modified)
        return true;
    for (const QPlainTextEdit *memo : findChildren<QPlainTextEdit *>())
        if (!memo->isReadOnly() && memo->document()->isModified())
            return true;
    for (const QTextEdit *memo : findChildren<QTextEdit *>())
        if (!memo->isReadOnly() && memo->document()->isModified())
            return true;
    return false;
}

void TForm1::setModified(bool modified)
{
    m_modified = modified;
    if (modified)
        return;
    for (QPlainTextEdit *memo : findChildren<QPlainTextEdit *>())
        memo->document()->setModified(false);
    for (QTextEdit *memo : findChildren<QTextEdit *>())
        memo->document()->setModified(false);
}

// Escape, キャンセル and the close box all come here; with typed changes the user decides.
// Once the changes are given up the window closes without asking again.
bool TForm1::mayDiscardChanges()
{
    if (!m_asksBeforeDiscarding || !isVisible() || !hasUnsavedChanges())
        return true;
    if (!Messages::confirmYesNo(this, QStringLiteral("変更を破棄しますか？")))
        return false;
    setModified(false);
    return true;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardChanges()) {
        event->ignore();
        return;
    }
    saveOnce();
    QDialog::closeEvent(event);
}

void TForm1::done(int result)
{
    if (result == QDialog::Rejected && !mayDiscardChanges())
        return;
    saveOnce();
    QDialog::done(result);
}

void TForm1::changeEvent(QEvent *event)
{
    // After the user restores the window, its normal bounds are the ones to keep.
    if (event->type() == QEvent::WindowStateChange && m_shownOnce) {
        auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const Qt::WindowStates special = Qt::WindowMaximized | Qt::WindowMinimized;
        if ((change->oldState() & special) && !(windowState() & special))
            rememberNormalBounds();
    }
    QDialog::changeEvent(event);
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    if (!m_closesOnEscape && event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm1::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    if (m_shownOnce && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) && isVisible())
        m_bounds.moveTopLeft(pos());
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_shownOnce && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) && isVisible())
        m_bounds.setSize(size());
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && !m_frameKept && watched == windowHandle() &&
        windowHandle()->isExposed())
        keepFrameOnScreen();
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget &&
            widget->window() == this && widget == QApplication::focusWidget())
            return handleEnter(widget);
    }
    return QDialog::eventFilter(watched, event);
}

bool TForm1::handleEnter(QWidget *focus)
{
    if (qobject_cast<QPlainTextEdit *>(focus) || qobject_cast<QTextEdit *>(focus))
        return false; // a memo takes the line break
    // The editor inside a grid cell belongs to the grid.
    QWidget *grid = focus;
    while (grid && !qobject_cast<QAbstractItemView *>(grid) && grid != this)
        grid = grid->parentWidget();
    if (auto *table = qobject_cast<QTableWidget *>(grid)) {
        moveStringGridCell(table);
        return true;
    }
    if (auto *view = qobject_cast<QAbstractItemView *>(grid)) {
        moveDataGridCell(view);
        return true;
    }
    focusNextChild();
    return true;
}
