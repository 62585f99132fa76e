#pragma once
// The conditions a hostile user makes for file code: another user's rights and a small, full disk.

#include "platform/base/CString.h"

#include <functional>
#include <glob.h>
#include <grp.h>
#include <optional>
#include <string>
#include <utility>
#include <csignal>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
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

// How a run of RunKilledAtRename ended.
struct RenameKill {
    int renames = 0;      // renames the child had entered
    bool killed = false;  // killed on entering the one asked for; otherwise it ended by itself
};

// Runs work in a traced child process and kills it (SIGKILL) as it enters its killAt-th rename
// system call, the step that puts a saved file in place. Nothing where the child cannot be traced
// (the caller skips). A child that ends by itself reports how many renames its whole run made.
inline std::optional<RenameKill> RunKilledAtRename(int killAt, const std::function<void()>& work)
{
#if defined(__x86_64__)
    pid_t child = ::fork();
    if (child == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(3);
        ::raise(SIGSTOP);
        work();
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status) ||
        ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return std::nullopt;
    }
    RenameKill run;
    bool entering = true;
    int signal = 0;
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
        signal = 0;
        if (::waitpid(child, &status, 0) != child || WIFEXITED(status) || WIFSIGNALED(status)) return run;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signal = WSTOPSIG(status);  // the child's own signals reach it
            continue;
        }
        if (std::exchange(entering, !entering)) {
            user_regs_struct registers {};
            ::ptrace(PTRACE_GETREGS, child, nullptr, &registers);
            const auto call = static_cast<long>(registers.orig_rax);
            if ((call == SYS_rename || call == SYS_renameat || call == SYS_renameat2) && ++run.renames == killAt) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
                run.killed = true;
                return run;
            }
        }
    }
#else
    (void)killAt;
    (void)work;
    return std::nullopt;
#endif
}
