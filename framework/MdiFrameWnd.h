#pragma once
// The toolkit's multiple-document frame and its document frames. Besides the class library's MDI
// behaviour they keep message filters (extra caption buttons, the extended system command), let
// a frame outside the MDI client (a docked or floating dockable frame) stand in for the active
// child, and move such hosted frames between docked and floating styles. The frame docks bars by
// placement records, lets a bar float in the main window as an MDI child in a host frame of a
// recorded class (the workbook makes it a sheet), routes help on commands, runs help mode, and
// can keep its caption active while a frame outside the MDI client is the active one.
// With a menu bar the window has no menu: the bar shows the frame's own menu, or that of the
// active child (its template's), and the MDI client lists the children in the Window popup of the
// menu the bar shows.

#include "framework/ContextHelp.h"
#include "framework/MsgFilter.h"
#include "framework/ToolkitFrame.h"
#include "platform/mfc/Mdi.h"

#include <map>
#include <vector>

class CControlBar;

// The frame class that hosts a bar floating in the main window is loaded from this resource id,
// with this style (a hidden, sizable child with caption and system menu).
constexpr UINT IDR_SEC_MDIFLOATFRAME = 20514;
constexpr DWORD SEC_MDIFLOATFRAME_STYLE = 0x42CFA000;

// Context help: the messages that ask a frame for help on a command (lParam: the help id) and end
// help mode (the command and its prompt: ContextHelp.h).
constexpr UINT WM_COMMANDHELP = 0x0365, WM_EXITHELPMODE = 0x0367;
// Help ids are the command id plus this for commands, and the frame's resource id plus that.
constexpr DWORD HID_BASE_COMMAND = 0x10000, HID_BASE_RESOURCE = 0x20000;

// Whether the bar floats in the main window: it lies in the floating dock bar of a frame that is
// an MDI child, rather than in a mini frame.
BOOL SECIsFloatingInMainWindow(const CControlBar* bar);

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

class SECMDIFrameWnd : public CMDIFrameWnd, public SECToolkitFrame {
    DECLARE_DYNCREATE(SECMDIFrameWnd)
public:
    SECMDIFrameWnd();
    // Remembers whether the title names the active document (FWS_ADDTOTITLE) and the resource id,
    // the frame's own menu; beside a menu bar the bar shows that menu and the window has none.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;

    // ---- menus
    // The menu of a menu id: the id given to LoadFrame gives the frame's own menu, another the
    // shared menu of the first multiple-document template of that resource id; null for none.
    virtual HMENU GetMenuForId(UINT menuId);
    // The frame's own menu (beside a menu bar the one LoadFrame loaded, else the window's default).
    HMENU GetFrameMenu() const { return m_hMenuDefault; }
    // The menu shown now: beside a menu bar that of the bar's current menu id, else the window's.
    HMENU GetCurrentMenu();
    // The menu bar shows the menu of that id (0 or -1: the frame's own) and the window list
    // follows; nothing happens without a menu bar.
    virtual void SelectMenuBarMenu(UINT menuId);
    // The MDI client lists the children in the Window popup of the menu the bar shows.
    virtual void UpdateWindowListMenu();
    void OnUpdateFrameMenu(HMENU menuAlt) override;

    // The frame that gets commands and menus in place of the active MDI child (a dockable frame
    // outside the MDI client), or null for the active MDI child itself.
    void SetActiveChild(CFrameWnd* child) { m_pActiveChildOverride = child; }
    CFrameWnd* GetActiveChildOverride() const { return m_pActiveChildOverride; }
    CFrameWnd* GetActiveFrame() override;
    // The toolkit's dock bars, as in SECFrameWnd, and an auto-hide strip on each side.
    CDockBar* CreateDockBar() const override;
    void EnableDocking(DWORD dockStyle) override;

