#include "platform/sys/Shell.h"

#include "platform/base/CString.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <utility>

extern char** environ;

namespace {

bool SpawnDetached(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    // The opener may run as long as the program it starts: reap it aside, never wait for it here.
    std::thread([child] {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}

ShellLauncher& Launcher()
{
    static ShellLauncher launcher;
    return launcher;
}

HINSTANCE Result(INT_PTR value)
{
    return reinterpret_cast<HINSTANCE>(value);
}

} // namespace

ShellLauncher SetShellLauncher(ShellLauncher launcher)
{
    return std::exchange(Launcher(), std::move(launcher));
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, int)
{
    if ((verb && *verb && CString(verb).CompareNoCase(L"open") != 0) || !file || !*file)
        return Result(SE_ERR_NOASSOC);
    std::vector<std::string> arguments { "xdg-open", WideToUtf8(file) };
    bool started = Launcher() ? Launcher()(arguments) : SpawnDetached(arguments);
    return Result(started ? 42 : SE_ERR_FNF);
}
