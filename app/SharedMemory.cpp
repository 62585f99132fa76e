#include "app/SharedMemory.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/FileMapping.h"
#include "platform/sys/Mutex.h"

#include <algorithm>
#include <cstring>

CSharedMemory::CSharedMemory(unsigned size, const wchar_t* name)
{
    if (!Create(size, name))
        throw CSharedMemoryException { GetLastError() };
}

CSharedMemory::~CSharedMemory()
{
    Close();
}

CString CSharedMemory::MutexNameFor(const wchar_t* blockName)
{
    const CString block = blockName ? blockName : L"";
    if (block.IsEmpty())
        return CString();
    return block == ResultBlockName ? CString(MutexName) : block + L"-mutex";
}

BOOL CSharedMemory::Create(unsigned size, const wchar_t* name)
{
    Close();
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (!mapping)
        return FALSE;
    const BOOL created = GetLastError() != ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        return FALSE;
    }
    const CString mutexName = MutexNameFor(name);
    auto mutex = std::make_unique<CMutex>(TRUE, mutexName.IsEmpty() ? nullptr : mutexName.GetString());
    if (!mutex->m_hObject) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        return FALSE;
    }
    m_nSize = size;
    m_strName = name ? name : L"";
    m_pView = view;
    m_hMapping = mapping;
    m_bCreated = created;
    m_pMutex = std::move(mutex);
    m_pMutex->Unlock();
    return TRUE;
}

BOOL CSharedMemory::Close()
{
    m_nSize = 0;
    m_strName.Empty();
    m_pMutex.reset();
    if (m_pView)
        UnmapViewOfFile(m_pView);
    if (m_hMapping)
        CloseHandle(m_hMapping);
    m_pView = nullptr;
    m_hMapping = nullptr;
    m_bCreated = FALSE;
    return TRUE;
}

BOOL CSharedMemory::WriteText(const CString& text)
{
    if (!m_pView || m_nSize < 2)
        return FALSE;
    std::string units = WideToUtf16Le(std::wstring_view(text.GetString(), static_cast<size_t>(text.GetLength())));
    size_t bytes = std::min(units.size(), static_cast<size_t>(m_nSize / 2 - 1) * 2);
    // A high surrogate whose partner was cut goes too.
    if (bytes >= 2 && bytes < units.size()) {
        const unsigned last = static_cast<unsigned char>(units[bytes - 2]) | static_cast<unsigned char>(units[bytes - 1]) << 8;
        if (last >= 0xD800 && last <= 0xDBFF)
            bytes -= 2;
    }
    units.resize(bytes);
    units.append(2, '\0');
    // Another process of the user may shrink the block at any moment, also during the copy.
    CSingleLock lock(m_pMutex.get());
    return lock.Lock(WriteTimeout) && IsViewOfFileWhole(m_pView) && CopyIntoView(m_pView, units.data(), units.size());
}

CString CSharedMemory::ReadText() const
{
    if (!m_pView)
        return {};
    CSingleLock lock(m_pMutex.get());
    std::string copy(m_nSize, '\0');
    if (!lock.Lock(WriteTimeout) || !IsViewOfFileWhole(m_pView) || !CopyOutOfView(copy.data(), m_pView, copy.size()))
        return {};
    const char* block = copy.data();
    size_t bytes = 0;
    while (bytes + 1 < m_nSize && (block[bytes] || block[bytes + 1]))
        bytes += 2;
    return CString(Utf16LeToWide(std::string_view(block, bytes)).c_str());
}
