#pragma once
// The postal-code lookup behind the small button beside a window's postal-code field: one address
// goes straight into the first address line, several are offered in the choice dialog, a code
// that is not in the table empties the line. The address line takes the focus; nothing else of
// the window is touched. Before any postal-code data is loaded the lookup says so and where to load
// it, and leaves the address line as it is.
class QLineEdit;
class QWidget;

void lookUpAddress(QWidget *window, const QLineEdit *Yubin, QLineEdit *Jyusyo1);

// Said when the Address table is empty.
extern const char *const kPostalDataNotLoaded;
