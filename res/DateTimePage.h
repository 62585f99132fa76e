// Ids of the Date & Time page's resources and controls, for its resource script and its code.
#pragma once

#define IDD_DATETIME 108

// The answer menus of the eight menu buttons.
#define IDR_DAY_ANSWERS 180
#define IDR_MONTH_ANSWERS 208
#define IDR_WEEK_ANSWERS 226
#define IDR_YEAR_ANSWERS 228
#define IDR_SEASON_ANSWERS 1222
#define IDR_EPOCH_ANSWERS 183
#define IDR_FEAST_ANSWERS 199
#define IDR_MOON_ANSWERS 1145

// The pictures of the two "@" buttons (also the Formula page's, res/FormulaPage.h).
#define IDB_DATE_TO_CALENDAR 175
#define IDB_RESULT_TO_CLIPBOARD 181

// Display area: the input, the result and how it is shown.
#define IDC_DATE_DISPLAY_TABS 247
#define IDC_DATE_INPUT 224
#define IDC_DATE_OUTPUT 277
#define IDC_DATE_COPY_RESULT 1038
#define IDC_OUTPUT_SPAN 1028
#define IDC_OUTPUT_DATE 1029
#define IDC_OUTPUT_JD 1030
#define IDC_UNIT_SPAN 1033
#define IDC_UNIT_DAYS 321
#define IDC_UNIT_HOURS 323
#define IDC_UNIT_MINUTES 325
#define IDC_UNIT_SECONDS 327

// Keypad ("Input Values").
#define IDC_GROUP_DATE_KEYS 1046
#define IDC_DATE_KEY_YEAR 150
#define IDC_DATE_KEY_MONTH 152
#define IDC_DATE_KEY_WEEK 159
#define IDC_DATE_KEY_DAY 178
#define IDC_DATE_KEY_HOUR 182
#define IDC_DATE_KEY_MINUTE 189
#define IDC_DATE_KEY_SECOND 197
// The digits' ids follow each other from IDC_DATE_KEY_0.
#define IDC_DATE_KEY_0 213
#define IDC_DATE_KEY_1 214
#define IDC_DATE_KEY_2 215
#define IDC_DATE_KEY_3 216
#define IDC_DATE_KEY_4 217
#define IDC_DATE_KEY_5 218
#define IDC_DATE_KEY_6 219
#define IDC_DATE_KEY_7 220
#define IDC_DATE_KEY_8 221
#define IDC_DATE_KEY_9 222
#define IDC_DATE_KEY_PLUS 237
#define IDC_DATE_KEY_MINUS 147
#define IDC_DATE_KEY_OPEN 145
#define IDC_DATE_KEY_CLOSE 1380
#define IDC_DATE_KEY_EQUALS 163

// Operands ("Adjust Date && Time:").
#define IDC_GROUP_OPERANDS 1048
#define IDC_SET_LEFT 284
#define IDC_SET_RIGHT 320
#define IDC_OPERAND_DATE 1022
#define IDC_OPERAND_TIME 1024
#define IDC_OPERAND_DATE_TIME 1025

// The moment ("Set Date && Time", "Adjusted Time:").
#define IDC_GROUP_MOMENT 1049
#define IDC_DATE_TIME 1020
#define IDC_NOW 1023
#define IDC_DATE_TO_CALENDAR 1032
#define IDC_SYSTEM_TIME 330
#define IDC_GROUP_ADJUSTED_TIME 1050
#define IDC_TIME_LABEL 1047

// Calendar and moon ("Info Year:").
#define IDC_GROUP_CALENDAR 1051
#define IDC_YEAR_LABEL 1045
#define IDC_CALENDAR 1000
#define IDC_GROUP_MOON 1052
#define IDC_GROUP_ANSWERS 1053
#define IDC_MOON_CLOCK 1039
#define IDC_ANSWERS_DAY 1031
#define IDC_ANSWERS_MONTH 142
#define IDC_ANSWERS_WEEK 143
#define IDC_ANSWERS_YEAR 169
#define IDC_ANSWERS_SEASON 231
#define IDC_ANSWERS_EPOCH 174
#define IDC_ANSWERS_FEAST 229
#define IDC_ANSWERS_MOON 236

// Commands of the page (the edit, font, tooltip and content commands are the Formula page's).
#define ID_DATE_FORMAT_DOTS 45382
#define ID_DATE_FORMAT_DAY_FIRST 45384
#define ID_DATE_FORMAT_MONTH_FIRST 45386
