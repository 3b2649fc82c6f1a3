#pragma once
// The receipt settings dialog (no remarks: the receipt prints none).
#include "documents/ui/TFdocumentSettei.h"

class TFryosyusyouSettei : public TFdocumentSettei
{
    Q_OBJECT
public:
    explicit TFryosyusyouSettei(QWidget *parent = nullptr);
};
