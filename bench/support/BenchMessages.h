#pragma once
// The benchmarks that open windows: no one answers a message box there, so every message is recorded
// (a question takes its default answer) instead of waiting for a person, and is shown on the error
// output afterwards; an error message fails the benchmark.
#include "BenchSupport.h"
#include "controls/Messages.h"

#include <cstdio>

namespace bench {

inline void recordMessages()
{
    Messages::setTestMode(true);
}

inline void showRecordedMessages()
{
    for (const Messages::Record &said : Messages::takeHistory()) {
        if (said.kind == Messages::Kind::Error)
            fail(QStringLiteral("the program said: ") + said.text.simplified());
        else
            std::fprintf(stderr, "(the program said: %s)\n", qPrintable(said.text.simplified()));
    }
}

} // namespace bench
