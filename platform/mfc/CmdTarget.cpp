#include "platform/mfc/CmdTarget.h"

#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CAutomationTarget)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY noEntries[] = { { 0, 0, 0, 0, nullptr } };
    static const AFX_MSGMAP map = { nullptr, &noEntries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage == message && entry->nCode == code && entry->nID <= id && id <= entry->nLastID)
                return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    // Notifications carry their message in the high word: MAKELONG(code, WM_NOTIFY).
    UINT message = WM_COMMAND;
    UINT entryCode = static_cast<UINT>(code);
    if (code != CN_UPDATE_COMMAND_UI && HIWORD(static_cast<UINT>(code)) != 0) {
        message = HIWORD(static_cast<UINT>(code));
        // Notification codes are negative numbers kept in 16 bits; entries hold them in 32.
        entryCode = static_cast<UINT>(static_cast<int>(static_cast<short>(LOWORD(static_cast<UINT>(code)))));
        if (message == WM_COMMAND || message == WM_REFLECT_BASE + WM_COMMAND)
            entryCode = LOWORD(static_cast<UINT>(code));
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, entryCode, id);
    if (!entry)
        return FALSE;
    if (handlerInfo) {
        handlerInfo->pTarget = this;
        handlerInfo->pEntry = entry;
        return TRUE;
    }
    AFX_CALL call { message, 0, 0, id, extra };
    LRESULT result = entry->pfn(this, call);
    return entry->routes ? result != 0 : TRUE;
}

void CCmdUI::Enable(BOOL on)
{
    if (m_hMenu)
        EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    else if (auto* window = dynamic_cast<CWnd*>(m_pOther))
        window->EnableWindow(on);
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check)
{
    if (m_hMenu && !m_hSubMenu)
        CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetRadio(BOOL on)
{
    if (m_hMenu && !m_hSubMenu) {
        MENUITEMINFOW info { sizeof info };
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        if (GetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info)) {
            info.fType = on ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
            info.fState = on ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
            SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info);
        }
    }
}

void CCmdUI::SetText(LPCWSTR text)
{
    if (m_hMenu && !m_hSubMenu) {
        UINT state = GetMenuState(m_hMenu, m_nIndex, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        ModifyMenuW(m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, text);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and popups are left alone
    m_bEnableChanged = FALSE;
    BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (disableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

int AfxScrollPosition(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WORD code = LOWORD(wParam), low = HIWORD(wParam);
    if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION)
        return static_cast<short>(low);
    HWND control = reinterpret_cast<HWND>(lParam);
    SCROLLINFO info { sizeof info, SIF_TRACKPOS };
    // A request whose low bits are not the bar's (one sent by code, or from an up-down control,
    // which is no bar) means what it says.
    if (!::GetScrollInfo(control ? control : window, control ? SB_CTL : message == WM_VSCROLL ? SB_VERT : SB_HORZ, &info)
        || LOWORD(info.nTrackPos) != low)
        return static_cast<short>(low);
    return info.nTrackPos;
}
