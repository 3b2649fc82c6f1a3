#pragma once
// What the customer and product master lists share: the query of the whole table in a grid and the
// command row "追　加", "修　正", "削　除" (red under the pointer) and "閉じる". The list opens when the
// window is shown; a double click on the grid modifies like "修　正". The derived window decides what
// adding, modifying and deleting do.
#include "app/CsvExport.h"
#include "controls/TForm1.h"
#include "masters/CsvImport.h"

class TDBGridEx;
class TEngineQuery;
class TFlatButton;

class TMasterListWindow : public TForm1
{
    Q_OBJECT
public:
    TDBGridEx *DBGrid1 = nullptr;
    TFlatButton *AddBTN = nullptr;
    TFlatButton *UpdBTN = nullptr;
    TFlatButton *DelBTN = nullptr;
    TFlatButton *CloseBTN = nullptr;

protected:
    // setUpList gives the query its statement and the grid's columns.
    TMasterListWindow(const QString &objectName, const QString &title, void (*setUpList)(TEngineQuery &),
                      QSize size, QWidget *parent);

    TEngineQuery *listQuery() const { return m_list; }
    // The field of the current row as text; empty when the list holds no row.
    QString currentText(const char *field) const;
    // Reads the table again after an edit; a failure shows its message.
    void reopenList();
    // "CSV出力..." (the whole table as CsvExport writes it) and "CSV取込..." in the grid's context menu;
    // the buttons and the layout stay as they are.
    void addCsvCommands(CsvExport::Kind exportKind, CsvImport::Kind importKind, const QString &fileName);

    void FormShow() override;

    virtual void AddBTNClick() = 0;
    virtual void UpdBTNClick() = 0;
    virtual void DelBTNClick() = 0;

private:
    QLayout *buildButtonRow();
    TFlatButton *addButton(QLayout *row, const char *name, const QString &caption);

    TEngineQuery *m_list = nullptr;
};
