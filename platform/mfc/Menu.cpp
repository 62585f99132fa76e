#include "platform/mfc/Menu.h"

#include "platform/mfc/HandleMap.h"
#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

HandleMap<HMENU, CMenu>& MenuMap()
{
    static HandleMap<HMENU, CMenu> map(
        [](HMENU handle) {
            auto* menu = new CMenu;
            menu->m_hMenu = handle;
            return menu;
        },
        [](CMenu* menu) { menu->m_hMenu = nullptr; });
    return map;
}

} // namespace

CMenu* CMenu::FromHandle(HMENU menu)
{
    return MenuMap().FromHandle(menu);
}

BOOL CMenu::Attach(HMENU menu)
{
    if (!menu || m_hMenu)
        return FALSE;
    m_hMenu = menu;
    MenuMap().SetPermanent(menu, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    if (menu && MenuMap().Permanent(menu) == this)
        MenuMap().RemovePermanent(menu);
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu()
{
    HMENU menu = Detach();
    return menu ? ::DestroyMenu(menu) : FALSE;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    length = ::GetMenuStringW(m_hMenu, item, buffer.data(), length + 1, flags);
    buffer.resize(static_cast<size_t>(length > 0 ? length : 0));
    text = CString(std::move(buffer));
    return text.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect)
{
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, rect);
}
