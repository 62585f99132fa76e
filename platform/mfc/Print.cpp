// The printing framework: the print dialog object, print information, the application's printer
// and the print loop of views.

#include "platform/mfc/Print.h"

#include "platform/base/MessageBox.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/print/DialogTemplate.h"
#include "platform/print/Printers.h"
#include "platform/sys/Folders.h"
#include "platform/sys/WaitSources.h"

using namespace fln::print;

IMPLEMENT_DYNAMIC(CPrintDialog, CObject)

// ---- CPrintDialog

CPrintDialog::CPrintDialog(BOOL printSetupOnly, DWORD flags, CWnd* parent)
{
    m_pd.lStructSize = sizeof(PRINTDLGW);
    m_pd.Flags = flags | (printSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
    m_pd.hwndOwner = parent ? parent->m_hWnd : nullptr;
    m_pd.nCopies = 1;
}

INT_PTR CPrintDialog::DoModal()
{
    if (!m_pd.hwndOwner)
        if (CWnd* main = AfxGetMainWnd())
            m_pd.hwndOwner = main->m_hWnd;
    return ::PrintDlgW(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    DWORD flags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    BOOL found = ::PrintDlgW(&m_pd);
    m_pd.Flags = flags;
    return found;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDC)
        ::DeleteDC(m_pd.hDC);
    auto* mode = m_pd.hDevMode ? static_cast<const DEVMODEW*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
    m_pd.hDC = ::CreatePrinterDC(DeviceNameOf(m_pd.hDevNames).c_str(), OutputNameOf(m_pd.hDevNames).c_str(), mode);
    if (mode)
        ::GlobalUnlock(m_pd.hDevMode);
    return m_pd.hDC;
}

CString CPrintDialog::GetDeviceName() const { return CString(DeviceNameOf(m_pd.hDevNames).c_str()); }

CString CPrintDialog::GetPortName() const { return CString(OutputNameOf(m_pd.hDevNames).c_str()); }

const DEVMODEW* CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode ? static_cast<const DEVMODEW*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES)
        if (const DEVMODEW* mode = GetDevMode())
            return mode->dmCopies;
    return m_pd.nCopies;
}

// ---- CPrintInfo

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION))
{
    SetMinPage(1);
    SetMaxPage(0xFFFF);
    m_pPD->m_pd.nFromPage = 1;
    m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    if (m_pPD->m_pd.hDC)
        ::DeleteDC(m_pPD->m_pd.hDC);
    delete m_pPD;
}

UINT CPrintInfo::GetFromPage() const { return m_pPD->PrintRange() ? m_pPD->m_pd.nFromPage : GetMinPage(); }

UINT CPrintInfo::GetToPage() const { return m_pPD->PrintRange() ? m_pPD->m_pd.nToPage : GetMaxPage(); }

// ---- the printing box

