#pragma once
// The address choice for a postal code with several addresses. The caller sets the code, shows the
// dialog modally and, when it was accepted, reads the chosen address.
#include "controls/TForm1.h"

class QListWidget;
class QListWidgetItem;
class TFlatButton;

class TFyubinSel : public TForm1
{
    Q_OBJECT
public:
    explicit TFyubinSel(QWidget *parent = nullptr);

    void setYubinCode(int code) { m_code = code; }
    int yubinCode() const { return m_code; }
    // The chosen address; empty until the dialog is accepted.
    QString jyusyo() const { return m_jyusyo; }

    QLabel *YubinBangoLBL = nullptr;
    QListWidget *jyusyoLB = nullptr;
    TFlatButton *OkBTN = nullptr;
    TFlatButton *CanBTN = nullptr;

protected:
    void FormShow() override;

private:
    void buildControls();
    void OkBTNClick();

    int m_code = 0;
    QString m_jyusyo;
};
