#pragma once
// CSV取込: customers or products from a CSV file. Choosing the file shows every row with what is
// wrong with it (line, column, why) or what it changes in a stored record (each field old → new)
// before anything is written; "取込" writes all rows in one transaction and only when none is
// refused, "正しい行だけ取込" the rows without errors; changes of stored records are confirmed first.
#include "controls/TForm1.h"
#include "masters/CsvImport.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class TFcsvImport : public TForm1
{
    Q_OBJECT
public:
    TFcsvImport(CsvImport::Kind kind, QWidget *parent = nullptr);

    QLineEdit *FileEDT = nullptr;
    QPushButton *FileBTN = nullptr;
    QRadioButton *UpdateRB = nullptr;
    QRadioButton *SkipRB = nullptr;
    QTableWidget *PreviewGrid = nullptr;
    QLabel *SummaryLBL = nullptr;
    QPushButton *ImportBTN = nullptr;
    QPushButton *GoodRowsBTN = nullptr;
    QPushButton *CloseBTN = nullptr;

    // Reads and checks the file and shows the preview; nothing is written.
    void loadFile(const QString &path);
    // True once rows were written (the list behind the window reads its table again).
    bool imported() const { return m_imported; }

private:
    void buildControls();
    void showPreview();
    void importRows(bool goodRowsOnly);
    CsvImport::Existing existingChoice() const;

    CsvImport::Kind m_kind;
    CsvImport::Preview m_preview;
    bool m_loaded = false;
    bool m_imported = false;
};
