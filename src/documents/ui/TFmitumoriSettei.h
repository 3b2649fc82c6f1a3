#pragma once
// The estimate settings dialog.
#include "documents/ui/TFdocumentSettei.h"

class TFmitumoriSettei : public TFdocumentSettei
{
    Q_OBJECT
public:
    explicit TFmitumoriSettei(QWidget *parent = nullptr);
};
