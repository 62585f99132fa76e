// The window-style words and standard dialog ids the resource scripts use, with the values of
// platform/user (app/tests/WindowStylesTest.cpp checks that they agree).
#pragma once

#define WS_TABSTOP            0x00010000L
#define WS_GROUP              0x00020000L
#define WS_SYSMENU            0x00080000L
#define WS_VSCROLL            0x00200000L
#define WS_CAPTION            0x00C00000L
#define WS_CLIPSIBLINGS       0x04000000L
#define WS_DISABLED           0x08000000L
#define WS_VISIBLE            0x10000000L
#define WS_CHILD              0x40000000L
#define WS_POPUP              0x80000000L
#define DS_SETFONT            0x40L
#define DS_MODALFRAME         0x80L
#define DS_CONTROL            0x400L
#define DS_CENTER             0x800L
#define BS_AUTOCHECKBOX       0x0003L
#define BS_AUTORADIOBUTTON    0x0009L
#define BS_OWNERDRAW          0x000BL
#define BS_RIGHT              0x0200L
#define BS_PUSHLIKE           0x1000L
#define ES_MULTILINE          0x0004L
#define ES_AUTOVSCROLL        0x0040L
#define ES_AUTOHSCROLL        0x0080L
#define ES_READONLY           0x0800L
#define ES_NUMBER             0x2000L
#define SS_NOPREFIX           0x80L
#define SS_NOTIFY             0x100L
#define SS_CENTERIMAGE        0x200L
#define SS_SUNKEN             0x1000L
#define LBS_NOTIFY            0x0001L
#define LBS_NOINTEGRALHEIGHT  0x0100L
#define CBS_SIMPLE            0x0001L
#define CBS_DROPDOWN          0x0002L
#define CBS_DROPDOWNLIST      0x0003L
#define CBS_AUTOHSCROLL       0x0040L
#define UDS_SETBUDDYINT       0x0002L
#define UDS_ALIGNRIGHT        0x0004L
#define UDS_ARROWKEYS         0x0020L
#define IDOK                  1
#define IDCANCEL              2
#define IDC_STATIC            -1
