#pragma once
// What the program said through the message helper since the last call, as texts.
#include "controls/Messages.h"

#include <QStringList>

inline QStringList said()
{
    QStringList texts;
    for (const Messages::Record &r : Messages::takeHistory())
        texts << r.text;
    return texts;
}
