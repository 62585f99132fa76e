#pragma once
// The resource compiler's entry point: a script in, its resources in their binary layouts out.

#include "tools/rc/FileSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fln::rc {

// A type or a name: an ordinal, or (when name is not empty) an upper-case name.
struct ResourceName {
    std::uint16_t id = 0;
    std::u16string name;

    bool IsName() const { return !name.empty(); }
    bool operator==(const ResourceName&) const = default;
    auto operator<=>(const ResourceName&) const = default;
};

struct CompiledResource {
    ResourceName type;
    ResourceName name;
    std::vector<std::uint8_t> data;
};

struct CompiledScript {
    std::vector<CompiledResource> resources;
    std::vector<std::string> filesRead; // the script, its includes and every file it names
};

// Throws ScriptError (file:line: error: message) for a malformed script or a missing file.
CompiledScript CompileScript(FileSource& files, const std::string& scriptPath, const std::vector<std::string>& includeDirs = {});
// The scripts of one program together: icon and cursor images are numbered across all of them, and
// a resource (or string) that two of them define is an error, as within one script.
CompiledScript CompileScripts(FileSource& files, const std::vector<std::string>& scriptPaths, const std::vector<std::string>& includeDirs = {});

// A C++ source that links the resources into the program: byte tables and an index registered
// with platform/res at start-up.
std::string GenerateCppSource(const CompiledScript& script, const std::string& scriptNames);

}
