// fln-rc: compiles the resource scripts of a program into a C++ source linked into it.
//   fln-rc [-I dir]... [--depfile file] -o output.cpp script.rc...
// A fault in the script is printed as "file:line: error: message" and the tool exits with 1
// without writing anything; outputs are only ever replaced whole.

#include "tools/rc/Diagnostics.h"
#include "tools/rc/ResourceScript.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

int Usage()
{
    std::cerr << "usage: fln-rc [-I dir]... [--depfile file] -o output.cpp script.rc...\n";
    return 2;
}

// Writes beside the target and renames, so that a failed run never leaves half a file.
bool WriteFileAtomically(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".tmp";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    const bool written = file.write(contents.data(), static_cast<std::streamsize>(contents.size())) && file.flush();
    file.close();
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string EscapeForMake(const std::string& path)
{
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#')
            escaped += '\\';
        if (c == '$')
            escaped += '$';
        escaped += c;
    }
    return escaped;
}

}

int main(int argc, char** argv)
{
    std::vector<std::string> includeDirs;
    std::string output, depfile;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (argument == "-I") {
            const char* dir = value();
            if (!dir)
                return Usage();
            includeDirs.push_back(dir);
        } else if (argument.rfind("-I", 0) == 0) {
            includeDirs.push_back(argument.substr(2));
        } else if (argument == "-o" || argument == "--depfile") {
            const char* path = value();
            if (!path)
                return Usage();
            (argument == "-o" ? output : depfile) = path;
        } else if (!argument.empty() && argument[0] != '-') {
            scripts.push_back(argument);
        } else {
            return Usage();
        }
    }
    if (scripts.empty() || output.empty())
        return Usage();
    std::string scriptList;
    for (const std::string& script : scripts)
        scriptList += (scriptList.empty() ? "" : ", ") + script;

    fln::rc::DiskFileSource files;
    try {
        fln::rc::CompiledScript compiled = fln::rc::CompileScripts(files, scripts, includeDirs);
        if (!WriteFileAtomically(output, fln::rc::GenerateCppSource(compiled, scriptList))) {
            std::cerr << output << ": error: cannot write the output: " << std::strerror(errno) << "\n";
            return 1;
        }
        if (!depfile.empty()) {
            std::string rule = EscapeForMake(output) + ":";
            for (const std::string& path : compiled.filesRead)
                rule += " \\\n  " + EscapeForMake(path);
            if (!WriteFileAtomically(depfile, rule + "\n")) {
                std::cerr << depfile << ": error: cannot write the dependency file\n";
                return 1;
            }
        }
    } catch (const fln::rc::ScriptError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << scriptList << ": error: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
