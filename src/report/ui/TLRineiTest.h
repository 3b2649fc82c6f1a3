#pragma once
// The seal test sheet of the own-company window: the picture being edited (not yet saved) is
// handed over in memory with the size typed in, and printed at the page's top-left corner.
#include "report/ui/TLRLayoutRep.h"

#include <QByteArray>

class IneiTestLayout;

class TLRineiTest : public TLRLayoutRep
{
    Q_OBJECT
public:
    explicit TLRineiTest(QWidget *parent = nullptr);

    // height and width in layout units (the pixels typed into the own-company window).
    void setSeal(const QByteArray &picture, int height, int width);

private:
    IneiTestLayout *m_sheet;
};
