#pragma once
// The record a window fills when asked which tool is under a point (CWnd::OnToolHitTest): the
// window and id of the tool, its rectangle and its text. Values are the documented ones.

#include "platform/user/WinUser.h"

constexpr UINT TTF_IDISHWND = 0x0001, TTF_CENTERTIP = 0x0002, TTF_SUBCLASS = 0x0010, TTF_TRANSPARENT = 0x0100;
// The text is asked for when it is shown.
#define LPSTR_TEXTCALLBACKW (reinterpret_cast<LPWSTR>(static_cast<INT_PTR>(-1)))

struct TTTOOLINFOW {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId; // the tool's window with TTF_IDISHWND
    RECT rect;    // client coordinates of hwnd
    HINSTANCE hinst;
    LPWSTR lpszText; // a text made with malloc is freed with free by whoever asked
    LPARAM lParam;
};
using TOOLINFO = TTTOOLINFOW;
using TOOLINFOW = TTTOOLINFOW;
