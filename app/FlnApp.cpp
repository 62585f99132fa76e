#include "app/FlnApp.h"

#include "app/AboutDlg.h"
#include "app/Application.h"
#include "app/FlnDoc.h"
#include "app/FlnView.h"
#include "app/MainFrm.h"
#include "app/ScriptDialogs.h"
#include "app/VBScriptView.h"
#include "diagrams/D2KSys.h"
#include "editor/ControlContainment.h"
#include "editor/ControlContainmentFramework.h"
#include "editor/EditRegExpSearch.h"
#include "editor/LangConfigStorage.h"
#include "platform/base/MessageBox.h"
#include "platform/base/StringFormat.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/display/Display.h"
#include "platform/com/LocalServer.h"
#include "platform/mfc/CommonDialogs.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/script/ActiveScript.h"
#include "platform/speech/VoiceText.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Module.h"
#include "platform/sys/Mutex.h"
#include "platform/sys/TerminationSignals.h"
#include "platform/sys/WaitSources.h"
#include "res/Formulon.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace {

CFlnApp* g_app = nullptr;

// The main frame's timer that hands a change held back by the snapshot interval to the snapshot.
constexpr UINT_PTR RecoverySnapshotTimer = 0x5253;

constexpr const wchar_t* kScriptFilter = L"VBScript Code (.vbs;.bas)|*.vbs;*.bas|"
                                         L"Text Files (.txt)|*.txt|"
                                         L"All Supported Files (.vbs;.bas;.txt;)|*.vbs;*.bas;*.txt;|"
                                         L"All Files (*.*)|*.*|";

} // namespace

CFlnApp* GetFlnApp()
{
    return g_app;
}

