// Menus: the item lists behind HMENU, their editing and queries, and the system menu. The popup-menu
// loop of TrackPopupMenu and of the menu bar is PopupMenuLoop.cpp.

#include "platform/user/MenuData.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>

namespace fln::user {
namespace {

std::map<HMENU, std::unique_ptr<Menu>>& Menus()
{
    static std::map<HMENU, std::unique_ptr<Menu>> menus;
    return menus;
}

} // namespace

Menu* FindMenu(HMENU handle)
{
    auto it = Menus().find(handle);
    return it == Menus().end() ? nullptr : it->second.get();
}

namespace {

HMENU NewMenu(bool popup)
{
    static std::uintptr_t next = 0x30000;
    HMENU handle = reinterpret_cast<HMENU>(next += 4);
    Menus()[handle] = std::make_unique<Menu>(Menu { popup, {} });
    return handle;
}

// The item a position or command names; commands are searched in submenus too.
std::pair<Menu*, size_t> FindItem(HMENU handle, UINT item, bool byPosition)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return { nullptr, 0 };
    if (byPosition)
        return item < menu->items.size() ? std::pair { menu, static_cast<size_t>(item) } : std::pair<Menu*, size_t> { nullptr, 0 };
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& entry = menu->items[i];
        if (entry.submenu) {
            auto found = FindItem(entry.submenu, item, false);
            if (found.first)
                return found;
        }
        if (entry.id == item && !(entry.type & MFT_SEPARATOR))
            return { menu, i };
    }
    return { nullptr, 0 };
}

MenuItem ItemFromFlags(UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text)
{
    MenuItem item;
    item.type = flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (flags & MF_POPUP)
        item.submenu = reinterpret_cast<HMENU>(idOrSubmenu);
    else
        item.id = static_cast<UINT>(idOrSubmenu);
    if (flags & MF_BITMAP)
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<LPWSTR>(text));
    else if (text && !(flags & (MF_SEPARATOR | MF_OWNERDRAW)))
        item.text = text;
    else if (flags & MF_OWNERDRAW)
        item.data = reinterpret_cast<ULONG_PTR>(text);
    return item;
}

} // namespace

} // namespace fln::user

using namespace fln::user;

HMENU CreateMenu()
{
    return NewMenu(false);
}

HMENU CreatePopupMenu()
{
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU handle)
{
    auto it = Menus().find(handle);
    if (it == Menus().end())
        return FALSE;
    std::unique_ptr<Menu> menu = std::move(it->second);
    Menus().erase(it);
    for (const MenuItem& item : menu->items) {
        if (item.submenu)
            DestroyMenu(item.submenu);
    }
    return TRUE;
}

BOOL IsMenu(HMENU handle)
{
    return FindMenu(handle) != nullptr;
}

BOOL AppendMenuW(HMENU handle, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text)
{
    Menu* menu = FindMenu(handle);
    if (!menu || ((flags & MF_POPUP) && !FindMenu(reinterpret_cast<HMENU>(idOrSubmenu))))
        return FALSE;
    menu->items.push_back(ItemFromFlags(flags, idOrSubmenu, text));
    return TRUE;
}

BOOL InsertMenuW(HMENU handle, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text)
{
    Menu* menu = FindMenu(handle);
    if (!menu || ((flags & MF_POPUP) && !FindMenu(reinterpret_cast<HMENU>(idOrSubmenu))))
        return FALSE;
    size_t index = menu->items.size();
    if (position != static_cast<UINT>(-1)) {
        if (flags & MF_BYPOSITION) {
            index = std::min<size_t>(position, menu->items.size());
        } else {
            auto [owner, found] = FindItem(handle, position, false);
            if (!owner)
                return FALSE;
            owner->items.insert(owner->items.begin() + static_cast<std::ptrdiff_t>(found), ItemFromFlags(flags, idOrSubmenu, text));
            return TRUE;
        }
    }
    menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(index), ItemFromFlags(flags, idOrSubmenu, text));
    return TRUE;
}

BOOL ModifyMenuW(HMENU handle, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return FALSE;
    MenuItem& item = menu->items[index];
    HMENU oldSubmenu = item.submenu;
    item = ItemFromFlags(flags, idOrSubmenu, text);
    if (oldSubmenu && oldSubmenu != item.submenu)
        DestroyMenu(oldSubmenu);
    return TRUE;
}

