#pragma once
// The printing framework of views. A view maps ID_FILE_PRINT and ID_FILE_PRINT_DIRECT to
// CView::OnFilePrint and ID_FILE_PRINT_PREVIEW to CView::OnFilePrintPreview; the framework asks the
// view to prepare (OnPreparePrinting, usually DoPreparePrinting: the print dialog, or the chosen
// printer at once for direct printing and preview), then calls OnBeginPrinting, OnPrepareDC and
// OnPrint for each page, and OnEndPrinting. The printer chosen last is kept for the application.

#include "platform/mfc/Dc.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/WinApp.h" // ID_FILE_PRINT_DIRECT
#include "platform/print/PrintDialogs.h"
#include "platform/print/PrinterDC.h"

class CWnd;

constexpr UINT ID_FILE_PAGE_SETUP = 0xE105, ID_FILE_PRINT_SETUP = 0xE106, ID_FILE_PRINT = 0xE107,
               ID_FILE_PRINT_PREVIEW = 0xE109;
// The framework's messages for a command that could not run, and for a print job that failed.
constexpr UINT AFX_IDP_COMMAND_FAILURE = 0xF109, AFX_IDP_FAILED_TO_START_PRINT = 0xF10A;

// The print dialog as an object. m_pd holds the settings before and the choice after DoModal.
class CPrintDialog : public CObject {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL printSetupOnly,
        DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_NOSELECTION, CWnd* parent = nullptr);

    PRINTDLGW m_pd {};

    virtual INT_PTR DoModal();
    // The default printer's settings into m_pd without showing anything; a DC with PD_RETURNDC.
    BOOL GetDefaults();
    // A DC for the chosen printer, kept in m_pd.hDC (the previous one is deleted).
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    CString GetDeviceName() const;
    CString GetPortName() const; // the PDF printer's file
    const DEVMODEW* GetDevMode() const;
    int GetCopies() const;
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
};

// What one print or preview run knows: the dialog with the printer DC, the pages, the current
// page and the rectangle OnPrint may draw in.
class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo(); // deletes the dialog and its printer DC
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;
    BOOL m_bDirect = FALSE;           // no dialog: the chosen printer at once
    BOOL m_bPreview = FALSE;
    BOOL m_bContinuePrinting = TRUE;  // OnPrepareDC clears it to end a run of unknown length
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;      // 1 or 2
    CString m_strPageDesc = L"Page %u\nPages %u-%u\n";
    LPVOID m_lpUserData = nullptr;
    CRect m_rectDraw;                 // logical units, set before each OnPrint

    void SetMinPage(UINT page) { m_pPD->m_pd.nMinPage = static_cast<WORD>(page); }
    void SetMaxPage(UINT page) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(page); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    // The pages to print: the dialog's range, or all pages.
    UINT GetFromPage() const;
    UINT GetToPage() const;
};

// The box shown while a view prints: the document, where it goes, the page being printed of how
// many, and Cancel. Cancel, Esc, or a WM_CLOSE to the box (what a request to end the program sends
// the main window's modal windows) cancels the run: the print loop handles messages between pages
// through the printer DC's abort procedure, sees the cancel there, and drops the unfinished
// document.
class CPrintingDialog : public CDialog {
public:
    static constexpr int kDocumentId = 1000, kDestinationId = 1001, kPageId = 1002;

    CPrintingDialog() = default;
    // Shows the box over parent (which stays as it is: the run disables it).
    BOOL Create(const CString& document, const CString& destination, CWnd* parent);
    // "Page 3 of 80"; the count is left out for a run of unknown length (lastPage 0xFFFF).
    void ShowPage(UINT page, UINT lastPage);
    bool IsCancelled() const { return m_cancelled; }
    void OnCancel() override { m_cancelled = true; }

private:
    bool m_cancelled = false;
};

// The application's printer: the one the user chose last, else the default printer. Both
// functions show the printer's own warning when there is none and answer FALSE/IDCANCEL.
BOOL AfxGetPrinterDeviceDefaults(PRINTDLGW* settings);
INT_PTR AfxDoPrintDialog(CPrintDialog* dialog);
// Makes these settings the application's printer (takes ownership of both blocks).
void AfxSelectPrinter(HGLOBAL devNames, HGLOBAL devMode);
// The Print Setup and Page Setup commands.
void AfxFilePrintSetup();
void AfxFilePageSetup();
