#pragma once
// The connection dialog: chooses a local database folder or a database server and connects to it.
// After a successful connection the dialog's values replace the program's connection settings; a
// failed one reconnects to the previous database and leaves the dialog open.
#include "controls/TForm1.h"
#include "data/ConnectionSettings.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QPushButton;
class TDMdata;

class TFDBSetting : public TForm1
{
    Q_OBJECT
public:
    TFDBSetting(ConnectionSettings &settings, TDMdata &data, QWidget *parent = nullptr);

    // Picks a folder for the browse button; tests replace it.
    static std::function<QString(QWidget *, const QString &start)> chooseFolder;

    void BitBtn1Click(); // 接続

protected:
    void FormShow() override;

private:
    void applyModeRule();
    void SpeedButton1Click();
    void restorePrevious();

    ConnectionSettings &m_settings;
    TDMdata &m_data;
    QRadioButton *LocalRB;
    QRadioButton *ServerRB;
    QLineEdit *FolderEDT;
    QToolButton *SpeedButton1;
    QLineEdit *IPEDT;
    QLineEdit *PortEDT;
    QLineEdit *DBEDT;
    QLineEdit *UserEDT;
    QLineEdit *PassEDT;
};
