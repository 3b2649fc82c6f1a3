#pragma once
// Reading Japan Post's national postal-code file: comma-separated lines in Shift-JIS (the Windows
// variant CP932), of which the loader keeps field 3 (the seven-digit code) and fields 7, 8 and 9
// (prefecture, city, town area) joined into one address. The file's placeholder for "no town name"
// in field 9 ("以下に掲載がない場合") is left out, so that the address line reads as an address.
#include "common/AppError.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

class QIODevice;

struct PostalRecord
{
    int yubin = 0;  // the code as a number: leading zeros are dropped (0600000 -> 600000)
    QString jyusyo; // fields 7, 8 and 9 joined (field 9 empty when it holds the no-town placeholder)
};

// Why one line cannot be read, as a Japanese sentence.
class PostalLineError : public AppError
{
public:
    using AppError::AppError;
};

// A file that cannot be loaded; the message names the line where it went wrong.
class PostalFileError : public AppError
{
public:
    using AppError::AppError;
};

// Splits a line into its fields: a field may be enclosed in double quotes (a doubled quote inside
// stands for one quote); an unquoted field ends at a comma, a blank or a control character.
// Throws PostalLineError for a quote that is not closed, a closing quote followed by more text, or a
// NUL character inside quotes.
QStringList SplitPostalFields(QStringView line);

// Reads one line (without its line end). Throws PostalLineError for fewer than nine fields, a
// broken quote, or a field 3 that is not seven digits.
PostalRecord ParsePostalLine(QStringView line);

// Decodes lines from CP932, the Windows variant of Shift-JIS in which Japan Post writes the file.
class PostalDecoder
{
public:
    PostalDecoder();
    bool isValid() const { return m_decoder->isValid(); }
    // Throws PostalLineError for bytes that are no CP932 text.
    QString decode(QByteArrayView bytes);

private:
    void renew();
    // Renewed in place after an error: Qt 6.4's ICU converter keeps its error flag through
    // resetState() and loses it through move assignment.
    std::optional<QStringDecoder> m_decoder;
};

// Reads a postal file from start to end, line by line (CR LF or LF), without holding more than a
// block and one line in memory.
class PostalFileReader
{
public:
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    explicit PostalFileReader(QIODevice &device);

    // The next record; false at the end of the file. Throws PostalFileError naming the line.
    bool next(PostalRecord &record);

    qint64 lineNumber() const { return m_lineNumber; }
    qint64 bytesConsumed() const { return m_consumed; }

private:
    bool nextLine(QByteArrayView &line);
    bool fillBuffer();
    [[noreturn]] void fail(const QString &reason) const;

    QIODevice &m_device;
    PostalDecoder m_decoder;
    QByteArray m_buffer;
    qsizetype m_start = 0;
    qint64 m_lineNumber = 0;
    qint64 m_consumed = 0;
    bool m_deviceAtEnd = false;
};
