#pragma once
// The invoice (請求書): the document page in navy, with the invoice number and closing date, a row
// of running amounts (previous invoice, payments, carry-over, sales, amount now invoiced), a date
// column in the table that shows a delivery date only where it changes and on each page's first
// line, and the bank accounts for transfers under the remarks.
#include "report/layouts/DocumentLayout.h"

#include <optional>

class SeikyuLayout : public DocumentLayout
{
    Q_OBJECT
public:
    SeikyuLayout(TLightRep &root, TEngineDatabase &db, QObject *parent = nullptr);

    void FormShow() override;

protected:
    void fillParticulars() override;
    void fillRow() override;
    void detailPageDone() override;

private:
    // The delivery date of the line printed last on the current page; none at a page's start.
    std::optional<QDate> m_lastDate;
};

// "振込先口座" and the three accounts, one a line, their fields separated by blanks.
QString transferAccountsText(const LayoutCompany &company);
