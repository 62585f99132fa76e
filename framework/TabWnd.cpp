#include "framework/TabWnd.h"

#include "platform/mfc/View.h"

IMPLEMENT_DYNCREATE(SECTabWndBase, CWnd)

BEGIN_MESSAGE_MAP(SECTabWndBase, CWnd)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_CHILDACTIVATE, OnChildActivate)
    ON_MESSAGE(WM_TABACTIVATED, OnTabActivated)
    ON_MESSAGE(WM_TABREACTIVATED, OnTabReactivated)
END_MESSAGE_MAP()

SECTabWndBase::~SECTabWndBase() = default;

BOOL SECTabWndBase::Create(CWnd* parent, DWORD style, UINT id)
{
    m_hNotifyWnd = parent ? parent->m_hWnd : nullptr;
    style &= ~(WS_HSCROLL | WS_VSCROLL);
    if (!m_hWnd) {
        LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS);
        if (!className || !CreateEx(0, className, L"", style, CRect(0, 0, 0, 0), parent, id))
            return FALSE;
    }
    if (!CreateTabCtrl(style, kTabControlId)) {
        DestroyWindow(); // no window without its tabs
        return FALSE;
    }
    return TRUE;
}

BOOL SECTabWndBase::CreateScrollBarCtrl(DWORD style, UINT id)
{
    HWND bar = ::CreateWindowExW(0, L"SCROLLBAR", L"", style | WS_CHILD, 0, 0, 1, 1, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    return bar != nullptr;
}

CWnd* SECTabWndBase::CreatePage(CRuntimeClass* pageClass, CCreateContext* context, UINT id)
{
    if (id == kNextPageId)
        id = kFirstPageId + static_cast<UINT>(GetTabCount());
    CObject* made = pageClass ? pageClass->CreateObject() : nullptr;
    auto* page = dynamic_cast<CWnd*>(made);
    if (!page) {
        delete made;
        return nullptr;
    }
    m_pCreatingPage = page;
    const BOOL created = page->Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, id, context);
    m_pCreatingPage = nullptr;
    if (!created) {
        delete page; // a page that never got its window does not delete itself
        return nullptr;
    }
    return page;
}

CWnd* SECTabWndBase::InsertTab(CRuntimeClass* pageClass, int index, LPCWSTR label, CCreateContext* context, UINT id)
{
    CWnd* page = CreatePage(pageClass, context, id);
    InsertTab(page, index, label);
    return page;
}

void SECTabWndBase::InsertTab(CWnd* page, int index, LPCWSTR label)
{
    if (m_pTabCtrl && m_pTabCtrl->InsertTab(index, label, page))
        OnTabInserted(index, 0);
}

CWnd* SECTabWndBase::AddTab(CRuntimeClass* pageClass, LPCWSTR label, CCreateContext* context, UINT id)
{
    CWnd* page = CreatePage(pageClass, context, id);
    AddTab(page, label);
    return page;
}

void SECTabWndBase::AddTab(CWnd* page, LPCWSTR label)
{
    if (m_pTabCtrl && m_pTabCtrl->AddTab(label, page))
        OnTabInserted(GetTabCount() - 1, 0);
}

CWnd* SECTabWndBase::GetPage(int index) const
{
    const SECTab* tab = m_pTabCtrl ? m_pTabCtrl->GetTab(index) : nullptr;
    return tab ? static_cast<CWnd*>(tab->m_client) : nullptr;
}

void SECTabWndBase::DeleteTab(int index)
{
    if (!m_pTabCtrl || !m_pTabCtrl->TabExists(index))
        return;
    // The page stays the caller's, out of sight.
    if (CWnd* page = GetPage(index); page && page == m_pActivePage) {
        m_pActivePage = nullptr;
        page->ShowWindow(SW_HIDE);
    }
    m_pTabCtrl->DeleteTab(index);
}

void SECTabWndBase::DeleteTab(CWnd* page)
{
    if (int index; m_pTabCtrl && m_pTabCtrl->FindTab(page, index))
        DeleteTab(index);
}

void SECTabWndBase::RenameTab(int index, LPCWSTR label)
{
    if (m_pTabCtrl)
        m_pTabCtrl->RenameTab(index, label);
}

void SECTabWndBase::RenameTab(CWnd* page, LPCWSTR label)
{
    if (int index; m_pTabCtrl && m_pTabCtrl->FindTab(page, index))
        RenameTab(index, label);
}

