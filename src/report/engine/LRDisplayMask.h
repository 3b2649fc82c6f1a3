#pragma once
// The display format of a text item: numeric text is formatted by the program's one number
// formatter (common/DisplayFormat.h, where a backslash prints as the yen sign), any other text by
// an edit mask ("LLL-0000").
#include <QString>

QString formatWithDisplayMask(const QString &text, const QString &mask);
