// Resource ids of the update check: the "Updates" options page, its texts and the result boxes
// (res/Updates.rc).
#pragma once

#define IDD_OPTIONS_UPDATES         25018
#define IDI_UPDATES                 25028
#define IDR_UPDATE_AVAILABLE        25150

// ---- the controls of the "Updates" page
#define IDC_UPDATE_CHECK            25265
#define IDC_UPDATE_NOTE             25266
#define IDC_UPDATE_INTERVAL         25267
#define IDC_UPDATE_CHECK_NOW        25268
#define IDC_UPDATE_RELEASES         25269
#define IDC_UPDATE_DEVELOPMENT      25270
#define IDC_UPDATE_SOURCE           25271

// ---- strings
#define IDS_NEW_DEVELOPMENT_VERSION 25054
#define IDS_NEW_RELEASE_VERSION     25055
#define IDS_UPDATE_NOTE             25121
#define IDS_VERSION_UP_TO_DATE      25134
