#pragma once
// A window's icons (internal to platform/user): WM_SETICON and WM_GETICON, the icon the caption
// shows, and the icons handed to the display for the desktop's task bars.

#include "platform/user/WindowTree.h"

namespace fln::user {

// Stores the icon (ICON_SMALL or ICON_BIG; any other kind changes nothing) and returns the one it
// replaces; the display follows.
HICON SetWindowIcon(Window& window, WPARAM which, HICON icon);
// WM_GETICON: ICON_SMALL2 falls back to the big icon.
HICON GetWindowIcon(const Window& window, WPARAM which);
// Whether the caption shows an icon: a window with a modal dialog frame shows one only when it or
// its class has an icon.
bool HasCaptionIcon(const Window& window);
// The small icon of the caption's system-menu slot: the window's, then its class's, then the
// default application icon.
HICON CaptionIcon(const Window& window);
// Hands the window's icons (its own, else its class's) to the display of a top-level window.
void PublishIcons(const Window& window);

} // namespace fln::user
