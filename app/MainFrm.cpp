#include "app/MainFrm.h"

#include "app/DateFile.h"
#include "app/DlgCalendarView.h"
#include "app/FlnApp.h"
#include "app/FlnDoc.h"
#include "app/FlnView.h"
#include "app/ScriptDialogs.h"
#include "app/ScriptRecovery.h"
#include "app/VBScriptView.h"
#include "app/VersionInfo.h"
#include "commandbars/MenuBar.h"
#include "diagrams/KSysView.h"
#include "platform/base/ErrorCodes.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/com/ClassRegistry.h"
#include "platform/speech/VoiceText.h"
#include "platform/sys/Folders.h"
#include "platform/user/ResourceHandles.h"
#include "res/Formulon.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

constexpr UINT kIndicators[] = { ID_SEPARATOR, ID_INDICATOR_VERSION, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL };
constexpr int kFormulaPage = 0;
constexpr int kMinimumWidth = 450, kMinimumHeight = 400;
// The height handed to the first layout of a bar docked across the top.
constexpr int kTopBarLayoutHeight = 150;
// Posted by the first show: the start-up's loads report what they found once the window is up.
constexpr UINT WM_REPORT_LOAD_PROBLEMS = WM_APP + 1;
constexpr UINT WM_END_ON_REQUEST = WM_APP + 2;
constexpr UINT_PTR EndOnRequestTimer = 0x454E;
constexpr UINT EndOnRequestRetryMs = 50;
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER;
constexpr DWORD kBarControlStyle = SEC_TBS_FLAT | SEC_TBS_GRIPPER;
// The pages' tab window: tabs below the pages, a draggable active tab, raised outlines ending short.
constexpr DWORD kTabWindowStyle = WS_CHILD | WS_VISIBLE | TWS_TABS_BELOW | TAB_STYLE_GAP | TAB_STYLE_DRAG;

// The pages in tab order. A page joins the tab window when its class is part of the program: a
// page built in names its class (which also links it in), the others are found by name.
struct PageEntry {
    const wchar_t* label;
    const wchar_t* viewClass;
    UINT icon;
    CRuntimeClass* builtIn = nullptr;
};
const PageEntry kPages[] = {
    { L"Formula", L"CFlnView", IDR_MAINFRAME },
    { L"Date & Time", L"CDlgCalendarView", IDI_DATETIME_TAB },
    { L"Graph", L"CKSysView", IDI_GRAPH_TAB, RUNTIME_CLASS(CKSysView) },
    { L"VBScript", L"CVBScriptView", IDI_SCRIPT_TAB, RUNTIME_CLASS(CVBScriptView) },
};

