// The flowing-text tokenizer of the report engine, fed any text (UTF-8, or UTF-16 with lone
// surrogates): it loses no character, keeps every blank and line end as a token's ending, and
// gives no empty token that ends nothing.
#include "report/engine/SjisTokenizer.h"

#include <cstdlib>

namespace {

// The first byte chooses how the rest is read: as UTF-8, or as raw UTF-16 code units.
QString textOf(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const char *rest = reinterpret_cast<const char *>(data + 1);
    if (data[0] % 2 == 0)
        return QString::fromUtf8(rest, qsizetype(size - 1));
    return QString(reinterpret_cast<const QChar *>(rest), qsizetype((size - 1) / 2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Copied once, so that the UTF-16 view never reads unaligned or past the end.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = textOf(reinterpret_cast<const uint8_t *>(bytes.constData()), size);

    QString rebuilt;
    for (const TextToken &token : tokenizeFlowingText(text)) {
        if (token.chars.isEmpty() && !token.wordEnd && !token.lineEnd)
            std::abort();
        if (token.wordEnd && token.lineEnd)
            std::abort();
        for (const QString &ch : token.chars)
            rebuilt += ch;
        if (token.wordEnd)
            rebuilt += QLatin1Char(' ');
        if (token.lineEnd)
            rebuilt += QLatin1Char('\n');
    }
    QString expected = text;
    expected.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (rebuilt != expected)
        std::abort();
    return 0;
}
