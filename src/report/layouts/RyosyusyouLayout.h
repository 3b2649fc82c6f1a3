#pragma once
// The receipt (領収証) of a payment: each A4 sheet carries the receipt twice, in the upper half
// titled as the receipt and in the lower half as the copy the business keeps (控). Each half sits
// in the ornamental border picture and shows number, date, customer, amount, purpose, the revenue
// stamp box, the company block with the seal and the clerk's box.
#include "report/layouts/LayoutRecords.h"
#include "report/layouts/ReportLayout.h"

class TLRGridPanel;

class RyosyusyouLayout : public ReportLayout
{
    Q_OBJECT
public:
    RyosyusyouLayout(TLightRep &root, TEngineDatabase &db, QObject *parent = nullptr);

    void FormShow() override;

private:
    void fillPayment();

    TLRGridPanel *m_sheet;
    LayoutCompany m_company;
};

// The border picture shipped with the program (2480 × 1748 pixels), decoded once.
const QImage &receiptBorderPicture();
