#pragma once
// How the entry fields of the master and document windows take input: a text field keeps within its
// column's Shift-JIS byte length and has the input method on; a number field discards typed
// characters it cannot hold and has the input method off.
#include <QString>

class QLineEdit;
class QWidget;

namespace EntryFields {

enum class Kind {
    Text,           // anything
    Digits,         // codes, amounts, closing day
    DigitsOrHyphen, // postal code, telephone, fax
    DigitsOrPoint,  // prices and quantities
};

// The characters besides the digits that a field of the kind accepts from the keyboard.
QString extraKeys(Kind kind);
// True when a key press of this character reaches a field of the kind: control characters (code 32
// and below) always do.
bool acceptsKey(Kind kind, QChar c);

// Sets the field up for its kind; with a table and column naming a text column, input also stops at
// the column's byte length.
void setUp(QLineEdit *edit, Kind kind, const QString &table = {}, const QString &column = {});

// Puts the cursor of every text field of the window that has no focus at its beginning, so that a
// field filled with a long text (an address) shows how the text begins, not how it ends.
void showFromBeginning(const QWidget *window);

} // namespace EntryFields
