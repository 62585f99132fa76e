#pragma once
// The registrar of each common control class, defined in the control's own source file. Each
// registers its class with CS_GLOBALCLASS and returns the atom (0 when it is registered already).

#include "platform/user/WinUser.h"

namespace fln::comctl {

ATOM RegisterUpDownClass();    // UpDown.cpp
ATOM RegisterTabClass();       // Tab.cpp
ATOM RegisterStatusBarClass(); // StatusBar.cpp
ATOM RegisterProgressClass();  // Progress.cpp
ATOM RegisterToolTipClass();  // "tooltips_class32", ToolTip.cpp
ATOM RegisterRichEditClass(); // "RichEdit20W", RichEdit.cpp

} // namespace fln::comctl
