#pragma once
// Whole-file reading and replacing for settings files, safe against a crash (a file is either the
// old or the new one, never half written) and against other processes writing the same folder.

#include <optional>
#include <string>
#include <string_view>

// Holds an exclusive lock on a folder for its lifetime, so that read-modify-write cycles of the
// files in it by several threads or processes run one after the other. Without read access to
// the folder the lock is skipped (held() is false) and the write goes ahead unserialised.
class FolderWriteLock {
public:
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

// The bytes of the file, or nothing when it is missing or unreadable (errno tells which).
std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes bytes to a temporary file beside path, flushes it to disk and renames it over path,
// keeping the permissions of the file it replaces. On failure the old file is untouched, the
// temporary file is removed, errno is set and the result is false.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
