#include "documents/ui/TFseikyuSettei.h"

TFseikyuSettei::TFseikyuSettei(QWidget *parent) : TFdocumentSettei(Numbering::Kind::Seikyu, parent) {}
