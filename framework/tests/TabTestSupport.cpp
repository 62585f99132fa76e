// The tab listener's message map, defined once for the folder's test program.

#include "framework/tests/TabTestSupport.h"

BEGIN_MESSAGE_MAP(TabListener, CFrameWnd)
    ON_MESSAGE(WM_TABACTIVATED, OnActivated)
    ON_MESSAGE(WM_TABDBLCLICKED, OnDoubleClicked)
    ON_MESSAGE(WM_TABSELCLEARED, OnSelectionCleared)
    ON_MESSAGE(WM_TABREACTIVATED, OnReactivated)
END_MESSAGE_MAP()
