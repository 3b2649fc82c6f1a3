#pragma once
// Splits flowing Japanese text into the pieces that may not be broken across lines, judged by
// the characters' Shift-JIS widths: every double-byte character is a piece by itself, except that
// a following "。" or "、" stays with it; a run of single-byte characters (ASCII, half-width
// katakana) is one piece up to and including a blank; a line end closes a piece.
#include <QList>
#include <QString>

struct TextToken
{
    QList<QString> chars; // the characters to draw, blank or line end removed
    bool wordEnd = false; // ended with a blank
    bool lineEnd = false; // ended with a line feed (CR LF, or a lone LF)
};

// True when the character takes two bytes in Shift-JIS (or cannot be written in it at all).
bool isDoubleByteChar(const QString &ch);

QList<TextToken> tokenizeFlowingText(const QString &text);
