#pragma once
// Bytes that are no file of any kind, the same on every run for a seed.
#include <QByteArray>
#include <QRandomGenerator>

inline QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}