BEGIN_MESSAGE_MAP(CFlnApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CFlnApp::CFlnApp() : CFlnApp(CommandLineArguments())
{
}

CFlnApp::CFlnApp(std::vector<CString> arguments) : CWinApp(L"FLN"), m_arguments(std::move(arguments))
{
    // The class objects exist before anything can ask for them.
    ApplicationFactory();
    DocumentFactory();
    m_pApplication = new CApplication;
    SetApplicationDateParser(&m_DateParser);
    g_app = this;
}

CFlnApp::~CFlnApp()
{
    m_automationIdleTimer.reset();
    if (m_automationSlot)
        SetLocalServerLostHandler({});
    m_pD2KSys.reset();
    if (m_occManager)
        AfxEnableControlContainer(nullptr);
    if (m_pApplication)
        m_pApplication->ExternalRelease();
    m_pApplication = nullptr;
    if (&GetDateParser() == &m_DateParser)
        SetApplicationDateParser(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

BOOL CFlnApp::InitInstance()
{
    const INITCOMMONCONTROLSEX controls { sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    if (!AfxOleInit()) {
        CString text;
        text.LoadString(IDS_OLE_INIT_FAILED);
        AfxMessageBox(text);
        return FALSE;
    }
    ReadSwitches();
    TerminationSignals::LastResort lastResort;
    lastResort.TakeChosenLimits();
    lastResort.act = [this](int signal) {
        std::fprintf(stderr, "formulon: the window did not answer the request to end; ending without it\n");
        m_recoveryCopy.KeepSnapshot();
        ::_exit(128 + signal);
    };
    m_terminationSignals = std::make_unique<TerminationSignals>([this](int) { OnTerminationRequest(); }, std::move(lastResort));
    m_occManager = std::make_unique<SECAScriptOccManager>();
    AfxEnableControlContainer(m_occManager.get());
    SetRegistryKey(L"Formulon");
    LoadStdProfileSettings(6);
    RegisterScriptLanguage();
    // The editor's Find and Replace search with regular expressions through the script runtime.
    SECEditRegExpSearch::Install();
    RegisterScriptClasses();
    InstallScriptDialogs(
        [] {
            if (CFlnApp* app = GetFlnApp())
                if (auto* script = dynamic_cast<CVBScriptView*>(app->GetScriptView()))
                    script->StopScript();
        },
        []() -> HWND {
            CFlnApp* app = GetFlnApp();
            CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
            return frame && frame->m_wndScriptBar.m_hWnd && frame->m_wndScriptBar.IsWindowVisible() ? frame->m_wndScriptBar.m_hWnd : nullptr;
        });
    RegisterSpeechClasses();

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CFlnDoc), RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CFlnView)));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine, m_arguments);
    // The program has no document files: a name on the command line is a parameter file for the
    // Formula page, loaded into a new document.
    if (commandLine.m_nShellCommand == CCommandLineInfo::FileOpen) {
        commandLine.m_nShellCommand = CCommandLineInfo::FileNew;
        std::error_code error;
        const auto absolute = std::filesystem::absolute(commandLine.m_strFileName.ToUtf8(), error);
        m_strStartParameterFile = error ? commandLine.m_strFileName : CString(absolute.string().c_str());
    }

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    m_strModulePath = path;
    m_strModuleDir = GetModuleDirectory();

    if (commandLine.m_bRunEmbedded || commandLine.m_bRunAutomated) {
        m_bStartedForAutomation = TRUE;
        return StartForAutomation();
    }
    // A user's start needs a screen: without one the window would open where nobody sees it.
    if (!ScreenAvailable()) {
        std::fprintf(stderr, "formulon: no X display can be opened: %s\n", X11UnavailableReason().c_str());
        return FALSE;
    }
    if (!ProcessShellCommand(commandLine))
        return FALSE;
    SetDisplayLostHandler([] {
        if (CFlnApp* app = GetFlnApp(); app && app->GetMainFrame())
            app->GetMainFrame()->SaveBeforeTheScreenGoes();
    });

    CMainFrame* frame = GetMainFrame();
    CString title;
    title.LoadString(IDS_PROGRAM_TITLE);
    frame->SetWindowText(title);
    frame->ShowWindow(SW_SHOW);
    // The bars show their commands' states from the first picture on, not from the first idle moment.
    CWinApp::OnIdle(0);
    frame->UpdateWindow();
    // The update check only reads its options here; it checks when the user asks.
    m_Updater.LoadSettings();
    // Writing the registration waits for the disk and publishing opens the session bus: neither
    // holds up the window's first picture.
    m_bPublishPending = true;
    frame->m_bReady = TRUE;
    return TRUE;
}

BOOL CFlnApp::OnIdle(LONG count)
{
    BOOL more = CWinApp::OnIdle(count);
    if (count == 0)
        RefreshRecoverySnapshot();
    // Count 0 updates the bars' command states; by count 1 what that changed is painted.
    if (count >= 1 && std::exchange(m_bPublishPending, false))
        PublishAutomationClasses();
    if (m_automationSlot && !m_automationIdleTimer)
        StartAutomationIdleCountdown();
    return more;
}

void CFlnApp::PublishAutomationClasses()
{
    COleObjectFactory::UpdateRegistryAll(TRUE);
    // While the window is open every client reaches the page the user sees.
    for (COleObjectFactory* factory : { &ApplicationFactory(), &DocumentFactory() }) {
        factory->m_bMultiInstance = FALSE;
        factory->Register();
    }
}

// The headless display stands in for a screen only where it was asked for (tests).
bool CFlnApp::ScreenAvailable()
{
    const char* chosen = std::getenv("FORMULON_DISPLAY");
    return std::strcmp(CurrentDisplay().Name(), "headless") != 0 || (chosen && std::strcmp(chosen, "headless") == 0);
}

// The first request ends the program; the later ones wait for that end.
void CFlnApp::OnTerminationRequest()
{
    if (std::exchange(m_bEndRequested, true))
        return;
    if (CMainFrame* frame = GetMainFrame())
        frame->EndOnRequest();
    else
        PostQuitMessage(0);  // a server for automation: its clients lose their objects either way
}

