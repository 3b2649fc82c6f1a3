#pragma once
// Extraction (抽出) of the main window's document lists: the statement a page's panel builds from
// its customer, staff and days filters and its order, and the first/last moves of a list.
#include <QString>

class TEngineQuery;

namespace Extraction {

enum class Page { Estimates, DeliveryNotes, Payments, Invoices };

struct Filter
{
    QString customer; // part of the customer's name
    QString staff;    // part of the own staff member's name; the payment page has none
    QString days;     // documents dated (invoices: closed) at most this many days ago, or later
    bool descending = false;
    // One customer by its key (0: none), as when a customer's documents are opened from elsewhere;
    // the customer's name is not matched then.
    int customerKey = 0;
};

// Rebuilds the page's statement from the filter and opens the list at its first row. Every typed
// text and the customer's key are bound as parameters; texts are matched literally. A days text that is no
// whole number raises
// "'text' は整数ではありません" and leaves the list closed.
void run(TEngineQuery &list, Page page, const Filter &filter);

// The statement of run() without opening it.
void build(TEngineQuery &list, Page page, const Filter &filter);

// "先頭へ" and "末尾へ"; on a closed list they raise the data layer's message.
void moveToFirst(TEngineQuery &list);
void moveToLast(TEngineQuery &list);

} // namespace Extraction