// Asks each shown window that holds the frame modal (a box, a dialog; one the frame owns, directly
// or through another, except the frames its bars float in) to close, as its close box would.
void CloseModalWindowsOf(HWND frame)
{
    ::EnumWindows([](HWND window, LPARAM frame) {
        if (!::IsWindowVisible(window) || !::IsWindowEnabled(window) || (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
            return TRUE;
        for (HWND owner = ::GetWindow(window, GW_OWNER); owner; owner = ::GetWindow(owner, GW_OWNER))
            if (owner == reinterpret_cast<HWND>(frame)) {
                ::PostMessageW(window, WM_CLOSE, 0, 0);
                break;
            }
        return TRUE;
    }, reinterpret_cast<LPARAM>(frame));
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, SECFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, SECFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_ENABLE()
    ON_MESSAGE(WM_TABACTIVATED, OnTabActivated)
    ON_COMMAND(ID_TOGGLE_RESIZE_WINDOW, OnToggleResizeWindow)
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_GETMINMAXINFO()
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_VERSION, OnUpdateVersionPane)
    ON_COMMAND(ID_FILE_LOAD_CONTENT, OnLoadContent)
    ON_COMMAND(ID_FILE_SAVE_CONTENT, OnSaveContent)
    ON_UPDATE_COMMAND_UI(ID_FILE_LOAD_CONTENT, OnUpdateContentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_CONTENT, OnUpdateContentFile)
    ON_COMMAND(ID_CHECK_FOR_UPDATE, OnCheckForUpdate)
    ON_COMMAND(ID_UPDATE_CHECK_DONE, OnUpdateCheckDone)
    ON_MESSAGE(WM_REPORT_LOAD_PROBLEMS, OnReportLoadProblems)
    ON_MESSAGE(WM_END_ON_REQUEST, OnEndOnRequest)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_pMenuBar(std::make_unique<SECMenuBar>())
{
    SetMenuBar(m_pMenuBar.get());
    EnableBmpMenus(TRUE, TRUE); // beside the menu bar this changes nothing
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate(LPCREATESTRUCT create)
{
    CFlnApp* app = GetFlnApp();
    if (app && app->m_bNoMinimizeBox)
        ModifyStyle(WS_MINIMIZEBOX, 0);
    // The bars and the pages cover the whole client area. Erasing the frame's own background over
    // them would blank the menu bar, which its dock bar keeps out of the frame's invalidations.
    ModifyStyle(0, WS_CLIPCHILDREN);
    // A new frame is three quarters of the work area large, as a new window of the classic
    // desktop is; the Formula page then shrinks it to fit its form (a stored place replaces both).
    CRect work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(nullptr, 0, 0, work.Width() * 3 / 4, work.Height() * 3 / 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (SECFrameWnd::OnCreate(create) == -1)
        return -1;
    if (!CreateMenuAndToolBars() || !CreateStatusBar())
        return -1;
    for (CControlBar* bar : { static_cast<CControlBar*>(m_pMenuBar.get()), static_cast<CControlBar*>(&m_wndToolBar),
                              static_cast<CControlBar*>(&m_wndScriptBar), static_cast<CControlBar*>(&m_wndDiagramBar) }) {
        bar->SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        bar->EnableDocking(CBRS_ALIGN_ANY);
    }
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBarEx(m_pMenuBar.get(), AFX_IDW_DOCKBAR_TOP, 0, 0, 1.0f, kTopBarLayoutHeight);
    DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
    DockControlBarEx(&m_wndScriptBar, AFX_IDW_DOCKBAR_TOP, 1, 1, 1.0f, kTopBarLayoutHeight);
    DockControlBar(&m_wndDiagramBar, AFX_IDW_DOCKBAR_RIGHT);
    ShowControlBar(&m_wndToolBar, TRUE, FALSE);
    // The Graph and VBScript pages show their bars while they have the focus.
    ShowControlBar(&m_wndScriptBar, FALSE, FALSE);
    ShowControlBar(&m_wndDiagramBar, FALSE, FALSE);
    LoadMenuBitmaps(IDR_MAINFRAME);
    SetWindowIcons();
    CreateSharedMemory();
    return 0;
}

BOOL CMainFrame::CreateMenuAndToolBars()
{
    if (!m_pMenuBar->CreateEx(kBarControlStyle, this, kBarStyle, AFX_IDW_CONTROLBAR_LAST)
        || !m_pMenuBar->SetMenuInfo(3, IDR_MAINFRAME, IDR_GRAPHPAGE, IDR_SCRIPTPAGE))
        return FALSE;
    m_pMenuBar->SwitchMenu(IDR_MAINFRAME);
    if (!m_wndToolBar.CreateEx(kBarControlStyle, this, kBarStyle, AFX_IDW_TOOLBAR) || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)
        || !m_wndScriptBar.CreateEx(kBarControlStyle, this, kBarStyle, IDW_SCRIPT_BAR) || !m_wndScriptBar.LoadToolBar(IDR_SCRIPT_BAR)
        || !m_wndDiagramBar.CreateEx(kBarControlStyle, this, kBarStyle, IDW_DIAGRAM_BAR) || !m_wndDiagramBar.LoadToolBar(IDR_DIAGRAM_BAR))
        return FALSE;
    m_wndScriptBar.SetWindowText(L"VBScriptEditor");
    m_wndDiagramBar.SetWindowText(L"KSys");
    return TRUE;
}

BOOL CMainFrame::CreateStatusBar()
{
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))))
        return FALSE;
    UINT id = 0, style = 0;
    int width = 0;
    m_wndStatusBar.GetPaneInfo(m_wndStatusBar.CommandToIndex(ID_INDICATOR_CAPS), id, style, width);
    const int versionPane = m_wndStatusBar.CommandToIndex(ID_INDICATOR_VERSION);
    m_wndStatusBar.SetPaneInfo(versionPane, ID_INDICATOR_VERSION, style | SBPS_STRETCH, width * 10);
    CFlnApp* app = GetFlnApp();
    CString line = CVersionInfo(MAKEINTRESOURCEW(1)).GetVersionLine(app ? app->m_strModulePath : CString());
    m_wndStatusBar.SetPaneText(versionPane, line, TRUE);
    return TRUE;
}

