#pragma once
// What every common control's window procedure shares: its state object kept in the window's
// extra bytes, registration of its class, the WM_NOTIFY it sends its parent and the font it draws with.

#include "platform/comctl/CommCtrl.h"

#include <memory>

namespace fln::comctl {

// The state object lives from WM_NCCREATE to WM_NCDESTROY, pointed to by the window's extra bytes.
template<typename State>
State* StateOf(HWND window)
{
    return reinterpret_cast<State*>(GetWindowLongPtrW(window, 0));
}

template<typename State>
State* AttachState(HWND window, std::unique_ptr<State> state)
{
    SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(state.get()));
    return state.release();
}

template<typename State>
void DetachState(HWND window)
{
    delete StateOf<State>(window);
    SetWindowLongPtrW(window, 0, 0);
}

// Registers a global class whose windows keep one state pointer; 0 when it exists already.
ATOM RegisterControlClass(LPCWSTR name, WNDPROC procedure, UINT style = CS_DBLCLKS);

// Fills the header's sender fields and sends WM_NOTIFY to the control's parent; returns its answer.
LRESULT NotifyParent(HWND control, UINT code, NMHDR& header);

// The font set with WM_SETFONT, or the default GUI font.
HFONT FontOr(HFONT font);

} // namespace fln::comctl
