#pragma once
// The structures that describe a printer, its settings and a document to print.

#include "platform/base/WinTypes.h"

// ---- printer settings
struct DEVMODEW {
    WCHAR dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength; // tenths of a millimetre
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality; // dots per inch when positive
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[32];
};
using DEVMODE = DEVMODEW;
using LPDEVMODEW = DEVMODEW*;
using LPDEVMODE = DEVMODEW*;

constexpr DWORD DM_ORIENTATION = 0x1, DM_PAPERSIZE = 0x2, DM_PAPERLENGTH = 0x4, DM_PAPERWIDTH = 0x8, DM_COPIES = 0x100,
                DM_PRINTQUALITY = 0x400, DM_COLOR = 0x800, DM_DUPLEX = 0x1000, DM_YRESOLUTION = 0x2000, DM_COLLATE = 0x8000;
constexpr short DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2;
constexpr short DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_A3 = 8, DMPAPER_A4 = 9, DMPAPER_A5 = 11;
constexpr short DMCOLOR_MONOCHROME = 1, DMCOLOR_COLOR = 2;
constexpr short DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3;

// Driver, device and output names packed after the header; offsets count WCHARs from its start.
struct DEVNAMES {
    WORD wDriverOffset;
    WORD wDeviceOffset;
    WORD wOutputOffset;
    WORD wDefault;
};
using LPDEVNAMES = DEVNAMES*;
constexpr WORD DN_DEFAULTPRN = 0x1;

// ---- documents
struct DOCINFOW {
    int cbSize;
    LPCWSTR lpszDocName;
    LPCWSTR lpszOutput; // a file to print to, or null
    LPCWSTR lpszDatatype;
    DWORD fwType;
};
using DOCINFO = DOCINFOW;

constexpr int SP_ERROR = -1;
constexpr int SP_APPABORT = -2; // the application's abort procedure ended the job

// Errors of printing that GetLastError tells.
constexpr LONG ERROR_INVALID_PRINTER_NAME = 1801;
constexpr LONG ERROR_CANCELLED = 1223; // the job was ended by the application
