// Ids shared by the test script and the tests.
#define IDD_ABOUT                100
#define IDD_OPTIONS              101
#define IDD_STANDARD             102
#define IDR_MAINFRAME            128
#define IDR_CONTEXT              129
#define IDR_EXTENDED             130
#define IDB_PALETTE              140
#define IDB_COLOUR               141
#define IDI_APP                  150
#define IDC_POINTER              151
#define IDR_NOTES                160
#define IDR_BLOB                 161
#define IDS_HELLO                1
#define IDS_LAST_IN_BLOCK        15
#define IDS_ESCAPES              16
#define IDS_UNICODE              200
#define IDS_EMPTY_NEIGHBOUR      202
#define IDC_STATIC               -1
#define IDC_NAME                 1001
#define IDC_EDIT                 1002
#define IDC_CHECK                1003
#define IDC_RADIO                1004
#define IDC_COMBO                1005
#define IDC_LIST                 1006
#define IDC_SCROLL               1007
#define IDC_SPIN                 1008
#define IDC_GROUP                1009
#define IDC_AUTOCHECK            1010
#define IDC_ICON                 1011
#define IDC_RIGHT                1012
#define IDC_CENTRE               1013
#define ID_FILE_NEW              0xE100
#define ID_FILE_OPEN             0xE101
#define ID_EDIT_COPY             0xE122
#define ID_HELP_ABOUT            0xE140
#define ID_VIEW_BIG              32771
#define ID_VIEW_SMALL            32772
#define ID_VIEW_WRAP             32773
#define VK_F1                    0x70
#define VK_DELETE                0x2E
#define VK_INSERT                0x2D

#ifndef WS_POPUP
#define WS_POPUP        0x80000000L
#define WS_CHILD        0x40000000L
#define WS_VISIBLE      0x10000000L
#define WS_CAPTION      0x00C00000L
#define WS_BORDER       0x00800000L
#define WS_SYSMENU      0x00080000L
#define WS_VSCROLL      0x00200000L
#define WS_GROUP        0x00020000L
#define WS_TABSTOP      0x00010000L
#define DS_MODALFRAME   0x80L
#define DS_SETFONT      0x40L
#define DS_SHELLFONT    (0x40L | 0x08L)
#define WS_EX_CLIENTEDGE 0x00000200L
#define ES_AUTOHSCROLL  0x0080L
#define CBS_DROPDOWNLIST 0x0003L
#define LBS_SORT        0x0002L
#define SBS_VERT        0x0001L
#define UDS_ALIGNRIGHT  0x0004L
#define SS_CENTERIMAGE  0x0200L
#define MFT_STRING      0x0000L
#define MFT_RADIOCHECK  0x0200L
#define MFS_CHECKED     0x0008L
#define MFS_GRAYED      0x0003L
#else
#error skipped: an unknown directive in a branch not taken
#endif
