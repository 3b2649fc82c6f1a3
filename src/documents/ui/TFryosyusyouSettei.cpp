#include "documents/ui/TFryosyusyouSettei.h"

TFryosyusyouSettei::TFryosyusyouSettei(QWidget *parent)
    : TFdocumentSettei(Numbering::Kind::Ryosyusyou, parent)
{
}
