#include "platform/sys/Mutex.h"

#include "platform/base/CString.h"
#include "platform/sys/Folders.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CMutex, CSyncObject)

// The state of one mutex, shared by the CMutex objects of one name in this process.
struct CMutex::Shared {
    std::mutex guard;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;
    int lockFile = -1;  // the lock file of a named mutex, one descriptor for the whole process
    pid_t process = ::getpid();  // a forked child opens its own: file locks follow the descriptor

    ~Shared()
    {
        if (lockFile >= 0) ::close(lockFile);
    }
};

namespace {

using Clock = std::chrono::steady_clock;

std::mutex g_namesGuard;
std::map<std::wstring, std::weak_ptr<CMutex::Shared>> g_names;

// Makes the folder when it is missing; why it cannot hold this user's lock files, or nothing when
// it is a real folder of the user's own, closed to others. Another user could make a lock file in
// a folder they can enter first (and hold it), or plant a link there.
std::string PrivateFolderProblem(const std::string& folder)
{
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return folder + " is not a folder";
    if (info.st_uid != ::geteuid()) return folder + " belongs to another user";
    if ((info.st_mode & 07777) != 0700) return folder + " is open to other users";
    return {};
}

struct LockFolderChoice {
    std::string folder;   // empty when there is none
    std::string problem;  // why, then
};

// The folder of this user's lock files: $XDG_RUNTIME_DIR, which the session makes private, else
// formulon-<uid> in $TMPDIR or /tmp; where that name is taken, a folder in the settings folder,
// which no one else can make.
LockFolderChoice ChooseLockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return { runtime, {} };
    const char* temporary = std::getenv("TMPDIR");
    const std::string shared = std::string(temporary && temporary[0] == '/' ? temporary : "/tmp") + "/formulon-"
        + std::to_string(::geteuid());
    const std::string sharedProblem = PrivateFolderProblem(shared);
    if (sharedProblem.empty()) return { shared, {} };
    EnsureSettingsFolder();
    const std::string own = SettingsFolder() + "/locks";
    const std::string ownProblem = PrivateFolderProblem(own);
    if (ownProblem.empty()) return { own, {} };
    return { {}, sharedProblem + "; " + ownProblem };
}

// The lock file of a named mutex, opened (made when missing) without following a link; -1 when
// it cannot be.
int OpenLockFile(const std::wstring& name)
{
    const std::string folder = ChooseLockFolder().folder;
    if (folder.empty()) return -1;
    std::string safe;
    for (char ch : WideToUtf8(name)) safe += (std::isalnum(static_cast<unsigned char>(ch)) || ch == '-' || ch == '.') ? ch : '_';
    // Names that differ only in the characters replaced above must not share a file.
    size_t hash = std::hash<std::wstring> {}(name);
    std::string path = folder + "/formulon-mutex-" + safe + "-" + std::to_string(hash % 1000000007);
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Takes the file lock, polling until the deadline (none for INFINITE).
bool LockFile(int fd, DWORD timeout, Clock::time_point deadline)
{
    for (;;) {
        if (::flock(fd, LOCK_EX | (timeout == INFINITE ? 0 : LOCK_NB)) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

std::string NamedMutexProblem()
{
    return ChooseLockFolder().problem;
}

CMutex::CMutex(BOOL initiallyOwn, LPCWSTR name, const void*)
{
    bool named = name && *name;
    bool existed = false;
    if (named) {
        std::lock_guard lock(g_namesGuard);
        auto& slot = g_names[name];
        m_shared = slot.lock();
        existed = m_shared && m_shared->process == ::getpid();
        if (!existed) {
            m_shared = std::make_shared<Shared>();
            m_shared->lockFile = OpenLockFile(name);
            slot = m_shared;
        }
        if (m_shared->lockFile < 0) return;  // no handle: the mutex cannot be used
    } else {
        m_shared = std::make_shared<Shared>();
    }
    m_hObject = this;
    // A named mutex that is already in use is opened, not taken: asking for it at once must not
    // wait for another object or process that holds it.
    if (initiallyOwn && !existed) Lock(named ? 0 : INFINITE);
}

CMutex::~CMutex()
{
    while (m_ownedHere > 0 && Unlock()) {}
}

BOOL CMutex::Lock(DWORD timeout)
{
    if (!m_hObject) return FALSE;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeout == INFINITE ? 0 : timeout);
    std::unique_lock lock(m_shared->guard);
    auto self = std::this_thread::get_id();
    if (m_shared->depth > 0 && m_shared->owner == self) {
        ++m_shared->depth;
        ++m_ownedHere;
        return TRUE;
    }
    auto free = [&] { return m_shared->depth == 0; };
    if (timeout == INFINITE)
        m_shared->released.wait(lock, free);
    else if (!m_shared->released.wait_until(lock, deadline, free))
        return FALSE;
    // The other processes are waited for outside the guard, with the mutex marked as ours.
    m_shared->owner = self;
    m_shared->depth = 1;
    if (m_shared->lockFile >= 0) {
        lock.unlock();
        bool locked = LockFile(m_shared->lockFile, timeout, deadline);
        lock.lock();
        if (!locked) {
            m_shared->depth = 0;
            m_shared->owner = {};
            m_shared->released.notify_one();
            return FALSE;
        }
    }
    ++m_ownedHere;
    return TRUE;
}

BOOL CMutex::Unlock()
{
    if (!m_hObject) return FALSE;
    std::lock_guard lock(m_shared->guard);
    if (m_shared->depth == 0 || m_shared->owner != std::this_thread::get_id() || m_ownedHere == 0) return FALSE;
    --m_ownedHere;
    if (--m_shared->depth > 0) return TRUE;
    if (m_shared->lockFile >= 0) ::flock(m_shared->lockFile, LOCK_UN);
    m_shared->owner = {};
    m_shared->released.notify_one();
    return TRUE;
}

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock) : m_object(object)
{
    if (initialLock) Lock();
}

BOOL CSingleLock::Lock(DWORD timeout)
{
    if (!m_object || m_locked) return m_locked;
    m_locked = m_object->Lock(timeout);
    return m_locked;
}

BOOL CSingleLock::Unlock()
{
    if (!m_object || !m_locked) return TRUE;
    m_locked = !m_object->Unlock();
    return !m_locked;
}
