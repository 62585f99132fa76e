#include "platform/sys/AtomicFile.h"

#include "platform/base/RegularFile.h"
#include "platform/sys/FileDescriptor.h"
#include "platform/sys/Folders.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;

std::atomic<bool> g_unnamedTemporaryFiles { true };

bool LockExclusive(int fd, int extraFlags = 0)
{
    while (::flock(fd, LOCK_EX | extraFlags) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool WriteAllAt(int fd, std::string_view bytes)
{
    off_t offset = 0;
    while (!bytes.empty()) {
        ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
        offset += written;
    }
    return true;
}

std::string NameOf(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsTemporaryName(std::string_view name)
{
    return name.size() == kTemporaryNameLength && name.starts_with(kTemporaryNamePrefix);
}

std::string NewTemporaryName()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random { std::random_device {}() };
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
    std::string name(kTemporaryNamePrefix);
    while (name.size() < kTemporaryNameLength) name += kAlphabet[pick(random)];
    return name;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A folder to create, rename and remove files in. A folder that may not be listed is still
// usable by name (O_PATH), only not flushed or searched for leftovers.
FileDescriptor OpenFolder(const std::string& folder)
{
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd && errno == EACCES) fd = FileDescriptor(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return fd;
}

// Removes the temporary files of writers that died. A living writer holds a lock on its file, so
// a file whose lock can be taken has no writer any more.
void RemoveStaleTemporaryFiles(int folder)
{
    int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    int saved = errno;
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryName(entry->d_name)) continue;
        FileDescriptor file(::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {}, named {};
        if (!file || !LockExclusive(file.get(), LOCK_NB) || ::fstat(file.get(), &opened) != 0) continue;
        if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, named))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
    errno = saved;
}

// A temporary file in a folder, locked for as long as it is open so that no other writer takes it
// for a leftover. It is unnamed where the file system allows; a name it still has when it goes is
// removed.
class TemporaryFile {
public:
    static std::optional<TemporaryFile> Create(int folder, mode_t mode)
    {
        if (g_unnamedTemporaryFiles) {
            FileDescriptor fd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
            if (fd && LockExclusive(fd.get())) return TemporaryFile(folder, std::move(fd), {});
            if (fd || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return std::nullopt;
        }
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = NewTemporaryName();
            FileDescriptor fd(::openat(folder, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode));
            if (!fd && errno == EEXIST) continue;
            if (!fd) return std::nullopt;
            TemporaryFile file(folder, std::move(fd), name);
            if (!LockExclusive(file.m_fd.get())) return std::nullopt;
            // Between creating and locking, a clean-up may have taken the file for a leftover.
            struct stat opened {}, named {};
            if (::fstat(file.m_fd.get(), &opened) == 0 && ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                SameFile(opened, named))
                return file;
            file.m_name.clear();
        }
        errno = EEXIST;
        return std::nullopt;
    }

    TemporaryFile(TemporaryFile&& other) noexcept
        : m_fd(std::move(other.m_fd)), m_folder(other.m_folder), m_name(std::exchange(other.m_name, {}))
    {
    }
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile()
    {
        if (m_name.empty()) return;
        int saved = errno;
        ::unlinkat(m_folder, m_name.c_str(), 0);
        errno = saved;
    }

    int fd() const { return m_fd.get(); }

    // Writes the whole text and flushes it to the disk.
    bool Write(std::string_view bytes) { return WriteAllAt(m_fd.get(), bytes) && ::fsync(m_fd.get()) == 0; }

    // Gives the file the folder's entry target, which must be free (EEXIST when it is taken, also
    // by a link); a temporary name it had goes with the file object.
    bool LinkAs(const std::string& target)
    {
        if (!m_name.empty())
            return ::linkat(m_folder, m_name.c_str(), m_folder, target.c_str(), 0) == 0;
        return LinkUnnamed(target);
    }

    // Puts the file in the place of the folder's entry target (an unnamed file gets a name first).
    bool RenameOver(const std::string& target)
    {
        if (m_name.empty() && !Link()) return false;
        if (::renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0) return false;
        m_name.clear();
        return true;
    }

private:
    TemporaryFile(int folder, FileDescriptor fd, std::string name) : m_fd(std::move(fd)), m_folder(folder), m_name(std::move(name)) {}

    bool Link()
    {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = NewTemporaryName();
            if (LinkUnnamed(name)) {
                m_name = std::move(name);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    // Names the unnamed file; EEXIST when the name is taken.
    bool LinkUnnamed(const std::string& name)
    {
        // Linking by descriptor needs a privilege; the /proc path works for everyone.
        if (::linkat(m_fd.get(), "", m_folder, name.c_str(), AT_EMPTY_PATH) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
        return ::linkat(AT_FDCWD, self.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }

    FileDescriptor m_fd;
    int m_folder;
    std::string m_name;
};

// Gives the new file the owner, group and permission bits of the one it replaces. Only a
// privileged writer can give a file away; anyone else's copy stays theirs.
bool KeepOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes bytes over the file itself, for a file with several names that a rename would part.
bool OverwriteInPlace(int folder, const std::string& name, std::string_view bytes)
{
    FileDescriptor fd(::openat(folder, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) return false;
    // With the space reserved first, a full disk fails the write before the file changes.
    if (!bytes.empty() && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP)
        return false;
    return WriteAllAt(fd.get(), bytes) && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 &&
           ::fsync(fd.get()) == 0;
}

bool MayReplace(int folder, const std::string& name, const struct stat& old)
{
    if (S_ISLNK(old.st_mode)) {
        errno = ELOOP;
        return false;
    }
    if (!S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // Permission bits count for every writer, also for one whom the system lets write anyway.
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

} // namespace

std::string FolderWriteLock::LockFileFor(const std::string& folder)
{
    struct stat target {}, settings {};
    if (::stat(folder.c_str(), &target) != 0)
        return {};
    const std::string settingsFolder = SettingsFolder();
    if (::stat(settingsFolder.c_str(), &settings) == 0 && SameFile(target, settings))
        return settingsFolder + "/" + kLockFileName;
    if (!EnsureSettingsFolder())
        return {};
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "-%llx-%llx", static_cast<unsigned long long>(target.st_dev), static_cast<unsigned long long>(target.st_ino));
    return settingsFolder + "/" + kLockFileName + suffix;
}

FolderWriteLock::FolderWriteLock(const std::string& folder)
{
    std::string path = LockFileFor(folder);
    if (path.empty())
        return;
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (m_fd < 0 && errno == EACCES) m_fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd >= 0 && !LockExclusive(m_fd)) {
        int saved = errno;
        ::close(m_fd);
        m_fd = -1;
        errno = saved;
    }
}

FolderWriteLock::~FolderWriteLock()
{
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
}

std::string FolderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FinalTarget(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        char link[PATH_MAX];
        ssize_t length = ::readlink(current.c_str(), link, sizeof link);
        if (length <= 0) return current;
        std::string next(link, static_cast<size_t>(length));
        current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
    }
    return current;
}

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    FileDescriptor fd(OpenRegularFile(path, O_RDONLY | O_CLOEXEC));
    if (!fd) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return std::nullopt;
    if (info.st_size > kMaxReadFileBytes) {
        errno = EFBIG;
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        if (bytes.size() + static_cast<size_t>(got) > static_cast<size_t>(kMaxReadFileBytes)) {
            errno = EFBIG;  // it grew while being read
            return std::nullopt;
        }
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, unsigned newFileMode)
{
    const std::string target = FinalTarget(path);
    const std::string name = NameOf(target);
    FileDescriptor folder = OpenFolder(FolderOf(target));
    if (!folder) return false;

    struct stat old {};
    bool exists = ::fstatat(folder.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && !MayReplace(folder.get(), name, old)) return false;

    RemoveStaleTemporaryFiles(folder.get());
    // A new file gets the permissions asked for (the umask applies); a replacement is private
    // until it has the old file's owner and bits.
    auto temp = TemporaryFile::Create(folder.get(), exists ? 0600 : static_cast<mode_t>(newFileMode));
    if (!temp) return false;
    if (exists && !KeepOwnerAndMode(temp->fd(), old)) return false;
    if (!temp->Write(bytes)) return false;
    // The folder is not flushed after the rename: a crash of the system may then leave the old
    // file, but never a half-written one, and every save avoids a second wait for the disk.
    return exists && old.st_nlink > 1 ? OverwriteInPlace(folder.get(), name, bytes) : temp->RenameOver(name);
}

void UseUnnamedTemporaryFiles(bool use) { g_unnamedTemporaryFiles = use; }

bool CreateFileExclusively(int folder, const std::string& name, std::string_view bytes, unsigned mode)
{
    RemoveStaleTemporaryFiles(folder);
    auto temp = TemporaryFile::Create(folder, static_cast<mode_t>(mode));
    return temp && temp->Write(bytes) && temp->LinkAs(name);
}

bool RenameExclusively(int folder, const std::string& from, const std::string& to)
{
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a second name, which cannot replace anything, then the old one goes.
    return ::linkat(folder, from.c_str(), folder, to.c_str(), 0) == 0 && ::unlinkat(folder, from.c_str(), 0) == 0;
}

FileDescriptor OpenOwnFolder(const std::string& path, bool makeWhenMissing)
{
    if (makeWhenMissing && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return FileDescriptor();
    FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!folder) {
        if (::lstat(path.c_str(), &info) == 0)
            errno = S_ISLNK(info.st_mode) ? ELOOP : S_ISDIR(info.st_mode) ? errno : ENOTDIR;
        return folder;
    }
    if (::fstat(folder.get(), &info) != 0)
        return FileDescriptor();
    // Another's folder, or one that others may write in, could hold what they planted.
    if (info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        errno = EPERM;
        return FileDescriptor();
    }
    return folder;
}
