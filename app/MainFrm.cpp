#include "app/MainFrm.h"

#include "app/FlnApp.h"
#include "app/FlnView.h"
#include "app/VersionInfo.h"
#include "platform/com/ClassRegistry.h"
#include "platform/speech/VoiceText.h"
#include "platform/user/ResourceHandles.h"
#include "res/Formulon.h"

#include <algorithm>

namespace {

constexpr UINT kIndicators[] = { ID_SEPARATOR, ID_INDICATOR_VERSION, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL };
constexpr int kFormulaPage = 0, kCalendarPage = 1;
constexpr int kMinimumWidth = 450, kMinimumHeight = 400;

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, SECFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, SECFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_TABACTIVATED, OnTabActivated)
    ON_COMMAND(ID_TOGGLE_RESIZE_WINDOW, OnToggleResizeWindow)
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_GETMINMAXINFO()
    ON_COMMAND(ID_FILE_LOAD_CONTENT, OnLoadContent)
    ON_COMMAND(ID_FILE_SAVE_CONTENT, OnSaveContent)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate(LPCREATESTRUCT create)
{
    CFlnApp* app = GetFlnApp();
    if (app && app->m_bNoMinimizeBox)
        ModifyStyle(WS_MINIMIZEBOX, 0);
    if (SECFrameWnd::OnCreate(create) == -1)
        return -1;
    m_nMenuId = IDR_MAINFRAME;
    if (!CreateStatusBar())
        return -1;
    SetWindowIcons();
    CreateSharedMemory();
    CreateSpeech();
    return 0;
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

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT create, CCreateContext* context)
{
    return SECFrameWnd::OnCreateClient(create, context);
}

BOOL CMainFrame::QuitAfterCalculation() const
{
    CFlnApp* app = GetFlnApp();
    return app && app->m_bExitAfterFirstResult;
}

void CMainFrame::ShowMessageText(const CString& text)
{
    m_wndStatusBar.SetPaneText(0, text, TRUE);
}

LRESULT CMainFrame::OnTabActivated(WPARAM index, LPARAM)
{
    m_nActivePage = static_cast<int>(index);
    if (m_nActivePage != kFormulaPage && m_nActivePage != kCalendarPage)
        return 0;
    if (m_bReady)
        SetMenuResource(IDR_MAINFRAME);
    if (m_bAutoResize)
        FitFrameToPage(FALSE);
    return 0;
}

void CMainFrame::SetMenuResource(UINT menuId)
{
    if (menuId == m_nMenuId)
        return;
    HMENU menu = LoadMenuW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, MAKEINTRESOURCEW(menuId));
    if (!menu)
        return;
    HMENU previous = ::GetMenu(m_hWnd);
    ::SetMenu(m_hWnd, menu);
    if (previous)
        DestroyMenu(previous);
    m_hMenuDefault = menu;
    m_nMenuId = menuId;
    RecalcLayout();
}

void CMainFrame::FitFrameToPage(BOOL bToggle)
{
    if (m_nActivePage != kFormulaPage && m_nActivePage != kCalendarPage)
        return;
    if (bToggle)
        m_bAutoResize = !m_bAutoResize;
    if (m_nWindowState == 3) {
        ShowWindow(SW_RESTORE);
        return;
    }
    if (!m_bAutoResize)
        return;
    RecalcLayout(TRUE);
    CFlnApp* app = GetFlnApp();
    CView* page = nullptr;
    if (app)
        page = m_nActivePage == kFormulaPage ? app->GetFlnView() : app->GetCalendarView();
    if (auto* form = dynamic_cast<CScrollView*>(page))
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
        m_nWindowState = 1;
    else if (type == SIZE_MAXIMIZED)
        m_nWindowState = 3;
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
}

void CMainFrame::LoadSettings()
{
    CFlnApp* app = GetFlnApp();
    if (!app)
        return;
    m_settings = FrameSettings::Load(*app);
    if (m_settings.placement)
        SetWindowPlacement(m_hWnd, &*m_settings.placement);
    m_bSpeech = m_settings.speech;
    m_bSharedMemory = m_settings.sharedMemory;
    if (CFlnView* view = app->GetFlnView()) {
        view->m_nFontSize = m_settings.inputFormulaHeight;
        view->SetInputFont(view->m_nFontSize);
        view->m_nDigits = m_settings.digits;
        view->m_nFormatOption = m_settings.formatOption;
        view->UpdateData(FALSE);
        CFormulaPageFile::Load(*view, LastContentPath());
    }
}

void CMainFrame::SaveSettings()
{
    CFlnApp* app = GetFlnApp();
    if (!app)
        return;
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
    m_settings.Save(*app);
    if (view)
        CFormulaPageFile::Save(*view, LastContentPath());
}

BOOL CMainFrame::DestroyWindow()
{
    SaveSettings();
    return CWnd::DestroyWindow();
}

// The shared block goes only with the window: a close the document refuses keeps it.
void CMainFrame::OnDestroy()
{
    m_pSharedMemory.reset();
    SECFrameWnd::OnDestroy();
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
