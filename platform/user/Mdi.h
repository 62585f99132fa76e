#pragma once
// What the MDI client window ("MDICLIENT", MdiClient.cpp) offers the default frame and child
// procedures (MdiDefaults.cpp) and the non-client code. Internal to platform/user.

#include "platform/user/WinUser.h"

namespace fln::user {

// The window menu lists nine children; past them, "More Windows..." (the first child id + 9)
// offers them all.
constexpr int MDI_LISTED_CHILDREN = 9;

// The MDI client a child window belongs to (its parent, when that is one), or null.
HWND MdiClientOf(HWND child);
bool IsMdiClient(HWND window);
// Whether the caption of an MDI child is drawn active: it is its client's active child and the
// frame is the active window.
bool MdiChildCaptionActive(HWND child);

// Sent on by the default child procedure: the child was maximised, restored or minimised
// (a WM_SIZE kind), its title changed, or its window menu command was chosen.
void MdiChildSized(HWND client, HWND child, WPARAM sizeKind);
void MdiChildRetitled(HWND client, HWND child);
// The frame's title changed (WM_SETTEXT through the default frame procedure): TRUE when the
// client has put it on the frame, with the maximised child's title added.
bool MdiFrameRetitled(HWND client, LPCWSTR title);
// A WM_COMMAND of the frame: a window-list entry, "More Windows..." or a system command for the
// maximised child. Returns whether it was one of them.
bool MdiFrameCommand(HWND client, UINT id);

} // namespace fln::user
