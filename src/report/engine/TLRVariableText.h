#pragma once
// Flowing multi-line text (the remarks box, the bank accounts): drawn piece by piece, character
// by character, wrapping at the right edge without ever starting a line with "。" or "、".
#include "report/engine/TCustomLRItem.h"

class TLRVariableText : public TCustomLRItem
{
    Q_OBJECT
public:
    explicit TLRVariableText(QObject *parent = nullptr);

    int CharSpace = 0; // extra space after each character, layout units
    int Leading = 0;   // extra space between lines
    QString Text;
    bool Transparent = true;
    int WordSpace = 5; // space after a word that ended with a blank
    bool WordWrap = true;

    void PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale) override;
};
