#pragma once
// The delivery note settings dialog.
#include "documents/ui/TFdocumentSettei.h"

class TFnohinSettei : public TFdocumentSettei
{
    Q_OBJECT
public:
    explicit TFnohinSettei(QWidget *parent = nullptr);
};
