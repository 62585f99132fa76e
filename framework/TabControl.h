#pragma once
// The row of tabs of a tab window: an ordered list of tab records, the active tab and the tabs
// marked selected. Every change is reported to the parent window with the WM_TAB* messages. The
// base draws and lays out nothing; SEC3DTabControl (Tab3DControl.h) does.

#include "platform/mfc/Wnd.h"

#include <memory>
#include <vector>

// Sent (synchronously) to the control's parent.
// wParam: the active index; lParam: the TABACTIVATEINFO of the change.
constexpr UINT WM_TABACTIVATED = WM_USER + 1000;
// wParam: the index of the double-clicked tab.
constexpr UINT WM_TABDBLCLICKED = WM_USER + 1001;
// After ClearSelection.
constexpr UINT WM_TABSELCLEARED = WM_USER + 1002;
// wParam: the active index; the user clicked the tab that was already active.
constexpr UINT WM_TABREACTIVATED = WM_USER + 1003;

// What WM_TABACTIVATED tells; the control id comes first, so that a tab window can write its
// own id over it before it passes the record on.
struct TABACTIVATEINFO {
    UINT controlId;
    int newIndex;
    int previousIndex; // -1 when no tab was active
    CObject* newClient;
    CObject* previousClient; // null when no tab was active
};

// One tab. The client is the object the tab stands for (a tab window's page) and the key of FindTab.
class SECTab : public CObject {
    DECLARE_DYNCREATE(SECTab)
public:
    CString m_label;
    int m_width = 0;
    int m_height = 0;
    BOOL m_selected = FALSE;
    CObject* m_client = nullptr;
    HMENU m_menu = nullptr;
    DWORD_PTR m_extra = 0;
};

class SECTabControlBase : public CWnd {
    DECLARE_DYNAMIC(SECTabControlBase)
public:
    static constexpr int kNoTab = -1;

    // Makes the child window (style plus WS_CHILD) and its empty tab list, then Initialize(style).
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    // ---- the list
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    BOOL TabExists(int index) const { return index >= 0 && index < GetTabCount(); }
    // Writes the active index; whether a tab is active.
    BOOL GetActiveTab(int& index) const;
    // The index of the last tab whose client is `client`; FALSE when none.
    BOOL FindTab(const CObject* client, int& index) const;
    BOOL TabExistsForClient(const CObject* client) const;
    // FALSE, leaving the outputs alone, for an index out of range.
    BOOL GetTabInfo(int index, CString& label, BOOL& selected, CObject*& client, HMENU& menu, DWORD_PTR& extra) const;
    SECTab* GetTab(int index) const { return TabExists(index) ? m_tabs[static_cast<size_t>(index)].get() : nullptr; }

    // ---- changes; indices out of range are refused (null or no effect)
    virtual SECTab* InsertTab(int index, LPCWSTR label, CObject* client, HMENU menu = nullptr, DWORD_PTR extra = 0);
    // InsertTab at the end, then a new layout.
    virtual SECTab* AddTab(LPCWSTR label, CObject* client, HMENU menu = nullptr, DWORD_PTR extra = 0);
    virtual void DeleteTab(int index);
    virtual void RenameTab(int index, LPCWSTR label);
    // Makes the tab active and tells the parent; nothing happens for the tab already active.
    virtual void ActivateTab(int index);
    // Marks a tab without activating it, and tells the parent as an activation does.
    virtual void SelectTab(int index);
    virtual void ClearSelection();
    virtual void NotifyActiveTabClicked();
    virtual void ScrollToTab(int) {}

    // ---- icons, for controls that show them
    virtual void SetTabIcon(int index, LPCWSTR resourceName, int cx, int cy) {}
    virtual void SetTabIcon(int index, UINT resourceId, int cx, int cy) {}
    virtual void SetTabIcon(int index, HICON icon) {}

protected:
    virtual void Initialize(DWORD style) {}
    virtual std::unique_ptr<SECTab> NewTabRecord() const;
    virtual void RecalcLayout() {}
    // After the active tab changed, before anything is repainted.
    virtual void AdjustForActiveTab() {}
    virtual void ReleaseDrawingObjects() {}
    // At the end of ActivateTab, before the parent is told.
    virtual void AfterActivateTab() {}
    virtual void InvalidateTab(int index) {}
    void InvalidateTabsFrom(int index);

    // Moves the active tab to another place in the row; the parent hears of its new index.
    void MoveActiveTab(int to);

    BOOL OnSetCursor(CWnd*, UINT, UINT);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    int m_activeIndex = 0; // meaningful only while m_hasActive
    BOOL m_hasActive = FALSE;

private:
    TABACTIVATEINFO ChangeRecord(int index) const;
    void SendActivated(TABACTIVATEINFO& record);

    std::vector<std::unique_ptr<SECTab>> m_tabs;
    HCURSOR m_cursor = nullptr;
};
