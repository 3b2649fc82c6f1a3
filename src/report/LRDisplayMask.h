#pragma once
// The display format of a text item: a number pattern ("#,##0.00", sections "pos;neg;zero",
// quoted literals) for numeric text, an edit mask ("000-0000") for any other text.
#include <QString>

QString formatWithDisplayMask(const QString &text, const QString &mask);
