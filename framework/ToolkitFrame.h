#pragma once
// What the toolkit's two top-level frames, the single-document SECFrameWnd and the
// multiple-document SECMDIFrameWnd, share beside their platform frames:
// - the menus: a menu bar in place of the window menu, or window menus drawn with tool-bar images,
//   through one menu plug-in that sees the frame's messages first;
// - the manager of user tool bars, whose image store the bitmap menus then share, and the frame's
//   manners while the user customises the bars (no hit tests, no closing, layout at idle time);
// - the tool bars' images following the system colours;
// - an auto-hide strip on each side the frame docks on.
// A frame derives from its platform frame first and from this second, and hands this its window.

#include "framework/AutoHideBar.h"
#include "framework/FrameMenuBar.h"

#include <array>
#include <memory>
#include <vector>

class CFrameWnd;
class SECToolBarManager;

class SECToolkitFrame {
public:
    explicit SECToolkitFrame(CFrameWnd& frame)
        : m_frame(frame)
    {
    }
    virtual ~SECToolkitFrame();
    SECToolkitFrame(const SECToolkitFrame&) = delete;
    SECToolkitFrame& operator=(const SECToolkitFrame&) = delete;

    // ---- menus
    // Set before the window is made; the caller keeps owning the bar.
    void SetMenuBar(SECFrameMenuBar* menuBar) { m_pMenuBar = menuBar; }
    SECFrameMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // A frame without a menu bar draws its window menus with tool-bar images (LoadMenuBitmaps) when
    // this is on at its creation; beside a menu bar it changes nothing. The second switch has no effect.
    void EnableBmpMenus(BOOL bitmapMenus, BOOL /*second*/) { m_bBmpMenus = bitmapMenus; }
    // The tool-bar resource's images appear beside the menu items of the same commands.
    void LoadMenuBitmaps(UINT toolBarId);
    SECFrameMenuPlugIn* GetMenuPlugIn() const { return m_pMenuPlugIn.get(); }
    // The colour of the menu images that shows through (0xC0C0C0 at first); `use` says whether it is
    // used. Set returns the colour; it reaches bitmap menus made after it.
    virtual COLORREF SetMenuBitmapColor(COLORREF colour, BOOL use);
    virtual COLORREF GetMenuBitmapColor() const { return m_clrMenuBitmap; }
    BOOL IsMenuBitmapColorUsed() const { return m_bUseMenuBitmapColor; }

    // ---- the manager of user tool bars (none in the program); Set returns what it stored.
    SECToolBarManager* GetToolBarManager() const { return m_pToolBarManager; }
    SECToolBarManager* SetToolBarManager(SECToolBarManager* manager) { return m_pToolBarManager = manager; }
    // Whether the user is customising the bars through the manager.
    BOOL IsCustomizing() const;

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
    // The menu plug-in for this frame: the menu bar's; without one, the bitmap menus when they are
    // on, in the menu bitmap colour and with the tool-bar manager's images.
    virtual SECFrameMenuPlugIn* CreateMenuPlugIn();
    // At the window's creation: the menu plug-in is made and plugged in. TRUE when there is one.
    BOOL PlugInMenus();
    // The plug-in goes before the window does.
    void DestroyMenuPlugIn();
    // The plug-in's turn at a message to be translated; TRUE when it took it. While the bars are
    // customised the frame cannot be closed from its system menu.
    BOOL PreTranslateToolkitMessage(MSG* message);
    // The frame's turn at a window message before its own handlers; TRUE when it ended the message
    // with *result. The menu plug-in sees it first (the popup opened from the bar as the system
    // menu is initialised as one: lParam changes); then tool bars reload their images in new
    // system colours, a waiting modal loop is told to OnEnterIdle, and while the bars are
    // customised the frame is not hit. idleFlags are the frame's deferred work.
    BOOL OnToolkitMessage(UINT message, WPARAM wParam, LPARAM& lParam, LRESULT* result, UINT idleFlags);
    BOOL OfferMenuPlugInCommand(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);
    // A modal loop waits (why: MSGF_DIALOGBOX or MSGF_MENU). While the bars are customised inside
    // a dialog, a layout left for idle time is done at once.
    virtual void OnEnterIdle(UINT why, CWnd* who, UINT idleFlags);
    // The menu the window is made with: none beside a menu bar (the frame keeps the handle).
    HMENU WindowMenu(DWORD style, HMENU menu) const;

    // Makes the strips of the sides in dockStyle, each docked on its side and hidden.
    void EnableAutoHideStrips(DWORD dockStyle);
    // Docks a strip, or a pinned bar, on its side.
    virtual void DockOnSide(CControlBar* bar, UINT dockBarId);

private:
    void ReloadToolBarImages();
    // Floats the bar hidden beside the strip of that side and gives it a button there.
    BOOL ParkOnStrip(SECControlBar* bar, DWORD side);

    CFrameWnd& m_frame;
    SECFrameMenuBar* m_pMenuBar = nullptr;
    std::unique_ptr<SECFrameMenuPlugIn> m_pMenuPlugIn;
    std::vector<UINT> m_menuBitmaps; // tool-bar resources given before the plug-in existed
    BOOL m_bBmpMenus = FALSE;
    COLORREF m_clrMenuBitmap = RGB(0xC0, 0xC0, 0xC0);
    BOOL m_bUseMenuBitmapColor = FALSE;
    SECToolBarManager* m_pToolBarManager = nullptr;
    std::array<SECAutoHideBar, 4> m_autoHideBars; // left, top, right, bottom
};
