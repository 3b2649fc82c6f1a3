#include "report/engine/SjisTokenizer.h"

#include <QStringEncoder>

namespace {

// The text as characters; a surrogate pair is one character.
QList<QString> splitCharacters(const QString &text)
{
    QList<QString> chars;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            chars.append(text.mid(i, 2));
            ++i;
        } else {
            chars.append(QString(text[i]));
        }
    }
    return chars;
}

bool staysWithPrevious(const QString &ch)
{
    return ch == u"。" || ch == u"、";
}

} // namespace

bool isDoubleByteChar(const QString &ch)
{
    if (ch.size() == 1 && ch[0].unicode() < 0x80)
        return false;
    QStringEncoder encoder("Shift_JIS", QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(ch);
    if (encoder.hasError() || bytes.isEmpty() || (bytes == "?" && ch != u"?"))
        return true;
    return bytes.size() >= 2;
}

QList<TextToken> tokenizeFlowingText(const QString &text)
{
    const QList<QString> chars = splitCharacters(text);
    QList<bool> wide;
    wide.reserve(chars.size());
    for (const QString &ch : chars)
        wide.append(isDoubleByteChar(ch));

    QList<TextToken> tokens;
    TextToken token;
    const qsizetype n = chars.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString &ch = chars[i];
        bool ends = i == n - 1;
        if (ch == u" ") {
            token.wordEnd = true;
            ends = true;
        } else if (ch == u"\n") {
            // A line feed after a carriage return ends the line; a lone one is taken the same way.
            if (!token.chars.isEmpty() && token.chars.last() == u"\r")
                token.chars.removeLast();
            token.lineEnd = true;
            ends = true;
        } else {
            token.chars.append(ch);
            if (wide[i])
                ends = ends || !staysWithPrevious(chars[i + 1]);
            else
                ends = ends || wide[i + 1];
        }
        if (ends) {
            tokens.append(token);
            token = TextToken();
        }
    }
    return tokens;
}
