#pragma once
// The three-dimensional tab window: its pages sit in a sunken frame and a SEC3DTabControl runs
// along one side of them. The placement and look come from the style word given to Create:
//   0x10 tabs below the pages, 0x20 above, 0x40 on the left, none of them on the right;
//   0x08 flat look (a one-pixel frame, tighter margins); 0x100 pages reach 3 pixels further
//   toward the tabs; 0x400 a thinner frame. The bits 0x08 to 0x800 also go to the tab control as
//   its tab style, which is why tabs "below" hang from the control's top edge (TAB_STYLE_TOP).
// With WS_TABSTOP the window takes part in keyboard navigation: Tab and Shift+Tab move between
// the tabs, the controls of the active page and the sibling windows; on the tabs, the arrow keys
// and Ctrl+Tab pick the neighbouring tab.

#include "framework/Tab3DControl.h"
#include "framework/TabWnd.h"

constexpr DWORD TWS_FLAT = 0x0008;
constexpr DWORD TWS_TABS_BELOW = 0x0010;
constexpr DWORD TWS_TABS_ABOVE = 0x0020;
constexpr DWORD TWS_TABS_LEFT = 0x0040;
constexpr DWORD TWS_PAGES_NEARER = 0x0100;
constexpr DWORD TWS_THIN_FRAME = 0x0400;

// Sent to the tab window for Ctrl+Tab, Ctrl+Page Up and Ctrl+Page Down (lParam: the MSG); an
// answer other than 0 means the key was taken.
constexpr UINT WM_TABWND_CTRLKEY = 0x0475;

class SEC3DTabWnd : public SECTabWndBase {
    DECLARE_DYNCREATE(SEC3DTabWnd)
public:
    // The thickness of the tab strip across the row.
    static constexpr int kTabStripThickness = 30;

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | TWS_TABS_BELOW, UINT id = AFX_IDW_PANE_FIRST) override;

    // A disabled tab cannot be picked.
    void EnableTab(int index, BOOL enable = TRUE);
    BOOL IsTabEnabled(int index) const;
    BOOL SetActiveTabFont(CFont* font, BOOL redraw = TRUE);
    BOOL SetInactiveTabFont(CFont* font, BOOL redraw = TRUE);

    void GetInsideRect(CRect& rect) const override;
    void RecalcLayout() override;
    BOOL PreTranslateMessage(MSG* message) override;

    SEC3DTabControl* GetTabControl() const { return static_cast<SEC3DTabControl*>(SECTabWndBase::GetTabControl()); }
    // The bits of the creation style that shape the tabs (0x08 to 0x800), with the placement value
    // (2 for 0x2, 1 for 0x1) in the lowest bits.
    DWORD GetTabStyle() const { return m_tabStyle; }

protected:
    BOOL CreateTabCtrl(DWORD style, UINT id) override;

    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSetFocus(CWnd* previous);
    LRESULT OnNcCreate(WPARAM, LPARAM);
    LRESULT OnTabActivated(WPARAM index, LPARAM record);
    DECLARE_MESSAGE_MAP()

private:
    bool TabsBelow() const { return m_tabStyle & TWS_TABS_BELOW; }
    bool TabsAbove() const { return !TabsBelow() && (m_tabStyle & TWS_TABS_ABOVE); }
    bool TabsHorizontal() const { return m_tabStyle & (TWS_TABS_BELOW | TWS_TABS_ABOVE); }
    bool TabsLeft() const { return !TabsHorizontal() && (m_tabStyle & TWS_TABS_LEFT); }
    CRect TabControlRect() const;
    void PaintFrame(CDC& dc, const CRect& inside);
    // Tab and Shift+Tab: the next of the tabs, the active page's controls and the siblings that
    // are tab stops; TRUE when the focus moved.
    BOOL MoveFocus(bool backwards);

    int m_tabStripHeight = kTabStripThickness;
    int m_tabStripWidth = kTabStripThickness;
    DWORD m_tabStyle = 0;
};
