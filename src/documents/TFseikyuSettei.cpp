#include "documents/TFseikyuSettei.h"

TFseikyuSettei::TFseikyuSettei(QWidget *parent) : TFdocumentSettei(Numbering::Kind::Seikyu, parent) {}
