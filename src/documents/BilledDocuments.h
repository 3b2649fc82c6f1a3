#pragma once
// Delivery notes and payments that an invoice counts (SeikyuKey not 0): what the user is told when
// opening one, the question before a change of its amount, customer or date is saved, and the
// refusal of a save when an invoice took the document (or gave it back) at another computer after
// the window had read it. An invoice never changes after the run, so such a change does not reach it.
#include "common/AppError.h"

#include <QString>

namespace BilledDocuments {

enum class Kind { DeliveryNote, Payment };

// "この納品書は請求書発行済みです。" and that a change does not reach the invoice.
QString openedNotice(Kind kind);
// Asked before a change of the amount, the customer or the date of a billed document is saved.
QString changeQuestion(Kind kind);
// The refusal of checkUnchanged. The window takes the stored invoice key over, so that the next save
// of what the user typed is judged (and asked about) as for a document opened now.
class ChangedMeanwhile : public AppError
{
public:
    ChangedMeanwhile(const QString &message, int storedSeikyuKey)
        : AppError(message), m_stored(storedSeikyuKey)
    {
    }
    int storedSeikyuKey() const { return m_stored; }

private:
    int m_stored;
};

// Throws ChangedMeanwhile when the invoice key stored now differs from the one read when the window
// opened: the save stores nothing then.
void checkUnchanged(Kind kind, int key, int openedSeikyuKey, int storedSeikyuKey);

} // namespace BilledDocuments