BOOL InsertMenuItemW(HMENU handle, UINT position, BOOL byPosition, const MENUITEMINFOW* info)
{
    if (!info || !FindMenu(handle))
        return FALSE;
    MenuItem item;
    Menu* menu = FindMenu(handle);
    size_t index = menu->items.size();
    if (byPosition) {
        index = std::min<size_t>(position, menu->items.size());
    } else if (auto [owner, found] = FindItem(handle, position, false); owner) {
        menu = owner;
        index = found;
    }
    menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(index), item);
    return SetMenuItemInfoW(handle, static_cast<UINT>(index), TRUE, info) || (menu->items.erase(menu->items.begin() + static_cast<std::ptrdiff_t>(index)), FALSE);
}

BOOL GetMenuItemInfoW(HMENU handle, UINT position, BOOL byPosition, MENUITEMINFOW* info)
{
    auto [menu, index] = FindItem(handle, position, byPosition);
    if (!menu || !info)
        return FALSE;
    const MenuItem& item = menu->items[index];
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE))
        info->fType = item.type;
    if (info->fMask & MIIM_STATE)
        info->fState = item.state;
    if (info->fMask & MIIM_ID)
        info->wID = item.id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = item.submenu;
    if (info->fMask & MIIM_CHECKMARKS)
        info->hbmpChecked = item.checked, info->hbmpUnchecked = item.unchecked;
    if (info->fMask & MIIM_DATA)
        info->dwItemData = item.data;
    if (info->fMask & MIIM_BITMAP)
        info->hbmpItem = item.bitmap;
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        if (info->dwTypeData && info->cch > 0) {
            UINT count = std::min<UINT>(info->cch - 1, static_cast<UINT>(item.text.size()));
            std::copy_n(item.text.begin(), count, info->dwTypeData);
            info->dwTypeData[count] = 0;
            info->cch = count;
        } else {
            info->cch = static_cast<UINT>(item.text.size());
        }
    }
    return TRUE;
}

BOOL SetMenuItemInfoW(HMENU handle, UINT position, BOOL byPosition, const MENUITEMINFOW* info)
{
    auto [menu, index] = FindItem(handle, position, byPosition);
    if (!menu || !info)
        return FALSE;
    MenuItem& item = menu->items[index];
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE))
        item.type = info->fType;
    if (info->fMask & MIIM_STATE)
        item.state = info->fState;
    if (info->fMask & MIIM_ID)
        item.id = info->wID;
    if (info->fMask & MIIM_SUBMENU) {
        if (info->hSubMenu && !FindMenu(info->hSubMenu))
            return FALSE;
        item.submenu = info->hSubMenu;
    }
    if (info->fMask & MIIM_CHECKMARKS)
        item.checked = info->hbmpChecked, item.unchecked = info->hbmpUnchecked;
    if (info->fMask & MIIM_DATA)
        item.data = info->dwItemData;
    if (info->fMask & MIIM_BITMAP)
        item.bitmap = info->hbmpItem;
    if ((info->fMask & MIIM_STRING) || ((info->fMask & MIIM_TYPE) && !(info->fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))))
        item.text = info->dwTypeData ? info->dwTypeData : L"";
    return TRUE;
}

BOOL RemoveMenu(HMENU handle, UINT position, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return FALSE;
    menu->items.erase(menu->items.begin() + static_cast<std::ptrdiff_t>(index));
    return TRUE;
}

BOOL DeleteMenu(HMENU handle, UINT position, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return FALSE;
    HMENU submenu = menu->items[index].submenu;
    menu->items.erase(menu->items.begin() + static_cast<std::ptrdiff_t>(index));
    if (submenu)
        DestroyMenu(submenu);
    return TRUE;
}

int GetMenuItemCount(HMENU handle)
{
    Menu* menu = FindMenu(handle);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU handle, int position)
{
    Menu* menu = FindMenu(handle);
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size() || menu->items[static_cast<size_t>(position)].submenu)
        return static_cast<UINT>(-1);
    return menu->items[static_cast<size_t>(position)].id;
}

HMENU GetSubMenu(HMENU handle, int position)
{
    Menu* menu = FindMenu(handle);
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size())
        return nullptr;
    return menu->items[static_cast<size_t>(position)].submenu;
}

