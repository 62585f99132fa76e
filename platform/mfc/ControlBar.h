#pragma once
// A control bar: a child window of a frame that sits along one of its edges (a tool bar, a status
// bar, a dialog bar) or inside a dock bar, or floats in a mini frame. The bar tells the frame its
// size through CalcFixedLayout/CalcDynamicLayout; the frame's layout (WM_SIZEPARENT) places it. A
// bar with docking enabled owns a CDockContext that drags it with the mouse.

#include "platform/mfc/BarStyles.h"
#include "platform/mfc/Frame.h"

#include <memory>

class CDockBar;
class CDockContext;

// The window class of every control bar: double clicks, the button face as background.
inline constexpr const wchar_t* AFX_WNDCONTROLBAR = L"AfxControlBar42su";
LPCWSTR AfxControlBarClass();

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    // ---- layout: the size the bar wants, stretched to the frame's length or not
    virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
    // length -1 asks for the size in the mode; LM_HORZDOCK/LM_VERTDOCK ask for the docked size.
    virtual CSize CalcDynamicLayout(int length, DWORD mode);
    // The client rectangle less the borders (and the gripper) of the bar's style.
    virtual void CalcInsideRect(CRect& rect, BOOL horz) const;

    // ---- painting
    virtual void DoPaint(CDC* dc);
    // Draws the borders of the bar's style on the edges of rect and shrinks rect past them.
    void DrawBorders(CDC* dc, CRect& rect);
    void DrawGripper(CDC* dc, const CRect& rect);

    // ---- style and state
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style);
    // The sides the bar may dock to (CBRS_ALIGN_ bits, CBRS_FLOAT_MULTI); 0 turns dragging off.
    void EnableDocking(DWORD dockStyle);
    // Shows or hides the bar at the next layout of its frame.
    void DelayShow(BOOL show);
    // Applies a pending DelayShow; TRUE when the visibility changed.
    BOOL ApplyDelayedShow();
    BOOL IsVisible() const;
    BOOL IsFloating() const;
    // Whether the window is the bar or lies in it, or in the frame the bar floats in.
    BOOL Contains(const CWnd* window) const;
    // Whether the focus, leaving for the window (WM_KILLFOCUS's), stays with the bar: the window lies
    // in it, or, with no window, the frame the bar floats in is being activated.
    BOOL KeepsFocusGoingTo(const CWnd* newFocus) const;
    BOOL IsHorzDocked() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    BOOL IsVertDocked() const { return (m_dwStyle & CBRS_ORIENT_VERT) != 0; }
    virtual BOOL IsDockBar() const { return FALSE; }
    CFrameWnd* GetDockingFrame() const;

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    std::unique_ptr<CDockContext> m_pDockContext;
    int m_cxLeftBorder = 6, m_cxRightBorder = 6, m_cyTopBorder = 2, m_cyBottomBorder = 2;
    enum StateFlags : UINT { delayHide = 1, delayShow = 2 };
    UINT m_nStateFlags = 0;
    // A bar made with new by its frame (the dock bars) deletes itself when its window goes.
    BOOL m_bAutoDelete = FALSE;

protected:
    void PostNcDestroy() override
    {
        if (m_bAutoDelete)
            delete this;
    }
    BOOL CreateBar(DWORD style, CWnd* parent, UINT id, const RECT& rect = CRect());
    // The drag context this kind of bar docks with, made by EnableDocking.
    virtual std::unique_ptr<CDockContext> NewDockContext();
    LRESULT OnSizeParent(WPARAM, LPARAM lParam);
    // Takes the bar's rectangle of the given size from the edge of the layout's room it aligns to.
    void PlaceInLayout(AFX_SIZEPARENTPARAMS* layout, CSize size);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; } // DoPaint fills everything
    void OnLButtonDown(UINT keys, CPoint point);
    void OnLButtonDblClk(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnRButtonDown(UINT keys, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnCaptureChanged(CWnd* gaining);
    void OnDestroy();
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    // What the bar's own handlers leave of a notification (a tip asking for its text) goes on to
    // the frame, which answers for the commands.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // With CBRS_FLYBY the status bar shows the prompt of the tool under the pointer, and the idle
    // text again once the pointer left it.
    void OnHoveredToolChanged(INT_PTR hit) override;
    // Asks for WM_MOUSELEAVE once the pointer leaves the bar, for what follows the pointer over it
    // (the fly-by prompt, a hot button).
    void TrackPointerLeaving();
    DECLARE_MESSAGE_MAP()

private:
    // Shrinks rect past the borders of the bar's style.
    void RemoveBorders(CRect& rect) const;
    // Shows the prompt of command id in the frame's status bar (0: the idle text).
    void ShowFlyByPrompt(UINT id);
    CWnd* MessageTarget() const;

    UINT m_nFlyByPrompt = 0;
};
