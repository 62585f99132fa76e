#include "platform/sys/FileMapping.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One shared-memory object as this process has it open. Every process that uses an object holds a
// shared lock on it; whoever closes it and can then take the lock exclusively was the last user
// and removes the name, as the system does when the last handle of a mapping goes.
class SharedObject {
public:
    SharedObject(int fd, std::string name, bool writable)
        : m_fd(fd), m_name(std::move(name)), m_writable(writable), m_process(::getpid())
    {
    }
    ~SharedObject()
    {
        // A child that inherited the object shares the parent's lock: only the opener decides.
        if (!m_name.empty() && ::getpid() == m_process && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            ::shm_unlink(m_name.c_str());
        ::close(m_fd);
    }
    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;

    int fd() const { return m_fd; }
    bool writable() const { return m_writable; }

private:
    int m_fd;
    std::string m_name;  // empty for a mapping without a name
    bool m_writable;
    pid_t m_process;
};

struct View {
    std::shared_ptr<SharedObject> object;
    std::uint64_t offset;
    size_t length;
};

// The handles and views of this process. Handle values are never reused.
struct Table {
    std::mutex guard;
    std::map<HANDLE, std::shared_ptr<SharedObject>> handles;
    std::map<LPCVOID, View> views;
    UINT_PTR lastHandle = 0x100;
};

Table& Mappings()
{
    static Table table;
    return table;
}

HANDLE AddHandle(std::shared_ptr<SharedObject> object)
{
    Table& table = Mappings();
    std::lock_guard lock(table.guard);
    table.lastHandle += 4;
    auto handle = reinterpret_cast<HANDLE>(table.lastHandle);
    table.handles.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<SharedObject> FindHandle(HANDLE handle)
{
    Table& table = Mappings();
    std::lock_guard lock(table.guard);
    auto found = table.handles.find(handle);
    return found == table.handles.end() ? nullptr : found->second;
}

HANDLE Fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// The POSIX object name for a mapping name: per user, the readable part of the name kept for
// whoever lists /dev/shm, and a hash of the whole name so that names differing only in the
// characters replaced (or cut) stay apart.
std::string ObjectNameFor(std::wstring_view name)
{
    std::string utf8 = WideToUtf8(name);
    std::string readable;
    for (char ch : utf8.substr(0, 64))
        readable += std::isalnum(static_cast<unsigned char>(ch)) || ch == '-' || ch == '.' ? ch : '_';
    std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a: the same in every build and process
    for (unsigned char ch : utf8) hash = (hash ^ ch) * 0x100000001b3ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return "/formulon-" + std::to_string(::getuid()) + "-" + readable + "-" + hex;
}

bool FlockRetrying(int fd, int operation)
{
    while (::flock(fd, operation) != 0)
        if (errno != EINTR) return false;
    return true;
}

// True while name still refers to the object open as fd (its last user may have removed it).
bool NameStillRefersTo(const std::string& name, int fd)
{
    int again = ::shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (again < 0) return false;
    struct stat mine {}, named {};
    bool same = ::fstat(fd, &mine) == 0 && ::fstat(again, &named) == 0 && mine.st_dev == named.st_dev
        && mine.st_ino == named.st_ino;
    ::close(again);
    return same;
}

// A name is predictable, so another user may have made the object first to read or truncate
// what is written into it: only an object of this user that no one else may open is used.
bool IsPrivateToUser(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0600;
}

struct Opened {
    int fd = -1;
    bool created = false;
};

// Opens (and with create, makes when missing) the named object and marks it in use. fd is -1 on
// failure, with errno set.
Opened OpenInUse(const std::string& name, bool create, int openFlags)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        Opened result;
        if (create) {
            result.fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            result.created = result.fd >= 0;
            if (result.created) ::fchmod(result.fd, 0600);  // whatever the umask left
            if (result.fd < 0 && errno != EEXIST) return result;
        }
        if (result.fd < 0) {
            result.fd = ::shm_open(name.c_str(), openFlags | O_CLOEXEC, 0);
            if (result.fd < 0) {
                if (errno == ENOENT && create) continue;  // removed meanwhile: make it
                return result;
            }
            if (!IsPrivateToUser(result.fd)) {
                ::close(result.fd);
                errno = EACCES;
                return {};
            }
            if (::flock(result.fd, LOCK_EX | LOCK_NB) == 0) {
                // Nobody uses it: a process ended without closing it. It is gone, as the
                // system's mapping would be; whoever made it just now will make it again.
                if (NameStillRefersTo(name, result.fd)) ::shm_unlink(name.c_str());
                ::close(result.fd);
                if (create) continue;
                errno = ENOENT;
                return {};
            }
        }
        if (FlockRetrying(result.fd, LOCK_SH) && NameStillRefersTo(name, result.fd)) return result;
        ::close(result.fd);  // its last user removed it between our open and our lock: start again
    }
    errno = EAGAIN;
    return {};
}

