#include "app/FrameSettings.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/Exceptions.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/Folders.h"

#include <cstring>
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
    // The first failure says why; the later values are not tried, since they would fail alike.
    return (!placement
               || app.WriteProfileBinary(kSection, L"WP", reinterpret_cast<const BYTE*>(&*placement), sizeof(WINDOWPLACEMENT)))
        && app.WriteProfileInt(kSection, L"InputFormulaHeight", inputFormulaHeight)
        && app.WriteProfileInt(kSection, L"InputCalendarHeight", inputCalendarHeight)
        && app.WriteProfileInt(kSection, L"Stellen", digits)
        && app.WriteProfileInt(kSection, L"EStellen", formatOption)
        && app.WriteProfileInt(kSection, L"Speech", speech ? 1 : 0)
        && app.WriteProfileInt(kSection, L"SharedMemory", sharedMemory ? 1 : 0);
}

namespace {

CString LastErrorText(const CString& path)
{
    const auto error = static_cast<LONG>(GetLastError());
    wchar_t text[512] = {};
    CFileException(CFileException::OsErrorToException(error), error, path).GetErrorMessage(text, 512);
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

CString LastContentPath()
{
    EnsureSettingsFolder();
    return CString((SettingsFolder() + "/Fln.ini").c_str());
}
