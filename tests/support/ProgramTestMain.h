#pragma once
// QTEST_MAIN with the program's own application object, for tests that rely on what it adds (the
// application's default handler for failures).
#include "controls/KadomelApplication.h"

#include <QTest>

#define KADOMEL_PROGRAM_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        KadomelApplication app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
