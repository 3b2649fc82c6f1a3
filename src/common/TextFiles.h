#pragma once
// Text files the program reads (configuration, readme, saved statements) are written in UTF-8; one
// brought from a Windows machine is in Shift-JIS as Windows has it (code page 932). A text that is
// no valid UTF-8 is read that way, so that its Japanese survives.
#include <QByteArray>
#include <QString>

// UTF-8 when the bytes are valid UTF-8, otherwise CP932; when they are neither, UTF-8 with
// replacement characters.
QString decodeUtf8OrCp932(const QByteArray &bytes);

// True when the bytes read as text: valid UTF-8 or CP932, and no control character but tab, line
// feed and carriage return. Binary data (a damaged file, a picture saved under the wrong name) is
// not text.
bool isText(const QByteArray &bytes);

// The whole file decoded so, its CR LF line ends made LF. Throws AppError naming the file when it
// cannot be opened.
QString readTextFile(const QString &path);
