#pragma once
// The list box window procedure (internal to platform/user). The combo box's drop-down list is a
// list box made with LBS_COMBOBOX and the combo box as its creation parameter: it then draws its
// items for the combo box's parent, as the combo box's, and leaves the mouse to its own class.

#include "platform/user/WinUser.h"

namespace fln::user {

LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window-extra bytes the list box keeps its state in; a class built on it puts its own after.
constexpr int kListBoxExtraBytes = sizeof(void*);

} // namespace fln::user
