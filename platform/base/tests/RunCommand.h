#pragma once
// Runs a shell command for a test: its output (standard error included) and exit status. A command
// that hangs is ended at the tests' wait limit, as long as any other wait of a test may last; a
// loaded machine that is merely slow never reaches it.

#include "platform/base/tests/WaitUntil.h"

#include <chrono>
#include <cstdio>
#include <string>

struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult RunCommand(const std::string& command)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kWaitLimit).count();
    CommandResult result;
    FILE* pipe = popen(("timeout " + std::to_string(seconds) + " " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        result.output.append(chunk, n);
    result.status = pclose(pipe);
    return result;
}
