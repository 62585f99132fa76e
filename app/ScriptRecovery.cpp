#include "app/ScriptRecovery.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/Folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr std::string_view kCopyPrefix = "Script ";
constexpr std::string_view kCopyExtension = ".vbs";
// A copy nobody has been told about yet carries this after its name.
constexpr std::string_view kNewMark = ".new";
// The moment in a copy's name: "2026-12-11 10.28.13".
constexpr std::string_view kMomentPattern = "dddd-dd-dd dd.dd.dd";
// Names tried for one moment before giving up (a folder filled with them on purpose).
constexpr int kNumbersPerMoment = 1000;

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The name the program gives the copy of a moment: "Script <moment>.vbs", numbered from the second
// one on: "Script <moment> (2).vbs".
std::string CopyName(std::string_view moment, int number)
{
    std::string name = std::string(kCopyPrefix) + std::string(moment);
    if (number > 1)
        name += " (" + std::to_string(number) + ")";
    return name + std::string(kCopyExtension);
}

// The moment of a name the program gives its copies; nothing for any other name.
std::optional<std::string> MomentOfCopyName(std::string_view name)
{
    if (!name.starts_with(kCopyPrefix) || !EndsWith(name, kCopyExtension))
        return std::nullopt;
    name.remove_prefix(kCopyPrefix.size());
    name.remove_suffix(kCopyExtension.size());
    if (name.size() < kMomentPattern.size())
        return std::nullopt;
    for (std::size_t index = 0; index < kMomentPattern.size(); ++index)
        if (kMomentPattern[index] == 'd' ? !IsDigit(name[index]) : name[index] != kMomentPattern[index])
            return std::nullopt;
    const std::string_view number = name.substr(kMomentPattern.size());
    if (!number.empty()) {
        if (number.size() < 4 || !number.starts_with(" (") || !EndsWith(number, ")") || number[2] == '0')
            return std::nullopt;
        if (!std::all_of(number.begin() + 2, number.end() - 1, IsDigit))
            return std::nullopt;
    }
    return std::string(name.substr(0, kMomentPattern.size()));
}

std::string MomentOf(std::chrono::system_clock::time_point now)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local {};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", &local);
    return stamp;
}

bool EntryExists(int folder, const std::string& name)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// A regular file of this user's with one name: a copy the program made, when it is named as one.
bool IsOwnRegularFile(int folder, const std::string& name, struct stat& info)
{
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
        && info.st_uid == ::geteuid() && info.st_nlink == 1;
}

std::vector<std::string> NamesIn(int folder)
{
    std::vector<std::string> names;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return names;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(entries))
        names.emplace_back(entry->d_name);
    ::closedir(entries);
    return names;
}

// Writes the copy as a new file in the folder, under the first name of the moment that neither a
// told copy nor a new one has; its told path.
std::optional<std::string> KeepIn(const std::string& folderPath, std::string_view utf8, const std::string& moment)
{
    const FileDescriptor folder = OpenOwnFolder(folderPath, true);
    if (!folder)
        return std::nullopt;
    for (int number = 1; number <= kNumbersPerMoment; ++number) {
        const std::string name = CopyName(moment, number);
        if (EntryExists(folder.get(), name))
            continue;
        if (CreateFileExclusively(folder.get(), name + std::string(kNewMark), utf8, 0600))
            return folderPath + "/" + name;
        if (errno != EEXIST)
            return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

// Gives each new copy in the folder its told name (numbered anew when another copy took it
// meanwhile) and removes the oldest told copies beyond the kept number; the told paths.
std::vector<std::string> TakeFrom(const std::string& folderPath)
{
    std::vector<std::string> taken;
    const FileDescriptor folder = OpenOwnFolder(folderPath, false);
    if (!folder)
        return taken;
    struct Told {
        timespec modified;
        std::string name;
    };
    std::vector<Told> told;
    for (const std::string& name : NamesIn(folder.get())) {
        struct stat info {};
        const bool isNew = EndsWith(name, kNewMark);
        const std::string toldName = isNew ? name.substr(0, name.size() - kNewMark.size()) : name;
        const std::optional<std::string> moment = MomentOfCopyName(toldName);
        if (!moment || !IsOwnRegularFile(folder.get(), name, info))
            continue;
        if (!isNew) {
            told.push_back({ info.st_mtim, name });
            continue;
        }
        for (int number = 1; number <= kNumbersPerMoment; ++number) {
            const std::string candidate = number == 1 ? toldName : CopyName(*moment, number);
            if (RenameExclusively(folder.get(), name, candidate)) {
                taken.push_back(candidate);
                break;
            }
            if (errno != EEXIST)
                break;
        }
    }
    std::sort(told.begin(), told.end(), [](const Told& a, const Told& b) {
        return std::tie(a.modified.tv_sec, a.modified.tv_nsec, a.name) < std::tie(b.modified.tv_sec, b.modified.tv_nsec, b.name);
    });
    const std::size_t copies = told.size() + taken.size();
    const std::size_t excess = std::min(told.size(), copies > kKeptRecoveryCopies ? copies - kKeptRecoveryCopies : 0);
    for (std::size_t index = 0; index < excess; ++index)
        ::unlinkat(folder.get(), told[index].name.c_str(), 0);
    std::sort(taken.begin(), taken.end());
    for (std::string& name : taken)
        name = folderPath + "/" + name;
    return taken;
}

} // namespace

std::string RecoveryFolder() { return SettingsFolder() + "/Recovered scripts"; }

std::string FallbackRecoveryFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* temporary = std::getenv("TMPDIR");
    const std::string base = runtime && runtime[0] == '/' ? runtime : temporary && temporary[0] == '/' ? temporary : "/tmp";
    return base + "/formulon-" + std::to_string(::geteuid()) + "-recovered-scripts";
}

std::optional<std::string> KeepRecoveryCopy(std::string_view utf8, std::chrono::system_clock::time_point now)
{
    const std::string moment = MomentOf(now);
    if (EnsureSettingsFolder())
        if (std::optional<std::string> kept = KeepIn(RecoveryFolder(), utf8, moment))
            return kept;
    const int reason = errno;
    if (std::optional<std::string> kept = KeepIn(FallbackRecoveryFolder(), utf8, moment))
        return kept;
    errno = reason;
    return std::nullopt;
}

std::vector<std::string> TakeNewRecoveryCopies()
{
    std::vector<std::string> taken = TakeFrom(RecoveryFolder());
    for (std::string& copy : TakeFrom(FallbackRecoveryFolder()))
        taken.push_back(std::move(copy));
    return taken;
}

void RecoveryCopyOnce::SetSnapshot(std::optional<std::string> utf8)
{
    std::lock_guard lock(m_mutex);
    m_snapshot.swap(utf8);
}

void RecoveryCopyOnce::Keep(const std::optional<std::string>& utf8)
{
    std::lock_guard lock(m_mutex);
    KeepLocked(utf8);
}

void RecoveryCopyOnce::KeepSnapshot()
{
    std::lock_guard lock(m_mutex);
    KeepLocked(m_snapshot);
}

void RecoveryCopyOnce::KeepLocked(const std::optional<std::string>& utf8)
{
    if (std::exchange(m_kept, true) || !utf8)
        return;
    if (const std::optional<std::string> copy = KeepRecoveryCopy(*utf8))
        std::fprintf(stderr, "formulon: the changed script was kept in %s\n", copy->c_str());
    else
        std::fprintf(stderr, "formulon: the changed script could not be kept in %s: %s\n", RecoveryFolder().c_str(), std::strerror(errno));
}
