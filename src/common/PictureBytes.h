#pragma once
// Pictures kept as the bytes of a picture file: the seal in the own-company row, the file of a
// picture item. They are read in one way everywhere (the own-company window, the seal test sheet,
// the documents), as JPEG or Windows bitmap, the formats the printed picture item takes, and only
// when the file is whole: a picture cut short would print as a part of itself.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace PictureBytes {

struct Decoded
{
    QImage picture;          // null when there were no bytes or they could not be read
    bool unreadable = false; // bytes given, but no whole JPEG or bitmap picture in them
};

// The picture of the bytes; no bytes give a null picture that is not unreadable.
Decoded decode(const QByteArray &bytes);

// True for the formats taken, as Qt's image reader names them: "jpeg" and "bmp".
bool isTakenFormat(const QByteArray &format);

// True when the bytes of a JPEG ("jpeg") or bitmap ("bmp") file end before its picture does: a
// JPEG whose marker segments end before its end-of-image marker, a bitmap shorter than its header
// says. Qt's readers draw such a file without complaint, the missing part grey or black.
bool isCutShort(const QByteArray &bytes, const QByteArray &format);

// What the user is told when the stored seal cannot be read: once by a print job, which then
// prints without it, and by the own-company window that shows it.
QString unreadableSealPrintMessage();
QString unreadableSealShownMessage();

} // namespace PictureBytes
