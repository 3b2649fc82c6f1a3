#include "common/PictureBytes.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>

namespace PictureBytes {
namespace {

uchar byteAt(const QByteArray &bytes, qsizetype at)
{
    return uchar(bytes[at]);
}

// Walks the marker segments from the start-of-image marker, skipping each segment by its length
// (so a thumbnail inside an application segment is passed over) and the coded data of a scan up to
// its next marker.
bool jpegIsWhole(const QByteArray &bytes)
{
    if (bytes.size() < 4 || byteAt(bytes, 0) != 0xFF || byteAt(bytes, 1) != 0xD8)
        return false;
    qsizetype at = 2;
    while (at + 1 < bytes.size()) {
        if (byteAt(bytes, at) != 0xFF) { // coded data of a scan
            ++at;
            continue;
        }
        const uchar marker = byteAt(bytes, at + 1);
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF) { // a fill byte before a marker
            ++at;
            continue;
        }
        // A stuffed zero in coded data, a restart marker, TEM: no length follows.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (at + 3 >= bytes.size())
            return false;
        const qsizetype length = (qsizetype(byteAt(bytes, at + 2)) << 8) | byteAt(bytes, at + 3);
        if (length < 2)
            return false;
        at += 2 + length;
    }
    return false;
}

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

// The file size of the file header, and the pixel rows (uncompressed) or the image size (packed)
// of the information header, must fit in the bytes.
bool bitmapIsWhole(const QByteArray &bytes)
{
    if (bytes.size() < 26 || littleEndian(bytes, 2, 4) > quint64(bytes.size()))
        return false;
    const double offset = littleEndian(bytes, 10, 4);
    const quint32 headerSize = littleEndian(bytes, 14, 4);
    double width = 0, height = 0, bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) { // the old OS/2 header
        width = littleEndian(bytes, 18, 2);
        height = littleEndian(bytes, 20, 2);
        bits = littleEndian(bytes, 24, 2);
    } else {
        if (bytes.size() < 38)
            return false;
        width = std::abs(double(qint32(littleEndian(bytes, 18, 4))));
        height = std::abs(double(qint32(littleEndian(bytes, 22, 4))));
        bits = littleEndian(bytes, 28, 2);
        compression = littleEndian(bytes, 30, 4);
    }
    const bool rows = compression == 0 || compression == 3 || compression == 6; // plain or bit fields
    const double data = rows ? std::floor((width * bits + 31) / 32) * 4 * height : littleEndian(bytes, 34, 4);
    return offset + data <= double(bytes.size());
}

} // namespace

Decoded decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (!isTakenFormat(format) || isCutShort(bytes, format))
        return {QImage(), true};
    QImage picture = reader.read();
    const bool unreadable = picture.isNull();
    return {std::move(picture), unreadable};
}

bool isTakenFormat(const QByteArray &format)
{
    return format == "jpeg" || format == "bmp";
}

bool isCutShort(const QByteArray &bytes, const QByteArray &format)
{
    if (format == "jpeg")
        return !jpegIsWhole(bytes);
    if (format == "bmp")
        return !bitmapIsWhole(bytes);
    return false;
}

QString unreadableSealPrintMessage()
{
    return QStringLiteral("印影の画像を読み込めません（JPEGかビットマップの画像ではないか、壊れています）。\n"
                          "印影なしで印刷します。自社情報で印影の画像を読み込み直してください。");
}

QString unreadableSealShownMessage()
{
    return QStringLiteral(
        "保存されている印影の画像を読み込めません（JPEGかビットマップの画像ではないか、"
        "壊れています）。\n印影の画像を読み込み直してください。このままでは印影なしで印刷されます。");
}

} // namespace PictureBytes
