#pragma once
// The payment window: a new payment ("入金登録") or a stored one ("入金修正"). The caller sets
// NyukinKey (0 for a new payment), shows the window modally and reads savedKey() afterwards (0 when
// nothing was saved). "登録→領収書印刷" saves, closes and shows the receipt of the saved payment.
#include "billing/PaymentStore.h"
#include "controls/TForm1.h"
#include "documents/Numbering.h"

#include <optional>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class TDateEdit;
class TFlatButton;

class TFnyukin : public TForm1
{
    Q_OBJECT
public:
    explicit TFnyukin(QWidget *parent = nullptr);

    // The payment to change; 0 for a new one.
    int NyukinKey = 0;
    int savedKey() const { return m_savedKey; }

    // The receipt window for one payment, shown modally.
    static void showReceipt(QWidget *parent, int paymentKey);

    TFlatButton *TorihikisakiKensakuBTN = nullptr;
    QLabel *TorihikisakiKey = nullptr;
    QLineEdit *Kaisyamei = nullptr;
    TDateEdit *NyukinYMD = nullptr;
    QLabel *ZenkaiSeikyuGaku = nullptr;
    TFlatButton *KingakuCopyBTN = nullptr;
    QLineEdit *Nyukingaku = nullptr;
    QComboBox *SiharaiHouHouCB = nullptr;
    QLineEdit *Tadasigaki = nullptr;
    QLineEdit *RyosyuNo = nullptr;
    TFlatButton *TorokuBTN = nullptr;
    TFlatButton *TorokuInsatuBTN = nullptr;
    TFlatButton *MakatiButton4 = nullptr;

protected:
    void FormShow() override;

private:
    void buildControls();
    void buildCustomerRows(QGridLayout *grid);
    void buildPaymentRows(QGridLayout *grid);
    QLayout *buildButtonRow();
    void addRow(QGridLayout *grid, const QString &label, QWidget *field, QWidget *extra = nullptr);

    void readNumberingSettings();
    void showPayment(const PaymentRecord &payment);
    void selectMethod(const QString &method);
    void loadCustomer(int key);
    PaymentRecord readFields() const;
    bool confirmBilledChange(const PaymentRecord &edited);
    bool save();

    void TorihikisakiKensakuBTNClick();
    void KingakuCopyBTNClick();
    void TorokuBTNClick();
    void TorokuInsatuBTNClick();

    int m_customerKey = 0;
    int m_copyValue = 0; // the customer's previous invoice amount
    int m_fiscalYearStart = 4;
    Numbering::SaibanSettei m_numbering;
    int m_savedKey = 0;
    std::optional<PaymentRecord> m_opened; // the stored payment as read when the window opened
};
