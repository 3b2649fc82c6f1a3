#include "controls/TFlatButton.h"

#include <QApplication>
#include <QPainter>

TFlatButton::TFlatButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    setFlat(true);
    setAutoDefault(false);
    setAutoFillBackground(true);
    setFace(QApplication::palette().color(QPalette::Button));
}

QColor TFlatButton::faceColor() const
{
    return palette().color(QPalette::Button);
}

void TFlatButton::setFace(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Button, color);
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void TFlatButton::enterEvent(QEnterEvent *event)
{
    setFace(m_hoverColor);
    QPushButton::enterEvent(event);
}

void TFlatButton::leaveEvent(QEvent *event)
{
    setFace(QApplication::palette().color(QPalette::Button));
    QPushButton::leaveEvent(event);
}

void TFlatButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(3, 3, -4, -4));
}
