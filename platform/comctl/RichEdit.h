#pragma once
// The rich edit's messages, notifications and structures: the read-only "RichEdit20W" shows rich
// text (RTF) or plain text streamed in through a callback, lets the user select and copy it, and
// tells its parent the size its text needs. Names and numeric values are the documented ones.

#include "platform/user/WinUser.h"

constexpr wchar_t RICHEDIT_CLASSW[] = L"RichEdit20W";

constexpr UINT EM_EXGETSEL = WM_USER + 52, EM_EXSETSEL = WM_USER + 55, EM_GETEVENTMASK = WM_USER + 59,
               EM_REQUESTRESIZE = WM_USER + 65, EM_SETBKGNDCOLOR = WM_USER + 67, EM_SETEVENTMASK = WM_USER + 69,
               EM_STREAMIN = WM_USER + 73;

// Event mask bits (EM_SETEVENTMASK) and the notification they allow (WM_NOTIFY to the parent).
constexpr DWORD ENM_NONE = 0x0, ENM_CHANGE = 0x1, ENM_UPDATE = 0x2, ENM_SCROLL = 0x4, ENM_KEYEVENTS = 0x10000,
                ENM_MOUSEEVENTS = 0x20000, ENM_REQUESTRESIZE = 0x40000, ENM_SELCHANGE = 0x80000;
constexpr UINT EN_REQUESTRESIZE = 0x0701;

// Stream formats (EM_STREAMIN wParam).
constexpr WPARAM SF_TEXT = 0x1, SF_RTF = 0x2;

// Fills `buffer` with up to `size` bytes and sets `*written`; 0 at the end ends the stream, and a
// non-zero answer stops it as an error, which EDITSTREAM::dwError then holds.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written);
struct EDITSTREAM {
    DWORD_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
};

// Character positions; cpMin 0 and cpMax -1 mean all the text, cpMin -1 no selection.
struct CHARRANGE {
    LONG cpMin;
    LONG cpMax;
};

// EN_REQUESTRESIZE: the window rectangle, in the parent's client coordinates, that shows all the
// text at the control's wrapping width.
struct REQRESIZE {
    NMHDR nmhdr;
    RECT rc;
};
