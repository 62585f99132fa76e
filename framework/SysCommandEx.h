#pragma once
// The extended system command: a menu of placements (MDI child, docked at a side, floating)
// reached from an extra caption button, a right click or a right double click on the caption.
// The filters here talk to the frame through one registered message, SysCommandExMessage(),
// whose wParam is a code below and whose lParam points to a SysCommandExInfo.

#include "framework/CaptionFilters.h"

class CControlBar;
class CFrameWnd;

namespace nsSysCommandEx {

// Codes (wParam; the low four bits are ignored).
inline constexpr WPARAM SCX_EXECUTE = 0xC000; // carry out the record's placement (-1: choose one)
inline constexpr WPARAM SCX_QUERYMENU = 0xC010; // put a placement menu into the record, answer nonzero
inline constexpr WPARAM SCX_SHOWMENU = 0xC020; // show the placement menu at the record's point, carry out the choice

// The styles of a frame while it is an MDI child.
inline constexpr DWORD MDIChildFrameStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW;

// Record flags.
inline constexpr DWORD SCXF_HELD = 0x1; // opened by holding the button, or aimed at a maximised MDI child's frame

// Placements, which are also the menu's item ids.
enum Placement : int {
    ChooseOne = -1,
    NoPlacement = 0,
    MDIChild = 1,
    MDIMinimized = 2,
    MDIMaximized = 3,
    MDIRestored = 4,
    Docked = 5,
    DockedLeft = 6,
    DockedTop = 7,
    DockedRight = 8,
    DockedBottom = 9,
    Floating = 10,
};

// Menu texts (string resources, with built-in texts when the program has none).
inline constexpr UINT IDS_SCX_FLOATING = 21076, IDS_SCX_MDICHILD = 21077, IDS_SCX_TOP = 21078, IDS_SCX_LEFT = 21079,
                      IDS_SCX_BOTTOM = 21080, IDS_SCX_RIGHT = 21081, IDS_SCX_DOCKEDTO = 21082, IDS_SCX_MINIMIZED = 21083,
                      IDS_SCX_MAXIMIZED = 21084, IDS_SCX_RESTORED = 21085, IDS_SCX_MDICHILDAS = 21086, IDS_SCX_DOCKED = 21009;

struct SysCommandExInfo {
    HWND window = nullptr;
    DWORD flags = 0;
    int x = -1; // screen; below 0: the centre of the window's client area
    int y = -1;
    DWORD reserved[2] {};
    RECT rect {}; // the caption button on the screen, or empty
    HMENU menu = nullptr; // filled by a query
    int command = ChooseOne;
    BYTE extra[60] {};
};

// The registered message, "Divuzura::WM_SYSCOMMANDEX".
UINT SysCommandExMessage();

// 1 for the MDI placements, 5 for the docked ones, 10 for floating, else 0.
int GetGroup(int placement);

// A frame's current placement: an MDI child's show state, the side of the bar hosting it, or
// floating; NoPlacement for anything else.
int CurrentPlacement(CWnd* window);

// The control bar a frame lives in, or null.
CControlBar* HostingBar(CWnd* frame);
// Sizes the frame that a bar hosts to the inside of the bar.
void FitIntoHostingBar(CControlBar* bar);
// Takes away a bar whose frame has left it: from its dock bar, or with its mini frame when
// floating; the frame it docked in lays out again.
void DestroyHostingBar(CControlBar* bar);

// Receives the extended system command on a frame and carries it out: the one place that builds
// the placement menu and moves a frame between the MDI client and a bar that docks or floats.
class ScxMsgFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(ScxMsgFilter)
public:
    using SECMsgFilter::SECMsgFilter;

    // Only the extended command: handled by a busy clone, so that the queries it sends to the
    // window while it works find this filter free.
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual UINT OnShowMenu(SysCommandExInfo& info, LRESULT* result);
    virtual UINT OnQueryMenu(SysCommandExInfo& info, LRESULT* result);
    virtual UINT OnExecute(SysCommandExInfo& info, LRESULT* result);
    // The record's menu, the window's answer to a query, or else one built for the window.
    virtual HMENU GetMenu(SysCommandExInfo& info);
    // The chosen placement, 0 for none.
    virtual int TrackMenu(HMENU menu, const SysCommandExInfo& info);
    virtual BOOL RunCommand(int placement, SysCommandExInfo& info);
    virtual HMENU BuildMenu(int currentPlacement);
    virtual HMENU BuildMenuFor(CWnd* target);

