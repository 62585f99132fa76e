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
#define IDC_SPIN_X 271
#define IDC_COPY_OUTPUT 322
#define IDC_OUTPUT 277

// Key blocks: the function keys.
#define IDC_GROUP_FUNCTIONS 258
#define IDC_KEY_SIN 109
#define IDC_KEY_ARCSIN 110
#define IDC_KEY_SINH 111
#define IDC_KEY_ARSINH 112
#define IDC_KEY_COS 113
#define IDC_KEY_ARCCOS 114
#define IDC_KEY_COSH 115
#define IDC_KEY_ARCOSH 116
#define IDC_KEY_TAN 117
#define IDC_KEY_ARCTAN 118
#define IDC_KEY_TANH 119
#define IDC_KEY_ARTANH 120
#define IDC_KEY_COT 223
#define IDC_KEY_EXP 121
#define IDC_KEY_LN 122
#define IDC_KEY_INT 123
#define IDC_KEY_ABS 124
#define IDC_KEY_TEN_POWER 125
#define IDC_KEY_LOG 126
#define IDC_KEY_RAD 127
#define IDC_KEY_DEG 128
#define IDC_KEY_SQUARE 130
#define IDC_KEY_SIGN 132
#define IDC_KEY_SQR 133

// The numeric keys; the digits' ids follow each other from IDC_KEY_0.
#define IDC_KEY_0 213
#define IDC_KEY_1 214
#define IDC_KEY_2 215
#define IDC_KEY_3 216
#define IDC_KEY_4 217
#define IDC_KEY_5 218
#define IDC_KEY_6 219
#define IDC_KEY_7 220
#define IDC_KEY_8 221
#define IDC_KEY_9 222
#define IDC_KEY_POINT 160
#define IDC_KEY_PLUS 237
#define IDC_KEY_MINUS 147
#define IDC_KEY_TIMES 171
#define IDC_KEY_DIVIDE 164
#define IDC_KEY_POWER 162
#define IDC_KEY_PAREN_OPEN 145
#define IDC_KEY_PAREN_CLOSE 1380
#define IDC_KEY_BRACE_OPEN 196
#define IDC_KEY_BRACE_CLOSE 198
#define IDC_KEY_BRACKET_OPEN 201
#define IDC_KEY_BRACKET_CLOSE 203
#define IDC_GROUP_NUMERIC 260
#define IDC_GROUP_CONSTANTS 263
#define IDC_KEY_E 332
#define IDC_KEY_PI 131
#define IDC_KEY_ROOT 1135
#define IDC_DIGITS 392
#define IDC_SPIN_DIGITS 472
#define IDC_KEY_EQUALS 163

// The constants A to G: the key that puts the name into the formula, the value field, its up-down
// and the button that drops the physical constants down into the field.
#define IDC_PUT_A 187
#define IDC_PUT_B 195
#define IDC_PUT_C 225
#define IDC_PUT_D 227
#define IDC_PUT_E 230
#define IDC_PUT_F 240
#define IDC_PUT_G 155
#define IDC_VALUE_A 166
#define IDC_VALUE_B 170
#define IDC_VALUE_C 173
#define IDC_VALUE_D 176
#define IDC_VALUE_E 185
#define IDC_VALUE_F 179
#define IDC_VALUE_G 188
#define IDC_SPIN_A 267
#define IDC_SPIN_B 2500
#define IDC_SPIN_C 2501
#define IDC_SPIN_D 2502
#define IDC_SPIN_E 2503
#define IDC_SPIN_F 253
#define IDC_SPIN_G 256
#define IDC_PHYS_TO_A 210
#define IDC_PHYS_TO_B 234
#define IDC_PHYS_TO_C 154
#define IDC_PHYS_TO_D 245
#define IDC_PHYS_TO_E 158
#define IDC_PHYS_TO_F 248
#define IDC_PHYS_TO_G 161

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

#ifdef __cplusplus
// The value fields of the constants A to G, in that order.
inline constexpr unsigned ConstantFieldIds[] = { IDC_VALUE_A, IDC_VALUE_B, IDC_VALUE_C, IDC_VALUE_D, IDC_VALUE_E,
    IDC_VALUE_F, IDC_VALUE_G };
#endif
