#pragma once
// The small always-on-top window that tells the user a print job is under way. Only one exists
// at a time; it shows the hourglass while it is up.
#include <QWidget>

class TPrintMsg : public QWidget
{
    Q_OBJECT
public:
    // Shows the message (creating it when needed) and paints it at once.
    static void showMessage();
    static void closeMessage();
    static TPrintMsg *current();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TPrintMsg();
};
