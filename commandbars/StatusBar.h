#pragma once
// The status bar: a control bar that is itself the common status-bar control. It keeps one record
// per pane (command id, text width, style, text), shares the free width among stretching panes,
// sends texts to the control only when they changed, and updates the panes through the command-UI
// handlers of its frame (Enable shows or blanks a pane, SetCheck pops it out, SetText sets it).

#include "framework/ControlBar.h"
#include "platform/comctl/CommCtrl.h"

#include <vector>

// ---- pane styles: the low word is the control's drawing type
constexpr UINT SBPS_NORMAL = 0x0000, SBPS_NOBORDERS = SBT_NOBORDERS, SBPS_POPOUT = SBT_POPOUT,
               SBPS_OWNERDRAW = SBT_OWNERDRAW, SBPS_DISABLED = 0x04000000, SBPS_STRETCH = 0x08000000;
constexpr UINT ID_SEPARATOR = 0;

class SECStatusBar : public SECControlBar {
    DECLARE_DYNAMIC(SECStatusBar)
public:
    SECStatusBar();

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* parent, DWORD controlStyle = 0, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
        UINT id = AFX_IDW_STATUS_BAR);

    // One pane per id: a string resource of that id gives its text and width; id 0 makes a
    // separator a quarter of the screen wide (the first pane, as a separator, stretches).
    virtual BOOL SetIndicators(const UINT* ids, int count);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    // The index of the first pane with the id, -1 when none.
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    // The pane's rectangle in the control; empty when the control does not know it.
    void GetItemRect(int index, LPRECT rect) const;

    UINT GetPaneStyle(int index) const;
    void SetPaneStyle(int index, UINT style);
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    void GetPaneText(int index, CString& text) const;
    CString GetPaneText(int index) const;
    // Without update the text waits for the next paint or UpdateAllPanes.
    BOOL SetPaneText(int index, LPCWSTR text, BOOL update = TRUE);

    // Gives the control the pane edges and/or the pending texts.
    void UpdateAllPanes(BOOL updateRects, BOOL updateTexts);

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    using SECControlBar::CalcInsideRect;
    void CalcInsideRect(CRect& rect, BOOL horz) const override;
    // Asks the target's update handlers about every pane.
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    // Owner-drawn panes come here (the item id is the pane index).
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

    // The control's horizontal border, vertical border and gap between panes.
    struct Borders {
        int horizontal = 0, vertical = 0, gap = 0;
    };
    Borders GetBorders() const;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The parent frame lays the bars out again at its current size.
    void ResizeParentFrame();
    // The font the control draws with.
    HFONT BarFont() const;

    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    LRESULT OnSetText(WPARAM, LPARAM text);
    LRESULT OnGetText(WPARAM size, LPARAM buffer);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnSetMinHeight(WPARAM height, LPARAM);
    LRESULT OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    struct Pane {
        UINT id = 0;
        int width = 0; // of the text; the control's part is 6 pixels wider
        UINT style = 0;
        bool pending = false; // the text has not reached the control yet
        CString text;
    };
    bool IsValidIndex(int index) const { return index >= 0 && index < GetCount(); }
    // Sends the pane's text with its drawing type; a disabled pane shows none.
    void SendPaneText(int index);
    // The pane of id 0, whose text is the window text; -1 when none.
    int TextPane() const { return CommandToIndex(ID_SEPARATOR); }

    std::vector<Pane> m_panes;
    int m_nMinHeight = 0;
};

// The right edges of panes of the given widths and styles that share the free room of an inside
// width: each is its width + 6 wide, gap apart; stretching panes split what is left in order, the
// last ones taking the remainder of the division.
std::vector<int> LayOutPaneEdges(int insideLeft, int insideWidth, int gap, const std::vector<std::pair<int, UINT>>& panes);
