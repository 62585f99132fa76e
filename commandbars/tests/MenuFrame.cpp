// The menu test frame's message map, defined once for the folder's test program.

#include "commandbars/tests/MenuFrame.h"

BEGIN_MESSAGE_MAP(MenuFrame, SECFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(2100, 2199, OnMenuCommand)
    ON_UPDATE_COMMAND_UI(ID_MB_PASTE, OnUpdatePaste)
END_MESSAGE_MAP()