void CMainFrame::SetWindowIcons()
{
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    auto icon = [&](int size) {
        return LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0);
    };
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon(48)));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon(16)));
}

// Without the block the program runs on, with no output to other programs.
void CMainFrame::CreateSharedMemory()
{
    try {
        m_pSharedMemory = std::make_unique<CSharedMemory>(CSharedMemory::ResultBlockSize, CSharedMemory::ResultBlockName);
    } catch (const CSharedMemoryException&) {
        CString text;
        text.LoadString(IDS_SHARED_MEMORY_FAILED);
        MessageBoxW(m_hWnd, text, L"Error", MB_ICONEXCLAMATION | MB_OK);
    }
}

IVTxtAuto* CMainFrame::GetVoiceText()
{
    if (!m_speechTried) {
        m_speechTried = true;
        CreateSpeech();
    }
    return m_pVoiceText.get();
}

// Speech is optional: without an engine the Formula page's speech commands say so.
void CMainFrame::CreateSpeech()
{
    CLSID speechClass {};
    if (FAILED(CoInitialize(nullptr)) || FAILED(CLSIDFromProgID(L"Speech.VoiceText.1", &speechClass)))
        return;
    ComPtr<IVTxtAuto> voice;
    if (FAILED(CoCreateInstance(speechClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IVTxtAuto, reinterpret_cast<void**>(voice.Receive()))))
        return;
    BSTR application = SysAllocString(L"Voxlane");
    HRESULT registered = voice->Register(nullptr, application);
    SysFreeString(application);
    if (SUCCEEDED(registered))
        m_pVoiceText = std::move(voice);
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* context)
{
    if (!m_wndTab.Create(this, kTabWindowStyle, AFX_IDW_PANE_FIRST))
        return FALSE;
    // The tabs are measured in the fonts they show, not first in the tab window's own.
    SetTabFonts();
    AddPages(context);
    m_wndTab.ActivateTab(0);
    return TRUE;
}

void CMainFrame::AddPages(CCreateContext* context)
{
    CFlnApp* app = GetFlnApp();
    for (const PageEntry& page : kPages) {
        CRuntimeClass* viewClass = page.builtIn ? page.builtIn : CRuntimeClass::FromName(page.viewClass);
        if (!viewClass)
            continue;
        const int index = m_wndTab.GetTabCount();
        m_wndTab.AddTab(viewClass, page.label, context);
        m_wndTab.SetTabIcon(index, page.icon, 16, 16);
        // "-f": only the Formula page can be chosen.
        if (app && app->m_bFormulaOnly && index != kFormulaPage)
            m_wndTab.EnableTab(index, FALSE);
    }
}

void CMainFrame::SetTabFonts()
{
    LOGFONTW font {};
    font.lfHeight = -16;
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    wcscpy(font.lfFaceName, L"Times Roman");
    m_fontActiveTab.CreateFontIndirect(&font);
    font.lfHeight = -13;
    font.lfWeight = FW_NORMAL;
    m_fontInactiveTab.CreateFontIndirect(&font);
    m_wndTab.SetActiveTabFont(&m_fontActiveTab, TRUE);
    m_wndTab.SetInactiveTabFont(&m_fontInactiveTab, TRUE);
}

BOOL CMainFrame::QuitAfterCalculation() const
{
    CFlnApp* app = GetFlnApp();
    return app && app->m_bExitAfterFirstResult;
}

void CMainFrame::SetMessageText(const CString& text)
{
    m_wndStatusBar.SetPaneText(0, text, TRUE);
}

bool CMainFrame::IsFormPage(int index) const
{
    CFlnApp* app = GetFlnApp();
    CWnd* page = m_wndTab.GetPage(index);
    return page && app && (page == app->GetFlnView() || page == app->GetCalendarView());
}

LRESULT CMainFrame::OnTabActivated(WPARAM index, LPARAM)
{
    m_nActivePage = static_cast<int>(index);
    if (!IsFormPage(m_nActivePage))
        return 0;
    if (m_bReady)
        SetMenuResource(IDR_MAINFRAME);
    if (m_bAutoResize)
        FitFrameToPage(FALSE);
    return 0;
}