    // A frame outside the MDI client that is shown as the active one: no MDI child looks active
    // meanwhile, and its view has the focus.
    virtual void SetActiveFloatingFrame(CFrameWnd* frame);
    virtual void EndActiveFloatingFrame(BOOL activateMDI);
    // Null once that frame's window is gone.
    CFrameWnd* GetActiveFloatingFrame() const;

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

    // ---- docking with placement records
    using CFrameWnd::DockControlBar;
    // Docks the bar at the position's column and row of the dock bar of that id (an id that names
    // none: the first side the bar may dock to), with the size's share of the row and thickness.
    virtual void DockControlBar(CControlBar* bar, const SECDockPos& position, UINT dockBarId, const SECDockSize& size);
    void DockControlBarPlaced(CControlBar* bar, UINT dockBarId, int row, int column, float proportion, int height);
    // The same with the record's fields given one by one; the layout follows the dock bar's side.
    void DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height);
    // The bar layout in the program's profile. Bars floating in the main window are saved as such
    // and float there again when the layout is loaded.
    void LoadBarState(LPCWSTR profileName);
    void SaveBarState(LPCWSTR profileName) const;

    // ---- bars floating in a frame of their own: a mini frame, or an MDI child of the main window
    // Floats the bar in a mini frame at the point (screen coordinates), moved so that at least
    // 10 pixels of it stay on the work area of the monitor nearest to the point.
    void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = CBRS_ALIGN_TOP) override;
    // Floats the bar as an MDI child in a frame of the host class, at the point (screen
    // coordinates, kept in the client) or, without one, at the next place of the cascade.
    // FALSE, and the bar left where it is, when no host frame can be made.
    virtual BOOL FloatControlBarInMDIChild(CControlBar* bar, const CPoint* screenPoint, DWORD style);
    // The frame hosting the bar in the main window, or null.
    CFrameWnd* GetMDIFloatFrame(const CControlBar* bar) const;
    using CMDIFrameWnd::CreateClient;
    // An object of the client class, its window made with the host frame's id and style; null
    // without a client class or when the window cannot be made.
    virtual CWnd* CreateClient();
    // A frame of the host class, loaded from IDR_SEC_MDIFLOATFRAME; null without a host class or
    // when loading fails.
    virtual CFrameWnd* CreateMDIFloatFrame();
    // While a bar moves into or out of the main window the frame is busy toggling: the host frame
    // being filled or emptied is left alone by the layout.
    class MDIFloatToggle {
    public:
        explicit MDIFloatToggle(SECMDIFrameWnd& frame);
        ~MDIFloatToggle();
        MDIFloatToggle(const MDIFloatToggle&) = delete;
        MDIFloatToggle& operator=(const MDIFloatToggle&) = delete;

    private:
        SECMDIFrameWnd& m_frame;
        BOOL m_wasToggling;
    };
    // Host frames follow their bars at each layout: a frame whose bar has left goes, one whose
    // bar is hidden hides.
    void RecalcLayout(BOOL notify = TRUE) override;

    // ---- the toolkit's caption: while a frame of the main window outside the MDI client is the
    // active one, the frame's caption stays active as long as the program is in the foreground.
    // Returns the previous setting; with redraw, the caption is drawn again at once.
    BOOL EnableToolkitCaption(BOOL enable, BOOL redraw = TRUE);
    BOOL IsToolkitCaption() const { return m_bToolkitCaption; }

    // ---- caption buttons
    // Bit 0 turns the frame's filters (caption buttons of maximised children, the extended system
    // command) on or off; the buttons are laid out again.
    virtual void UpdateCaptionFilters(UINT flags);

    // The classes recorded for CreateClient and CreateMDIFloatFrame.
    CRuntimeClass* m_pClientClass = nullptr;
    CRuntimeClass* m_pMDIFloatFrameClass = nullptr;

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* message) override;

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

