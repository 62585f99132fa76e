#pragma once
// A dialog procedure's own object, handed over as the init parameter: kept in DWLP_USER from
// WM_INITDIALOG on, so every later message finds it.

#include "platform/user/WinUser.h"

namespace fln::user {

template<typename T>
T* DialogObject(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

} // namespace fln::user
