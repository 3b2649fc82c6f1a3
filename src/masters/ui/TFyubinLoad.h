#pragma once
// The postal-code data loader window: the user names the unpacked national file of Japan Post and
// the Address table is replaced by its contents.
#include "controls/TForm1.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

class TFyubinLoad : public TForm1
{
    Q_OBJECT
public:
    static constexpr auto kDownloadUrl = "https://www.post.japanpost.jp/zipcode/download.html";

    explicit TFyubinLoad(QWidget *parent = nullptr);

    void YomikomiBTNClick();
    void SpeedButton1Click();
    void Label1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QLayout *buildFileRow();
    QLayout *buildButtonRow();
    bool fileIsThere(const QString &path);
    void load(const QString &path);
    void showStatus(const QString &text);
    void setBusy(bool busy);

    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *FileNameEDT = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QLabel *MaxLBL = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *YomikomiBTN = nullptr;
    QPushButton *CanBTN = nullptr;
};
