#pragma once
// The splash window shown while the program loads; it goes away the first time another window of
// the program takes the focus.
#include <QWidget>

class QLabel;

class TFsplash : public QWidget
{
    Q_OBJECT
public:
    explicit TFsplash(QWidget *parent = nullptr);
    QLabel *VerLBL;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void focusMoved(QWindow *window);
};
