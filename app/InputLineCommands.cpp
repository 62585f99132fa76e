#include "app/InputLineCommands.h"

#include "platform/user/WinUser.h"

void DeleteAllOfInputLine(HWND edit)
{
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(edit, WM_CLEAR, 0, 0);
}

void SelectAllWhenNothingSelected(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
}
