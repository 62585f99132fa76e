#include "platform/sys/Shell.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/NativePath.h"
#include "platform/sys/AtomicFile.h"

#include <cerrno>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <utility>

extern char** environ;

namespace fs = std::filesystem;

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

// "scheme:" at the start, as in "https:" or "mailto:"; one letter is a drive ("C:"), not a scheme.
bool HasScheme(std::wstring_view text)
{
    size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon < 2 || !std::iswalpha(text[0])) return false;
    for (wchar_t ch : text.substr(0, colon))
        if (ch > 0x7F || !(std::iswalnum(ch) || ch == L'+' || ch == L'-' || ch == L'.')) return false;
    return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    return true;
}

// What the opener gets for file: the address itself, or the absolute path of an existing file
// (absolute, so that no name is ever taken for one of the opener's options). Else an error code.
std::pair<std::string, INT_PTR> OpenerTarget(std::wstring_view file, LPCWSTR directory)
{
    if (HasScheme(file)) return { WideToUtf8(file), 0 };
    std::error_code error;
    fs::path path = NativePath(file);
    if (path.is_relative()) {
        fs::path base = directory && *directory ? fs::path(NativePath(directory)) : fs::current_path(error);
        path = base / path;
    }
    path = path.lexically_normal();
    if (fs::exists(path, error)) return { path.string(), 0 };
    if (StartsWithNoCase(file, L"www.") || StartsWithNoCase(file, L"ftp.")) return { WideToUtf8(GuessUrlProtocol(file)), 0 };
    return { {}, fs::is_directory(path.parent_path(), error) ? SE_ERR_FNF : SE_ERR_PNF };
}

// A desktop-entry value: the characters that would end or break the line are escaped.
std::string EntryValue(std::wstring_view text)
{
    std::string out;
    for (char ch : WideToUtf8(text)) {
        switch (ch) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += ch;
        }
    }
    if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
    return out;
}

} // namespace

bool StartProgram(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments[0].empty())
        return false;
    return Launcher() ? Launcher()(arguments) : SpawnDetached(arguments);
}

ShellLauncher SetShellLauncher(ShellLauncher launcher)
{
    return std::exchange(Launcher(), std::move(launcher));
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR directory, int)
{
    if ((verb && *verb && CString(verb).CompareNoCase(L"open") != 0) || !file || !*file)
        return Result(SE_ERR_NOASSOC);
    auto [target, error] = OpenerTarget(file, directory);
    if (error) return Result(error);
    std::vector<std::string> arguments { "xdg-open", target };
    return Result(StartProgram(arguments) ? 42 : SE_ERR_FNF);
}

std::wstring GuessUrlProtocol(std::wstring_view url)
{
    size_t first = url.find_first_not_of(L" \t\r\n");
    size_t last = url.find_last_not_of(L" \t\r\n");
    std::wstring address(first == std::wstring_view::npos ? std::wstring_view() : url.substr(first, last - first + 1));
    if (address.empty() || HasScheme(address)) return address;
    if (address.find(L'@') != std::wstring::npos && address.find(L'/') == std::wstring::npos) return L"mailto:" + address;
    if (StartsWithNoCase(address, L"ftp.")) return L"ftp://" + address;
    return L"http://" + address;
}

std::string SaveInternetShortcut(std::wstring_view path, std::wstring_view url)
{
    std::wstring address = GuessUrlProtocol(url);
    if (path.empty() || address.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    fs::path file = NativePath(path);
    std::wstring extension = NarrowToWide(file.extension().string());
    if (extension.size() == 4 && StartsWithNoCase(extension, L".url")) file.replace_extension(".desktop");
    std::error_code error;
    if (!fs::is_directory(file.parent_path().empty() ? fs::path(".") : file.parent_path(), error)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    std::string title = file.stem().string();
    std::string entry = "[Desktop Entry]\nVersion=1.0\nType=Link\nName=" + EntryValue(NarrowToWide(title))
        + "\nURL=" + EntryValue(address) + "\nIcon=text-html\n";
    if (!ReplaceFileAtomically(file.string(), entry)) {
        SetLastError(ErrnoToSystemError(errno));
        return {};
    }
    return file.string();
}
