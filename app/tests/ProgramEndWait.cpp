// Every program these tests start, in this process or as a process of its own, waits for the end a
// termination signal asks as long as the tests wait: on a loaded machine the window may take the
// request later than the last resort's few seconds, and a test that checks the program's own end
// must not meet the last resort instead. A test that checks the last resort sets shorter limits.

#include "platform/base/tests/WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class ProgramEndWait : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("FORMULON_END_WAIT_MS", std::to_string(kWaitLimit.count()).c_str(), 1); }
};

[[maybe_unused]] const ::testing::Environment* const g_programEndWait = ::testing::AddGlobalTestEnvironment(new ProgramEndWait);

} // namespace
