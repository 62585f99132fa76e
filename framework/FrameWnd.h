#pragma once
// The toolkit's docking frame: its dock bars are toolkit dock bars (shared rows, splitters), a
// bar can be docked at a column and row with a share and a thickness, and the bar layout is
// saved and restored with the toolkit's records. After each layout it knows the pane's area.
// With a menu bar, the frame has no window menu of its own: the bar shows the current menu
// resource as buttons and the frame's menu plug-in drops its popups.

#include "framework/AutoHideBar.h"
#include "framework/FrameMenuBar.h"
#include "platform/mfc/Frame.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

class SECToolBarManager;

// Where a bar floated at point goes: at least 10 pixels of it stay on the work area of the monitor
// nearest to the point, on each side.
CPoint SECFloatPointInWorkArea(const CControlBar& bar, CPoint point);

class SECFrameWnd : public CFrameWnd {
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
    // The manager of user tool bars (none in the program); Set returns what it stored.
    SECToolBarManager* GetToolBarManager() const { return m_pToolBarManager; }
    SECToolBarManager* SetToolBarManager(SECToolBarManager* manager) { return m_pToolBarManager = manager; }
    void LoadBarState(LPCWSTR profileName);
    void SaveBarState(LPCWSTR profileName) const;
    void RecalcLayout(BOOL notify = TRUE) override;
    // The client area the last layout left for the pane.
    const CRect& GetPaneRect() const { return m_rectPane; }

    SECFrameWnd();
    ~SECFrameWnd() override;
    // Set before the window is made; the caller keeps owning the bar.
    void SetMenuBar(SECFrameMenuBar* menuBar) { m_pMenuBar = menuBar; }
    SECFrameMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // Shows that menu resource in the menu bar and makes it the frame's menu; the same id again
    // does nothing, nor does a frame without a menu bar.
    void SetMenuResource(UINT menuId);
    // The menu resource shown (the frame's own resource until SetMenuResource).
    UINT GetMenuResource() const { return m_nMenuResource ? m_nMenuResource : m_nIDHelp; }
    // A frame without a menu bar draws its window menus with tool-bar images (LoadMenuBitmaps) when
    // this is on at its creation; beside a menu bar it changes nothing. The second switch has no effect.
    void EnableBmpMenus(BOOL bitmapMenus, BOOL /*second*/) { m_bBmpMenus = bitmapMenus; }
    // The tool-bar resource's images appear beside the menu items of the same commands.
    void LoadMenuBitmaps(UINT toolBarId);
    SECFrameMenuPlugIn* GetMenuPlugIn() const { return m_pMenuPlugIn.get(); }
    // The menu the frame shows now: the current menu resource's beside a menu bar, else the window's.
    HMENU GetCurrentMenu() const { return m_hMenuDefault; }
    // The colour of the menu images that shows through (0xC0C0C0 at first); `use` says whether it is
    // used. Set returns the colour.
    virtual COLORREF SetMenuBitmapColor(COLORREF colour, BOOL use);
    virtual COLORREF GetMenuBitmapColor() const { return m_clrMenuBitmap; }
    BOOL IsMenuBitmapColorUsed() const { return m_bUseMenuBitmapColor; }
    // Makes a plug-in of that class (a SECWndPlugIn), plugs it into this frame and offers it every
    // command first; the frame owns it. Null for a null class, or when it cannot be plugged in
    // (then the frame has none).
    divuzura::foundation::SECWndPlugIn* CreateCommandPlugIn(CRuntimeClass* runtimeClass);
    divuzura::foundation::SECWndPlugIn* GetCommandPlugIn() const { return m_pCommandPlugIn.get(); }

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    // ---- auto-hide strips
    // The strip of a side (CBRS_ALIGN_LEFT, _TOP, _RIGHT, _BOTTOM), or null.
    SECAutoHideBar* GetAutoHideBar(DWORD side);
    // Unpins a docked bar (from now on one that may auto-hide): it leaves its dock bar for the
    // strip of that side and hides there.
    BOOL AutoHideControlBar(SECControlBar* bar);
    // Puts a bar that a loaded layout says is auto-hidden (and not pinned) back on the strip of
    // its side, hidden there, with one button.
    void RestoreAutoHide(SECControlBar* bar);
    // Pins an auto-hidden bar: it leaves its strip and docks again on that side, shown.
    BOOL PinControlBar(SECControlBar* bar);
    // Puts back every auto-hidden bar that is out, except the one of `keep`.
    void ResetAutoHideButtons(const SECAutoHideBarBtn* keep);

protected:
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CFrameWnd::CreateEx;
    // The menu plug-in for this frame: the menu bar's; without one, the bitmap menus when they are on.
    virtual SECFrameMenuPlugIn* CreateMenuPlugIn();
    // The popup of a menu resource (the current one, or one loaded on demand and kept).
    HMENU GetMenuPopup(UINT menuId, int index);

    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    // The tool bars' images follow the new system colours.
    void OnSysColorChange();
    // Help mode: the pointer asks which window to give help on.
    void OnContextHelp();
    // The workspace commands carry tips and prompts only; here they do nothing.
    void OnWorkspaceCommand(UINT) {}
    DECLARE_MESSAGE_MAP()

private:
    void RepaintMenuBar();
    // Floats the bar hidden beside the strip of that side and gives it a button there.
    BOOL ParkOnStrip(SECControlBar* bar, DWORD side);

    CRect m_rectPane;
    SECToolBarManager* m_pToolBarManager = nullptr;
    std::array<SECAutoHideBar, 4> m_autoHideBars; // left, top, right, bottom
    SECFrameMenuBar* m_pMenuBar = nullptr;
    std::unique_ptr<SECFrameMenuPlugIn> m_pMenuPlugIn;
    std::vector<UINT> m_menuBitmaps; // tool-bar resources given before the plug-in existed
    UINT m_nMenuResource = 0;
    std::map<UINT, HMENU> m_otherMenus;
    BOOL m_bBmpMenus = FALSE;
    COLORREF m_clrMenuBitmap = RGB(0xC0, 0xC0, 0xC0);
    BOOL m_bUseMenuBitmapColor = FALSE;
    std::unique_ptr<divuzura::foundation::SECWndPlugIn> m_pCommandPlugIn;
};
