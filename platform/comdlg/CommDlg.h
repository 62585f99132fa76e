#pragma once
// The common dialogs: choosing a file to open or save, a font, and a colour. Each runs modally
// over its owner and answers TRUE when the user confirmed; FALSE with CommDlgExtendedError() 0
// means the user cancelled, any other code names what was wrong with the request.

#include "platform/gdi/GdiTypes.h"
#include "platform/user/CommonDialogErrors.h"
#include "platform/user/WinUser.h"

// ---- errors (CommDlgExtendedError; the shared ones in CommonDialogErrors.h)
constexpr DWORD CDERR_NOTEMPLATE = 0x0003, CDERR_LOADSTRFAILURE = 0x0005, CDERR_FINDRESFAILURE = 0x0006, CDERR_LOADRESFAILURE = 0x0007,
                CDERR_DIALOGFAILURE = 0xFFFF;
constexpr DWORD FNERR_SUBCLASSFAILURE = 0x3001, FNERR_INVALIDFILENAME = 0x3002, FNERR_BUFFERTOOSMALL = 0x3003;
constexpr DWORD CFERR_NOFONTS = 0x2001, CFERR_MAXLESSTHANMIN = 0x2002;
DWORD CommDlgExtendedError();

// Common hook procedure of the three dialogs: gets the dialog's messages first; TRUE takes one.
using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// ---- file dialogs
constexpr DWORD OFN_READONLY = 0x00000001, OFN_OVERWRITEPROMPT = 0x00000002, OFN_HIDEREADONLY = 0x00000004,
                OFN_NOCHANGEDIR = 0x00000008, OFN_SHOWHELP = 0x00000010, OFN_ENABLEHOOK = 0x00000020,
                OFN_ENABLETEMPLATE = 0x00000040, OFN_NOVALIDATE = 0x00000100, OFN_EXTENSIONDIFFERENT = 0x00000400,
                OFN_PATHMUSTEXIST = 0x00000800, OFN_FILEMUSTEXIST = 0x00001000, OFN_CREATEPROMPT = 0x00002000,
                OFN_NOREADONLYRETURN = 0x00008000, OFN_EXPLORER = 0x00080000, OFN_ENABLESIZING = 0x00800000;

using LPOFNHOOKPROC = LPCCHOOKPROC;

struct OPENFILENAMEW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;       // pairs of "description\0pattern;pattern\0", ended by an empty one
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;        // 1-based; 0 takes the first
    LPWSTR lpstrFile;          // in: the initial name; out: the full path of the choice
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;     // out: the name without its folder
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;          // out: where the name starts in lpstrFile
    WORD nFileExtension;       // out: where the extension starts (0: none)
    LPCWSTR lpstrDefExt;       // added to a typed name without extension
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;
using OPENFILENAME = OPENFILENAMEW;
using LPOPENFILENAME = LPOPENFILENAMEW;

BOOL GetOpenFileNameW(LPOPENFILENAMEW request);
BOOL GetSaveFileNameW(LPOPENFILENAMEW request);
inline BOOL GetOpenFileName(LPOPENFILENAMEW request) { return GetOpenFileNameW(request); }
inline BOOL GetSaveFileName(LPOPENFILENAMEW request) { return GetSaveFileNameW(request); }

// ---- colour dialog
constexpr DWORD CC_RGBINIT = 0x01, CC_FULLOPEN = 0x02, CC_PREVENTFULLOPEN = 0x04, CC_SHOWHELP = 0x08,
                CC_ENABLEHOOK = 0x10, CC_ENABLETEMPLATE = 0x20, CC_ENABLETEMPLATEHANDLE = 0x40,
                CC_SOLIDCOLOR = 0x80, CC_ANYCOLOR = 0x100;

struct CHOOSECOLORW {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;        // in with CC_RGBINIT: the colour selected first; out: the choice
    COLORREF* lpCustColors;    // 16 custom colours, kept by the caller and updated on OK
    DWORD Flags;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
};
using LPCHOOSECOLORW = CHOOSECOLORW*;
using CHOOSECOLOR = CHOOSECOLORW;

