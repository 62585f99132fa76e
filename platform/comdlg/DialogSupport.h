#pragma once
// What the common dialogs share: the extended error of the last call, the object behind a
// running dialog, and control text helpers. Internal to platform/comdlg.

#include "platform/comdlg/CommDlg.h"

#include <string>

namespace fln::comdlg {

void SetExtendedError(DWORD code);

// The dialog object given as the init parameter is kept in DWLP_USER from WM_INITDIALOG on.
template<typename T>
T* DialogObject(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::wstring ControlText(HWND dialog, int id);

} // namespace fln::comdlg
