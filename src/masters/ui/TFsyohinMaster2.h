#pragma once
// The edit window of one product. The caller writes the code as text into SyohinCD ("0" to add a
// product) and makes SyohinCD read-only to modify an existing product, shows the window modally
// and re-reads the table afterwards. With the qualified-invoice option on, the window also offers
// the product's tax rate.
#include "controls/EntryFields.h"
#include "controls/TForm1.h"

struct ProductRecord;
class QComboBox;
class QGridLayout;
class QLabel;
class TFlatButton;

class TFsyohinMaster2 : public TForm1
{
    Q_OBJECT
public:
    explicit TFsyohinMaster2(QWidget *parent = nullptr);

    QLineEdit *SyohinCD = nullptr;
    QLineEdit *SyohinNM = nullptr;
    QLineEdit *Kikaku = nullptr;
    QLineEdit *Tani = nullptr;
    QLineEdit *Tanka = nullptr;
    QComboBox *ZeiRitu = nullptr; // shown only with the own company's qualified-invoice option
    TFlatButton *MakatiButton1 = nullptr;
    TFlatButton *MakatiButton2 = nullptr;

protected:
    void FormShow() override;

private:
    void buildFields(QGridLayout *grid);
    QLayout *buildButtonRow();
    QLineEdit *addField(QGridLayout *grid, const char *name, const QString &label, EntryFields::Kind kind,
                        const QString &hint = {});

    void showProduct(const ProductRecord &product);
    ProductRecord readFields() const;
    void MakatiButton1Click();

    QLabel *m_rateLabel = nullptr;
};
