#pragma once
// Waits for what must NOT happen: the event loop turns a number of times, so that a timer-driven step
// or a queued call that should have stopped would have run meanwhile. A timer of interval 0 fires once
// on every turn, as every other such timer does; the wait ends when it has fired `turns` times.
#include <QObject>
#include <QTest>
#include <QTimer>

inline bool waitForEventLoopTurns(int turns = 10)
{
    int turned = 0;
    QTimer witness;
    witness.setInterval(0);
    QObject::connect(&witness, &QTimer::timeout, [&turned] { ++turned; });
    witness.start();
    return QTest::qWaitFor([&turned, turns] { return turned >= turns; });
}
