#pragma once
// The state object of a system control window, kept in the first window-extra bytes of its class
// (internal to platform/user). The control makes it on WM_NCCREATE and deletes it on WM_NCDESTROY.

#include "platform/user/WinUser.h"

#include <memory>

namespace fln::user {

constexpr int kControlStateBytes = sizeof(void*);

template<typename State>
State* ControlStateOf(HWND window)
{
    return reinterpret_cast<State*>(GetWindowLongPtrW(window, 0));
}

template<typename State>
State* AttachControlState(HWND window, std::unique_ptr<State> state)
{
    SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(state.get()));
    return state.release();
}

template<typename State>
void DetachControlState(HWND window)
{
    std::unique_ptr<State> owned(ControlStateOf<State>(window));
    SetWindowLongPtrW(window, 0, 0);
}

} // namespace fln::user
