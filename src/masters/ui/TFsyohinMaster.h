#pragma once
// The product master: the list of all products by code with add, modify and delete. The main
// window creates it, shows it modally with exec() and destroys it; it returns nothing.
#include "masters/ui/TMasterListWindow.h"

class TFsyohinMaster : public TMasterListWindow
{
    Q_OBJECT
public:
    explicit TFsyohinMaster(QWidget *parent = nullptr);

    TEngineQuery *const Qsyohin = listQuery();

protected:
    void AddBTNClick() override;
    void UpdBTNClick() override;
    void DelBTNClick() override;

private:
    void openEditor(const QString &codeText, bool modify);
};
