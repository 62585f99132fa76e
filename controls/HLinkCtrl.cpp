#include "controls/HLinkCtrl.h"

#include "controls/HLinkPage.h"

#include "platform/sys/Folders.h"
#include "platform/sys/Shell.h"
#include "platform/user/WinUser.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
constexpr size_t kMaxShortcutName = 200;
}

CString ShortcutFileName(const CString& text)
{
    CString name;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c < 32 || c == 0x7F || std::wcschr(L"/\\:*?\"<>|", c))
            continue;
        name += c;
    }
    name.Trim(L" .");
    if (name.GetLength() > static_cast<int>(kMaxShortcutName))
        name = name.Left(static_cast<int>(kMaxShortcutName));
    return name.IsEmpty() ? CString(L"Link") : name;
}

BEGIN_MESSAGE_MAP(CHLinkCtrl, CWnd)
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CHLinkCtrl::CHLinkCtrl()
    : m_handCursor(::LoadCursorW(nullptr, IDC_HAND))
    , m_inactiveCursor(::LoadCursorW(nullptr, IDC_ARROW))
{
}

void CHLinkCtrl::SetToolTipEnabled(BOOL enable)
{
    EnableToolTips(enable);
    m_toolTipEnabled = enable;
}

void CHLinkCtrl::SetColours(COLORREF normal, COLORREF visited, COLORREF hover)
{
    m_normalColour = normal;
    m_visitedColour = visited;
    m_hoverColour = hover;
}

INT_PTR CHLinkCtrl::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    CRect client;
    GetClientRect(&client);
    if (!m_toolTipEnabled || !client.PtInRect(point))
        return -1;
    if (info) {
        info->uFlags = TTF_IDISHWND | 0x40000000;
        info->hwnd = m_hWnd;
        info->uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        const size_t bytes = (static_cast<size_t>(m_toolTipText.GetLength()) + 1) * sizeof(wchar_t);
        info->lpszText = static_cast<LPWSTR>(std::malloc(bytes));
        if (info->lpszText)
            std::memcpy(info->lpszText, static_cast<const wchar_t*>(m_toolTipText), bytes);
    }
    return 1;
}

BOOL CHLinkCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_CTLCOLORSTATIC)
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    if (!(GetStyle() & SS_NOTIFY))
        ModifyStyle(0, SS_NOTIFY);
    // Icons, bitmaps, frames and the like keep their own colours.
    if ((GetStyle() & 0xFF) > SS_RIGHT)
        return FALSE;
    auto dc = reinterpret_cast<HDC>(wParam);
    if (!m_linkFont.m_hObject) {
        LOGFONTW font {};
        HGDIOBJ current = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        ::GetObjectW(current ? current : ::GetStockObject(SYSTEM_FONT), sizeof font, &font);
        font.lfUnderline = TRUE;
        m_linkFont.CreateFontIndirect(&font);
    }
    ::SelectObject(dc, m_linkFont);
    const COLORREF colours[] = { m_normalColour, m_visitedColour, m_hoverColour };
    ::SetTextColor(dc, colours[m_linkState]);
    ::SetBkMode(dc, TRANSPARENT);
    if (result)
        *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return TRUE;
}

BOOL CHLinkCtrl::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_menuShowing)
        return static_cast<BOOL>(Default());
    ::SetCursor(m_active ? m_handCursor : m_inactiveCursor);
    return TRUE;
}

void CHLinkCtrl::OnLButtonDown(UINT, CPoint)
{
    PostMessage(WM_COMMAND, ID_LINK_OPEN);
}

void CHLinkCtrl::OnMouseMove(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        if (m_linkState != StateHover) {
            SetCapture();
            m_stateBeforeHover = m_linkState;
            m_linkState = StateHover;
            Invalidate(TRUE);
        }
    } else if (m_linkState == StateHover) {
        EndHover();
    }
    Default();
}

void CHLinkCtrl::EndHover()
{
    if (m_linkState == StateHover) {
        m_linkState = m_stateBeforeHover;
        Invalidate(TRUE);
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

HMENU CHLinkCtrl::BuildContextMenu()
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, ID_LINK_OPEN, L"&Open");
    ::AppendMenuW(menu, MF_STRING, ID_LINK_COPY, L"Copy Shor&tcut");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, ID_LINK_FAVORITES, L"Add to &Favorites");
    ::AppendMenuW(menu, MF_STRING, ID_LINK_DESKTOP, L"Add to &Desktop");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, ID_LINK_PROPERTIES, L"P&roperties");
    return menu;
}

void CHLinkCtrl::OnContextMenu(CWnd*, CPoint point)
{
    if (!m_contextMenuEnabled) {
        Default();
        return;
    }
    EndHover();
    if (point.x == -1 && point.y == -1) { // from the keyboard
        CRect rect;
        GetWindowRect(&rect);
        point = CPoint(rect.left + 5, rect.top + 5);
    }
    HMENU menu = BuildContextMenu();
    m_menuShowing = TRUE;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    m_menuShowing = FALSE;
    ::DestroyMenu(menu);
}

BOOL CHLinkCtrl::Open()
{
    if (!m_active || m_target.IsEmpty())
        return FALSE;
    HWND owner = ::GetParent(m_hWnd);
    // A file or an address with a scheme opens as it is; otherwise the scheme is guessed, so that
    // "example.org" and "someone@example.org" open too.
    auto opened = [&](const wchar_t* file) {
        return reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", file, nullptr, nullptr, SW_SHOW)) > 32;
    };
    if (!opened(m_target) && !opened(GuessUrlProtocol(std::wstring_view(m_target)).c_str()))
        return FALSE;
    m_linkState = m_linkState == StateHover ? StateHover : StateVisited;
    m_stateBeforeHover = StateVisited;
    Invalidate(TRUE);
    return TRUE;
}

void CHLinkCtrl::CopyShortcut()
{
    if (!::OpenClipboard(m_hWnd))
        return;
    const size_t bytes = (static_cast<size_t>(m_target.GetLength()) + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes)) {
        if (void* data = ::GlobalLock(memory)) {
            std::memcpy(data, static_cast<const wchar_t*>(m_target), bytes);
            ::GlobalUnlock(memory);
            ::EmptyClipboard();
            if (!::SetClipboardData(CF_UNICODETEXT, memory))
                ::GlobalFree(memory);
        } else {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
}

std::string CHLinkCtrl::AddShortcutTo(int csidl)
{
    wchar_t folder[MAX_PATH] {};
    if (m_target.IsEmpty() || !::SHGetSpecialFolderPathW(m_hWnd, folder, csidl, TRUE))
        return {};
    CString path(folder);
    path += L"/";
    path += ShortcutFileName(GetWindowText());
    path += L".URL";
    return SaveInternetShortcut(std::wstring_view(path), std::wstring_view(m_target));
}

void CHLinkCtrl::ShowProperties()
{
    CHLinkSheet sheet(*this, GetParent());
    sheet.DoModal();
}

BOOL CHLinkCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_LINK_OPEN: Open(); return TRUE;
    case ID_LINK_COPY: CopyShortcut(); return TRUE;
    case ID_LINK_FAVORITES: AddShortcutTo(CSIDL_FAVORITES); return TRUE;
    case ID_LINK_DESKTOP: AddShortcutTo(CSIDL_DESKTOP); return TRUE;
    case ID_LINK_PROPERTIES: ShowProperties(); return TRUE;
    default: return CWnd::OnCommand(wParam, lParam);
    }
}
