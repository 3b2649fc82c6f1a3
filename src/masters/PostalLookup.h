#pragma once
// Finding the addresses of a postal code in the Address table. The code is searched as a number made
// of the digits of what was typed, so "060-0000", "0600000" and "600000" find the same rows.
#include <optional>
#include <QString>
#include <QStringList>

class TEngineDatabase;

namespace PostalLookup {

// The characters of the typed code that are digits or ".", in the order they stand; full-width
// digits count as the digits they are.
QString searchText(QStringView yubin);
// The code to search for; nothing when the typed text holds no digit at all. Throws ConvertError
// when what is left is no whole number (a "." from a pasted code, too many digits).
std::optional<int> searchCode(QStringView yubin);

// The code as it is stored and printed: seven digits typed without their hyphen ("4520961", also in
// full width) become "452-0961"; any other text stays as typed.
QString storedCode(const QString &yubin);

// True when the postal-code data has been loaded (the Address table holds a row).
bool isLoaded(TEngineDatabase &db);
int countAddresses(TEngineDatabase &db, int code);
// The addresses of the code in the order the engine returns them.
QStringList addresses(TEngineDatabase &db, int code);

} // namespace PostalLookup
