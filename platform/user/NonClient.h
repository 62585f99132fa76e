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
// The parts of a scroll bar strip (window coordinates): the two arrows and the thumb; the thumb
// is empty when the bar cannot scroll.
struct ScrollBarParts {
    RECT first;
    RECT last;
    RECT thumb;
    int trackStart = 0; // where the thumb can move, along the bar
    int trackLength = 0;
};
ScrollBarParts LayoutScrollBar(const ScrollBarState& state, const RECT& bar, bool vertical);
// Draws a scroll bar: arrows, the track filled with `track`, and the thumb; a disabled bar shows
// inactive arrows and no thumb.
void DrawScrollBar(HDC dc, const ScrollBarState& state, const RECT& bar, bool vertical, HBRUSH track, bool enabled);

// Takes what the mask of `info` names, keeping the position in range; returns whether the bar
// can scroll (its range is longer than its page).
bool ApplyScrollInfo(ScrollBarState& state, const SCROLLINFO& info);
void ReadScrollInfo(const ScrollBarState& state, SCROLLINFO& info);

// A press on a scroll bar, followed until the button is released: arrows and the page areas send
// their request at once and again on the display clock while the pointer stays on them; the thumb
// follows the pointer. Requests go to `notify` as WM_HSCROLL/WM_VSCROLL with `control` as lParam.
struct ScrollBarPress {
    HWND window;        // takes the capture while the button is down
    HWND notify;
    HWND control;       // the scroll-bar control, or null for a window's own bar
    bool vertical;
    POINT origin;       // where the strip's coordinates start, on the screen
    RECT strip;
    ScrollBarState* (*state)(HWND window); // null once the window is gone
    void (*redraw)(HWND window);
};
void TrackScrollBarPress(const ScrollBarPress& press, POINT screen);
void DrawFrame(Window& window, HDC windowDC, bool active);
// The open item (-1 for none) is drawn sunken.
void DrawMenuBarItems(Window& window, HDC windowDC, const RECT& bar, int openItem);
// Where each item of the window's menu bar lies (window coordinates).
std::vector<RECT> MenuBarItemRects(Window& window, const RECT& bar);

} // namespace fln::user
