#pragma once
// Small frames with a tool-window caption. CMiniFrameWnd takes the MFS_ styles: MFS_THICKFRAME
// and MFS_4THICKFRAME give a sizing border (the latter without the diagonal corners),
// MFS_MOVEFRAME a border that only moves the window. CMiniDockFrameWnd is the frame a floating
// control bar lives in: it holds a floating dock bar, takes the size of its bars (FWS_SNAPTOBARS),
// its caption drags and double-click-docks the bar, its close button hides the bar, and the
// edges of a frame made for a CBRS_SIZE_DYNAMIC bar resize the bar (elsewhere they move it).

#include "platform/mfc/DockBar.h"

#include <memory>

constexpr DWORD MFS_SYNCACTIVE = 0x0100, MFS_4THICKFRAME = 0x0200, MFS_THICKFRAME = 0x0400, MFS_MOVEFRAME = 0x0800,
                MFS_BLOCKSYSMENU = 0x1000;
constexpr DWORD FWS_SNAPTOBARS = 0x2000;

// Asked of a floating window by the frame that owns it: FS_SYNCACTIVE whether its look follows
// the frame's activation (nonzero: it does); FS_ACTIVATE and FS_DEACTIVATE, to look so.
constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr WPARAM FS_ACTIVATE = 0x0004, FS_DEACTIVATE = 0x0008, FS_SYNCACTIVE = 0x0040;

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    BOOL Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent = nullptr, UINT id = 0);
    // The MFS_ and FWS_ bits the frame was made with, or changed to.
    DWORD GetMiniFrameStyle() const { return m_dwMiniStyle; }
    // Changes the MFS_ and FWS_ bits; the border follows.
    void ModifyMiniFrameStyle(DWORD remove, DWORD add);

protected:
    LRESULT OnNcHitTest(CPoint point);
    // With MFS_SYNCACTIVE the frame looks active as its owner says; losing the activation to a
    // window outside the owner's family, it takes the owner's active look too.
    LRESULT OnFloatStatus(WPARAM status, LPARAM);
    LRESULT OnNcActivate(WPARAM active, LPARAM);
    DECLARE_MESSAGE_MAP()

    DWORD m_dwMiniStyle = 0;
};

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;
    // barStyle: the CBRS_ alignment and CBRS_FLOAT_MULTI the floating dock bar starts with, and
    // CBRS_SIZE_DYNAMIC for a frame whose edges size the bar.
    virtual BOOL Create(CFrameWnd* dockSite, DWORD barStyle);
    void RecalcLayout(BOOL notify = TRUE) override;
    // Lays the frame out around its bars with its top-left corner at (x, y), screen coordinates.
    virtual void RecalcLayoutAt(int x, int y);
    // The window rectangle of a floating frame holding a bar at barRect (screen coordinates).
    static CRect FrameRectAround(const CRect& barRect);

    // The floating dock bar that holds the frame's bars.
    CDockBar& GetDockBar() const { return *m_pDockBar; }

protected:
    // A frame whose floating dock bar is of a class of the caller's (made with floating TRUE).
    explicit CMiniDockFrameWnd(std::unique_ptr<CDockBar> dockBar);
    // The first bar of the dock bar, or null.
    CControlBar* FirstBar() const;

    void OnClose();
    LRESULT OnNcLButtonDown(WPARAM hitTest, LPARAM point);
    LRESULT OnNcLButtonDblClk(WPARAM hitTest, LPARAM point);
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CDockBar> m_pDockBar;
};
