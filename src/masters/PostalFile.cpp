#include "masters/PostalFile.h"

#include <QIODevice>

namespace {

constexpr qsizetype kReadBlock = 64 * 1024;

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

struct Field
{
    QStringView raw;      // the text between the quotes, or the unquoted text
    bool doubled = false; // holds doubled quotes that stand for one quote

    QString text() const
    {
        QString t = raw.toString();
        if (doubled)
            t.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return t;
    }
};

// Walks the fields of one line from left to right.
class FieldScanner
{
public:
    explicit FieldScanner(QStringView line) : m_line(line) { skipBlanks(); }

    bool next(Field &field)
    {
        if (m_trailingEmpty) { // a comma at the very end stands before one more, empty field
            m_trailingEmpty = false;
            field = Field{};
            return true;
        }
        if (atEnd())
            return false;
        field = m_line[m_pos] == u'"' ? quoted() : unquoted();
        skipBlanks();
        if (!atEnd() && m_line[m_pos] == u',') {
            ++m_pos;
            m_trailingEmpty = atEnd();
            skipBlanks();
        }
        return true;
    }

private:
    bool atEnd() const { return m_pos >= m_line.size(); }
    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_line[m_pos]))
            ++m_pos;
    }

    Field unquoted()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && !isBlank(m_line[m_pos]) && m_line[m_pos] != u',')
            ++m_pos;
        return {m_line.mid(start, m_pos - start), false};
    }

    Field quoted()
    {
        Field field;
        const qsizetype start = ++m_pos;
        for (;; ++m_pos) {
            if (atEnd())
                throw PostalLineError(QStringLiteral("引用符（\"）が閉じていません。"));
            // No address holds a NUL; one in the file means damage, and the server refuses it.
            if (m_line[m_pos].isNull())
                throw PostalLineError(
                    QStringLiteral("引用符（\"）で囲んだ項目にNUL文字（文字コード0）があります。"));
            if (m_line[m_pos] != u'"')
                continue;
            if (m_pos + 1 < m_line.size() && m_line[m_pos + 1] == u'"') {
                field.doubled = true;
                ++m_pos;
                continue;
            }
            break;
        }
        field.raw = m_line.mid(start, m_pos - start);
        ++m_pos;
        if (!atEnd() && !isBlank(m_line[m_pos]) && m_line[m_pos] != u',')
            throw PostalLineError(
                QStringLiteral("引用符（\"）で囲んだ項目の後に区切りの「,」がありません。"));
        return field;
    }

    QStringView m_line;
    qsizetype m_pos = 0;
    bool m_trailingEmpty = false;
};

bool isSevenDigits(QStringView text)
{
    if (text.size() != 7)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The file writes this where a code covers a whole city without a town name of its own
// (0600000: 北海道札幌市中央区); it is no part of the address.
QString townName(const QString &field9)
{
    return field9 == QStringLiteral("以下に掲載がない場合") ? QString() : field9;
}

} // namespace

QStringList SplitPostalFields(QStringView line)
{
    QStringList fields;
    FieldScanner scanner(line);
    Field field;
    while (scanner.next(field))
        fields.append(field.text());
    return fields;
}

PostalRecord ParsePostalLine(QStringView line)
{
    FieldScanner scanner(line);
    Field field, code, prefecture, city, town;
    int count = 0;
    while (scanner.next(field)) {
        switch (++count) {
        case 3:
            code = field;
            break;
        case 7:
            prefecture = field;
            break;
        case 8:
            city = field;
            break;
        case 9:
            town = field;
            break;
        default:
            break;
        }
    }
    if (count < 9)
        throw PostalLineError(QStringLiteral("項目が9個ありません（%1個）。").arg(count));
    const QString codeText = code.text();
    if (!isSevenDigits(codeText))
        throw PostalLineError(
            QStringLiteral("3番目の項目の郵便番号「%1」が7桁の数字ではありません。").arg(codeText));
    return {codeText.toInt(), prefecture.text() + city.text() + townName(town.text())};
}

PostalDecoder::PostalDecoder()
{
    renew();
}

void PostalDecoder::renew()
{
    // ICU knows CP932 under "windows-31j": 0x81 0x7C is U+FF0D there, as Windows reads it.
    m_decoder.emplace("windows-31j", QStringConverter::Flag::Stateless);
}

QString PostalDecoder::decode(QByteArrayView bytes)
{
    QString text = m_decoder->decode(bytes);
    if (m_decoder->hasError()) {
        renew();
        throw PostalLineError(QStringLiteral("Shift-JIS（CP932）の文字として読めないバイトがあります。"));
    }
    return text;
}

PostalFileReader::PostalFileReader(QIODevice &device) : m_device(device)
{
    if (!m_decoder.isValid())
        throw PostalFileError(QStringLiteral("Shift-JIS（CP932）の文字コード変換を使えません。"));
}

// A line with nothing on it (an extra line break, or the end-of-file mark 0x1A some Windows tools
// add) carries no address and is passed over.
static bool isBlankLine(QByteArrayView bytes)
{
    for (const char c : bytes)
        if (c != ' ' && c != '\t' && c != '\x1a')
            return false;
    return true;
}

bool PostalFileReader::next(PostalRecord &record)
{
    QByteArrayView bytes;
    do {
        if (!nextLine(bytes))
            return false;
    } while (isBlankLine(bytes));
    try {
        record = ParsePostalLine(m_decoder.decode(bytes));
    } catch (const PostalLineError &e) {
        fail(e.message());
    }
    return true;
}

bool PostalFileReader::nextLine(QByteArrayView &line)
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', m_start);
        const qsizetype available = (end >= 0 ? end : m_buffer.size()) - m_start;
        if (available > kMaxLineBytes) {
            ++m_lineNumber;
            fail(QStringLiteral("1行が長すぎます（%1バイトを超えています）。").arg(kMaxLineBytes));
        }
        if (end < 0 && !m_deviceAtEnd && fillBuffer())
            continue;
        if (end < 0 && m_start >= m_buffer.size())
            return false;
        const qsizetype stop = end >= 0 ? end : m_buffer.size();
        line = QByteArrayView(m_buffer).sliced(m_start, stop - m_start);
        if (line.endsWith('\r'))
            line.chop(1);
        m_consumed += (end >= 0 ? stop + 1 : stop) - m_start;
        m_start = end >= 0 ? stop + 1 : stop;
        ++m_lineNumber;
        return true;
    }
}

// Appends the next block of the file; false at its end.
bool PostalFileReader::fillBuffer()
{
    m_buffer.remove(0, m_start);
    m_start = 0;
    const qsizetype size = m_buffer.size();
    m_buffer.resize(size + kReadBlock);
    const qint64 read = m_device.read(m_buffer.data() + size, kReadBlock);
    if (read < 0)
        throw PostalFileError(QStringLiteral("ファイルを読み込めません。\r\n%1").arg(m_device.errorString()));
    m_buffer.resize(size + read);
    m_deviceAtEnd = read == 0;
    return read > 0;
}

void PostalFileReader::fail(const QString &reason) const
{
    throw PostalFileError(
        QStringLiteral("郵便番号データの%1行目が正しくありません。\r\n%2").arg(m_lineNumber).arg(reason));
}
