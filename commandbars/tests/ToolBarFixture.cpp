// The tool-bar test frame's message map, defined once for the folder's test program.

#include "commandbars/tests/ToolBarFixture.h"

BEGIN_MESSAGE_MAP(CommandFrame, SECFrameWnd)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnPrompt)
    ON_COMMAND_RANGE(ID_TB_NEW, ID_TB_CALC, OnToolCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_TB_NEW, ID_TB_CALC, OnUpdateTool)
END_MESSAGE_MAP()
