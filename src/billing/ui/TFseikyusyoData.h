#pragma once
// 請求書データ作成: chooses the customers of an invoice run (by closing day, or one customer picked
// with the customer search) and the closing date, and runs it (InvoiceRunCommand).
#include "controls/TForm1.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class TDateEdit;
class TFlatButton;

class TFseikyusyoData : public TForm1
{
    Q_OBJECT
public:
    explicit TFseikyusyoData(QWidget *parent = nullptr);

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *SimebiRB = nullptr;
    QComboBox *SimebiCB = nullptr;
    QRadioButton *KobetuRB = nullptr;
    TFlatButton *TorihikisakiKensakuBTN = nullptr;
    QLineEdit *Kaisyamei = nullptr;
    TDateEdit *SeikyuSimebi = nullptr;
    TFlatButton *DataSakuseiBTN = nullptr;
    TFlatButton *MakatiButton1 = nullptr;

    // The keys of the invoices the last run made.
    const QList<int> &createdInvoices() const { return m_created; }

    // Runs the invoice run over the chosen customers and closes the window. A failure shows
    // "データ作成に失敗しました" and is raised again with the engine's message; the window stays open.
    void DataSakuseiBTNClick();
    void TorihikisakiKensakuBTNClick();

private:
    QWidget *buildTargets();
    QLayout *buildDateLine();
    QLayout *buildButtonRow();
    void fillClosingDays();
    void modeChanged();
    void showDefaultDate(int day);
    QList<int> chosenCustomers();
    void loadCustomer(int key);

    int m_companyDay = 99;
    int m_customerKey = 0; // the customer of the individual mode (0: none picked)
    QList<int> m_created;
};
