#pragma once
// The toolkit's multiple-document frame and its document frames. Besides the class library's MDI
// behaviour they keep message filters (extra caption buttons, the extended system command), let
// a frame outside the MDI client (a docked or floating dockable frame) stand in for the active
// child, and move such hosted frames between docked and floating styles.

#include "framework/MsgFilter.h"
#include "platform/mfc/Mdi.h"

#include <vector>

class CControlBar;

// Where a dock bar takes a bar placed by default: a position (column, row, flags) and a size
// (share of the row and thickness).
struct SECDockPos {
    int column = 0;
    int row = 0;
    int flags = 0; // bit 0: at the front of the side; bit 2: in a row of its own
};
struct SECDockSize {
    float proportion = 1.0f;
    int height = 0;
    int reserved = 0;
};

// The cascade of bars floated in the main window without a given place: from (30, 30), each next
// one 20 pixels right and 23 down, a coordinate starting again at 30 when it would come within
// 30 pixels of the client's right or bottom edge. A given place is kept inside the client.
class SECFloatCascade {
public:
    CPoint Next(CSize client);
    static CPoint Clamp(CPoint given, CSize client);

private:
    CPoint m_next { 30, 30 };
};

class SECMDIFrameWnd : public CMDIFrameWnd {
    DECLARE_DYNCREATE(SECMDIFrameWnd)
public:
    SECMDIFrameWnd();
    // Remembers whether the title names the active document (FWS_ADDTOTITLE).
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;

    // The frame that gets commands and menus in place of the active MDI child (a dockable frame
    // outside the MDI client), or null for the active MDI child itself.
    void SetActiveChild(CFrameWnd* child) { m_pActiveChildOverride = child; }
    CFrameWnd* GetActiveChildOverride() const { return m_pActiveChildOverride; }
    CFrameWnd* GetActiveFrame() override;
    // The toolkit's dock bars, as in SECFrameWnd.
    CDockBar* CreateDockBar() const override;

    // A frame outside the MDI client that is shown as the active one: no MDI child looks active
    // meanwhile, and its view has the focus.
    virtual void SetActiveFloatingFrame(CFrameWnd* frame);
    virtual void EndActiveFloatingFrame(BOOL activateMDI);
    CFrameWnd* GetActiveFloatingFrame() const { return m_pActiveFloatingFrame; }

    // The default dock place of the next bar: the next side of the dock-bar cycle, from where the
    // last call stopped. Returns the dock-bar id.
    virtual UINT GetDefaultDockPlacement(SECDockPos& position, SECDockSize& size);
    const std::vector<UINT>& DockCycle() const { return m_dockCycle; }

    // A frame hosted in a control bar: the bar's first child when it is a frame.
    virtual CFrameWnd* GetHostedFrame(CControlBar* bar) const;
    // Gives a hosted frame the caption and styles of an MDI frame while it floats (its earlier
    // styles kept in window properties), and takes them back when it is docked again.
    virtual void SetHostedFrameFloating(CFrameWnd* frame, BOOL floating);
    // Moves a floated frame over its parent frame's window rectangle.
    virtual void FitHostedFrame(CFrameWnd* frame);
    // Where the next bar floated in the main window goes (a given place is kept in the client).
    CPoint NextFloatPosition(const CPoint* given);

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

protected:
    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
    CFrameWnd* m_pActiveChildOverride = nullptr;
    CFrameWnd* m_pActiveFloatingFrame = nullptr;
    std::vector<UINT> m_dockCycle;
    size_t m_dockCycleCursor = 0;
    SECFloatCascade m_floatCascade;
    BOOL m_bAddToTitle = FALSE;
};

class SECMDIChildWnd : public CMDIChildWnd {
    DECLARE_DYNCREATE(SECMDIChildWnd)
public:
    SECMDIChildWnd();

    // The frame's menu follows this child (the class library's frame-menu update, activating).
    virtual void ActivateFrameMenu(CWnd* window) { OnUpdateFrameMenu(TRUE, window, m_hMenuShared); }
    SECMDIFrameWnd* GetToolkitFrame() const;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

protected:
    // Activation by the mouse: the floating frame ends, the child becomes the active one, its
    // view gets the focus, and its caption, title and menu follow.
    void ActivateByMouse();
    LRESULT OnNcActivate(WPARAM active, LPARAM lParam);

    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
};
