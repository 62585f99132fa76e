#pragma once
// The control classes that every program has without registering them. Each control's source
// file defines its registrar; CreateWindowEx registers a system class the first time a window of
// it is asked for, so a program that never makes a list box never registers one.

#include "platform/user/WinUser.h"

namespace fln::user {

// Registers the system class of that name (any case), which must not be registered yet;
// returns whether it was one and is registered now.
bool RegisterSystemClass(LPCWSTR className);

// Each registers one class with CS_GLOBALCLASS and returns its atom (0 on failure).
// Declared here in the order of the table in SystemClasses.cpp.
ATOM RegisterButtonClass();
ATOM RegisterStaticClass();
ATOM RegisterEditClass();
ATOM RegisterDialogClass(); // "#32770", Dialog.cpp
ATOM RegisterListBoxClass();
ATOM RegisterComboBoxClass();
ATOM RegisterComboListClass(); // the drop-down list of combo boxes, "ComboLBox"
ATOM RegisterScrollBarClass();
ATOM RegisterMdiClientClass(); // MdiClient.cpp

} // namespace fln::user