    // An MDI child in the show state of the placement, from wherever the frame is.
    virtual BOOL MakeMDIChild(CFrameWnd* frame, int placement);
    // Docked at the placement's side; the plain "Docked" docks a floating frame where it was
    // last and an MDI child at the MDI frame's next default side.
    virtual BOOL Dock(CFrameWnd* frame, int placement, const SysCommandExInfo& info);
    // Floating; an MDI child floats where it stood unless a point is given.
    virtual BOOL Float(CFrameWnd* frame, const CPoint* floatPoint = nullptr, const CSize* floatSize = nullptr);
    // How the placements reach the frame and its hosting bar: out of the bar into the MDI client
    // (the bar goes), out of the MDI client into a new bar of the MDI frame, into a dock bar of
    // the bar's frame, and the bar's docking toggle.
    virtual BOOL MoveIntoMDIClient(CFrameWnd* frame);
    virtual CControlBar* MoveIntoHostingBar(CFrameWnd* frame);
    virtual BOOL DockHostingBar(CControlBar* bar, UINT dockBarId);
    virtual BOOL ToggleHostingBar(CControlBar* bar, const CPoint* floatPoint, const CSize* floatSize);

    virtual int ChooseCommand(int currentPlacement) const;
    virtual int GetCurrentState(CWnd* target) const { return CurrentPlacement(target); }
    virtual CWnd* GetPlacementTarget(const SysCommandExInfo& info) const;
    virtual BOOL IsExtendedCommand(WPARAM code) const { return code == SCX_EXECUTE || code == SCX_SHOWMENU; }

    BOOL IsBusy() const { return m_busy; }

private:
    BOOL m_busy = FALSE;
};

// The extra caption button that opens the placement menu: a click carries out the default
// placement, a right press or a press held 400 ms shows the menu under the button.
class ScxButtonMsgFilter : public SECCaptionControlMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMsgFilter)
public:
    static constexpr int HoldDelay = 400;

    explicit ScxButtonMsgFilter(CWnd* window = nullptr, int id = FirstNonButtonId);

    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void Draw() override;
    void Execute(int how, int x, int y) override;
    BOOL GetCommand(int how, int x, int y, CWnd*& window, UINT& message, WPARAM& wParam, LPARAM& lParam) override;
    BOOL QueryState(BOOL& disabled) const override;

protected:
    // The window the command is for, and the flags that go with it; null for none.
    virtual CWnd* CommandTarget(DWORD& flags) const;

private:
    SysCommandExInfo m_info;
};

// The extra button of an MDI child: hidden while the child is maximised.
class ScxButtonMDIChildMsgFilter : public ScxButtonMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMDIChildMsgFilter)
public:
    using ScxButtonMsgFilter::ScxButtonMsgFilter;
    BOOL QueryState(BOOL& disabled) const override;
};

// On an MDI frame, the extra button of the active child while that child is maximised.
class ScxButtonMDIMaxChildMsgFilter : public ScxButtonMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMDIMaxChildMsgFilter)
public:
    using ScxButtonMsgFilter::ScxButtonMsgFilter;
    BOOL QueryState(BOOL& disabled) const override;

protected:
    CWnd* CommandTarget(DWORD& flags) const override;
};

// A right double click on the caption carries out the default placement.
class ScxCaptionNCRDBLClkFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(ScxCaptionNCRDBLClkFilter)
public:
    using SECCaptionMsgFilter::SECCaptionMsgFilter;
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// The same on an MDI frame's caption, for its maximised active child.
class ScxNCRDBLClkMDIMaxChildMsgFilter : public SECNcMsgFilter {
    DECLARE_DYNCREATE(ScxNCRDBLClkMDIMaxChildMsgFilter)
public:
    using SECNcMsgFilter::SECNcMsgFilter;
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// A right-button release on the caption shows the placement menu there.
class ScxContextMenuFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(ScxContextMenuFilter)
public:
    using SECMsgFilter::SECMsgFilter;
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

} // namespace nsSysCommandEx
