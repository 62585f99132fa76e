// Resource ids of the program's frame, menus, tool bar, icons, About box and strings
// (res/Formulon.rc). The Formula page's own resources are in res/FormulaPage.rc.
#pragma once

#include "GraphPage.h"
#include "ScriptPage.h"

// ---- the main frame: menu 102 (Formula and Date & Time pages), accelerators, tool bar, icon
#define IDR_MAINFRAME               102

// ---- tab icons (the Formula tab shows IDR_MAINFRAME)
#define IDI_DATETIME_TAB            270
#define IDI_GRAPH_TAB               134
#define IDI_SCRIPT_TAB              129

// ---- About box
#define IDD_ABOUTBOX                157
#define IDC_ABOUT_ICON              156
#define IDC_ABOUT_MARQUEE           278
#define IDC_ABOUT_WEBPAGE           265
#define IDC_ABOUT_EMAIL             262
#define IDC_ABOUT_VERSION           2505

// ---- the properties of a link (the hyperlink control's sheet and page)
#define IDD_LINK_PROPERTIES         105
#define IDC_LINK_TEXT               238
#define IDC_LINK_ADDRESS            244
#define IDS_LINK_PROPERTIES         107

// ---- strings
#define IDS_OLE_INIT_FAILED         100
#define IDS_PROGRAM_TITLE           300
#define IDS_LOAD_CONTENT_TITLE      302
#define IDS_SAVE_CONTENT_TITLE      304
#define IDS_SAVE_SCRIPT_QUESTION    305
#define IDS_SHARED_MEMORY_FAILED    306
#define AFX_IDS_APP_TITLE           0xE000

// ---- the status bar's version pane (the lock-key panes use the framework's indicator ids)
#define ID_INDICATOR_VERSION        6999

// ---- commands of the frame and the application
#define ID_TOGGLE_RESIZE_WINDOW     7120
#define ID_UPDATE_CHECK_DONE        7121
#define ID_CHECK_FOR_UPDATE         45367
#define ID_APP_ABOUT                0xE140
#define ID_APP_EXIT                 0xE141
#define ID_VIEW_TOOLBAR             0xE800
#define ID_VIEW_STATUS_BAR          0xE801

// ---- commands that menu 102 and the tool bar carry: the frame's own, then the Formula page's
#define ID_FILE_LOAD_CONTENT        32787
#define ID_FILE_SAVE_CONTENT        32788
#include "FormulaPage.h"
#include "DateTimePage.h"
