#pragma once
// The customer master: the list of all customers with add, modify and delete. The main window
// creates it, shows it modally with exec() and destroys it; it returns nothing.
#include "masters/ui/TMasterListWindow.h"

struct DocumentReferences;

class TFtorihikisakiMaster : public TMasterListWindow
{
    Q_OBJECT
public:
    explicit TFtorihikisakiMaster(QWidget *parent = nullptr);

    TEngineQuery *const Qtorihikisaki = listQuery();

protected:
    void AddBTNClick() override;
    void UpdBTNClick() override;
    void DelBTNClick() override;

private:
    void openEditor(const QString &keyText);
    bool refuseWhileReferenced(const DocumentReferences &references);
};
