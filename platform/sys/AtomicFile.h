#pragma once
// Whole-file reading and replacing for the files the program saves (settings, INI and script
// files): a crash or a kill leaves either the old or the new file, never half of one (but for
// the in-place write of a file with several hard links, below), and no temporary file outlives
// the next write in the same folder.

#include "platform/sys/FileDescriptor.h"

#include <optional>
#include <string>
#include <string_view>

// Holds an exclusive lock for the files of one folder for its lifetime, so that read-modify-write
// cycles by several threads or processes run one after the other. The lock files live only in the
// program's settings folder: the settings folder's own is kLockFileName there, any other folder's
// is kLockFileName followed by the folder's device and inode numbers, so a file saved among the
// user's own files leaves nothing beside it. Taking a lock needs no right to list a folder. When
// the lock cannot be had, held() is false, errno tells why, and the caller must not write.
class FolderWriteLock {
public:
    static constexpr const char* kLockFileName = ".formulon-lock";

    // The lock file that serialises the writes into the folder; empty when the folder cannot be
    // found (errno tells why).
    static std::string LockFileFor(const std::string& folder);

    explicit FolderWriteLock(const std::string& folder);
    ~FolderWriteLock();
    FolderWriteLock(const FolderWriteLock&) = delete;
    FolderWriteLock& operator=(const FolderWriteLock&) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// The file a path finally names: symbolic links are followed, also to a file that does not exist
// yet. A chain of links that does not end (a loop) is returned where the search gave up.
std::string FinalTarget(const std::string& path);

// The largest file ReadFileBytes reads: settings and documents are far smaller, and a larger one
// (a sparse file, say) would take the memory and time of its whole size.
constexpr long long kMaxReadFileBytes = 64ll << 20;

// The bytes of the regular file, or nothing when it is missing or unreadable (errno tells which:
// ENODEV for a FIFO, device or socket, which are never waited on; EFBIG past kMaxReadFileBytes).
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces the file at path by bytes. Symbolic links are followed and stay links; the file they
// name is replaced. The new text is written and flushed to a temporary file in the target's folder
// (unnamed where the file system allows), then renamed over the target; a file with several hard
// links is written in place instead, once a complete copy sits beside it and the file's space is
// reserved, so that every name keeps naming it and a full disk fails before anything changes. The replaced file's owner, group and permission bits are kept, and a file without
// write permission is refused with EACCES. Leftovers of a writer that was killed are removed by
// the next write in the folder. On failure the old file is untouched, errno is set and the result
// is false. A new file gets newFileMode, less the umask.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, unsigned newFileMode = 0666);

// Creates the file name in the open folder with bytes, whole or not at all: they are written and
// flushed under no name (or a temporary one) first, then the file is linked to name, which must be
// free. When an entry of that name exists (a dangling link too), the call fails with EEXIST and the
// entry is untouched. A new file gets mode, less the umask.
bool CreateFileExclusively(int folder, const std::string& name, std::string_view bytes, unsigned mode);

// Renames from to to within the open folder; an existing entry to is never replaced (EEXIST).
bool RenameExclusively(int folder, const std::string& from, const std::string& to);

// Opens a folder of the program's own, for files made and removed under its descriptor; it is made
// (0700) when missing and asked to be, and an existing one keeps its mode. Nothing is followed or
// changed that is not such a folder: an empty descriptor answers a link (errno ELOOP), something not
// a folder (ENOTDIR), and a folder of another user's or one that others may write in (EPERM).
FileDescriptor OpenOwnFolder(const std::string& path, bool makeWhenMissing);

// Tests turn unnamed temporary files off to exercise the named ones that every file system has.
void UseUnnamedTemporaryFiles(bool use);

// The pattern of the temporary names: the prefix followed by six letters or digits.
constexpr std::string_view kTemporaryNamePrefix = ".~fln";
constexpr size_t kTemporaryNameLength = kTemporaryNamePrefix.size() + 6;
