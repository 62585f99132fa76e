#include "framework/TabControl.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECTab, CObject)
IMPLEMENT_DYNAMIC(SECTabControlBase, CWnd)

BEGIN_MESSAGE_MAP(SECTabControlBase, CWnd)
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL SECTabControlBase::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS);
    if (!className || !CreateEx(0, className, L"", style | WS_CHILD, rect, parent, id))
        return FALSE;
    m_cursor = ::LoadCursorW(nullptr, IDC_ARROW);
    Initialize(style);
    return TRUE;
}

BOOL SECTabControlBase::GetActiveTab(int& index) const
{
    index = m_activeIndex;
    return m_hasActive;
}

BOOL SECTabControlBase::FindTab(const CObject* client, int& index) const
{
    BOOL found = FALSE;
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_tabs[static_cast<size_t>(i)]->m_client == client) {
            index = i;
            found = TRUE;
        }
    }
    return found;
}

BOOL SECTabControlBase::TabExistsForClient(const CObject* client) const
{
    int index;
    return FindTab(client, index);
}

BOOL SECTabControlBase::GetTabInfo(int index, CString& label, BOOL& selected, CObject*& client, HMENU& menu,
    DWORD_PTR& extra) const
{
    const SECTab* tab = GetTab(index);
    if (!tab)
        return FALSE;
    label = tab->m_label;
    selected = tab->m_selected;
    client = tab->m_client;
    menu = tab->m_menu;
    extra = tab->m_extra;
    return TRUE;
}

std::unique_ptr<SECTab> SECTabControlBase::NewTabRecord() const
{
    return std::make_unique<SECTab>();
}

SECTab* SECTabControlBase::InsertTab(int index, LPCWSTR label, CObject* client, HMENU menu, DWORD_PTR extra)
{
    if (index < 0 || index > GetTabCount())
        return nullptr;
    std::unique_ptr<SECTab> tab = NewTabRecord();
    tab->m_label = label ? label : L"";
    tab->m_selected = FALSE;
    tab->m_client = client;
    tab->m_menu = menu;
    tab->m_extra = extra;
    return m_tabs.insert(m_tabs.begin() + index, std::move(tab))->get();
}

SECTab* SECTabControlBase::AddTab(LPCWSTR label, CObject* client, HMENU menu, DWORD_PTR extra)
{
    SECTab* tab = InsertTab(GetTabCount(), label, client, menu, extra);
    RecalcLayout();
    InvalidateTab(GetTabCount() - 1);
    return tab;
}

void SECTabControlBase::DeleteTab(int index)
{
    if (!TabExists(index))
        return;
    m_tabs.erase(m_tabs.begin() + index);
    const int count = GetTabCount();
    if (m_hasActive) {
        if (count == 0) {
            m_hasActive = FALSE;
        } else if (m_activeIndex >= count) {
            m_hasActive = FALSE;
            ActivateTab(count - 1);
        } else if (m_activeIndex == index) {
            m_hasActive = FALSE;
            ActivateTab(index); // the tab that moved into the deleted place
        } else if (m_activeIndex > index) {
            ActivateTab(m_activeIndex - 1); // the same tab, one place earlier
        }
    }
    InvalidateTabsFrom(index);
    RecalcLayout();
}

void SECTabControlBase::RenameTab(int index, LPCWSTR label)
{
    if (!TabExists(index))
        return;
    // Both the old and the new extents of the tabs from here on need repainting.
    InvalidateTabsFrom(index);
    m_tabs[static_cast<size_t>(index)]->m_label = label ? label : L"";
    RecalcLayout();
    InvalidateTabsFrom(index);
}

TABACTIVATEINFO SECTabControlBase::ChangeRecord(int index) const
{
    TABACTIVATEINFO record {};
    record.controlId = m_hWnd ? static_cast<UINT>(GetDlgCtrlID()) : 0;
    record.newIndex = index;
    record.previousIndex = m_hasActive ? m_activeIndex : kNoTab;
    record.newClient = m_tabs[static_cast<size_t>(index)]->m_client;
    record.previousClient = m_hasActive && TabExists(m_activeIndex) ? m_tabs[static_cast<size_t>(m_activeIndex)]->m_client : nullptr;
    return record;
}

void SECTabControlBase::SendActivated(TABACTIVATEINFO& record)
{
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), WM_TABACTIVATED, static_cast<WPARAM>(m_activeIndex), reinterpret_cast<LPARAM>(&record));
}

void SECTabControlBase::ActivateTab(int index)
{
    if (!TabExists(index) || (m_hasActive && index == m_activeIndex))
        return;
    TABACTIVATEINFO record = ChangeRecord(index);
    if (SECTab* previous = m_hasActive ? GetTab(m_activeIndex) : nullptr) {
        previous->m_selected = FALSE;
        InvalidateTab(m_activeIndex);
    }
    m_activeIndex = index;
    m_hasActive = TRUE;
    m_tabs[static_cast<size_t>(index)]->m_selected = TRUE;
    AdjustForActiveTab();
    InvalidateTab(m_activeIndex);
    AfterActivateTab();
    SendActivated(record);
}

void SECTabControlBase::MoveActiveTab(int to)
{
    if (!m_hasActive || !TabExists(to) || to == m_activeIndex)
        return;
    const int from = m_activeIndex;
    TABACTIVATEINFO record = ChangeRecord(from);
    record.newIndex = to;
    std::unique_ptr<SECTab> moved = std::move(m_tabs[static_cast<size_t>(from)]);
    m_tabs.erase(m_tabs.begin() + from);
    m_tabs.insert(m_tabs.begin() + to, std::move(moved));
    m_activeIndex = to;
    AdjustForActiveTab();
    InvalidateTabsFrom(std::min(from, to));
    AfterActivateTab();
    SendActivated(record);
}

void SECTabControlBase::SelectTab(int index)
{
    if (!TabExists(index))
        return;
    TABACTIVATEINFO record = ChangeRecord(index);
    m_tabs[static_cast<size_t>(index)]->m_selected = TRUE;
    InvalidateTab(index);
    SendActivated(record);
}

void SECTabControlBase::ClearSelection()
{
    for (int i = 0; i < GetTabCount(); ++i) {
        SECTab& tab = *m_tabs[static_cast<size_t>(i)];
        if (tab.m_selected) {
            InvalidateTab(i);
            tab.m_selected = FALSE;
        }
    }
    m_hasActive = FALSE;
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), WM_TABSELCLEARED, 0, 0);
}

void SECTabControlBase::NotifyActiveTabClicked()
{
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), WM_TABREACTIVATED, static_cast<WPARAM>(m_activeIndex), 0);
}

void SECTabControlBase::InvalidateTabsFrom(int index)
{
    for (int i = std::max(index, 0); i < GetTabCount(); ++i)
        InvalidateTab(i);
}

BOOL SECTabControlBase::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(m_cursor);
    return TRUE;
}

void SECTabControlBase::OnDestroy()
{
    m_tabs.clear();
    m_hasActive = FALSE;
    CWnd::OnDestroy();
}