BOOL CPrintingDialog::Create(const CString& document, const CString& destination, CWnd* parent)
{
    DialogTemplate layout(L"Printing", 180, 74);
    layout.add(DialogTemplate::Kind::Static, document.GetString(), kDocumentId, SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS, 8, 8, 164, 8);
    layout.add(DialogTemplate::Kind::Static, destination.GetString(), kDestinationId, SS_CENTER | SS_NOPREFIX | SS_PATHELLIPSIS, 8, 20, 164, 8);
    layout.add(DialogTemplate::Kind::Static, L"", kPageId, SS_CENTER | SS_NOPREFIX, 8, 36, 164, 8);
    layout.add(DialogTemplate::Kind::Button, L"Cancel", IDCANCEL, BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 52, 50, 14);
    if (!CreateIndirect(layout.get(), parent))
        return FALSE;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CPrintingDialog::ShowPage(UINT page, UINT lastPage)
{
    CString text;
    if (lastPage == 0xFFFF)
        text.Format(L"Page %u", page);
    else
        text.Format(L"Page %u of %u", page, lastPage);
    ::SetDlgItemTextW(m_hWnd, kPageId, text);
}

namespace {

// One print run of a view as the user sees it: the printing box up, the main window disabled, and
// the printer DC's abort procedure handling the program's messages between pages; all undone when
// the run ends.
class PrintingRun {
public:
    PrintingRun(HDC dc, const CString& document, const CString& destination)
        : m_main(AfxGetMainWnd())
    {
        m_box.Create(document, destination, m_main);
        m_reenableMain = m_main && m_main->m_hWnd && !m_main->EnableWindow(FALSE);
        s_current = this;
        ::SetAbortProc(dc, &PrintingRun::HandleMessages);
    }
    ~PrintingRun()
    {
        s_current = nullptr;
        // The main window first, so that it is active again when the box goes.
        if (m_reenableMain)
            m_main->EnableWindow(TRUE);
        m_box.DestroyWindow();
    }
    PrintingRun(const PrintingRun&) = delete;
    PrintingRun& operator=(const PrintingRun&) = delete;

    void ShowPage(UINT page, UINT lastPage) { m_box.ShowPage(page, lastPage); }

private:
    // The abort procedure: the program's messages (its paints, the box's Cancel, a request to end
    // the program, which arrives through the wait sources) are handled; FALSE once cancelled.
    static BOOL HandleMessages(HDC, int)
    {
        return s_current ? s_current->handleMessages() : TRUE;
    }
    bool handleMessages()
    {
        DispatchReadyWaitSources();
        MSG message;
        while (!m_box.IsCancelled() && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam)); // for the main loop
                m_box.OnCancel();
            } else if (!m_box.m_hWnd || !m_box.PreTranslateMessage(&message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        return !m_box.IsCancelled();
    }

    static inline PrintingRun* s_current = nullptr;
    CWnd* m_main;
    CPrintingDialog m_box;
    bool m_reenableMain = false;
};

} // namespace

// ---- the application's printer

namespace {

// The settings the user chose last; the dialogs get copies of these handles and give them back.
struct PrinterChoice {
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;

    ~PrinterChoice() { forget(); }
    void forget()
    {
        if (devMode)
            ::GlobalFree(devMode);
        if (devNames)
            ::GlobalFree(devNames);
        devMode = devNames = nullptr;
    }
    void lend(PRINTDLGW& settings) const
    {
        settings.hDevMode = devMode;
        settings.hDevNames = devNames;
    }
    // Keeps what a dialog handed back (it may have replaced the blocks it was lent).
    void take(PRINTDLGW& settings)
    {
        if (settings.hDevMode != devMode && devMode)
            ::GlobalFree(devMode);
        if (settings.hDevNames != devNames && devNames)
            ::GlobalFree(devNames);
        devMode = settings.hDevMode;
        devNames = settings.hDevNames;
    }
};

PrinterChoice& printerChoice()
{
    static PrinterChoice choice;
    return choice;
}

HWND mainWindow()
{
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

// Where a document printed to the PDF printer goes when no file was chosen: the user's documents
// folder, named after the document.
CString defaultPdfFile(const CString& title)
{
    std::wstring name = title.IsEmpty() ? L"Untitled" : std::wstring(title.GetString());
    for (wchar_t& c : name)
        if (c == L'/')
            c = L'_';
    std::wstring folder = Utf8ToWide(SpecialFolder(CSIDL_PERSONAL)).value_or(L"");
    return CString((folder + L"/" + name + L".pdf").c_str());
}

} // namespace

BOOL AfxGetPrinterDeviceDefaults(PRINTDLGW* settings)
{
    PrinterChoice& choice = printerChoice();
    if (!choice.devNames || !FindPrinter(DeviceNameOf(choice.devNames))) {
        choice.forget();
        PRINTDLGW defaults {};
        defaults.lStructSize = sizeof(PRINTDLGW);
        defaults.hwndOwner = mainWindow();
        defaults.Flags = PD_RETURNDEFAULT;
        if (!::PrintDlgW(&defaults))
            return FALSE;
        choice.take(defaults);
    }
    choice.lend(*settings);
    return TRUE;
}

INT_PTR AfxDoPrintDialog(CPrintDialog* dialog)
{
    PrinterChoice& choice = printerChoice();
    if (!AfxGetPrinterDeviceDefaults(&dialog->m_pd))
        return IDCANCEL;
    INT_PTR result = dialog->DoModal();
    choice.take(dialog->m_pd);
    return result;
}

void AfxSelectPrinter(HGLOBAL devNames, HGLOBAL devMode)
{
    PRINTDLGW settings {};
    settings.hDevNames = devNames;
    settings.hDevMode = devMode;
    printerChoice().take(settings);
}

void AfxFilePrintSetup()
{
    CPrintDialog dialog(TRUE);
    AfxDoPrintDialog(&dialog);
}

void AfxFilePageSetup()
{
    PrinterChoice& choice = printerChoice();
    PRINTDLGW settings {};
    if (!AfxGetPrinterDeviceDefaults(&settings))
        return;
    PAGESETUPDLGW dialog {};
    dialog.lStructSize = sizeof(PAGESETUPDLGW);
    dialog.hwndOwner = mainWindow();
    dialog.hDevMode = settings.hDevMode;
    dialog.hDevNames = settings.hDevNames;
    ::PageSetupDlgW(&dialog);
    settings.hDevMode = dialog.hDevMode;
    settings.hDevNames = dialog.hDevNames;
    choice.take(settings);
}

// ---- CView

BOOL CView::DoPreparePrinting(CPrintInfo* info)
{
    CPrintDialog* dialog = info->m_pPD;
    if (info->m_bDirect || info->m_bPreview) {
        if (!AfxGetPrinterDeviceDefaults(&dialog->m_pd))
            return FALSE;
        // The dialog borrows the application's blocks; the printer DC is all it keeps.
        HDC dc = dialog->CreatePrinterDC();
        dialog->m_pd.hDevMode = dialog->m_pd.hDevNames = nullptr;
        if (!dc)
            return FALSE;
        dialog->m_pd.nFromPage = static_cast<WORD>(info->GetMinPage());
        dialog->m_pd.nToPage = static_cast<WORD>(info->GetMaxPage());
        return TRUE;
    }
    if (AfxDoPrintDialog(dialog) != IDOK) {
        dialog->m_pd.hDevMode = dialog->m_pd.hDevNames = nullptr;
        return FALSE;
    }
    if (!dialog->m_pd.hDC)
        dialog->CreatePrinterDC();
    // Names and settings stay with the application; the DC and page choice stay here.
    dialog->m_pd.hDevMode = dialog->m_pd.hDevNames = nullptr;
    return dialog->m_pd.hDC != nullptr;
}

BOOL CView::OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }

void CView::OnPrepareDC(CDC* dc, CPrintInfo* info)
{
    if (!info) {
        OnPrepareDC(dc);
        return;
    }
    // A run of unknown length prints one page unless the view says otherwise.
    if (info->GetMaxPage() == 0xFFFF && info->m_nCurPage != 1)
        info->m_bContinuePrinting = FALSE;
}

void CView::OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }

