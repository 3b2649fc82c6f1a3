#pragma once
// The about box: the product name, the version, the licence and the links to the home page and the
// contact address. A fixed dialog, centred on the screen; not a base window (nothing of it is remembered).
#include <QDialog>

class QLabel;
class QPushButton;

class TFversion : public QDialog
{
    Q_OBJECT
public:
    explicit TFversion(QWidget *parent = nullptr);

    void Label3Click(); // opens the home page
    void Label6Click(); // writes to the contact address

    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *Licence = nullptr; // the copyright line and the licence's name
    QLabel *Label3 = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *link(const char *name, const QString &text);
};