UINT GetMenuState(HMENU handle, UINT position, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return static_cast<UINT>(-1);
    const MenuItem& item = menu->items[index];
    UINT state = item.state | item.type;
    if (item.submenu)
        state = (state & 0xFF) | MF_POPUP | (static_cast<UINT>(GetMenuItemCount(item.submenu)) << 8);
    return state;
}

int GetMenuStringW(HMENU handle, UINT position, LPWSTR buffer, int length, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return 0;
    const std::wstring& text = menu->items[index].text;
    if (!buffer || length <= 0)
        return static_cast<int>(text.size());
    int count = std::min(length - 1, static_cast<int>(text.size()));
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = 0;
    return count;
}

DWORD CheckMenuItem(HMENU handle, UINT position, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return static_cast<DWORD>(-1);
    MenuItem& item = menu->items[index];
    DWORD previous = item.state & MF_CHECKED;
    item.state = (item.state & ~MF_CHECKED) | (flags & MF_CHECKED);
    return previous;
}

BOOL EnableMenuItem(HMENU handle, UINT position, UINT flags)
{
    auto [menu, index] = FindItem(handle, position, flags & MF_BYPOSITION);
    if (!menu)
        return -1;
    MenuItem& item = menu->items[index];
    BOOL previous = static_cast<BOOL>(item.state & (MF_GRAYED | MF_DISABLED));
    item.state = (item.state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL CheckMenuRadioItem(HMENU handle, UINT first, UINT last, UINT check, UINT flags)
{
    bool byPosition = flags & MF_BYPOSITION;
    auto [menu, firstIndex] = FindItem(handle, first, byPosition);
    auto [lastMenu, lastIndex] = FindItem(handle, last, byPosition);
    if (!menu || menu != lastMenu || firstIndex > lastIndex)
        return FALSE;
    auto [checkMenu, checkIndex] = FindItem(handle, check, byPosition);
    for (size_t i = firstIndex; i <= lastIndex; ++i) {
        MenuItem& item = menu->items[i];
        bool chosen = checkMenu == menu && i == checkIndex;
        item.state = (item.state & ~MF_CHECKED) | (chosen ? MF_CHECKED : 0);
        if (chosen)
            item.type |= MFT_RADIOCHECK;
    }
    return TRUE;
}

BOOL SetMenuDefaultItem(HMENU handle, UINT position, UINT byPosition)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return FALSE;
    for (MenuItem& item : menu->items)
        item.state &= ~MFS_DEFAULT;
    if (position == static_cast<UINT>(-1))
        return TRUE;
    auto [owner, index] = FindItem(handle, position, byPosition);
    if (owner != menu)
        return FALSE;
    menu->items[index].state |= MFS_DEFAULT;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU handle, UINT byPosition, UINT)
{
    Menu* menu = FindMenu(handle);
    if (!menu)
        return static_cast<UINT>(-1);
    for (size_t i = 0; i < menu->items.size(); ++i) {
        if (menu->items[i].state & MFS_DEFAULT)
            return byPosition ? static_cast<UINT>(i) : menu->items[i].id;
    }
    return static_cast<UINT>(-1);
}

HMENU GetMenu(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && window->IsTopLevel() ? window->menu : nullptr;
}

BOOL SetMenu(HWND handle, HMENU menu)
{
    Window* window = FindWindowObject(handle);
    if (!window || window->IsChild() || (menu && !FindMenu(menu)))
        return FALSE;
    window->menu = menu;
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL DrawMenuBar(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window || !window->menu)
        return FALSE;
    RedrawWindow(handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    return TRUE;
}

HMENU GetSystemMenu(HWND handle, BOOL revert)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return nullptr;
    if (revert) {
        if (window->systemMenu)
            DestroyMenu(window->systemMenu);
        window->systemMenu = nullptr;
        return nullptr;
    }
    if (!window->systemMenu) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, SC_RESTORE, L"&Restore");
        AppendMenuW(menu, MF_STRING, SC_MOVE, L"&Move");
        AppendMenuW(menu, MF_STRING, SC_SIZE, L"&Size");
        AppendMenuW(menu, MF_STRING, SC_MINIMIZE, L"Mi&nimize");
        AppendMenuW(menu, MF_STRING, SC_MAXIMIZE, L"Ma&ximize");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | MF_DEFAULT, SC_CLOSE, L"&Close\tAlt+F4");
        window->systemMenu = menu;
    }
    return window->systemMenu;
}
