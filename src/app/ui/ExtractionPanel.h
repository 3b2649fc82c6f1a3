#pragma once
// The extraction panel (抽出条件) above a document list of the main window: customer, staff and
// days filters, the order, the extraction button and the first/last buttons; on the payment page
// the payment-method box.
#include "app/Extraction.h"

#include <QGroupBox>

class QBoxLayout;
class QComboBox;
class QLineEdit;
class QRadioButton;
class TEngineQuery;
class TFlatButton;

class ExtractionPanel : public QGroupBox
{
    Q_OBJECT
public:
    ExtractionPanel(Extraction::Page page, TEngineQuery *list, QWidget *parent = nullptr);

    Extraction::Filter filter() const;
    // The payment page's payment-method box; none on the other pages.
    QComboBox *paymentMethods() const { return m_methods; }

    // "抽出": the list shows the documents the filters select, from its first row.
    void extract();

    // Extracts one customer's documents by key: the customer field shows the name, the other filters
    // are emptied. Typing in the customer field lets go of the key and filters by the typed text again.
    void extractCustomer(int key, const QString &name);

private:
    QLineEdit *addEdit(QBoxLayout *row, const QString &name, int width);
    QGroupBox *orderGroup(const QString &prefix, const QString &ascName, const QString &caption);
    void addMoves(QBoxLayout *row, const QString &firstName, const QString &lastName);
    void addPaymentMethods(QBoxLayout *row);

    Extraction::Page m_page;
    TEngineQuery *m_list;
    QLineEdit *m_customer = nullptr;
    QLineEdit *m_staff = nullptr;
    QLineEdit *m_days = nullptr;
    QRadioButton *m_descending = nullptr;
    QComboBox *m_methods = nullptr;
    int m_customerKey = 0;
};
