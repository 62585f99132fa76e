#pragma once
// What a frame needs of a menu bar made of buttons and of the plug-in that draws its menus and
// routes the keyboard to the bar. Both live in the command-bar layer above; the frame knows them
// only through these interfaces.

#include "framework/WndPlugIn.h"

class CControlBar;
class CFrameWnd;
class SECBmpMgr;

// The frame's menu plug-in: it sees the frame's messages first and draws its menus.
class SECFrameMenuPlugIn : public divuzura::foundation::SECWndPlugIn {
public:
    // The images of a tool-bar resource go beside the menu items of the same commands.
    virtual BOOL LoadToolBarResource(UINT toolBarId) = 0;
    // TRUE while the popup being opened is the frame's system menu.
    virtual BOOL IsTrackingSysMenu() const { return FALSE; }
    // The colour of the images that shows through; without `use`, each image's own corner pixel.
    virtual void SetTransparentColor(COLORREF, BOOL) {}
    // Shares another store of images.
    virtual void SetBmpMgr(SECBmpMgr*) {}
};

class SECFrameMenuBar {
public:
    virtual ~SECFrameMenuBar() = default;
    // The bar's own window, laid out and repainted by the frame.
    virtual CControlBar* GetMenuControlBar() = 0;
    // Shows the buttons of that menu; FALSE when the bar does not know it.
    virtual BOOL SwitchMenu(UINT menuId) = 0;
    // The menu whose buttons show (0 before the first switch).
    virtual UINT GetCurrentMenuId() const = 0;
    // Whether a title of the menu shown lies under the point (client coordinates).
    virtual BOOL IsMenuTitleAt(CPoint point) const = 0;
    // The plug-in that ties this bar to the frame's keyboard and popups; the frame owns it.
    virtual SECFrameMenuPlugIn* CreateMenuPlugIn() = 0;
};