BOOL ChooseColorW(LPCHOOSECOLORW request);
inline BOOL ChooseColor(LPCHOOSECOLORW request) { return ChooseColorW(request); }

// ---- font dialog
constexpr DWORD CF_SCREENFONTS = 0x00000001, CF_PRINTERFONTS = 0x00000002, CF_BOTH = 0x00000003,
                CF_SHOWHELP = 0x00000004, CF_ENABLEHOOK = 0x00000008, CF_ENABLETEMPLATE = 0x00000010,
                CF_ENABLETEMPLATEHANDLE = 0x00000020, CF_INITTOLOGFONTSTRUCT = 0x00000040,
                CF_USESTYLE = 0x00000080, CF_EFFECTS = 0x00000100, CF_APPLY = 0x00000200,
                CF_ANSIONLY = 0x00000400, CF_SCRIPTSONLY = CF_ANSIONLY, CF_NOVECTORFONTS = 0x00000800,
                CF_NOSIMULATIONS = 0x00001000, CF_LIMITSIZE = 0x00002000, CF_FIXEDPITCHONLY = 0x00004000,
                CF_WYSIWYG = 0x00008000, CF_FORCEFONTEXIST = 0x00010000, CF_SCALABLEONLY = 0x00020000,
                CF_TTONLY = 0x00040000, CF_NOFACESEL = 0x00080000, CF_NOSTYLESEL = 0x00100000,
                CF_NOSIZESEL = 0x00200000, CF_SELECTSCRIPT = 0x00400000, CF_NOSCRIPTSEL = 0x00800000,
                CF_NOVERTFONTS = 0x01000000;
constexpr WORD SCREEN_FONTTYPE = 0x2000, PRINTER_FONTTYPE = 0x4000, BOLD_FONTTYPE = 0x0100,
               ITALIC_FONTTYPE = 0x0200, REGULAR_FONTTYPE = 0x0400;

struct CHOOSEFONTW {
    DWORD lStructSize;
    HWND hwndOwner;
    HDC hDC;
    LOGFONTW* lpLogFont;       // in with CF_INITTOLOGFONTSTRUCT: the font selected first; out: the choice
    INT iPointSize;            // out: the size in tenths of a point
    DWORD Flags;
    COLORREF rgbColors;        // with CF_EFFECTS: the text colour, in and out
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;    // with CF_ENABLETEMPLATE: a dialog resource of hInstance
    HINSTANCE hInstance;
    LPWSTR lpszStyle;
    WORD nFontType;
    INT nSizeMin;
    INT nSizeMax;
};
using LPCHOOSEFONTW = CHOOSEFONTW*;
using CHOOSEFONT = CHOOSEFONTW;

BOOL ChooseFontW(LPCHOOSEFONTW request);
inline BOOL ChooseFont(LPCHOOSEFONTW request) { return ChooseFontW(request); }

// The standard control ids of the dialogs, which a program's own template reuses.
constexpr int stc1 = 0x0440, stc2 = 0x0441, stc3 = 0x0442, stc4 = 0x0443, stc5 = 0x0444, stc6 = 0x0445,
              stc7 = 0x0446, grp1 = 0x0430, grp2 = 0x0431, chx1 = 0x0410, chx2 = 0x0411, cmb1 = 0x0470,
              cmb2 = 0x0471, cmb3 = 0x0472, cmb4 = 0x0473, cmb5 = 0x0474, lst1 = 0x0460, lst2 = 0x0461,
              edt1 = 0x0480, edt2 = 0x0481, edt3 = 0x0482, edt4 = 0x0483, edt5 = 0x0484, edt6 = 0x0485,
              psh1 = 0x0400, psh2 = 0x0401, psh3 = 0x0402, psh15 = 0x040E, pshHelp = psh15;
