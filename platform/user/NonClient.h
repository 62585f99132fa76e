#pragma once
// The classic non-client area (internal to platform/user): frame widths, the caption and its
// buttons, the menu bar and scroll-bar strips, hit testing and drawing.

#include "platform/user/WindowTree.h"

namespace fln::user {

struct FrameLayout {
    RECT client;        // window coordinates
    RECT caption;       // empty without a caption
    RECT closeButton;   // empty when absent
    RECT maxButton;
    RECT minButton;
    RECT sysMenu;
    RECT menuBar;       // empty without a menu
    RECT verticalBar;   // scroll-bar strips
    RECT horizontalBar;
    int frameWidth = 0; // border width outside the caption
    bool sizing = false;
};

FrameLayout LayoutFrame(const Window& window);
int HitTestFrame(const Window& window, POINT windowPoint);
void DrawFrame(Window& window, HDC windowDC, bool active);
void DrawMenuBarItems(Window& window, HDC windowDC, const RECT& bar, int hotItem);

} // namespace fln::user
