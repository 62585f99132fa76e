#include "platform/mfc/ControlWrappers.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL AfxInitRichEdit2()
{
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    return InitCommonControlsEx(&controls);
}

BOOL CControlWnd::CreateControl(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    WNDCLASSEXW existing { sizeof existing };
    if (!::GetClassInfoExW(nullptr, className, &existing))
        InitCommonControls();
    return CWnd::Create(className, text, style, rect, parent, id);
}

CString CControlWnd::ItemText(UINT lengthMessage, UINT textMessage, int index) const
{
    LRESULT length = Send(lengthMessage, static_cast<WPARAM>(index));
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return CString(text.c_str());
}

void CEdit::GetSel(int& start, int& end) const
{
    // Asked through pointers: positions past 65535 do not fit the packed answer.
    DWORD wideStart = 0, wideEnd = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&wideStart), reinterpret_cast<LPARAM>(&wideEnd));
    start = static_cast<int>(wideStart);
    end = static_cast<int>(wideEnd);
}

void CEdit::SetSel(int start, int end, BOOL noScroll)
{
    Send(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll)
        Send(EM_SCROLLCARET);
}

LONG CTabCtrl::InsertItem(int index, LPCWSTR text, int image)
{
    TCITEMW item {};
    item.mask = TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0);
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = image;
    return static_cast<LONG>(Send(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CString CStatusBarCtrl::GetText(int part, int* type) const
{
    LRESULT lengthAndType = Send(SB_GETTEXTLENGTHW, static_cast<WPARAM>(part));
    std::wstring text(static_cast<size_t>(LOWORD(lengthAndType)) + 1, L'\0');
    Send(SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    if (type)
        *type = HIWORD(lengthAndType);
    return CString(text.c_str());
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    WNDCLASSEXW existing { sizeof existing };
    if (!::GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &existing))
        InitCommonControls();
    return CWnd::CreateEx(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, nullptr);
}

TTTOOLINFOW CToolTipCtrl::ToolFor(CWnd* window, UINT_PTR id, const RECT* rect)
{
    TTTOOLINFOW info {};
    info.cbSize = sizeof info;
    info.hwnd = window ? window->m_hWnd : nullptr;
    info.uId = id;
    if (rect)
        info.rect = *rect;
    else if (id == 0 && window) {
        // The whole window is the tool.
        info.uFlags = TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(window->m_hWnd);
        info.hwnd = ::GetParent(window->m_hWnd) ? ::GetParent(window->m_hWnd) : window->m_hWnd;
    }
    return info;
}

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCWSTR text, const RECT* rect, UINT_PTR id)
{
    TTTOOLINFOW info = ToolFor(window, id, rect);
    info.uFlags |= TTF_SUBCLASS;
    info.lpszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::DelTool(CWnd* window, UINT_PTR id)
{
    TTTOOLINFOW info = ToolFor(window, id, nullptr);
    Send(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id)
{
    TTTOOLINFOW info = ToolFor(window, id, nullptr);
    info.lpszText = const_cast<LPWSTR>(text);
    Send(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::SetToolRect(CWnd* window, UINT_PTR id, const RECT* rect)
{
    TTTOOLINFOW info = ToolFor(window, id, rect);
    Send(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    AfxInitRichEdit2();
    return CWnd::Create(RICHEDIT_CLASSW, L"", style, rect, parent, id);
}

void CRichEditCtrl::SetSel(long start, long end)
{
    CHARRANGE range { static_cast<LONG>(start), static_cast<LONG>(end) };
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditCtrl::GetSel(long& start, long& end) const
{
    CHARRANGE range {};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
}