protected:
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CMDIFrameWnd::CreateEx;
    int OnCreate(LPCREATESTRUCT create);
    // The menu plug-in goes with the window, whatever closes it.
    void OnDestroy();
    // The caption stays active while the window activated is the frame or one of its floating
    // windows; those look active or inactive with it.
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    // Leaving the program, an active floating frame and the MDI client look inactive.
    LRESULT OnActivateApp(WPARAM active, LPARAM threadId);
    // A bar's context menu: "Allow Docking" is greyed while the bar floats in the main window,
    // and a bar that may float there gets "Float In Main Window", checked while it does.
    LRESULT OnAddContextMenuItems(WPARAM bar, LPARAM menu);
    // Help on a command goes to the active floating frame or the active child first.
    LRESULT OnCommandHelp(WPARAM, LPARAM helpId);
    void OnContextHelp();
    // The workspace commands are the application's to handle; the frame only enables them.
    void OnWorkspaceCommand(UINT) {}
    DECLARE_MESSAGE_MAP()

    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
    CFrameWnd* m_pActiveChildOverride = nullptr;
    CFrameWnd* m_pActiveFloatingFrame = nullptr; // read through GetActiveFloatingFrame
    HWND m_hWndActiveFloating = nullptr;
    std::vector<UINT> m_dockCycle;
    size_t m_dockCycleCursor = 0;
    SECFloatCascade m_floatCascade;
    BOOL m_bAddToTitle = FALSE;

private:
    void TidyMDIFloatFrames();
    // Whether the caption is to look active by the toolkit's rule.
    BOOL KeepsCaptionActive(BOOL activating) const;
    // Draws the frame with the caption in the toolkit's state.
    void DrawToolkitCaption();
    LRESULT OnToolkitCaptionMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Whether the window is a floating window of the frame's whose look follows the frame's: the
    // frame's caption stays active while it is the active window.
    BOOL IsSyncedFloatingWindow(HWND window) const;
    // Tells the floating windows the frame owns to look active or inactive.
    void NotifyFloatingWindows(WPARAM floatStatus) const;

    UINT m_nMenuId = 0; // the id given to LoadFrame
    std::map<UINT, HMENU> m_menus; // not owned: the frame's own menu and templates' shared menus
    std::vector<HWND> m_mdiFloatFrames; // the host frames made, while they live
    BOOL m_bTogglingMDIFloat = FALSE;
    BOOL m_bToolkitCaption = FALSE;
    BOOL m_bCaptionActive = FALSE;
};

class SECMDIChildWnd : public CMDIChildWnd {
    DECLARE_DYNCREATE(SECMDIChildWnd)
public:
    SECMDIChildWnd();

    // The frame's menu follows this child (the class library's frame-menu update, activating).
    virtual void ActivateFrameMenu(CWnd* window) { OnUpdateFrameMenu(TRUE, window, m_hMenuShared); }
    SECMDIFrameWnd* GetToolkitFrame() const;
    // Beside the frame's menu bar, the child's resource id is the menu it shows while active.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;
    // Beside a menu bar the frame's window gets no menu; the window list follows the bar's menu.
    void OnUpdateFrameMenu(BOOL active, CWnd* activateWnd, HMENU menuAlt) override;
    // The menu id the child shows while active; 0 for none.
    UINT GetMenuId() const { return m_nMenuId; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Bit 0 turns the child's filters on or off; bits 1, 2 and 3 switch off the toolkit's
    // minimise, maximise and close buttons in its caption.
    virtual void UpdateCaptionFilters(UINT flags);

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

protected:
    // Activation by the mouse: the floating frame ends, the child becomes the active one, its
    // view gets the focus, and its caption, title and menu follow.
    void ActivateByMouse();
    LRESULT OnNcActivate(WPARAM active, LPARAM lParam);
    // After the class library's activation: the menu bar shows the child's menu while it is the
    // active one, and the frame's own when the last child goes.
    void FollowActivationWithMenu(BOOL activate, HWND activated);

    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
    UINT m_nMenuId = 0;
};
