#pragma once
// Synchronisation objects. CMutex is recursive: the thread that owns it may lock it again and
// must unlock it as often. A named CMutex is one mutex for every object of that name, in this
// process and in every other process of the user (through a lock on a file in
// $XDG_RUNTIME_DIR, or else in the user's private folder formulon-<uid> in $TMPDIR or /tmp, which must be the
// user's own with mode 0700; where another user's folder, a link or a folder open to others stands
// there, in the private folder "locks" of the settings folder). CSingleLock locks one object for a
// scope.

#include "platform/base/RunTimeClass.h"
#include "platform/base/WinTypes.h"

#include <memory>
#include <string>

constexpr DWORD INFINITE = 0xFFFFFFFF;

class CSyncObject : public CObject {
    DECLARE_DYNAMIC(CSyncObject)
public:
    // TRUE when the object was acquired within the time-out (milliseconds; INFINITE waits forever).
    virtual BOOL Lock(DWORD timeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;

    // Not null while the object is usable (a named mutex whose lock file cannot be made has none).
    void* m_hObject = nullptr;
};

class CMutex : public CSyncObject {
    DECLARE_DYNAMIC(CMutex)
public:
    // initiallyOwn takes the new mutex for the calling thread; a named mutex that another object
    // or process is holding is opened without it.
    explicit CMutex(BOOL initiallyOwn = FALSE, LPCWSTR name = nullptr, const void* securityAttributes = nullptr);
    ~CMutex() override;

    BOOL Lock(DWORD timeout = INFINITE) override;
    // FALSE when the calling thread does not own the mutex.
    BOOL Unlock() override;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    int m_ownedHere = 0;  // times this object has locked the mutex and not yet unlocked it
};

// Why named mutexes cannot be made here (no private folder for their lock files); empty when they can.
std::string NamedMutexProblem();

class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD timeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_locked; }

private:
    CSyncObject* m_object;
    BOOL m_locked = FALSE;
};
