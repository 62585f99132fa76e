#pragma once
// The conditions a hostile user makes for file code: another user's rights and a small, full disk.

#include "platform/base/CString.h"

#include <functional>
#include <glob.h>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// The unprivileged user the tests act as.
constexpr uid_t kNobodyUser = 65534;
constexpr gid_t kNobodyGroup = 65534;

// Runs work in a child process as the unprivileged user, where permission bits bind; the child's
// result, or nothing when privileges cannot be dropped here (the caller skips).
inline std::optional<bool> RunAsNobody(const std::function<bool()>& work)
{
    if (::geteuid() != 0) return std::nullopt;
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyGroup) != 0 || ::setuid(kNobodyUser) != 0) ::_exit(2);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// A small tmpfs mounted on a folder for the lifetime of the object, where the system allows it.
class ScopedTmpfs {
public:
    ScopedTmpfs(const std::string& folder, const std::string& size) : m_folder(folder)
    {
        std::string options = "size=" + size + ",mode=0755";
        m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool mounted() const { return m_mounted; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

// The file of the shared-memory object behind a named block of this user's, found by the readable
// part of its name (empty when there is none or more than one).
inline std::string SharedObjectPathOf(const std::wstring& readableName)
{
    std::string pattern = "/dev/shm/formulon-" + std::to_string(::getuid()) + "-" + WideToUtf8(readableName) + "-*";
    glob_t found {};
    std::string path;
    if (::glob(pattern.c_str(), 0, nullptr, &found) == 0 && found.gl_pathc == 1) path = found.gl_pathv[0];
    ::globfree(&found);
    return path;
}
