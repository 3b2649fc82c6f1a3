#pragma once
// The settings dialogs of the four document kinds, one family: the numbering method with its three
// elements and a live example, where the seal is printed, the kind of form and (but for receipts)
// the remarks. Each member (TFmitumoriSettei and the others) only names its kind.
#include "controls/TForm1.h"
#include "documents/Numbering.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class TFlatButton;

class TFdocumentSettei : public TForm1
{
    Q_OBJECT
public:
    Numbering::Kind kind() const { return m_kind; }

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *TenyuryokuRB = nullptr;
    QRadioButton *RenbanRB = nullptr;
    QRadioButton *NenRenbanRB = nullptr;
    QRadioButton *TukiRenbanRB = nullptr;
    QRadioButton *NitiRenbanRB = nullptr;
    QComboBox *Fuka1CB = nullptr;
    QComboBox *Fuka2CB = nullptr;
    QComboBox *Fuka3CB = nullptr;
    QLabel *HyojiRei = nullptr;
    QLabel *HyojiReiChui = nullptr; // shown while a composed number may not fit its column
    QLineEdit *ue = nullptr;
    QLineEdit *hidari = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *Madotuki20RB = nullptr;
    QPlainTextEdit *Bikou = nullptr; // none for receipts
    TFlatButton *OkBTN = nullptr;
    TFlatButton *MakatiButton1 = nullptr;

    // The caption of the chosen method button.
    QString method() const;
    void OkBTNClick();
    void MakatiButton1Click();

protected:
    TFdocumentSettei(Numbering::Kind kind, QWidget *parent);
    void FormShow() override;

private:
    QWidget *buildNumbering();
    QLayout *buildSealLine();
    QWidget *buildFormKind();
    QLayout *buildButtonRow();
    QList<QRadioButton *> methodButtons() const;
    void refreshPreview();

    Numbering::Kind m_kind;
};
