#pragma once
// The toolkit's docking frame: its dock bars are toolkit dock bars (shared rows, splitters), a
// bar can be docked at a column and row with a share and a thickness, and the bar layout is
// saved and restored with the toolkit's records. After each layout it knows the pane's area.
// With a menu bar, the frame has no window menu of its own: the bar shows the current menu
// resource as buttons and the frame's menu plug-in drops its popups.

#include "framework/ToolkitFrame.h"
#include "platform/mfc/Frame.h"

#include <map>
#include <memory>

// Where a bar floated at point goes: at least 10 pixels of it stay on the work area of the monitor
// nearest to the point, on each side.
CPoint SECFloatPointInWorkArea(const CControlBar& bar, CPoint point);

class SECFrameWnd : public CFrameWnd, public SECToolkitFrame {
    DECLARE_DYNCREATE(SECFrameWnd)
public:
    CDockBar* CreateDockBar() const override;
    // As the plain frame's, between the bar's dock hooks.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, LPCRECT rect = nullptr);
    void DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect = nullptr);
    // Docks the bar in the dock bar of that id (0: the first side the bar may dock to) at column
    // `column` of row `row` (a new last row past the rows there are), with that share of the row
    // and that thickness.
    void DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height);
    // Through a CFrameWnd too: the dock bars, and an auto-hide strip on each side.
    void EnableDocking(DWORD dockStyle) override;
    // Floats the bar with at least 10 pixels of it on the work area, between its float hooks.
    void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = CBRS_ALIGN_TOP) override;
    void LoadBarState(LPCWSTR profileName);
    void SaveBarState(LPCWSTR profileName) const;
    void RecalcLayout(BOOL notify = TRUE) override;
    // The client area the last layout left for the pane.
    const CRect& GetPaneRect() const { return m_rectPane; }

    SECFrameWnd();
    ~SECFrameWnd() override;
    // The resource id is the frame's help id and its first menu resource. Beside a menu bar the
    // menu of that id is the frame's current menu (the window has none) and the bar shows it.
    // Accelerators of that id are loaded unless the frame has some; without a creation context
    // every window in the frame gets WM_INITIALUPDATE.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;
    // Shows that menu resource in the menu bar and makes it the frame's menu; the same id again
    // does nothing, nor does a frame without a menu bar.
    void SetMenuResource(UINT menuId);
    // The menu resource shown (the frame's own resource until SetMenuResource).
    UINT GetMenuResource() const { return m_nMenuResource ? m_nMenuResource : m_nIDHelp; }
    // The menu the frame shows now: the current menu resource's beside a menu bar, else the window's.
    HMENU GetCurrentMenu() const { return m_hMenuDefault; }
    // Makes a plug-in of that class (a SECWndPlugIn), plugs it into this frame and offers it every
    // command first; the frame owns it. Null for a null class, or when it cannot be plugged in
    // (then the frame has none).
    divuzura::foundation::SECWndPlugIn* CreateCommandPlugIn(CRuntimeClass* runtimeClass);
    divuzura::foundation::SECWndPlugIn* GetCommandPlugIn() const { return m_pCommandPlugIn.get(); }

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

protected:
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CFrameWnd::CreateEx;
    // The popup of a menu resource (the current one, or one loaded on demand and kept).
    HMENU GetMenuPopup(UINT menuId, int index);
    void DockOnSide(CControlBar* bar, UINT dockBarId) override { DockControlBar(bar, dockBarId); }

    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    // Help mode: the pointer asks which window to give help on.
    void OnContextHelp();
    // The workspace commands carry tips and prompts only; here they do nothing.
    void OnWorkspaceCommand(UINT) {}
    DECLARE_MESSAGE_MAP()

private:
    void RepaintMenuBar();

    CRect m_rectPane;
    UINT m_nMenuResource = 0;
    std::map<UINT, HMENU> m_otherMenus;
    std::unique_ptr<divuzura::foundation::SECWndPlugIn> m_pCommandPlugIn;
};
