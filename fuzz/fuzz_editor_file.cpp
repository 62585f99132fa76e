// Loads arbitrary bytes as a script file (UTF-16LE with its mark, UTF-8, or Windows-1252), saves
// the text and loads it again. Besides crashes and undefined behaviour it checks that what was
// saved loads back as the same text in the same encoding. Files with NUL characters are refused.

#include "editor/Edit.h"
#include "fuzz/FuzzSupport.h"
#include "platform/base/MessageBox.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        SetMessageBoxHandler([](const wchar_t*, const wchar_t*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    static fuzz::ScratchFolder scratch;
    const fuzz::ScratchFile in(scratch, "in", std::string_view(reinterpret_cast<const char*>(data), size));
    const fuzz::ScratchFile out(scratch, "out", {});

    SECEdit first;
    first.InitializeContent(L"Default");
    if (!first.LoadFile(CString(in.path().c_str()))) {
        if (std::string_view(reinterpret_cast<const char*>(data), size).find('\0') == std::string_view::npos)
            __builtin_trap();
        return 0;
    }
    CString loaded;
    first.GetAllText(loaded);
    if (!first.SaveFile(CString(out.path().c_str())))
        __builtin_trap();

    SECEdit second;
    second.InitializeContent(L"Default");
    if (!second.LoadFile(CString(out.path().c_str())))
        __builtin_trap();
    CString reloaded;
    second.GetAllText(reloaded);
    if (reloaded != loaded || second.IsUnicodeFile() != first.IsUnicodeFile())
        __builtin_trap();
    return 0;
}
