#pragma once
// Printer device contexts. A printer DC draws a page in device pixels at the printer's resolution
// (GetDeviceCaps tells the sheet, the printable area and the dots per inch) and puts each finished
// page into a PDF document, text kept as text, freeing the page's own surfaces as it goes. EndDoc
// writes that document to the file (the PDF printer) or hands it to CUPS as a job; a document that
// fails, is aborted or is cut short by a kill leaves no file behind.

#include "platform/gdi/Gdi.h"
#include "platform/print/PrintTypes.h"

#include <string>

// A DC for the named printer (null or empty: the default printer) with these settings (null: the
// printer's defaults). `output` is the PDF printer's file, used when the document names none.
// Null when there is no such printer; delete it with DeleteDC.
HDC CreatePrinterDC(LPCWSTR device, LPCWSTR output, const DEVMODEW* devMode);
// The settings a printer starts with: A4 or Letter by the user's paper, portrait, one copy, 600 dpi.
DEVMODEW DefaultDevMode(LPCWSTR device);

int StartDocW(HDC dc, const DOCINFOW* info); // the job's number, or SP_ERROR
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
using ABORTPROC = BOOL (*)(HDC dc, int error);
// The application's abort procedure, called after each page and by QueryAbort: there the program
// handles its messages while it prints, and answers FALSE to end the job. EndPage then removes the
// document and answers SP_APPABORT.
int SetAbortProc(HDC dc, ABORTPROC proc);
// What the abort procedure answers now (TRUE without one): FALSE when the job is to end.
BOOL QueryAbort(HDC dc, DWORD reserved);
inline constexpr auto& StartDoc = StartDocW;

namespace fln::print {

// The sheet of a printer with these settings, in its device pixels.
struct PageGeometry {
    SIZE dpi {};
    SIZE paper {};
    RECT printable {}; // within the sheet
};
PageGeometry GeometryOf(const DEVMODEW& mode, bool toFile);

} // namespace fln::print
