#pragma once
// The product master: the list of all products by code with add, modify and delete. The main
// window creates it, shows it modally with exec() and destroys it; it returns nothing.
#include "app/TForm1.h"

class TDBGridEx;
class TEngineQuery;
class TFlatButton;

class TFsyohinMaster : public TForm1
{
    Q_OBJECT
public:
    explicit TFsyohinMaster(QWidget *parent = nullptr);

    TEngineQuery *Qsyohin = nullptr;
    TDBGridEx *DBGrid1 = nullptr;
    TFlatButton *AddBTN = nullptr;
    TFlatButton *UpdBTN = nullptr;
    TFlatButton *DelBTN = nullptr;
    TFlatButton *CloseBTN = nullptr;

protected:
    void FormShow() override;

private:
    QLayout *buildButtonRow();

    void AddBTNClick();
    void UpdBTNClick();
    void DelBTNClick();
    void openEditor(const QString &codeText, bool modify);
    void reopenList();
    QString currentText(const char *field) const;
};
