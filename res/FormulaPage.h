// Ids of the Formula page's resources and controls, for its resource script and its code.
#pragma once

#define IDD_FORMULA 269
#define IDR_PHYSICAL_CONSTANTS 252
#define IDR_NUMBER_FORMAT 32811
#define IDB_KEY_PI 146
#define IDB_KEY_E 296
#define IDB_KEY_ROOT 184
#define IDB_COPY_OUTPUT 181
#define IDB_COPY_DATE 175

// Page area and display buttons.
#define IDC_PAGE_TABS 247
#define IDC_RETURN 1137
#define IDC_MODE_DEC 328
#define IDC_MODE_ROMAN_SHORT 326
#define IDC_MODE_ROMAN_LONG 324
#define IDC_MODE_FRAC 1040
#define IDC_MODE_HEX 1041
#define IDC_MODE_OCT 1042
#define IDC_MODE_BIN 1043
#define IDC_NUMBER_FORMAT 211
#define IDC_FORMULA 224
#define IDC_KEY_X 140
#define IDC_VALUE_X 191
// the fields of the variables A to G
#define IDC_VALUE_A 166
#define IDC_VALUE_B 170
#define IDC_VALUE_C 173
#define IDC_VALUE_D 176
#define IDC_VALUE_E 185
#define IDC_VALUE_F 179
#define IDC_VALUE_G 188
#define IDC_SPIN_X 271
#define IDC_COPY_OUTPUT 322
#define IDC_OUTPUT 277

// Key blocks.
#define IDC_GROUP_FUNCTIONS 258
#define IDC_GROUP_NUMERIC 260
#define IDC_GROUP_CONSTANTS 263
#define IDC_KEY_E 332
#define IDC_KEY_PI 131
#define IDC_KEY_ROOT 1135
#define IDC_DIGITS 392
#define IDC_SPIN_DIGITS 472
#define IDC_KEY_EQUALS 163

// Bottom strip.
#define IDC_GROUP_INTERVAL 266
#define IDC_LABEL_XA 1005
#define IDC_VALUE_XA 273
#define IDC_LABEL_XB 1006
#define IDC_VALUE_XB 275
#define IDC_GROUP_PHYSICAL 1044
#define IDC_PHYS_SELECT 137
#define IDC_PHYS_NAME 1058
#define IDC_PHYS_VALUE 297

// Commands.
#define ID_PHYS_CONST_FIRST 6001
#define ID_PHYS_CONST_LAST 6044
#define ID_FORMAT_FLOATING 32797
#define ID_FORMAT_SCIENTIFIC 32798
#define ID_FORMAT_ENGINEERING 32799
#define ID_FORMAT_TECHNICAL 32800
#define ID_FORMAT_WORDS 45379
#define ID_VIEW_TOOLTIPS 32001
#define ID_VIEW_VERIFY 32776
#define ID_EDIT_DELETE_ALL 32792
#define ID_FONT_LARGE 32802
#define ID_FONT_MEDIUM 32803
#define ID_FONT_SMALL 32804
#define ID_FONT_VERY_SMALL 32805
#define ID_FONT_VERY_LARGE 32806
#define ID_OUTPUT_VOICE 32807
#define ID_STOP_SPEECH 32808
#define ID_FONT_BOLD 32810
#define ID_OUTPUT_SHARED_MEMORY 32817

// The standard edit commands the page answers on its formula.
#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#endif
