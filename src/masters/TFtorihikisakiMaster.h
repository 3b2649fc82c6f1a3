#pragma once
// The customer master: the list of all customers with add, modify and delete. The main window
// creates it, shows it modally with exec() and destroys it; it returns nothing.
#include "app/TForm1.h"

struct DocumentReferences;
class TDBGridEx;
class TEngineQuery;
class TFlatButton;

class TFtorihikisakiMaster : public TForm1
{
    Q_OBJECT
public:
    explicit TFtorihikisakiMaster(QWidget *parent = nullptr);

    TEngineQuery *Qtorihikisaki = nullptr;
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
    void openEditor(const QString &keyText);
    bool refuseWhileReferenced(const DocumentReferences &references);
    void reopenList();
    QString currentText(const char *field) const;
};
