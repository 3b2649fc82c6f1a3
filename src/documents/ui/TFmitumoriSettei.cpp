#include "documents/ui/TFmitumoriSettei.h"

TFmitumoriSettei::TFmitumoriSettei(QWidget *parent) : TFdocumentSettei(Numbering::Kind::Mitumori, parent) {}
