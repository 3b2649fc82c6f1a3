#pragma once
// The readme viewer: shows "readme.txt" read-only and prints it.
#include "controls/TForm1.h"

class QPlainTextEdit;
class QPrinter;
class QPushButton;

class TFreadMe : public TForm1
{
    Q_OBJECT
public:
    explicit TFreadMe(QWidget *parent = nullptr);

    void BitBtn1Click(); // "印刷": on the default printer
    void BitBtn2Click(); // "閉じる(&C)"

    // Prints the text as the document "お読みください".
    void printTo(QPrinter &printer);

    QPlainTextEdit *RichEdit1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

protected:
    void FormShow() override;
};
