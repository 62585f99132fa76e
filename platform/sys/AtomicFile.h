#pragma once
// Whole-file reading and replacing for the files the program saves (settings, INI and script
// files): a crash or a kill leaves either the old or the new file, never half of one (but for
// the in-place write of a file with several hard links, below), and no temporary file outlives
// the next write in the same folder.

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

// Tests turn unnamed temporary files off to exercise the named ones that every file system has.
void UseUnnamedTemporaryFiles(bool use);

// The pattern of the temporary names: the prefix followed by six letters or digits.
constexpr std::string_view kTemporaryNamePrefix = ".~fln";
constexpr size_t kTemporaryNameLength = kTemporaryNamePrefix.size() + 6;
