#include "app/ui/TFsplash.h"

#include "common/Version.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QWindow>

TFsplash::TFsplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Fsplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(399, 258);
    VerLBL = new QLabel(QStringLiteral("Ver ") + QLatin1String(Version::kText), this);
    VerLBL->setObjectName(QStringLiteral("VerLBL"));
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(19);
    VerLBL->setFont(f);
    VerLBL->move(256, 67);
    VerLBL->adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TFsplash::focusMoved);
}

void TFsplash::focusMoved(QWindow *window)
{
    if (window && window != windowHandle())
        close();
}

void TFsplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x2a, 0x4d, 0x7a));
    g.setColorAt(1, QColor(0x9c, 0xbc, 0xdc));
    p.fillRect(rect(), g);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(40);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(24, 40, 220, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kadomel"));
    f.setPixelSize(16);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(24, 180, 360, 30), Qt::AlignLeft, QStringLiteral("見積書・納品書・請求書・領収証"));
}