bool GrowTo(int fd, std::uint64_t size)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0) return false;
    if (static_cast<std::uint64_t>(info.st_size) >= size) return true;
    // Reserving the memory now turns a shortage into a failure here, not a fault on first write.
    int error = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    errno = error;
    return error == 0;
}

DWORD MappingError(int errnoValue)
{
    return errnoValue == ENOSPC || errnoValue == EFBIG ? ERROR_NOT_ENOUGH_MEMORY : ErrnoToSystemError(errnoValue);
}

} // namespace

HANDLE CreateFileMappingW(HANDLE file, const void*, DWORD protect, DWORD sizeHigh, DWORD sizeLow, LPCWSTR name)
{
    if (file != INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);  // no file handles exist to map
    DWORD pageProtection = protect & 0xFF;  // the SEC_ flags above change nothing here
    if (pageProtection != PAGE_READONLY && pageProtection != PAGE_READWRITE) return Fail(ERROR_INVALID_PARAMETER);
    std::uint64_t size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
    if (size == 0 || size > static_cast<std::uint64_t>(PTRDIFF_MAX)) return Fail(ERROR_INVALID_PARAMETER);
    bool writable = pageProtection == PAGE_READWRITE;

    if (!name || !*name) {
        int fd = ::memfd_create("formulon-mapping", MFD_CLOEXEC);
        if (fd < 0 || !GrowTo(fd, size)) {
            DWORD error = MappingError(errno);
            if (fd >= 0) ::close(fd);
            return Fail(error);
        }
        SetLastError(ERROR_SUCCESS);
        return AddHandle(std::make_shared<SharedObject>(fd, std::string(), writable));
    }

    std::string objectName = ObjectNameFor(name);
    Opened opened = OpenInUse(objectName, true, O_RDWR);
    if (opened.fd < 0) return Fail(MappingError(errno));
    auto object = std::make_shared<SharedObject>(opened.fd, objectName, writable);
    // An existing mapping keeps its size; one still empty was caught between its creator's open
    // and its growth, and is grown by whoever comes first.
    struct stat info {};
    bool empty = ::fstat(opened.fd, &info) == 0 && info.st_size == 0;
    if ((opened.created || empty) && !GrowTo(opened.fd, size)) return Fail(MappingError(errno));
    HANDLE handle = AddHandle(std::move(object));
    SetLastError(opened.created ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
    return handle;
}

HANDLE OpenFileMappingW(DWORD access, BOOL, LPCWSTR name)
{
    if (!name || !*name) return Fail(ERROR_INVALID_PARAMETER);
    bool writable = access & FILE_MAP_WRITE;
    std::string objectName = ObjectNameFor(name);
    Opened opened = OpenInUse(objectName, false, writable ? O_RDWR : O_RDONLY);
    if (opened.fd < 0) return Fail(ErrnoToSystemError(errno));
    return AddHandle(std::make_shared<SharedObject>(opened.fd, objectName, writable));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes)
{
    std::shared_ptr<SharedObject> object = FindHandle(mapping);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
    if (offset % kFileMappingGranularity != 0) return Fail(ERROR_MAPPED_ALIGNMENT);
    struct stat info {};
    if (::fstat(object->fd(), &info) != 0) return Fail(ErrnoToSystemError(errno));
    auto size = static_cast<std::uint64_t>(info.st_size);
    if (offset >= size || bytes > size - offset) return Fail(ERROR_ACCESS_DENIED);
    size_t length = bytes ? bytes : static_cast<size_t>(size - offset);

    bool write = access & FILE_MAP_WRITE;
    bool copy = !write && (access & FILE_MAP_COPY);
    if (write && !object->writable()) return Fail(ERROR_ACCESS_DENIED);
    int protection = PROT_READ | (write || copy ? PROT_WRITE : 0);
    void* address = ::mmap(nullptr, length, protection, copy ? MAP_PRIVATE : MAP_SHARED, object->fd(),
                           static_cast<off_t>(offset));
    if (address == MAP_FAILED) return Fail(MappingError(errno));

    Table& table = Mappings();
    std::lock_guard lock(table.guard);
    table.views.emplace(address, View { std::move(object), offset, length });
    return address;
}

BOOL UnmapViewOfFile(LPCVOID address)
{
    View view;
    {
        Table& table = Mappings();
        std::lock_guard lock(table.guard);
        auto found = table.views.find(address);
        if (found == table.views.end()) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        view = std::move(found->second);
        table.views.erase(found);
    }
    ::munmap(const_cast<void*>(address), view.length);
    return TRUE;
}

BOOL IsViewOfFileWhole(LPCVOID address)
{
    Table& table = Mappings();
    std::lock_guard lock(table.guard);
    auto found = table.views.find(address);
    if (found == table.views.end()) return FALSE;
    struct stat info {};
    const View& view = found->second;
    return ::fstat(view.object->fd(), &info) == 0
        && static_cast<std::uint64_t>(info.st_size) >= view.offset + view.length;
}

namespace {

// Copies through a pipe: writing from the source and reading into the target are copies the
// kernel makes, which report a missing page as EFAULT where a copy of our own would take SIGBUS.
BOOL CopyThroughKernel(void* target, const void* source, SIZE_T count)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        SetLastError(ErrnoToSystemError(errno));
        return FALSE;
    }
    constexpr SIZE_T Chunk = 4096;  // always fits the pipe
    bool copied = true;
    for (SIZE_T done = 0; copied && done < count;) {
        const SIZE_T part = std::min(Chunk, count - done);
        copied = ::write(pipe[1], static_cast<const char*>(source) + done, part) == static_cast<ssize_t>(part)
            && ::read(pipe[0], static_cast<char*>(target) + done, part) == static_cast<ssize_t>(part);
        done += part;
    }
    const int error = errno;
    ::close(pipe[0]);
    ::close(pipe[1]);
    if (!copied)
        SetLastError(error == EFAULT ? static_cast<DWORD>(ERROR_INVALID_ADDRESS) : ErrnoToSystemError(error));
    return copied;
}

} // namespace

BOOL CopyIntoView(void* view, const void* bytes, SIZE_T count)
{
    return CopyThroughKernel(view, bytes, count);
}

BOOL CopyOutOfView(void* bytes, const void* view, SIZE_T count)
{
    return CopyThroughKernel(bytes, view, count);
}

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<SharedObject> object;
    {
        Table& table = Mappings();
        std::lock_guard lock(table.guard);
        auto found = table.handles.find(handle);
        if (found == table.handles.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(found->second);
        table.handles.erase(found);
    }
    return TRUE;  // object closes here, outside the table's lock, when no view holds it
}
