#include "app/FrameSettings.h"

#include "app/DateFile.h"
#include "app/IniFile.h"
#include "app/ParameterFile.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/Exceptions.h"
#include "platform/base/NativePath.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>

namespace {

constexpr const wchar_t* kSection = L"FLN";

} // namespace

FrameSettings FrameSettings::Load(CWinApp& app)
{
    FrameSettings settings;
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (app.GetProfileBinary(kSection, L"WP", &data, &bytes)) {
        std::unique_ptr<BYTE[]> owned(data);
        if (bytes == sizeof(WINDOWPLACEMENT)) {
            WINDOWPLACEMENT placement;
            std::memcpy(&placement, data, sizeof placement);
            settings.placement = placement;
        }
    }
    settings.inputFormulaHeight = static_cast<int>(app.GetProfileInt(kSection, L"InputFormulaHeight", 10));
    settings.inputCalendarHeight = static_cast<int>(app.GetProfileInt(kSection, L"InputCalendarHeight", 10));
    settings.digits = static_cast<int>(app.GetProfileInt(kSection, L"Stellen", 6));
    settings.formatOption = static_cast<int>(app.GetProfileInt(kSection, L"EStellen", 2));
    settings.speech = app.GetProfileInt(kSection, L"Speech", 0) != 0;
    settings.sharedMemory = app.GetProfileInt(kSection, L"SharedMemory", 1) != 0;
    return settings;
}

BOOL FrameSettings::Save(CWinApp& app) const
{
    RegistryWriteBatch batch;
    // The first failure says why; the later values are not tried, since they would fail alike.
    const BOOL set = (!placement
               || app.WriteProfileBinary(kSection, L"WP", reinterpret_cast<const BYTE*>(&*placement), sizeof(WINDOWPLACEMENT)))
        && app.WriteProfileInt(kSection, L"InputFormulaHeight", inputFormulaHeight)
        && app.WriteProfileInt(kSection, L"InputCalendarHeight", inputCalendarHeight)
        && app.WriteProfileInt(kSection, L"Stellen", digits)
        && app.WriteProfileInt(kSection, L"EStellen", formatOption)
        && app.WriteProfileInt(kSection, L"Speech", speech ? 1 : 0)
        && app.WriteProfileInt(kSection, L"SharedMemory", sharedMemory ? 1 : 0);
    if (const LSTATUS written = batch.Commit(); written != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(written));
        return FALSE;
    }
    return set;
}

std::optional<RECT> UsableWindowPlace(const RECT& stored, SIZE minimum)
{
    const std::int64_t width = std::int64_t { stored.right } - stored.left, height = std::int64_t { stored.bottom } - stored.top;
    if (width < minimum.cx || height < minimum.cy)
        return std::nullopt;
    MONITORINFO monitor { sizeof monitor };
    if (!GetMonitorInfoW(MonitorFromRect(&stored, MONITOR_DEFAULTTONULL), &monitor))
        return std::nullopt;
    const RECT& work = monitor.rcWork;
    const LONG fittingWidth = static_cast<LONG>(std::min<std::int64_t>(width, work.right - work.left));
    const LONG fittingHeight = static_cast<LONG>(std::min<std::int64_t>(height, work.bottom - work.top));
    const LONG left = std::clamp(stored.left, work.left, work.right - fittingWidth);
    const LONG top = std::clamp(stored.top, work.top, work.bottom - fittingHeight);
    return RECT { left, top, left + fittingWidth, top + fittingHeight };
}

CString ProfilePath(const CWinApp& app)
{
    if (!app.m_pszRegistryKey.IsEmpty())
        return CString(RegistryFilePath().c_str());
    const std::string name = NativePath(app.m_pszProfileName.str());
    return CString((name.starts_with('/') ? name : SettingsFolder() + "/" + name).c_str());
}

namespace {

CString LastErrorText(const CString& path)
{
    const auto error = static_cast<LONG>(GetLastError());
    // Causes for which the file exception's words would mislead.
    std::error_code ignored;
    if (error == ERROR_ACCESS_DENIED && std::filesystem::is_directory(std::filesystem::path(path.ToUtf8()), ignored)
        && path.ToUtf8() != SettingsFolder())
        return path + L" is a folder, not a file.";
    if (error == ERROR_BAD_FILE_TYPE)
        return path + L" is not a regular file: a pipe or a device stands in its place.";
    if (error == ERROR_FILE_TOO_LARGE)
        return path + L" is too large to be read.";
    wchar_t text[512] = {};
    CFileException(CFileException::OsErrorToException(error), error, path).GetErrorMessage(text, std::size(text));
    return text;
}

} // namespace

CString WriteFailureText(const CString& path)
{
    return LastErrorText(path);
}

CString ReadFailureText(const CString& path)
{
    if (GetLastError() == ERROR_SUCCESS)
        return path + L" holds nothing to load.";
    return LastErrorText(path);
}

BOOL SaveLastContent(const CString& path, const FormulaPageContent* formula, const DatePageContent* date)
{
    CIniFile ini;
    ini.SetFileName(path);
    if (formula)
        PutFormulaPageContent(ini, *formula);
    if (date)
        CDateFile::Put(ini, *date);
    const BOOL written = ini.Flush();
    ini.RemoveAll(); // a failed write is reported, not tried again when the mirror goes
    return written;
}

CString LastContentPath()
{
    EnsureSettingsFolder();
    return CString((SettingsFolder() + "/Fln.ini").c_str());
}
