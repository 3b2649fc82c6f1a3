#include "documents/ui/TFnohinSettei.h"

TFnohinSettei::TFnohinSettei(QWidget *parent) : TFdocumentSettei(Numbering::Kind::Nohin, parent) {}
