#pragma once
// The print and page setup dialogs. Both list the printers (Printers.h) and hand back the choice
// as global memory: a DEVMODEW and a DEVNAMES whose output name is the PDF printer's file.
// FALSE means cancelled, or failed when PrintDialogError() is not 0.

#include "platform/print/PrintTypes.h"
#include "platform/user/CommonDialogErrors.h"
#include "platform/user/WinUser.h"

#include <string>

struct PRINTDLGW {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
};
using PRINTDLG = PRINTDLGW;
using LPPRINTDLGW = PRINTDLGW*;

constexpr DWORD PD_ALLPAGES = 0x0, PD_SELECTION = 0x1, PD_PAGENUMS = 0x2, PD_NOSELECTION = 0x4, PD_NOPAGENUMS = 0x8,
                PD_COLLATE = 0x10, PD_PRINTSETUP = 0x40, PD_NOWARNING = 0x80, PD_RETURNDC = 0x100,
                PD_RETURNDEFAULT = 0x400, PD_USEDEVMODECOPIES = 0x40000;

struct PAGESETUPDLGW {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    DWORD Flags;
    POINT ptPaperSize; // thousandths of an inch, or hundredths of a millimetre with PSD_INHUNDREDTHSOFMILLIMETERS
    RECT rtMinMargin;
    RECT rtMargin;
    HINSTANCE hInstance;
    LPARAM lCustData;
};
using PAGESETUPDLG = PAGESETUPDLGW;

constexpr DWORD PSD_DEFAULTMINMARGINS = 0x0, PSD_MINMARGINS = 0x1, PSD_MARGINS = 0x2, PSD_INTHOUSANDTHSOFINCHES = 0x4,
                PSD_INHUNDREDTHSOFMILLIMETERS = 0x8, PSD_DISABLEMARGINS = 0x10, PSD_DISABLEPRINTER = 0x20,
                PSD_DISABLEORIENTATION = 0x100, PSD_RETURNDEFAULT = 0x400, PSD_DISABLEPAPER = 0x200,
                PSD_NOWARNING = 0x80;

// Errors of the print dialogs (PrintDialogError).
constexpr DWORD PDERR_NODEVICES = 0x1007,
                PDERR_NODEFAULTPRN = 0x1008, PDERR_PRINTERNOTFOUND = 0x100B;

BOOL PrintDlgW(PRINTDLGW* dialog);
BOOL PageSetupDlgW(PAGESETUPDLGW* dialog);
inline BOOL PrintDlg(PRINTDLGW* d) { return PrintDlgW(d); }
inline BOOL PageSetupDlg(PAGESETUPDLGW* d) { return PageSetupDlgW(d); }
// Why the last print or page setup dialog failed; 0 when it was cancelled.
DWORD PrintDialogError();

// Control ids of the print dialog, for programs and tests that drive it...
constexpr int IDC_PRINTER_NAME = 1101, IDC_PRINTER_COMMENT = 1102, IDC_PRINT_FILE = 1103, IDC_PRINT_ALL = 1104,
              IDC_PRINT_PAGES = 1105, IDC_PRINT_SELECTION = 1106, IDC_PRINT_FROM = 1107, IDC_PRINT_TO = 1108,
              IDC_PRINT_COPIES = 1109, IDC_PRINT_COLLATE = 1110;
// ... and of the page setup dialog (which shares the printer's).
constexpr int IDC_PAPER_SIZE = 1111, IDC_PORTRAIT = 1112, IDC_LANDSCAPE = 1113, IDC_MARGIN_LEFT = 1114,
              IDC_MARGIN_TOP = 1115, IDC_MARGIN_RIGHT = 1116, IDC_MARGIN_BOTTOM = 1117;

namespace fln::print {

// Global memory holding a copy of the settings, and of the names.
HGLOBAL NewDevMode(const DEVMODEW& mode);
HGLOBAL NewDevNames(const std::wstring& device, const std::wstring& output, bool isDefault);
// The names held by a DEVNAMES block (empty for null).
std::wstring DeviceNameOf(HGLOBAL devNames);
std::wstring OutputNameOf(HGLOBAL devNames);

} // namespace fln::print
