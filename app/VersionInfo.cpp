#include "app/VersionInfo.h"

#include "platform/base/NativePath.h"
#include "platform/res/Resources.h"
#include "platform/sys/Module.h"

#include <cwchar>
#include <iterator>
#include <sys/stat.h>

CVersionInfo::CVersionInfo(LPCWSTR resourceName)
{
    HMODULE module = GetModuleHandleW(nullptr);
    if (HRSRC resource = FindResourceW(module, resourceName, RT_VERSION))
        m_data = LockResource(LoadResource(module, resource));
}

BOOL CVersionInfo::GetFixedFileVersion(DWORD& mostSignificant, DWORD& leastSignificant) const
{
    LPVOID value = nullptr;
    UINT length = 0;
    if (!m_data || !VerQueryValueW(m_data, L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return FALSE;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    mostSignificant = fixed->dwFileVersionMS;
    leastSignificant = fixed->dwFileVersionLS;
    return TRUE;
}

BOOL CVersionInfo::GetFileVersionText(CString& text) const
{
    DWORD high = 0, low = 0;
    if (!GetFixedFileVersion(high, low))
        return FALSE;
    text.Format(L"%d.%d.%d.%d", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
    return TRUE;
}

CString CVersionInfo::FormatFileTime(std::time_t time, LPCWSTR format)
{
    std::tm local {};
    if (!localtime_r(&time, &local))
        return {};
    wchar_t buffer[129] = {};
    if (std::wcsftime(buffer, std::size(buffer), format, &local) == 0)
        return {};
    return CString(buffer);
}

CString CVersionInfo::GetVersionLine(const CString& path) const
{
    CString date;
    struct stat status {};
    if (stat(NativePath(path.view()).c_str(), &status) == 0)
        date = FormatFileTime(status.st_mtime, L"%d.%m.%Y %H:%M:%S");
    CString version;
    GetFileVersionText(version);
    CString line;
    line.Format(L"V%s  %s", static_cast<LPCWSTR>(version), static_cast<LPCWSTR>(date));
    return line;
}
