#pragma once
// The flat caption button of the command pages: its face turns white (red for the masters' delete
// buttons) while the mouse pointer is over it and returns to the button face when it leaves. With
// the keyboard focus it shows a dotted frame inside its edge, so that a keyboard user sees which
// button Space presses.
#include <QColor>
#include <QPushButton>

class TFlatButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TFlatButton(const QString &caption, QWidget *parent = nullptr);

    void setHoverColor(const QColor &color) { m_hoverColor = color; }
    QColor hoverColor() const { return m_hoverColor; }
    // The colour the face shows now.
    QColor faceColor() const;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setFace(const QColor &color);

    QColor m_hoverColor = Qt::white;
};
