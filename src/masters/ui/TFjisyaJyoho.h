#pragma once
// The own-company window: the company block, closing day, fiscal-year start, the seal picture with
// its printed size, three bank accounts, the qualified-invoice option (registration number, prices
// with or without tax, rounding of the tax), and this computer's person in charge and mail address.
// Shown modally from the main window; the first showing on a new database creates the row.
#include "controls/TForm1.h"

#include <QByteArray>

struct OwnCompanyRecord;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class TFlatButton;

class TFjisyaJyoho : public TForm1
{
    Q_OBJECT
public:
    explicit TFjisyaJyoho(QWidget *parent = nullptr);

    QLineEdit *Yubin = nullptr;
    QLineEdit *Jyusyo1 = nullptr;
    QLineEdit *Jyusyo2 = nullptr;
    QLineEdit *Kaisyamei = nullptr;
    QLineEdit *Busyo = nullptr;
    QLineEdit *Tantousya = nullptr;
    QLineEdit *Mail = nullptr;
    QLineEdit *Tel = nullptr;
    QLineEdit *Fax = nullptr;
    QLineEdit *Daihyosya = nullptr;
    QLineEdit *Simebi = nullptr;
    QLineEdit *NendoKaisi = nullptr;
    QLabel *Inei = nullptr;
    QLineEdit *takasa = nullptr;
    QLineEdit *haba = nullptr;
    QLineEdit *KinyuKikan[3] = {};
    QLineEdit *Tenpo[3] = {};
    QComboBox *Syumoku[3] = {};
    QLineEdit *Kouza[3] = {};
    QCheckBox *Tekikaku = nullptr;  // 適格請求書を発行する
    QLineEdit *TourokuNo = nullptr; // T and 13 digits
    QComboBox *ZeiKomi = nullptr;   // 税抜, 税込
    QComboBox *ZeiHasuu = nullptr;  // 切り捨て, 四捨五入, 切り上げ
    TFlatButton *OkBTN = nullptr;
    TFlatButton *CanBTN = nullptr;

    // The seal as it will be stored (JPEG bytes), the picture shown in the frame.
    const QByteArray &seal() const { return m_seal; }
    // False when the bytes hold no whole JPEG or bitmap picture (the frame stays empty).
    bool setSeal(const QByteArray &jpeg);

    // Reads a picture file into the frame; nothing is stored before OK.
    void loadSealFile(const QString &path);
    void OkBTNClick();

protected:
    void FormShow() override;

private:
    QWidget *buildCompanyFields();
    QWidget *buildSealBox();
    QWidget *buildAccounts();
    QWidget *buildTaxBox();
    QLayout *buildButtonRow();
    QLineEdit *addField(QGridLayout *grid, int row, int column, const char *name, const QString &label,
                        int kind, const char *dbColumn);
    void besideField(QGridLayout *grid, QLineEdit *field, QWidget *beside);
    void showCompany(const OwnCompanyRecord &company);
    OwnCompanyRecord readFields() const;
    void MakatiButton1Click();
    void MakatiButton3Click();

    QByteArray m_seal;
    bool m_taxStored = false; // the row held the option's columns when it was shown
};
