#pragma once
// A test that drives other programs (an X server, a window manager, xdotool, xclip) needs them. Run
// by the suite (CTest sets FLN_TEST_SUITE), it fails where one is missing and names it, so that a
// machine without them cannot pass with those tests never run; run by hand, it is skipped.

#include "platform/base/tests/FindProgram.h"

#include <gtest/gtest.h>

inline bool RunByTheSuite()
{
    const char* suite = std::getenv("FLN_TEST_SUITE");
    return suite && *suite;
}

// Ends the test (or the fixture's SetUp) unless every named program is on the PATH.
#define FLN_REQUIRE_PROGRAMS(...)                                                                          \
    if (const std::string missingPrograms = MissingPrograms({ __VA_ARGS__ }); !missingPrograms.empty()) { \
        if (RunByTheSuite())                                                                               \
            GTEST_FAIL() << "not installed: " << missingPrograms << " (scripts/install-deps.sh installs them)"; \
        else                                                                                               \
            GTEST_SKIP() << "not installed: " << missingPrograms;                                          \
    }
