// Help requests. There is no help viewer on this desktop, so a request fails; the user hears once
// per session that the help file cannot be found, rather than at every F1.

#include "platform/user/WinUser.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/MessageBox.h"

#include <utility>

namespace {

HelpViewer& Viewer()
{
    static HelpViewer viewer;
    return viewer;
}

} // namespace

HelpViewer SetHelpViewer(HelpViewer viewer)
{
    return std::exchange(Viewer(), std::move(viewer));
}

BOOL WinHelpW(HWND window, LPCWSTR helpFile, UINT command, ULONG_PTR data)
{
    if (Viewer())
        return Viewer()(window, helpFile, command, data);
    if (command == HELP_QUIT)
        return TRUE; // nothing was opened
    static bool told = false;
    if (!std::exchange(told, true)) {
        CString text;
        text.Format(L"Cannot find the help file %s.", helpFile && *helpFile ? helpFile : L"of this program");
        ShowMessageBox(text, L"Help", MB_OK | MB_ICONEXCLAMATION);
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}
