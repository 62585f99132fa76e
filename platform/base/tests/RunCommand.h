#pragma once
// Runs a shell command for a test: its output (standard error included) and exit status. A command
// that hangs is ended at the tests' wait limit, as long as any other wait of a test may last; a
// loaded machine that is merely slow never reaches it. The limit covers the whole command line, every
// program of a pipeline and what they start: they run in one shell whose process group `timeout` ends.

#include "platform/base/tests/WaitUntil.h"

#include <chrono>
#include <cstdio>
#include <string>

struct CommandResult {
    int status = -1;
    std::string output;
};

// The tests' wait limit in whole seconds, as command-line tools take it.
inline std::string WaitLimitSeconds()
{
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kWaitLimit).count());
}

// `text` as one word of a POSIX shell.
inline std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The bus tools with the tests' wait limit for each call, in place of their own 25 s.
inline std::string Busctl() { return "busctl --user --timeout=" + WaitLimitSeconds() + " "; }
inline std::string GdbusCall() { return "gdbus call --session --timeout " + WaitLimitSeconds() + " "; }

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    // A command that ignores the first signal gets SIGKILL a few seconds later.
    const std::string line = "timeout -k 5 " + WaitLimitSeconds() + " sh -c " + ShellQuoted(command) + " 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe)
        return result;
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        result.output.append(chunk, n);
    result.status = pclose(pipe);
    return result;
}
