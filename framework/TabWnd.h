#pragma once
// A child window holding page windows, one shown at a time, picked by a row of tabs (its tab
// control, a child window too). It makes the pages from their run-time classes, shows the page of
// the active tab, and tells its notify window (its parent unless set) when the user picked a tab.
// The base lays nothing out and makes no tab control; SEC3DTabWnd (Tab3DWnd.h) does.

#include "framework/TabControl.h"
#include "platform/mfc/Frame.h"

class SECTabWndBase : public CWnd {
    DECLARE_DYNCREATE(SECTabWndBase)
public:
    // The tab control's child id, and the id of the first page made with id -1.
    static constexpr UINT kTabControlId = 59952, kFirstPageId = 60160;
    static constexpr UINT kNextPageId = static_cast<UINT>(-1);

    SECTabWndBase() = default;
    ~SECTabWndBase() override;

    // Makes the window and its tab control; FALSE when either cannot be made. `parent` becomes the
    // notify window.
    virtual BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = AFX_IDW_PANE_FIRST);
    using CWnd::Create;
    virtual BOOL CreateScrollBarCtrl(DWORD style, UINT id);

    // ---- pages. The run-time-class forms make the page (id kNextPageId: kFirstPageId plus the
    // number of tabs) and return it, or null when it cannot be made; the tab is added all the same.
    virtual CWnd* InsertTab(CRuntimeClass* pageClass, int index, LPCWSTR label, CCreateContext* context = nullptr,
        UINT id = kNextPageId);
    virtual void InsertTab(CWnd* page, int index, LPCWSTR label);
    virtual CWnd* AddTab(CRuntimeClass* pageClass, LPCWSTR label, CCreateContext* context = nullptr, UINT id = kNextPageId);
    virtual void AddTab(CWnd* page, LPCWSTR label);
    virtual void DeleteTab(int index);
    virtual void DeleteTab(CWnd* page);
    virtual void RenameTab(int index, LPCWSTR label);
    virtual void RenameTab(CWnd* page, LPCWSTR label);

    // An icon of cx x cy by resource name or id, or a copy of the caller's icon.
    virtual void SetTabIcon(int index, LPCWSTR iconName, int cx = 16, int cy = 16);
    virtual void SetTabIcon(int index, UINT iconId, int cx = 16, int cy = 16);
    virtual void SetTabIcon(int index, HICON icon);

    // ---- activation. FALSE, changing nothing, for an index out of range, a page that has no
    // tab here, or a tab without a page.
    virtual BOOL ActivateTab(int index);
    virtual BOOL ActivateTab(CWnd* page);
    virtual BOOL ActivateTab(CWnd* page, int index);
    // Writes the active index; whether a tab is active.
    BOOL GetActiveTab(int& index) const;
    CWnd* GetActivePage() const { return m_pActivePage; }
    int GetTabCount() const { return m_pTabCtrl ? m_pTabCtrl->GetTabCount() : 0; }
    // The page of a tab, or null.
    CWnd* GetPage(int index) const;
    virtual void ClearSelection();
    virtual void ScrollToTab(int index);
    virtual void ScrollToTab(CWnd* page);
    // Gives the focus back to the active page (a view becomes its frame's active view).
    virtual void RefocusActivePage();

    // The window told of picked tabs; null means the parent.
    virtual void SetNotifyWnd(CWnd* window);
    virtual CWnd* GetNotifyWnd() const { return m_hNotifyWnd ? CWnd::FromHandle(m_hNotifyWnd) : nullptr; }
    // Where the pages go, in client coordinates.
    virtual void GetInsideRect(CRect& rect) const;
    virtual void RecalcLayout() {}

    SECTabControlBase* GetTabControl() const { return m_pTabCtrl.get(); }

protected:
    virtual BOOL CreateTabCtrl(DWORD style, UINT id) { return FALSE; }
    virtual void OnTabInserted(int index, int flag) {}
    CWnd* CreatePage(CRuntimeClass* pageClass, CCreateContext* context, UINT id);

    void OnDestroy();
    LRESULT OnChildActivate(WPARAM, LPARAM);
    LRESULT OnTabActivated(WPARAM index, LPARAM);
    LRESULT OnTabReactivated(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    std::unique_ptr<SECTabControlBase> m_pTabCtrl;
    CWnd* m_pActivePage = nullptr;   // not owned
    CWnd* m_pCreatingPage = nullptr; // while a page window is being made
    HWND m_hNotifyWnd = nullptr; // kept by handle: the parent may have no object of its own
};
