// Any bytes given to the postal-file reader, as one line or as a whole file, give records or the
// reader's own errors; a record always has a seven-digit code.
#include "masters/PostalFile.h"

#include <cstdlib>
#include <QBuffer>

namespace {

void checkRecord(const PostalRecord &record)
{
    if (record.yubin < 0 || record.yubin > 9999999)
        std::abort();
}

void readAsLine(const QByteArray &bytes)
{
    PostalDecoder decoder;
    try {
        const QString line = decoder.decode(bytes);
        SplitPostalFields(line);
        checkRecord(ParsePostalLine(line));
    } catch (const PostalLineError &) {
    }
}

void readAsFile(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        PostalFileReader reader(buffer);
        PostalRecord record;
        while (reader.next(record))
            checkRecord(record);
    } catch (const PostalFileError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    readAsLine(bytes);
    readAsFile(bytes);
    return 0;
}