void CFlnApp::RefreshRecoverySnapshot()
{
    CMainFrame* frame = GetMainFrame();
    auto* document = frame ? dynamic_cast<CFlnDoc*>(frame->GetActiveDocument()) : nullptr;
    if (!document || m_bSnapshotTimer)
        return;
    if (const DWORD wait = document->RefreshRecoverySnapshot(m_recoveryCopy, ::GetTickCount())) {
        m_bSnapshotTimer = true;
        ::SetTimer(frame->m_hWnd, RecoverySnapshotTimer, wait, [](HWND window, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(window, id);
            if (CFlnApp* app = GetFlnApp()) {
                app->m_bSnapshotTimer = false;
                app->RefreshRecoverySnapshot();
            }
        });
    }
}

void CFlnApp::TakeRecoverySnapshot()
{
    CMainFrame* frame = GetMainFrame();
    if (auto* document = frame ? dynamic_cast<CFlnDoc*>(frame->GetActiveDocument()) : nullptr)
        document->TakeRecoverySnapshot(m_recoveryCopy, ::GetTickCount());
}

void CFlnApp::DeliverTerminationRequests()
{
    if (m_terminationSignals)
        m_terminationSignals->DeliverPending();
}

void CFlnApp::ReadSwitches()
{
    CCommandLineOptions options;
    if (options.ParseCommandLine(m_arguments) < 1)
        return;
    m_bNoMinimizeBox = options.GetOptionValues(L"-m");
    m_bExitAfterFirstResult = options.GetOptionValues(L"-e");
    m_bFormulaOnly = options.GetOptionValues(L"-f");
}

void CFlnApp::RegisterScriptLanguage() const
{
    SECEditLangConfig::Reader* reader = SECEditLangConfigCompositeReader::Create(GetModuleDirectory() + L"VBScript.ini", L"VBScript");
    auto* writer = new SECEditLangConfigRegWriter(L"VBScript");
    SECEditLangConfig::RegisterLanguage(L"VBScript", reader, writer);
    if (reader)
        reader->Release();
    writer->Release();
}

CMainFrame* CFlnApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

CView* CFlnApp::FindView(const CRuntimeClass* viewClass) const
{
    CMainFrame* frame = GetMainFrame();
    CDocument* document = frame ? frame->GetActiveDocument() : nullptr;
    if (!document)
        return nullptr;
    for (CView* view : document->Views())
        if (view->IsKindOf(viewClass))
            return view;
    return nullptr;
}

CFlnView* CFlnApp::GetFlnView() const
{
    return static_cast<CFlnView*>(FindView(RUNTIME_CLASS(CFlnView)));
}

CView* CFlnApp::GetCalendarView() const
{
    const CRuntimeClass* calendarClass = CRuntimeClass::FromName(L"CDlgCalendarView");
    return calendarClass ? FindView(calendarClass) : nullptr;
}

CView* CFlnApp::GetScriptView() const
{
    const CRuntimeClass* scriptClass = CRuntimeClass::FromName(L"CVBScriptView");
    return scriptClass ? FindView(scriptClass) : nullptr;
}