void CMainFrame::FitFrameToPage(BOOL bToggle)
{
    if (!IsFormPage(m_nActivePage))
        return;
    if (bToggle)
        m_bAutoResize = !m_bAutoResize;
    if (m_nWindowState == WindowState::Maximised) {
        ShowWindow(SW_RESTORE);
        return;
    }
    if (!m_bAutoResize)
        return;
    RecalcLayout(TRUE);
    if (auto* form = dynamic_cast<CScrollView*>(m_wndTab.GetPage(m_nActivePage)))
        form->ResizeParentToFit(FALSE);
}

void CMainFrame::OnToggleResizeWindow()
{
    FitFrameToPage(TRUE);
}

void CMainFrame::OnSize(UINT type, int cx, int cy)
{
    SECFrameWnd::OnSize(type, cx, cy);
    if (!IsWindowVisible())
        return;
    if (type == SIZE_RESTORED)
        m_nWindowState = WindowState::Normal;
    else if (type == SIZE_MAXIMIZED)
        m_nWindowState = WindowState::Maximised;
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize = { kMinimumWidth, kMinimumHeight };
    Default();
}

void CMainFrame::OnShowWindow(BOOL show, UINT status)
{
    Default();
    if (!show || IsWindowVisible() || !m_firstShow)
        return;
    m_firstShow = false;
    LoadSettings();
    if (CFlnApp* app = GetFlnApp(); app && !app->m_strStartParameterFile.IsEmpty())
        LoadParameterFile(std::exchange(app->m_strStartParameterFile, CString()));
    NoteRecoveredScripts();
    PostMessage(WM_REPORT_LOAD_PROBLEMS);
}

// The copies of a changed script kept when the program was last ended from outside are named
// once, at the next start; they stay where they are.
void CMainFrame::NoteRecoveredScripts()
{
    const std::vector<std::string> copies = TakeNewRecoveryCopies();
    if (copies.empty())
        return;
    CString note = L"Formulon was last ended without being asked to save the changed script. The script was kept in:";
    bool inFallback = false;
    for (const std::string& copy : copies) {
        note += L"\n" + CString(copy.c_str());
        inFallback = inFallback || !copy.starts_with(RecoveryFolder() + "/");
    }
    note += L"\nFile > Load Content on the VBScript page opens it.";
    if (inFallback)
        note += L"\nThe usual folder, " + CString(RecoveryFolder().c_str())
            + L", could not take it; the folder that holds it instead may be emptied when you log out: save the script elsewhere.";
    m_loadProblems.push_back(note);
}

void CMainFrame::LoadSettings()
{
    CFlnApp* app = GetFlnApp();
    if (!app)
        return;
    m_settings = FrameSettings::Load(*app);
    if (m_settings.placement) {
        // Closed while minimised, the window opens as it stood before: a start must show it.
        WINDOWPLACEMENT placement = *m_settings.placement;
        if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE || placement.showCmd == SW_SHOWMINNOACTIVE)
            placement.showCmd = (placement.flags & WPF_RESTORETOMAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        // A place that holds no usable window gives way to the one a new window gets.
        RECT fresh;
        GetWindowRect(&fresh);
        placement.rcNormalPosition = UsableWindowPlace(placement.rcNormalPosition, { kMinimumWidth, kMinimumHeight }).value_or(fresh);
        SetWindowPlacement(m_hWnd, &placement);
    }
    m_bSpeech = m_settings.speech;
    m_bSharedMemory = m_settings.sharedMemory;
    if (CFlnView* view = app->GetFlnView()) {
        view->m_nFontSize = m_settings.inputFormulaHeight;
        view->SetInputFont(view->m_nFontSize);
        view->m_nDigits = m_settings.digits;
        view->m_nFormatOption = m_settings.formatOption;
        view->m_bLoadingContent = true;
        view->UpdateData(FALSE);
        view->m_bLoadingContent = false;
        std::vector<CString> problems, cut;
        const BOOL loaded = CFormulaPageFile::Load(*view, LastContentPath(), &problems, &cut);
        NoteFormulaPageLoad(LastContentPath(), loaded, problems, cut, true);
    }
    if (auto* calendar = dynamic_cast<CDlgCalendarView*>(app->GetCalendarView())) {
        calendar->SetInputFont(m_settings.inputCalendarHeight);
        // A file without the page's sections is an earlier program's: the page keeps its defaults.
        if (CDateFile::Load(*calendar, LastContentPath()) == CDateFile::LoadResult::Damaged)
            m_loadProblems.push_back(L"The Date & Time page's content in " + LastContentPath()
                + L" is damaged; the page keeps its own.");
    }
}

