#pragma once
// Where a program that tests and benchmarks drive (an X server, a window manager, xdotool) is on
// the PATH.

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>

// The program's path, or empty when no folder of the PATH has it.
inline std::string FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        std::string candidate = folders.substr(start, end == std::string::npos ? std::string::npos : end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return {};
}

// The names of those programs that are not on the PATH, separated by ", "; empty when all are.
inline std::string MissingPrograms(std::initializer_list<const char*> names)
{
    std::string missing;
    for (const char* name : names)
        if (FindProgram(name).empty())
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    return missing;
}
