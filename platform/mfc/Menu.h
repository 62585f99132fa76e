#pragma once
// A menu as an object; it destroys the menu it holds unless the menu was detached.

#include "platform/base/CString.h"
#include "platform/base/RunTimeClass.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"

class CWnd;

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    ~CMenu() override { DestroyMenu(); }

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL Attach(HMENU menu);
    HMENU Detach();
    BOOL DestroyMenu();
    static CMenu* FromHandle(HMENU menu);

    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    // The program's menu resource; FALSE when it is missing or damaged, or a menu is attached already.
    BOOL LoadMenu(LPCWSTR name) { return !m_hMenu && Attach(::LoadMenuW(nullptr, name)); }
    BOOL LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }
    BOOL LoadMenuIndirect(const void* menuTemplate) { return !m_hMenu && Attach(::LoadMenuIndirectW(menuTemplate)); }

    BOOL AppendMenu(UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr)
    {
        return ::AppendMenuW(m_hMenu, flags, idOrSubmenu, text);
    }
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr)
    {
        return ::InsertMenuW(m_hMenu, position, flags, idOrSubmenu, text);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr)
    {
        return ::ModifyMenuW(m_hMenu, position, flags, idOrSubmenu, text);
    }
    BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
    BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
    UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
    UINT CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags)
    {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
    }
    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE) { return ::SetMenuDefaultItem(m_hMenu, item, byPosition); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);
};
