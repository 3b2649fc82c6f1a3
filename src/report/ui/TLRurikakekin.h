#pragma once
// The report window of the list of receivables (売掛金残高一覧): the balances of one as-of day,
// previewed page by page, printed, or saved as PDF like the documents' windows. The main window's
// page of receivables opens it through showReceivablesReport.
#include "report/ui/TBaseLRep.h"

#include <QDate>

class ReceivablesLayout;
class TEngineDatabase;
struct ReceivablesSheet;

class TLRurikakekin : public TBaseLRep
{
    Q_OBJECT
public:
    explicit TLRurikakekin(const ReceivablesSheet &sheet, QWidget *parent = nullptr);

    ReceivablesLayout *layout() const { return m_layout; }

private:
    ReceivablesLayout *m_layout;
};

// Reads the balances of the as-of day and shows their list in its window, modally. A failure to
// read them is told, and no window opens.
void showReceivablesReport(QWidget *parent, TEngineDatabase &db, const QDate &asOf);
