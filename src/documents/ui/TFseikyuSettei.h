#pragma once
// The invoice settings dialog.
#include "documents/ui/TFdocumentSettei.h"

class TFseikyuSettei : public TFdocumentSettei
{
    Q_OBJECT
public:
    explicit TFseikyuSettei(QWidget *parent = nullptr);
};
