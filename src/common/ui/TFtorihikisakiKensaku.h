#pragma once
// The customer search: lists the customers, narrows them by a part of the name, and hands the
// chosen customer's key back. The caller shows it modally and reads torihikisakiKey() afterwards;
// 0 means nothing was chosen.
#include "controls/TForm1.h"

class TDBGridEx;
class TEngineQuery;
class TFlatButton;
class QToolButton;

class TFtorihikisakiKensaku : public TForm1
{
    Q_OBJECT
public:
    explicit TFtorihikisakiKensaku(QWidget *parent = nullptr);

    int torihikisakiKey() const { return m_key; }

    QLineEdit *Edit1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    TDBGridEx *DBGrid1 = nullptr;
    TFlatButton *OkBTN = nullptr;
    TFlatButton *CanBTN = nullptr;
    TEngineQuery *Query1 = nullptr;

protected:
    void FormShow() override;

private:
    void buildControls();
    QLayout *buildSearchRow();
    QLayout *buildButtonRow();

    void SpeedButton1Click();
    void OkBTNClick();
    void CanBTNClick();

    int m_key = 0;
};
