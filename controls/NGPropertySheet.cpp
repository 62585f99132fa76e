#include "controls/NGPropertySheet.h"

namespace {

enum class ControlKind { Button, Edit, ListBox, ComboBox, Other };

ControlKind KindOf(HWND control)
{
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    CString className(name);
    if (className.CompareNoCase(L"button") == 0)
        return ControlKind::Button;
    if (className.CompareNoCase(L"edit") == 0)
        return ControlKind::Edit;
    if (className.CompareNoCase(L"listbox") == 0)
        return ControlKind::ListBox;
    if (className.CompareNoCase(L"combobox") == 0)
        return ControlKind::ComboBox;
    return ControlKind::Other;
}

// Whether the edit was changed since the last look, clearing its flag.
bool TakeModified(HWND edit)
{
    if (!edit || !::SendMessageW(edit, EM_GETMODIFY, 0, 0))
        return false;
    ::SendMessageW(edit, EM_SETMODIFY, 0, 0);
    return true;
}

bool IsChange(HWND control, UINT code)
{
    constexpr UINT comboEditId = 1001;
    switch (KindOf(control)) {
    case ControlKind::Button: return code == BN_CLICKED;
    case ControlKind::Edit: return code == EN_KILLFOCUS && TakeModified(control);
    case ControlKind::ListBox: return code == LBN_SELCHANGE;
    case ControlKind::ComboBox:
        return code == CBN_SELCHANGE || (code == CBN_KILLFOCUS && TakeModified(::GetDlgItem(control, comboEditId)));
    case ControlKind::Other: return false;
    }
    return false;
}

// A radio button stands for its group: the first button, the one with WS_GROUP.
HWND GroupLeader(HWND control)
{
    if (!(::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        return control;
    for (HWND window = control; window; window = ::GetWindow(window, GW_HWNDPREV)) {
        if (::GetWindowLongW(window, GWL_STYLE) & WS_GROUP)
            return window;
    }
    return control;
}

// The child of parent that is, or holds, the window; null when the window lies elsewhere.
HWND ChildHolding(HWND parent, HWND window)
{
    for (; window; window = ::GetParent(window)) {
        if (::GetParent(window) == parent && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
            return window;
    }
    return nullptr;
}

} // namespace

IMPLEMENT_DYNAMIC(CNGPropertyPage, CPropertyPage)

CNGPropertyPage::CNGPropertyPage(UINT templateId, UINT captionId, UINT headerTitleId, UINT headerSubTitleId)
    : CPropertyPage(templateId, captionId, headerTitleId, headerSubTitleId)
{
}

BOOL CNGPropertyPage::OnInitDialog()
{
    DataToControls();
    return CPropertyPage::OnInitDialog();
}

BOOL CNGPropertyPage::OnApply()
{
    BOOL applied = CPropertyPage::OnApply();
    SetModified(FALSE);
    return applied;
}

CNGPropertySheet* CNGPropertyPage::Sheet() const
{
    return dynamic_cast<CNGPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

BOOL CNGPropertyPage::OnSetActive()
{
    if (CNGPropertySheet* sheet = Sheet())
        sheet->OnPageActivated(this);
    return CPropertyPage::OnSetActive();
}

BOOL CNGPropertyPage::OnKillActive()
{
    m_deactivating = true;
    if (CNGPropertySheet* sheet = Sheet())
        sheet->OnPageDeactivating(this);
    BOOL leave = CPropertyPage::OnKillActive();
    m_deactivating = false;
    return leave;
}

void CNGPropertyPage::DataToControls()
{
    if (m_hWnd)
        UpdateData(FALSE);
}

void CNGPropertyPage::ControlsToData(UINT id)
{
    if (!UpdateData(TRUE))
        return;
    OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
    SetModified(TRUE);
}

BOOL CNGPropertyPage::EnableControl(UINT id, BOOL enable)
{
    HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (!control)
        return FALSE;
    ::EnableWindow(control, enable);
    return TRUE;
}

HWND CNGPropertyPage::DirectChildOf(HWND window) const
{
    return ChildHolding(m_hWnd, window);
}

BOOL CNGPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    auto sender = reinterpret_cast<HWND>(lParam);
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (!sender)
        return CPropertyPage::OnCommand(wParam, lParam);
    if (id == IDOK) {
        // Enter: the control holding the focus is the one to look at.
        HWND focused = DirectChildOf(::GetFocus());
        if (!focused || focused == sender)
            return CPropertyPage::OnCommand(wParam, lParam);
        sender = focused;
    }
    if (code != 0) {
        CPropertyPage::OnCommand(wParam, lParam);
    } else {
        if (HWND child = DirectChildOf(sender))
            sender = child;
        sender = GroupLeader(sender);
        if (static_cast<UINT>(::GetDlgCtrlID(sender)) != id)
            CPropertyPage::OnCommand(wParam, lParam);
    }
    if (IsChange(sender, code) && !m_deactivating)
        ControlsToData(static_cast<UINT>(::GetDlgCtrlID(sender)));
    return TRUE;
}

IMPLEMENT_DYNAMIC(CNGPropertySheet, CPropertySheet)
BEGIN_MESSAGE_MAP(CNGPropertySheet, CPropertySheet)
    ON_WM_MOVE()
    ON_WM_HELPINFO()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CNGPropertySheet::CNGPropertySheet(UINT captionId, CWnd* parent, UINT selectPage) : CPropertySheet(captionId, parent, selectPage) {}

CNGPropertySheet::CNGPropertySheet(LPCWSTR caption, CWnd* parent, UINT selectPage) : CPropertySheet(caption, parent, selectPage) {}

BOOL CNGPropertySheet::OnInitDialog()
{
    ModifyStyleEx(0, WS_EX_CONTEXTHELP);
    BOOL result = CPropertySheet::OnInitDialog();
    if (!m_startRect.IsRectEmpty())
        SetWindowPos(nullptr, m_startRect.left, m_startRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

BOOL CNGPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    auto sender = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) == IDOK && sender) {
        // Enter inside a page: the focus moves on first, so that the control left reports its
        // change as it loses the focus, before the sheet applies the pages and closes.
        CPropertyPage* page = GetActivePage();
        if (page && page->m_hWnd && ChildHolding(m_hWnd, ::GetFocus()) == page->m_hWnd && ChildHolding(m_hWnd, sender) != page->m_hWnd)
            SendMessage(WM_NEXTDLGCTL, 0, 0);
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

void CNGPropertySheet::OnMove(int, int)
{
    Default();
    GetWindowRect(&m_lastRect);
}

namespace {

// The help pair of a control: its id and its help topic; none for controls without an id.
bool HelpPairFor(int id, DWORD (&pair)[4])
{
    if (id == 0 || id == -1)
        return false;
    pair[0] = static_cast<DWORD>(id);
    pair[1] = static_cast<DWORD>(id) + 0x50000;
    pair[2] = pair[3] = 0;
    return true;
}

} // namespace

BOOL CNGPropertySheet::OnHelpInfo(HELPINFO* help)
{
    DWORD pair[4];
    if (!help || help->iContextType != HELPINFO_WINDOW || !HelpPairFor(help->iCtrlId, pair))
        return TRUE;
    WinHelp(reinterpret_cast<DWORD_PTR>(pair), HELP_WM_HELP);
    return TRUE;
}

void CNGPropertySheet::OnContextMenu(CWnd* window, CPoint point)
{
    HWND control = window ? window->m_hWnd : nullptr;
    if (control == m_hWnd) {
        // A click on the sheet itself: the control under the pointer.
        CPoint client = point;
        ScreenToClient(&client);
        control = ::ChildWindowFromPointEx(m_hWnd, client, CWP_SKIPINVISIBLE);
    }
    DWORD pair[4];
    if (!control || control == m_hWnd || !HelpPairFor(::GetDlgCtrlID(control), pair))
        return;
    WinHelp(reinterpret_cast<DWORD_PTR>(pair), HELP_CONTEXTMENU);
}
