#include "app/ScriptRecovery.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/Folders.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCopyPrefix = "Script ";
constexpr std::string_view kCopyExtension = ".vbs";
// A copy nobody has been told about yet carries this after its name.
constexpr std::string_view kNewMark = ".new";

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsCopyName(std::string_view name)
{
    return name.starts_with(kCopyPrefix) && EndsWith(name, kCopyExtension);
}

std::string MomentName(std::chrono::system_clock::time_point now)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local {};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", &local);
    return std::string(kCopyPrefix) + stamp;
}

// The told copies, oldest first (by time, then by name).
std::vector<fs::path> ToldCopies(const fs::path& folder)
{
    std::vector<std::pair<fs::file_time_type, fs::path>> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (IsCopyName(name) && entry.is_regular_file(error))
            found.emplace_back(entry.last_write_time(error), entry.path());
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> copies;
    for (auto& [time, path] : found)
        copies.push_back(std::move(path));
    return copies;
}

} // namespace

std::string RecoveryFolder() { return SettingsFolder() + "/Recovered scripts"; }

std::optional<std::string> KeepRecoveryCopy(std::string_view utf8, std::chrono::system_clock::time_point now)
{
    const fs::path folder = RecoveryFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    fs::permissions(folder, fs::perms::owner_all, error);
    if (!fs::is_directory(folder, error)) {
        errno = error ? error.value() : ENOTDIR;
        return std::nullopt;
    }
    // Two ends within a second (or a copy of that moment still there) get numbered names.
    const std::string base = MomentName(now);
    std::string name = base + std::string(kCopyExtension);
    for (int number = 2; fs::exists(folder / name, error) || fs::exists(folder / (name + std::string(kNewMark)), error); ++number)
        name = base + " (" + std::to_string(number) + ")" + std::string(kCopyExtension);
    const fs::path told = folder / name;
    if (!ReplaceFileAtomically(told.string() + std::string(kNewMark), utf8, 0600))
        return std::nullopt;
    return told.string();
}

std::vector<std::string> TakeNewRecoveryCopies()
{
    const fs::path folder = RecoveryFolder();
    std::error_code error;
    std::vector<std::string> taken;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!EndsWith(name, kNewMark) || !IsCopyName(std::string_view(name).substr(0, name.size() - kNewMark.size())))
            continue;
        const fs::path told = folder / name.substr(0, name.size() - kNewMark.size());
        std::error_code renamed;
        fs::rename(entry.path(), told, renamed);
        if (!renamed)
            taken.push_back(told.string());
    }
    std::sort(taken.begin(), taken.end());
    const std::vector<fs::path> copies = ToldCopies(folder);
    for (std::size_t index = 0; index + kKeptRecoveryCopies < copies.size(); ++index)
        if (std::find(taken.begin(), taken.end(), copies[index].string()) == taken.end())
            fs::remove(copies[index], error);
    return taken;
}
