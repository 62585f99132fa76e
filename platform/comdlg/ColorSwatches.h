#pragma once
// "ColorSwatches": a grid of colour cells, eight to a row, one of them selected. Arrows, Home and
// End move the selection, a click selects; each change by the user sends WM_COMMAND with
// SWN_SELCHANGE to the parent. Used for the basic and the custom colours of the colour dialog.

#include "platform/user/WinUser.h"

namespace fln::comdlg {

constexpr const wchar_t* kColorSwatchesClass = L"ColorSwatches";
constexpr UINT SWM_SETCOLORS = WM_USER + 1; // wParam count, lParam const COLORREF*
constexpr UINT SWM_GETCOLOR = WM_USER + 2;  // wParam index; CLR_INVALID when out of range
constexpr UINT SWM_SETCOLOR = WM_USER + 3;  // wParam index, lParam colour
constexpr UINT SWM_SETCURSEL = WM_USER + 4; // wParam index, -1 for none
constexpr UINT SWM_GETCURSEL = WM_USER + 5;
constexpr WORD SWN_SELCHANGE = 1;

void RegisterColorSwatches();

} // namespace fln::comdlg
