#pragma once
// The edit window of one customer. The caller writes the customer's key as text into Key ("0" for a
// new customer), shows the window modally and re-reads the table afterwards; savedKey() tells which
// customer was stored (0 when nothing was).
#include "controls/EntryFields.h"
#include "controls/TForm1.h"

struct CustomerRecord;
class QComboBox;
class QGridLayout;
class TFlatButton;
class QToolButton;

class TFtorihikisakiMaster2 : public TForm1
{
    Q_OBJECT
public:
    explicit TFtorihikisakiMaster2(QWidget *parent = nullptr);

    int savedKey() const { return m_savedKey; }

    QLineEdit *Key = nullptr;
    QLineEdit *TorihikisakiCD = nullptr;
    QLineEdit *TorihikisakiNM = nullptr;
    QComboBox *Keisyo = nullptr;
    QLineEdit *Yubin = nullptr;
    QToolButton *YubinBTN = nullptr;
    QLineEdit *Jyusyo1 = nullptr;
    QLineEdit *Jyusyo2 = nullptr;
    QLineEdit *Tel = nullptr;
    QLineEdit *Fax = nullptr;
    QLineEdit *Busyo = nullptr;
    QLineEdit *Tantosya = nullptr;
    QLineEdit *Mail = nullptr;
    QLineEdit *Kisyuzan = nullptr;
    QLineEdit *ZenkaiSeikyuGaku = nullptr;
    QLineEdit *SeikyuSimebi = nullptr;
    TFlatButton *OkBTN = nullptr;
    TFlatButton *MakatiButton2 = nullptr;

protected:
    void FormShow() override;

private:
    void buildControls();
    void buildFields(QGridLayout *grid);
    QLayout *buildButtonRow();
    QLineEdit *addField(QGridLayout *grid, const char *name, const QString &label, EntryFields::Kind kind,
                        const QString &hint = {});

    bool isNew() const;
    void showCustomer(const CustomerRecord &customer);
    void showNewCustomer();
    CustomerRecord readFields() const;

    void OkBTNClick();
    void YubinBTNClick();

    int m_savedKey = 0;
};
