#pragma once
// The one kind of failure the resource compiler reports: a fault in a script or in a file it
// names, with the place where it was found.

#include <stdexcept>
#include <string>

namespace fln::rc {

class ScriptError : public std::runtime_error {
public:
    ScriptError(std::string file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": error: " + message)
        , m_file(std::move(file))
        , m_line(line)
        , m_message(message)
    {
    }

    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::string& Message() const { return m_message; }

private:
    std::string m_file;
    int m_line;
    std::string m_message;
};

}