void CView::OnFilePrint()
{
    CPrintInfo info;
    const MSG* message = AfxGetCurrentMessage();
    info.m_bDirect = message && message->message == WM_COMMAND && LOWORD(message->wParam) == ID_FILE_PRINT_DIRECT;
    if (!OnPreparePrinting(&info))
        return;

    CString title = m_pDocument ? m_pDocument->GetTitle() : CString();
    PRINTDLGW chosen {};
    AfxGetPrinterDeviceDefaults(&chosen);
    auto printer = FindPrinter(DeviceNameOf(chosen.hDevNames));
    CString output;
    if (printer && printer->toFile) {
        output = OutputNameOf(chosen.hDevNames).c_str();
        if (output.IsEmpty())
            output = defaultPdfFile(title);
    }
    DOCINFOW document { sizeof(DOCINFOW), title.GetString(), output.IsEmpty() ? nullptr : output.GetString(), nullptr, 0 };

    CDC dc;
    dc.Attach(info.m_pPD->m_pd.hDC);
    bool failed = false;
    {
        const CString destination = output.IsEmpty() ? L"on " + CString(printer ? printer->name.c_str() : L"") : L"to " + output;
        PrintingRun run(dc, title.IsEmpty() ? CString(L"Untitled") : title, destination);
        OnBeginPrinting(&dc, &info);
        // Cancelled while the view prepared its pages: there is no document yet.
        bool cancelled = !::QueryAbort(dc, 0);
        failed = !cancelled && ::StartDocW(dc, &document) == SP_ERROR;
        if (!cancelled && !failed) {
            const UINT last = info.GetToPage();
            for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= last; ++info.m_nCurPage) {
                run.ShowPage(info.m_nCurPage, info.GetMaxPage());
                OnPrepareDC(&dc, &info);
                if (!info.m_bContinuePrinting)
                    break;
                if (::StartPage(dc) < 0) {
                    failed = true;
                    break;
                }
                info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
                ::DPtoLP(dc, reinterpret_cast<POINT*>(&info.m_rectDraw), 2);
                OnPrint(&dc, &info);
                // The messages that came during the page are handled here, in the abort procedure.
                const int ended = ::EndPage(dc);
                if (ended == SP_APPABORT) {
                    cancelled = true; // the document is gone already
                    break;
                }
                if (ended < 0) {
                    failed = true;
                    break;
                }
            }
            if (failed)
                ::AbortDoc(dc);
            else if (!cancelled)
                failed = ::EndDoc(dc) == SP_ERROR;
        }
        OnEndPrinting(&dc, &info);
    }
    dc.Detach();
    if (failed)
        AfxMessageBox(L"The document could not be printed.", MB_OK | MB_ICONEXCLAMATION, AFX_IDP_FAILED_TO_START_PRINT);
}