void SECTabWndBase::SetTabIcon(int index, LPCWSTR iconName, int cx, int cy)
{
    if (m_pTabCtrl)
        m_pTabCtrl->SetTabIcon(index, iconName, cx, cy);
}

void SECTabWndBase::SetTabIcon(int index, UINT iconId, int cx, int cy)
{
    if (m_pTabCtrl)
        m_pTabCtrl->SetTabIcon(index, iconId, cx, cy);
}

void SECTabWndBase::SetTabIcon(int index, HICON icon)
{
    if (m_pTabCtrl)
        m_pTabCtrl->SetTabIcon(index, icon);
}

BOOL SECTabWndBase::GetActiveTab(int& index) const
{
    return m_pTabCtrl && m_pTabCtrl->GetActiveTab(index);
}

BOOL SECTabWndBase::ActivateTab(int index)
{
    if (!m_pTabCtrl || !m_pTabCtrl->TabExists(index))
        return FALSE;
    return ActivateTab(GetPage(index), index);
}

BOOL SECTabWndBase::ActivateTab(CWnd* page)
{
    int index;
    return m_pTabCtrl && m_pTabCtrl->FindTab(page, index) && ActivateTab(page, index);
}

BOOL SECTabWndBase::ActivateTab(CWnd* page, int index)
{
    // A tab made without a page (its class could not be made) has nothing to show.
    if (!page || !m_pTabCtrl || !m_pTabCtrl->TabExistsForClient(page) || GetPage(index) != page)
        return FALSE;
    m_pActivePage = page;
    if (int active; !m_pTabCtrl->GetActiveTab(active) || active != index)
        m_pTabCtrl->ActivateTab(index);
    // Pages are made visible; every page but the active one goes out of sight, those never shown
    // since they were made too, so that none behind it paints or runs its clocks.
    for (int other = 0; other < GetTabCount(); ++other) {
        CWnd* hidden = GetPage(other);
        if (hidden && hidden != page && ::IsWindow(hidden->m_hWnd) && (hidden->GetStyle() & WS_VISIBLE))
            hidden->ShowWindow(SW_HIDE);
    }
    page->ShowWindow(SW_SHOW);
    if (auto* view = dynamic_cast<CView*>(page)) {
        if (CFrameWnd* frame = view->GetParentFrame()) {
            frame->SetActiveView(view, TRUE);
            frame->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    } else {
        SetFocus();
        page->SetFocus();
    }
    RecalcLayout();
    Invalidate(TRUE);
    return TRUE;
}

void SECTabWndBase::ClearSelection()
{
    if (m_pTabCtrl)
        m_pTabCtrl->ClearSelection();
}

void SECTabWndBase::ScrollToTab(int index)
{
    if (m_pTabCtrl)
        m_pTabCtrl->ScrollToTab(index);
}

void SECTabWndBase::ScrollToTab(CWnd* page)
{
    if (int index; m_pTabCtrl && m_pTabCtrl->FindTab(page, index))
        ScrollToTab(index);
}

void SECTabWndBase::RefocusActivePage()
{
    int index;
    if (!m_pActivePage || !GetActiveTab(index))
        return;
    if (auto* view = dynamic_cast<CView*>(m_pActivePage)) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->SetActiveView(view, TRUE);
        // A view that was active already keeps its focus where it was.
        HWND focus = ::GetFocus();
        if (focus != view->m_hWnd && !::IsChild(view->m_hWnd, focus))
            view->SetFocus();
        return;
    }
    SetFocus();
    m_pActivePage->SetFocus();
}

void SECTabWndBase::SetNotifyWnd(CWnd* window)
{
    m_hNotifyWnd = window ? window->m_hWnd : ::GetParent(m_hWnd);
}

void SECTabWndBase::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
}

void SECTabWndBase::OnDestroy()
{
    if (m_pTabCtrl) {
        m_pTabCtrl->DestroyWindow();
        m_pTabCtrl.reset();
    }
    m_pActivePage = nullptr;
    CWnd::OnDestroy();
}

LRESULT SECTabWndBase::OnChildActivate(WPARAM, LPARAM)
{
    RefocusActivePage();
    return 0;
}

LRESULT SECTabWndBase::OnTabActivated(WPARAM index, LPARAM)
{
    ActivateTab(GetPage(static_cast<int>(index)), static_cast<int>(index));
    return 0;
}

LRESULT SECTabWndBase::OnTabReactivated(WPARAM, LPARAM)
{
    RefocusActivePage();
    return 0;
}
