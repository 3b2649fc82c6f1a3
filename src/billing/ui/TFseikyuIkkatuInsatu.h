#pragma once
// 請求書一括印刷: the invoices of one closing date, one after the other in the invoice report window,
// in the order of their running numbers; the settled ones (a payment came in and the amount came to
// 0) are left out while the box is ticked.
#include "controls/TForm1.h"

class QCheckBox;
class TDateEdit;
class TFlatButton;

class TFseikyuIkkatuInsatu : public TForm1
{
    Q_OBJECT
public:
    explicit TFseikyuIkkatuInsatu(QWidget *parent = nullptr);

    TDateEdit *SeikyuSimebi = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    TFlatButton *DataSakuseiBTN = nullptr;
    TFlatButton *MakatiButton1 = nullptr;

    // Hands the selection to the invoice report window, shows it modally, then closes.
    void DataSakuseiBTNClick();

protected:
    void FormShow() override;
};
