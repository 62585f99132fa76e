#pragma once
// CSharedMemory: a named block of memory that other programs of the user open by its name to read
// the calculator's last result. It holds one NUL-terminated UTF-16 string; a named mutex beside it
// guards every write, so a reader that holds the mutex never sees half a text.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <memory>

class CMutex;

class CSharedMemory {
public:
    // The name other programs know the result block and its mutex by.
    static constexpr const wchar_t* ResultBlockName = L"214D15E1-2481-11D2-BA24-E3E9C2C82A0F";
    static constexpr const wchar_t* MutexName = L"2A4F4F41-2FC1-11D2-8E53-006008A82731";
    static constexpr unsigned ResultBlockSize = 512;
    // The mutex that guards the block of that name: the result block's is MutexName, any other
    // block's is named after the block, so two blocks never wait for each other's readers.
    static CString MutexNameFor(const wchar_t* blockName);

    // Throws CSharedMemoryException when the block cannot be made. A null name makes a block that
    // no other program can open.
    CSharedMemory(unsigned size, const wchar_t* name);
    virtual ~CSharedMemory();
    CSharedMemory(const CSharedMemory&) = delete;
    CSharedMemory& operator=(const CSharedMemory&) = delete;

    BOOL Create(unsigned size, const wchar_t* name);
    BOOL Close();

    // How long a write waits for a reader that holds the mutex: briefly, since the write runs on
    // the user-interface thread, and a reader that holds it longer makes the write give up.
    static constexpr DWORD WriteTimeout = 20;

    // Writes text as UTF-16 with its NUL, cut to what the block holds (never inside a surrogate
    // pair), while holding the mutex. FALSE, writing nothing, when there is no block or the mutex
    // stays taken for WriteTimeout milliseconds.
    BOOL WriteText(const CString& text);
    // The text now in the block, read while holding the mutex (empty when it stays taken).
    CString ReadText() const;

    unsigned GetSize() const { return m_nSize; }
    const CString& GetName() const { return m_strName; }
    BOOL IsCreator() const { return m_bCreated; }

private:
    void* m_pView = nullptr;
    unsigned m_nSize = 0;
    HANDLE m_hMapping = nullptr;
    CString m_strName;
    std::unique_ptr<CMutex> m_pMutex;
    BOOL m_bCreated = FALSE;
};

// Thrown by the CSharedMemory constructor.
struct CSharedMemoryException {
    DWORD error;
};
