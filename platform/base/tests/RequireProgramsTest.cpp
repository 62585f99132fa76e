// A test that needs a program the machine lacks fails when the suite runs it, naming the program,
// so that a machine without the window tests' tools cannot pass with those tests never run.

#include "platform/base/tests/RequirePrograms.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

void NeedsAMissingProgram() { FLN_REQUIRE_PROGRAMS("sh", "formulon-no-such-program"); }

TEST(RequirePrograms, UnderTheSuiteAMissingProgramFailsTheTestAndIsNamed)
{
    const char* suite = std::getenv("FLN_TEST_SUITE");
    const std::string saved = suite ? suite : "";
    ::setenv("FLN_TEST_SUITE", "1", 1);
    EXPECT_FATAL_FAILURE(NeedsAMissingProgram(), "not installed: formulon-no-such-program (");
    if (suite)
        ::setenv("FLN_TEST_SUITE", saved.c_str(), 1);
    else
        ::unsetenv("FLN_TEST_SUITE");
}

TEST(RequirePrograms, MissingProgramsNamesOnlyThoseNotOnThePath)
{
    EXPECT_EQ(MissingPrograms({ "sh", "formulon-no-such-program", "env", "formulon-nor-this" }),
              "formulon-no-such-program, formulon-nor-this");
    EXPECT_EQ(MissingPrograms({ "sh" }), "");
}

} // namespace
