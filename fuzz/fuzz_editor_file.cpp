// Loads arbitrary bytes as a script file (UTF-16LE with its mark, UTF-8, or Windows-1252), saves
// the text and loads it again. Besides crashes and undefined behaviour it checks that what was
// saved loads back as the same text in the same encoding.

#include "editor/Edit.h"
#include "platform/base/MessageBox.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string TempName(const char* suffix)
{
    return "/tmp/fln-fuzz-editor-" + std::to_string(::getpid()) + suffix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        SetMessageBoxHandler([](const wchar_t*, const wchar_t*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    const std::string in = TempName(".in"), out = TempName(".out");
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SECEdit first;
    first.InitializeContent(L"Default");
    if (!first.LoadFile(CString(in.c_str())))
        __builtin_trap();
    CString loaded;
    first.GetAllText(loaded);
    if (!first.SaveFile(CString(out.c_str())))
        __builtin_trap();

    SECEdit second;
    second.InitializeContent(L"Default");
    if (!second.LoadFile(CString(out.c_str())))
        __builtin_trap();
    CString reloaded;
    second.GetAllText(reloaded);
    if (reloaded != loaded || second.IsUnicodeFile() != first.IsUnicodeFile())
        __builtin_trap();
    std::remove(in.c_str());
    std::remove(out.c_str());
    return 0;
}
