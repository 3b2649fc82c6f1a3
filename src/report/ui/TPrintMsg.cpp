#include "report/ui/TPrintMsg.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPointer<TPrintMsg> &instance()
{
    static QPointer<TPrintMsg> msg;
    return msg;
}

} // namespace

TPrintMsg::TPrintMsg()
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("PrintMsg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Now Printing..."));
    setFixedSize(243, 82);
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto *label = new QLabel(QStringLiteral("ただいま印刷中です。\nしばらくお待ち下さい．．．"), panel);
    label->setObjectName(QStringLiteral("MessageLBL"));
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(16);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: navy;"));
    label->setAlignment(Qt::AlignCenter);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(label);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panel);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TPrintMsg::showMessage()
{
    if (!instance()) {
        instance() = new TPrintMsg;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    instance()->show();
    instance()->raise();
    instance()->repaint();
}

void TPrintMsg::closeMessage()
{
    if (instance())
        instance()->close();
}

TPrintMsg *TPrintMsg::current()
{
    return instance();
}

void TPrintMsg::closeEvent(QCloseEvent *event)
{
    QApplication::restoreOverrideCursor();
    instance() = nullptr;
    QWidget::closeEvent(event);
}