BOOL CFlnApp::PromptFileName(CString& fileName, UINT titleId, DWORD, BOOL open, void*, CString filter)
{
    if (filter == L"default")
        filter = kScriptFilter;
    // A save dialog asks before it replaces a file.
    const DWORD flags = OFN_HIDEREADONLY | (open ? 0 : OFN_OVERWRITEPROMPT);
    CFileDialog dialog(open, L"txt", fileName, flags, filter, m_pMainWnd);
    CString title;
    title.LoadString(titleId);
    dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

double CFlnApp::GetFormulaResult(double x, int& errorPosition, CString& errorText)
{
    CFlnView* view = GetFlnView();
    if (!view)
        return 0.0;
    view->UpdateData(TRUE);
    FormulaInputs inputs = view->InputsWith(view->m_strFormula);
    inputs.x = x;
    return inputs.Calculate(FormulaParser, &errorPosition, &errorText, TRUE);
}

void CFlnApp::DrawGraph(CDC* dc, int left, int top, int right, int bottom, int mode)
{
    CFlnView* view = GetFlnView();
    if (!view)
        return;
    if (!m_pD2KSys)
        m_pD2KSys = std::make_unique<CD2KSys>(RECT { 0, 0, 100, 100 });
    // The fields as they stand, neither validated (no message box while painting) nor changed.
    const FormulaInputs inputs = view->CurrentInputs();
    inputs.ApplyTo(FormulaParser);
    m_pD2KSys->SetPlotArea(left, top, right, bottom, inputs.xa, inputs.xb);
    const SamplingResult sampled = m_pD2KSys->Bestimmung_der_Funktionswerte(FormulaParser, inputs.formula);
    m_pD2KSys->m_nMode = mode;
    m_pD2KSys->Draw(dc);
    CMainFrame* frame = GetMainFrame();
    if (sampled == SamplingResult::Sampled) {
        // The curve is back: the reason it was missing goes, unless the status bar says something else by now.
        if (frame && !m_strGraphReason.IsEmpty() && frame->m_wndStatusBar.GetPaneText(0) == m_strGraphReason)
            frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
        m_strGraphReason.Empty();
        return;
    }
    m_strGraphReason.LoadString(sampled == SamplingResult::EmptyInterval ? IDS_GRAPH_INTERVAL_EMPTY : IDS_GRAPH_INTERVAL_UNUSABLE);
    if (frame)
        frame->SetMessageText(m_strGraphReason);
}

// Started by the bus for a client, the program serves that client alone and goes when it has
// nothing to serve: it never lingers, and never runs beside more than a bounded number of others.
BOOL CFlnApp::StartForAutomation()
{
    for (int slot = 0; slot < kMaxWindowlessInstances && !m_automationSlot; ++slot) {
        auto mutex = std::make_unique<CMutex>(FALSE, CString(FormatWide(L"formulon-automation-%d", slot).c_str()));
        if (mutex->m_hObject && mutex->Lock(0))
            m_automationSlot = std::move(mutex);
    }
    if (!m_automationSlot) {
        if (const std::string problem = NamedMutexProblem(); !problem.empty())
            std::fprintf(stderr, "formulon: the locks that count the programs serving clients cannot be made (%s); this one ends.\n", problem.c_str());
        else
            std::fprintf(stderr, "formulon: %d programs without a window already serve clients; this one ends.\n", kMaxWindowlessInstances);
        return FALSE;
    }
    COleObjectFactory::RegisterAll();
    const bool serving = ApplicationFactory().IsRegistered() || DocumentFactory().IsRegistered();
    if (!serving) {
        std::fprintf(stderr, "formulon: started for automation, but no class could be published on the session bus.\n");
        return FALSE;
    }
    SetLocalServerLostHandler([] { PostQuitMessage(0); });
    return TRUE;
}

// Counted from the first wait for messages, not from the start, however long a loaded machine took
// to get there; and on the system's clock: a program without a window may have no screen, and its
// display's clock then only moves while it waits.
void CFlnApp::StartAutomationIdleCountdown()
{
    m_automationIdleTimer = std::make_unique<WaitTimer>(m_nAutomationIdleMilliseconds, [this] {
        // The request the bus started the program for may be waiting unread: it is served first.
        ServeWaitingLocalServerRequests();
        if (ServesNothing())
            PostQuitMessage(0);
    });
}

bool CFlnApp::ServesNothing() const
{
    return CApplication::LiveCount() <= 1 && AfxOleCanExitApp();
}

void CFlnApp::OnAutomationObjectGone()
{
    if (m_bStartedForAutomation && ServesNothing())
        PostQuitMessage(0);
}

void CFlnApp::OnAppAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CFlnApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}
