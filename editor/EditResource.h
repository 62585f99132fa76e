// Resource ids of the code editor, for its code and its resource script res/Editor.rc.
#pragma once

#define IDB_EDIT_GUTTER             22500
#define IDR_EDIT_ACCEL              22502
#define IDR_EDIT_CONTEXT_MENU       22565
#define IDS_EDIT_INVALIDATE_LINES   22585
#define IDS_EDIT_CANNOT_FIND        22601
#define IDS_EDIT_FINISHED_SEARCH    22602
#define IDS_EDIT_READ_ONLY_REPLACE  22603
#define IDS_EDIT_LINE_TOO_LONG      22604
#define IDS_EDIT_REPLACED_SELECTION 22605
#define IDS_EDIT_REPLACED_DOCUMENT  22606
#define IDS_EDIT_UNTITLED           22607
#define IDS_EDIT_PAGE_NUMBER        22608

// The Find and Replace dialogs and their controls.
#define IDD_EDIT_FIND               22701
#define IDD_EDIT_REPLACE            22702
#define IDC_EDIT_FIND_TEXT          1000
#define IDC_EDIT_REPLACE_TEXT       1001
#define IDC_EDIT_MATCH_CASE         1002
#define IDC_EDIT_REGEXP             1003
#define IDC_EDIT_DIRECTION_FIRST    1004 // Find: "Up"; Replace: "Selection"
#define IDC_EDIT_DIRECTION_SECOND   1005 // Find: "Down"; Replace: "Whole file"
#define IDC_EDIT_MARK_ALL           1008
#define IDC_EDIT_REPLACE            1024
#define IDC_EDIT_REPLACE_ALL        1025
#define IDC_EDIT_WHOLE_WORD         1040

// The font and colour dialog, and the font dialog it opens (standard font dialog ids).
#define IDD_EDIT_FONT_COLOR         22700
#define IDD_EDIT_CHOOSE_FONT        22703
#define IDC_EDIT_COLOR_GROUPS       1000
#define IDC_EDIT_RESET_ALL          1006
#define IDC_EDIT_CHOOSE_FONT        1008
#define IDC_EDIT_SAMPLE             1011
#define IDC_EDIT_FACE_NAME          1012
#define IDC_EDIT_POINT_SIZE         1013
#define IDC_EDIT_FORECOLOR          1025
#define IDC_EDIT_BACKCOLOR          1026
#define IDC_EDIT_FORE_AUTOMATIC     1027
#define IDC_EDIT_BACK_AUTOMATIC     1028

#define ID_EDIT_SELECT_WORD         45003
#define ID_EDIT_EXTEND_WORD_LEFT    45006
#define ID_EDIT_WORD_LEFT           45007
#define ID_EDIT_WORD_RIGHT          45008
#define ID_EDIT_TAB                 45009
#define ID_EDIT_BACKSPACE           45010
#define ID_EDIT_NEWLINE             45011
#define ID_EDIT_DELETE_WORD_RIGHT   45012
#define ID_EDIT_DELETE_CHAR         45013
#define ID_EDIT_DELETE_WORD_LEFT    45004
#define ID_EDIT_EXTEND_WORD_RIGHT   45014
#define ID_EDIT_EXTEND_DOC_END      45015
#define ID_EDIT_EXTEND_DOC_START    45016
#define ID_EDIT_DOC_END             45017
#define ID_EDIT_DOC_START           45018
#define ID_EDIT_LANG_CONFIG         45022
#define ID_EDIT_OVERWRITE           45023
#define ID_EDIT_LINE_UP             45024
#define ID_EDIT_LINE_DOWN           45025
#define ID_EDIT_CHAR_LEFT           45026
#define ID_EDIT_CHAR_RIGHT          45027
#define ID_EDIT_EXTEND_LINE_UP      45028
#define ID_EDIT_EXTEND_LINE_DOWN    45029
#define ID_EDIT_EXTEND_CHAR_LEFT    45030
#define ID_EDIT_EXTEND_CHAR_RIGHT   45031
#define ID_EDIT_PAGE_UP             45032
#define ID_EDIT_PAGE_DOWN           45033
#define ID_EDIT_EXTEND_PAGE_UP      45034
#define ID_EDIT_EXTEND_PAGE_DOWN    45035
#define ID_EDIT_HOME                45036
#define ID_EDIT_END                 45037
#define ID_EDIT_EXTEND_HOME         45038
#define ID_EDIT_SHOW_WHITESPACE     45039
#define ID_EDIT_EXTEND_END          45040
#define ID_EDIT_FIND_NEXT           45041
#define ID_EDIT_FIND_NEXT_WORD      45042
#define ID_EDIT_FIND_PREVIOUS       45043
#define ID_EDIT_FIND_PREVIOUS_WORD  45044
#define ID_EDIT_CUT_LINE            45045
#define ID_EDIT_DELETE_LINE         45046
#define ID_EDIT_LOWER_CASE          45047
#define ID_EDIT_UPPER_CASE          45048
#define ID_EDIT_OUTDENT             45049
#define ID_EDIT_CARET_LINE_CHANGE   45050
#define ID_EDIT_CLEAR_SELECTION     45051
#define ID_EDIT_SCROLL_DOWN         45052
#define ID_EDIT_SCROLL_UP           45053
#define ID_EDIT_TOGGLE_FLAG_FIRST   45250
#define ID_EDIT_TOGGLE_FLAG_16      45266
#define ID_EDIT_TOGGLE_BOOKMARK     45267
#define ID_EDIT_MARK_LINE           45270
#define ID_EDIT_TOGGLE_FLAG_LAST    45282
#define ID_EDIT_NEXT_FLAG_FIRST     45283
#define ID_EDIT_NEXT_BOOKMARK       45300
#define ID_EDIT_NEXT_FLAG_LAST      45315
#define ID_EDIT_PREV_FLAG_FIRST     45316
#define ID_EDIT_PREV_BOOKMARK       45333
#define ID_EDIT_PREV_FLAG_LAST      45348
#define ID_EDIT_CLEAR_FLAG_FIRST    45349
#define ID_EDIT_CLEAR_BOOKMARKS     45366
#define ID_EDIT_CLEAR_FLAG_LAST     45381

// The framework's standard command ids.
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_FIND 57636
#define ID_EDIT_PASTE 57637
#define ID_EDIT_REPLACE 57641
#define ID_EDIT_SELECT_ALL 57642
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_INDICATOR_OVR 59140
#define ID_EDIT_INDICATOR_POSITION 22579
