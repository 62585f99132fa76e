#pragma once
// Runs a shell command for a test, bounded to ten seconds: its output (standard error included)
// and exit status.

#include <cstdio>
#include <string>

struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen(("timeout 10 " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        result.output.append(chunk, n);
    result.status = pclose(pipe);
    return result;
}
