#pragma once
// The print range fields of the report window: what a typed text means as a page number.
#include <optional>
#include <QString>

// An empty field is 0; otherwise the text must be a whole number (blanks around it allowed).
std::optional<int> pageFieldValue(const QString &text);
// The field's text for a page number: empty for 0.
QString pageFieldText(int page);
// "'%s' は整数ではありません" with the typed text.
QString notAnIntegerMessage(const QString &text);
