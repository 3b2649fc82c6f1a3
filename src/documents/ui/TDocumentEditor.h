#pragma once
// What the estimate editor (TFmitumori) and the delivery note editor (TFnohin) share: the date and
// number fields, the customer block with its three ways of choosing a customer, the postal lookup,
// the line grid with product call-up, line amounts and the total, the save and the report window
// after it. The two editors add their own header fields and opening modes.
#include "controls/EntryFields.h"
#include "controls/TForm1.h"
#include "documents/DocumentStore.h"

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class TDateEdit;
class TFlatButton;
class TMesaiGrid;

class TDocumentEditor : public TForm1
{
    Q_OBJECT
public:
    ~TDocumentEditor() override;

    TDateEdit *DateField = nullptr;   // MitumoriYMD / NohinYMD
    QLineEdit *NumberField = nullptr; // MitumoriNo / NohinNo
    TFlatButton *TorihikisakiKensakuBTN = nullptr;
    TFlatButton *SinkiTorihikisakiBTN = nullptr;
    QLineEdit *Kaisyamei = nullptr;
    QComboBox *Keisyo = nullptr;
    QLineEdit *Yubin = nullptr;
    QToolButton *YubinBTN = nullptr;
    QLineEdit *Jyusyo1 = nullptr;
    QLineEdit *Jyusyo2 = nullptr;
    QLineEdit *Busyo = nullptr;
    QLineEdit *Tantousya = nullptr;
    QLineEdit *Tel = nullptr;
    QLineEdit *Fax = nullptr;
    QLineEdit *Mail = nullptr;
    QLabel *TorihikisakiKey = nullptr;
    QLineEdit *Basyo = nullptr;
    QLineEdit *JisyaTanto = nullptr;
    TMesaiGrid *MesaiGrid = nullptr;
    TFlatButton *OkBTN = nullptr;
    TFlatButton *CanBTN = nullptr;
    QLabel *Gokei = nullptr;
    QLabel *Zeigaku = nullptr; // 小計 and 消費税, shown with the qualified-invoice option only

protected:
    struct Names
    {
        QString window;      // "Fmitumori"
        QString caption;     // "見積書"
        QString date;        // "MitumoriYMD"
        QString dateLabel;   // "見積日"
        QString number;      // "MitumoriNo"
        QString numberLabel; // "見積№"
        QColor shade;        // header and even rows of the grid
    };
    TDocumentEditor(Numbering::Kind kind, const Names &names, QWidget *parent);

    Numbering::Kind kind() const { return m_kind; }
    QGridLayout *fieldGrid() const { return m_fields; }
    // A text field of the header table's column in the next row of the field grid (or beside the
    // given field when column > 0).
    QLineEdit *addTextField(const char *name, const QString &label, const QString &table,
                            const QString &column, bool inputMethod, int row = -1, int gridColumn = 0);
    QHBoxLayout *buttonRow() const { return m_buttons; }

    // Showing: the base steps, then the mode of the editor (showDocument).
    void FormShow() override;
    virtual void showDocument() = 0;
    // A document to open that another computer deleted meanwhile: the editor goes on as for a new one.
    void reportMissing(const QString &documentName, int key);
    // Fills the common fields and the grid from a stored document (or one made from an estimate).
    void fillFrom(const DocumentRecord &document);
    // The field the focus goes to after a customer is shown.
    virtual QWidget *afterCustomer() const = 0;
    // The fields of the header that only one kind has.
    virtual void readOwnFields(DocumentRecord &document) const = 0;
    // The report window on the saved document, modal.
    virtual void showReport(int key) = 0;
    // The key the save writes under (0 for a new document) and the key after it.
    int savedKey() const { return m_savedKey; }
    virtual void saved(int key) = 0;
    void setSavedKey(int key) { m_savedKey = key; }
    // Tab order of the header fields, then the grid.
    void setTabChain(const QList<QWidget *> &fields);
    // The message of a click into the number field when the number is made automatically.
    virtual QString automaticNumberMessage() const = 0;

    // The customer block.
    void TorihikisakiHyoji(int customerKey);
    void disableCustomerBlock(bool withHonorific);
    void GokeiKeisan();
    QList<QWidget *> customerFields() const;

private:
    void buildCustomerBlock();
    void buildBottomBar();
    QLineEdit *addCustomerField(const char *name, const QString &label, EntryFields::Kind kind, int row,
                                const char *column = nullptr);

    void TorihikisakiKensakuBTNClick();
    void SinkiTorihikisakiBTNClick();
    void KaisyameiExit();
    void YubinBTNClick();
    void NumberEnter();
    bool MesaiGridSelectCell(int column, int row);
    bool callUpProduct(int row, const QString &missing);
    void followAmount(int row);
    void markUnratedRows();
    QList<ConsumptionTax::RatedAmount> ratedAmounts() const;
    bool completeRows();
    void OkBTNClick();
    DocumentRecord readDocument() const;
    bool confirmBilledChange(const DocumentRecord &edited);
    CustomerRecord readCustomer() const;
    void applyNumberFieldRule();

    Numbering::Kind m_kind;
    Numbering::SaibanSettei m_settings;
    int m_fiscalYearStart = 4;
    ConsumptionTax::Settings m_tax; // the own company's option, read when the window opens
    int m_savedKey = 0;
    DocumentRecord m_opened; // as read when the window opened; empty for a new document
    QGridLayout *m_fields = nullptr;
    QHBoxLayout *m_buttons = nullptr;
};
