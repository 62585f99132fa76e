// Ids shared by the test script and the tests.
#define IDR_MAIN      128
#define IDR_EXTENDED  129
#define IDR_EMPTYKEYS 130
#define IDB_GREYS     140
#define IDB_PALETTE   141
#define IDI_SQUARE    150
#define IDC_HAND_AT   151
#define ID_FILE_NEW   100
#define ID_FILE_OPEN  101
#define ID_VIEW_BIG   102
#define ID_VIEW_SMALL 103
#define ID_HELP_ABOUT 104
#define ID_EDIT_COPY  105
