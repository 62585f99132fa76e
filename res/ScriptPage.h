// Resource ids of the VBScript page (res/ScriptPage.rc): its menu, its tool bar and their commands,
// and the texts of the page.
#pragma once

// ---- menu 172 and the "VBScriptEditor" tool bar 135 with its images
#define IDR_SCRIPTPAGE              172
#define IDR_SCRIPT_BAR              135

// ---- the tool bar's child id in the main frame (the frame's other bars have their own)
#define IDW_SCRIPT_BAR              0xE811

// ---- the page's commands (Load Content, Save Content and Delete All are shared with the other pages)
#define ID_SCRIPT_RUN               32785
#define ID_SCRIPT_SAVE_AS           32790
#define ID_SCRIPT_INSERT_FORMULA    32793
#define ID_SCRIPT_STOP              32794
// The bar's button after the next bookmark: the page runs the editor's previous-bookmark command
// for it (Shift+F2 in the editor).
#define ID_SCRIPT_BAR_PREVIOUS_BOOKMARK 32773

// ---- the input box of scripts (InputBox)
#define IDD_SCRIPT_INPUT_BOX        2816
#define IDC_INPUT_BOX_PROMPT        2817
#define IDC_INPUT_BOX_TEXT          2818