void CMainFrame::NoteFormulaPageLoad(const CString& path, BOOL loaded, const std::vector<CString>& problems,
    const std::vector<CString>& cut, bool missingIsFine)
{
    if (const CString note = CFormulaPageFile::CutReport(path, cut); !note.IsEmpty())
        m_loadStatusNote += (m_loadStatusNote.IsEmpty() ? L"" : L" ") + note;
    const DWORD error = GetLastError();
    if (!loaded && missingIsFine && (error == static_cast<DWORD>(ERROR_FILE_NOT_FOUND) || error == static_cast<DWORD>(ERROR_PATH_NOT_FOUND)))
        return;
    if (const CString report = CFormulaPageFile::LoadReport(path, loaded, problems); !report.IsEmpty())
        m_loadProblems.push_back(report);
}

void CMainFrame::LoadParameterFile(const CString& path)
{
    CFlnApp* app = GetFlnApp();
    CFlnView* view = app ? app->GetFlnView() : nullptr;
    if (!view)
        return;
    std::vector<CString> problems, cut;
    const BOOL loaded = CFormulaPageFile::Load(*view, path, &problems, &cut);
    NoteFormulaPageLoad(path, loaded, problems, cut, false);
    m_formulaFile.SetLastFile(path);
}

LRESULT CMainFrame::OnReportLoadProblems(WPARAM, LPARAM)
{
    // After the idle message that the frame's creation posted.
    if (!m_loadStatusNote.IsEmpty())
        SetMessageText(std::exchange(m_loadStatusNote, CString()));
    if (m_loadProblems.empty())
        return 0;
    CString report;
    for (const CString& problem : std::exchange(m_loadProblems, {}))
        report += (report.IsEmpty() ? L"" : L"\n\n") + problem;
    AfxMessageBox(report, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

CString CMainFrame::SaveSettings()
{
    CFlnApp* app = GetFlnApp();
    if (!app)
        return {};
    WINDOWPLACEMENT placement { sizeof(WINDOWPLACEMENT) };
    if (GetWindowPlacement(m_hWnd, &placement))
        m_settings.placement = placement;
    m_settings.speech = m_bSpeech;
    m_settings.sharedMemory = m_bSharedMemory;
    CFlnView* view = app->GetFlnView();
    if (view) {
        m_settings.inputFormulaHeight = view->m_nFontSize;
        m_settings.digits = view->m_nDigits;
        m_settings.formatOption = view->m_nFormatOption;
    }
    auto* calendar = dynamic_cast<CDlgCalendarView*>(app->GetCalendarView());
    if (calendar)
        m_settings.inputCalendarHeight = calendar->m_nFontSize;
    // Each file is tried whatever became of the other, and each failure says its own cause.
    CString failures;
    if (!m_settings.Save(*app))
        failures = WriteFailureText(ProfilePath(*app));
    const std::optional<FormulaPageContent> formula = view ? std::optional(CFormulaPageFile::ContentOf(*view)) : std::nullopt;
    const std::optional<DatePageContent> date = calendar ? std::optional(CDateFile::ContentOf(*calendar)) : std::nullopt;
    const CString path = LastContentPath();
    if ((formula || date) && !SaveLastContent(path, formula ? &*formula : nullptr, date ? &*date : nullptr))
        failures += (failures.IsEmpty() ? L"" : L"\n") + WriteFailureText(path);
    return failures;
}

void CMainFrame::SaveBeforeTheScreenGoes()
{
    if (auto* document = dynamic_cast<CFlnDoc*>(GetActiveDocument()); document && GetFlnApp())
        document->KeepChangedScriptForRecovery(GetFlnApp()->RecoveryCopy());
    if (const CString failure = SaveSettings(); !failure.IsEmpty())
        std::fprintf(stderr, "formulon: the settings could not be saved: %s\n", failure.ToUtf8().c_str());
    m_pSharedMemory.reset();
}

BOOL CMainFrame::DestroyWindow()
{
    // Said once, at the close: what the user set would otherwise be lost without a word.
    if (const CString failure = SaveSettings(); failure.IsEmpty()) {
    } else if (m_bEndingOnRequest) {
        std::fprintf(stderr, "formulon: the settings could not be saved: %s\n", failure.ToUtf8().c_str());
    } else {
        AfxMessageBox(L"The settings could not be saved. " + failure, MB_OK | MB_ICONEXCLAMATION);
    }
    return CWnd::DestroyWindow();
}

void CMainFrame::EndOnRequest()
{
    CFlnApp* app = GetFlnApp();
    if (auto* script = dynamic_cast<CVBScriptView*>(app ? app->GetScriptView() : nullptr))
        script->StopScript();
    PostMessage(WM_END_ON_REQUEST);
}

// Runs from the main loop once the script has unwound and no modal window holds the frame (until
// then it comes back a little later, each modal window asked to close: nobody may be there to answer
// it); the documents close unsaved, then the frame saves and goes.
LRESULT CMainFrame::OnEndOnRequest(WPARAM, LPARAM)
{
    CFlnApp* app = GetFlnApp();
    auto* script = dynamic_cast<CVBScriptView*>(app ? app->GetScriptView() : nullptr);
    if ((script && script->IsRunning()) || !IsWindowEnabled()) {
        if (!IsWindowEnabled())
            CloseModalWindowsOf(m_hWnd);
        ::SetTimer(m_hWnd, EndOnRequestTimer, EndOnRequestRetryMs, [](HWND window, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(window, id);
            ::PostMessageW(window, WM_END_ON_REQUEST, 0, 0);
        });
        return 0;
    }
    m_bEndingOnRequest = true;
    if (auto* document = dynamic_cast<CFlnDoc*>(GetActiveDocument()); document && app)
        document->KeepChangedScriptForRecovery(app->RecoveryCopy());
    const HWND window = m_hWnd;
    if (app)
        app->CloseAllDocuments(FALSE);
    if (::IsWindow(window))
        DestroyWindow();
    return 0;
}

// A running script ends first (its dialogs close with it); the close comes back once the script
// has unwound.
void CMainFrame::OnClose()
{
    CFlnApp* app = GetFlnApp();
    if (auto* script = dynamic_cast<CVBScriptView*>(app ? app->GetScriptView() : nullptr);
        script && script->StopScript([this] { PostMessage(WM_CLOSE); }))
        return;
    SECFrameWnd::OnClose();
}

// The shared block goes only with the window: a close the document refuses keeps it.
void CMainFrame::OnDestroy()
{
    m_pSharedMemory.reset();
    SECFrameWnd::OnDestroy();
}

// A running script's dialog disables the frame; while it leaves the script bar's Stop reachable
// (its other windows disabled instead), the frame stays enabled.
void CMainFrame::OnEnable(BOOL enable)
{
    Default();
    if (!enable && KeepsEnabledForScriptDialog(m_hWnd))
        EnableWindow(TRUE);
}

BOOL CMainFrame::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (id == ID_SCRIPT_RUN || id == ID_SCRIPT_STOP) {
        CFlnApp* app = GetFlnApp();
        auto* script = dynamic_cast<CVBScriptView*>(app ? app->GetScriptView() : nullptr);
        if (script && script->IsRunning() && GetActiveView() != script && script->OnCmdMsg(id, code, extra, handlerInfo))
            return TRUE;
    }
    return SECFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

// The version pane has no command of its own: it stays enabled, so its text shows.
void CMainFrame::OnUpdateVersionPane(CCmdUI* ui)
{
    ui->Enable(TRUE);
}

CFlnView* CMainFrame::FormulaPageIfActive() const
{
    CFlnApp* app = GetFlnApp();
    return m_nActivePage == kFormulaPage && app ? app->GetFlnView() : nullptr;
}

void CMainFrame::OnLoadContent()
{
    if (CFlnView* view = FormulaPageIfActive())
        m_formulaFile.OnLoadContent(*view);
}

void CMainFrame::OnSaveContent()
{
    if (CFlnView* view = FormulaPageIfActive())
        m_formulaFile.OnSaveContent(*view);
}

// The frame loads and saves the Formula page's files; the other pages answer these commands
// themselves (the active view sees them first), or have no files (the Graph page).
void CMainFrame::OnUpdateContentFile(CCmdUI* ui)
{
    AFX_CMDHANDLERINFO handler {};
    CView* view = GetActiveView();
    ui->Enable(FormulaPageIfActive() || (view && view->OnCmdMsg(ui->m_nID, CN_COMMAND, nullptr, &handler)));
}

void CMainFrame::OnCheckForUpdate()
{
    if (CFlnApp* app = GetFlnApp())
        app->m_Updater.CheckIfDue();
}

void CMainFrame::OnUpdateCheckDone()
{
    if (CFlnApp* app = GetFlnApp())
        app->m_Updater.OnCheckDone();
}
