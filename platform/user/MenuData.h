#pragma once
// The item lists behind menu handles (internal to platform/user): what Menus.cpp keeps and edits,
// and what the popup-menu loop lays out, draws and chooses from.

#include "platform/user/WinUser.h"

#include <string>
#include <vector>

namespace fln::user {

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    std::wstring text;
    ULONG_PTR data = 0;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    HBITMAP bitmap = nullptr;
};

struct Menu {
    bool popup = true;
    std::vector<MenuItem> items;
};

// The menu behind a handle; null for one that is not a menu.
Menu* FindMenu(HMENU handle);

} // namespace fln::user
