// Linked into every window test: each test database also puts the message helper into its test
// mode, so no real message box waits for a person and the test reads what was said.
#include "TestDatabase.h"

#include "controls/Messages.h"

namespace {

const bool messagesAnswered = [] {
    TestDatabase::onCreate() = [] { Messages::setTestMode(true); };
    return true;
}();

} // namespace
