// Reads arbitrary bytes as the program's command line, as the system hands it over: arguments
// separated by NULs (the form of /proc/self/cmdline), decoded as every outside text is. Both of
// the program's readers take it: the framework's (shell command, file name, -Automation and
// -Embedding) and the program's own switches. Every switch given is found, a file name to open is
// one of the arguments and is made absolute, and a second parse gives the same result.

#include "app/CommandLineOptions.h"
#include "fuzz/FuzzSupport.h"
#include "platform/mfc/CommandLineInfo.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

std::vector<CString> Arguments(fuzz::FuzzInput& in)
{
    std::vector<CString> arguments { L"formulon" };
    while (in.More() && arguments.size() < 256)
        arguments.emplace_back(NarrowToWide(in.TakeUntilNul()).c_str());
    return arguments;
}

CWinApp& Application()
{
    static CWinApp* app = new CWinApp(L"FLN");
    return *app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::vector<CString> arguments = Arguments(in);

    CCommandLineInfo info;
    Application().ParseCommandLine(info, arguments);
    if (!info.m_strFileName.IsEmpty()) {
        if (std::find(arguments.begin() + 1, arguments.end(), info.m_strFileName) == arguments.end())
            __builtin_trap();
        std::error_code error;
        (void)std::filesystem::absolute(info.m_strFileName.ToUtf8(), error);
    }

    CCommandLineOptions options;
    const int found = options.ParseCommandLine(arguments);
    int given = 0;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!CCommandLineOptions::IsOptionArgument(arguments[i]))
            continue;
        ++given;
        if (!options.GetOptionValues(arguments[i]) || options.Values(arguments[i]).empty())
            __builtin_trap();
    }
    if (found < 0 || found > given)
        __builtin_trap();
    CCommandLineOptions again;
    if (again.ParseCommandLine(arguments) != found)
        __builtin_trap();
    return 0;
}
