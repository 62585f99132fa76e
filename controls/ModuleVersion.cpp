#include "controls/ModuleVersion.h"

#include <cstring>
#include <new>

namespace {
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr DWORD kPathLimit = 260;
}

CNGModuleVersion::CNGModuleVersion()
    : VS_FIXEDFILEINFO {}
{
}

BOOL CNGModuleVersion::GetFileVersionInfo(const wchar_t* moduleName)
{
    wchar_t path[kPathLimit] {};
    if (!moduleName || !*moduleName) {
        ::GetModuleFileNameW(nullptr, path, kPathLimit);
        moduleName = path;
    }
    m_codePage = 1252;
    m_language = 0;
    static_cast<VS_FIXEDFILEINFO&>(*this) = {};
    m_data.reset();

    HMODULE module = ::GetModuleHandleW(moduleName);
    if (!module)
        return FALSE;
    wchar_t fullName[kPathLimit] {};
    ::GetModuleFileNameW(module, fullName, kPathLimit);
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(fullName, &handle);
    if (size == 0)
        return FALSE;
    m_data.reset(new (std::nothrow) BYTE[size]);
    if (!m_data || !::GetFileVersionInfoW(fullName, handle, size, m_data.get())) {
        m_data.reset();
        return FALSE;
    }

    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(m_data.get(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO))
        std::memcpy(static_cast<VS_FIXEDFILEINFO*>(this), value, sizeof(VS_FIXEDFILEINFO));
    if (::VerQueryValueW(m_data.get(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        const auto* words = static_cast<const WORD*>(value);
        m_language = words[0];
        m_codePage = words[1];
    }
    return dwSignature == kFixedInfoSignature;
}

CString CNGModuleVersion::GetValue(const wchar_t* key) const
{
    if (!m_data || !key)
        return {};
    CString query;
    query.Format(L"\\StringFileInfo\\%04x%04x\\%s", m_language, m_codePage, key);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(m_data.get(), query, &value, &length) || !value)
        return {};
    return CString(static_cast<const wchar_t*>(value));
}
