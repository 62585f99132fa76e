#include "app/VBScriptView.h"

#include "app/Application.h"
#include "app/FlnApp.h"
#include "app/FlnDoc.h"
#include "app/FlnView.h"
#include "app/ScriptDialogs.h"
#include "editor/EditResource.h"
#include "framework/FrameWnd.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/WinApp.h"
#include "res/Formulon.h"

#include <algorithm>
#include <utility>

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;
// The last character position the error marker row reaches.
constexpr long LastMarkedPosition = 254;

} // namespace

IMPLEMENT_DYNCREATE(CVBScriptView, SECEditView)

BEGIN_MESSAGE_MAP(CVBScriptView, SECEditView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_COMMAND(ID_SCRIPT_RUN, OnRun)
    ON_MESSAGE(WM_RUN_SCRIPT, OnRunPosted)
    ON_COMMAND(ID_SCRIPT_STOP, OnStop)
    ON_COMMAND(ID_FILE_LOAD_CONTENT, OnLoadContent)
    ON_COMMAND(ID_FILE_SAVE_CONTENT, OnSaveContent)
    ON_COMMAND(ID_SCRIPT_SAVE_AS, OnSaveCodeAs)
    ON_COMMAND(ID_EDIT_DELETE_ALL, OnDeleteAll)
    ON_COMMAND(ID_SCRIPT_INSERT_FORMULA, OnInsertFormula)
    ON_UPDATE_COMMAND_UI(ID_SCRIPT_RUN, OnUpdateRun)
    ON_UPDATE_COMMAND_UI(ID_SCRIPT_STOP, OnUpdateStop)
    ON_COMMAND(ID_SCRIPT_BAR_PREVIOUS_BOOKMARK, OnPreviousBookmark)
    ON_UPDATE_COMMAND_UI(ID_SCRIPT_BAR_PREVIOUS_BOOKMARK, OnUpdatePreviousBookmark)
END_MESSAGE_MAP()

CVBScriptView::CVBScriptView()
    : m_prompt([](CString& fileName, UINT titleId, BOOL open) {
          CFlnApp* app = GetFlnApp();
          return app && app->PromptFileName(fileName, titleId, CFlnApp::ContentFileDialogFlags, open, nullptr, L"default");
      })
{
}

CVBScriptView::~CVBScriptView() = default;

BOOL CVBScriptView::Create(LPCWSTR, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id, LPVOID param)
{
    return SECEditView::Create(WindowClass(), windowName, style | WS_HSCROLL | WS_VSCROLL, rect, parent, id, param);
}

BOOL CVBScriptView::PreTranslateMessage(MSG* message)
{
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        CFrameWnd* frame = GetParentFrame();
        if (frame && frame->m_hAccelTable && ::TranslateAcceleratorW(frame->m_hWnd, frame->m_hAccelTable, message))
            return TRUE;
    }
    return SECEditView::PreTranslateMessage(message);
}

CFlnDoc* CVBScriptView::Document() const
{
    return dynamic_cast<CFlnDoc*>(m_pDocument);
}

SECEdit* CVBScriptView::GetEdit()
{
    CFlnDoc* document = Document();
    return document ? &document->m_edit : SECEditView::GetEdit();
}

int CVBScriptView::OnCreate(LPCREATESTRUCT create)
{
    if (SECEditView::OnCreate(create) == -1)
        return -1;
    // Closing the program with a changed script saves it under a name the user chooses.
    if (CFlnDoc* document = Document())
        document->SetScriptSaver([this] { return SaveCodeAs(); });
    return 0;
}

void CVBScriptView::OnDestroy()
{
    if (CFlnDoc* document = Document())
        document->SetScriptSaver({});
    StopScript();
    SECEditView::OnDestroy();
}

// The page is set up when the user first brings it up, so that start-up does not pay for it.
void CVBScriptView::OnActivateView(BOOL activate, CView* activated, CView* deactivated)
{
    if (activate && activated == this)
        PrepareOnFirstActivation();
    SECEditView::OnActivateView(activate, activated, deactivated);
}

void CVBScriptView::PrepareOnFirstActivation()
{
    if (m_prepared || !GetEdit())
        return;
    m_prepared = true;
    GetEdit()->SetLanguage(L"VBScript");
    ResetText();
}

void CVBScriptView::ResetText()
{
    SECEdit* edit = GetEdit();
    edit->SetText(NewPageText);
    edit->SetModified(FALSE);
    if (CFlnDoc* document = Document())
        document->SetModifiedFlag(FALSE);
}

// ---- focus: the page's tool bar and menu -------------------------------------------------------

CControlBar* CVBScriptView::ScriptBar() const
{
    CFrameWnd* frame = GetParentFrame();
    return frame ? frame->GetControlBar(IDW_SCRIPT_BAR) : nullptr;
}

// The menu is set also when the bar is up already, on coming back to the page: a running script
// keeps its bar while another page shows its own menu.
void CVBScriptView::OnSetFocus(CWnd* oldWindow)
{
    SECEditView::OnSetFocus(oldWindow);
    auto* frame = dynamic_cast<SECFrameWnd*>(GetParentFrame());
    CControlBar* bar = ScriptBar();
    if (!frame || !bar)
        return;
    if (!bar->IsWindowVisible())
        frame->ShowControlBar(bar, TRUE, FALSE);
    else if (frame->GetActiveView() != this)
        return;
    frame->SetMenuResource(IDR_SCRIPTPAGE);
}

// Leaving the page hides the tool bar (the focus going to the bar, which takes it while it is
// dragged, or to the frame it floats in, is no leaving); the menu stays until another page sets
// its own. While a script runs the bar stays, so that its Stop can be clicked also while the
// script's box has the focus; the end of the run hides it when another page has come up.
void CVBScriptView::OnKillFocus(CWnd* newWindow)
{
    SECEditView::OnKillFocus(newWindow);
    if (!IsRunning())
        HideScriptBarUnlessFocusedIn(newWindow);
}

void CVBScriptView::HideScriptBarUnlessFocusedIn(const CWnd* focus)
{
    CFrameWnd* frame = GetParentFrame();
    CControlBar* bar = ScriptBar();
    if (frame && bar && bar->IsWindowVisible() && focus != this && !bar->KeepsFocusGoingTo(focus))
        frame->ShowControlBar(bar, FALSE, FALSE);
}

// ---- running -----------------------------------------------------------------------------------

void CVBScriptView::RunScript()
{
    if (m_pRunningHost || !GetEdit())
        return;
    CFlnApp* app = GetFlnApp();
    auto* host = new SECAScriptHost(this);
    host->CreateEngine(FALSE);
    host->SetWindow(this);
    host->SetContinuePoll([this] { return DispatchWhileRunning(); });
    // The host keeps no reference of its own to what it publishes: the page holds one for it
    // until the host is gone.
    ComPtr<IDispatch> automation;
    if (app && app->m_pApplication) {
        automation = ComPtr<IDispatch>(app->m_pApplication->GetIDispatch(FALSE));
        BSTR name = SysAllocString(L"FLN");
        if (!name)
            AfxThrowMemoryException();
        host->AddNamedItem(name, automation.get(), nullptr, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
        SysFreeString(name);
    }
    // What the script may hold is the window itself: the last resort of an end asked meanwhile keeps
    // the text as it is run, not as it stood up to a snapshot interval earlier.
    if (app)
        app->TakeRecoverySnapshot();
    m_pRunningHost = host;
    m_stopRequested = false;
    UpdateCommandStates();
    {
        // The text is copied for the parse alone: a copy kept beside the editor's would more
        // than double what a large script costs the page.
        CString code;
        GetEdit()->GetAllText(code);
        host->ParseScriptText(code, code.GetLength(), nullptr);
    }
    host->SetScriptState(SCRIPTSTATE_STARTED);
    host->SetScriptState(SCRIPTSTATE_CLOSED);
    m_pRunningHost = nullptr;
    host->Close();
    host->Release();
    UpdateCommandStates();
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() != this)
        HideScriptBarUnlessFocusedIn(CWnd::FromHandle(::GetFocus()));
    if (auto afterwards = std::exchange(m_afterStop, {}))
        afterwards();
}

// The bars, docked or floating, show Run and Stop as they are now: the idle updates wait while a
// script runs.
void CVBScriptView::UpdateCommandStates()
{
    if (CFrameWnd* frame = GetParentFrame())
        frame->SendIdleUpdateCmdUI();
}

bool CVBScriptView::StopScript(std::function<void()> afterwards)
{
    if (!m_pRunningHost)
        return false;
    if (afterwards)
        m_afterStop = std::move(afterwards);
    m_stopRequested = true;
    m_pRunningHost->InterruptScript();
    CloseScriptDialogs();
    return true;
}

void CVBScriptView::OnRun()
{
    if (!std::exchange(m_runPosted, true))
        PostMessage(WM_RUN_SCRIPT);
}

LRESULT CVBScriptView::OnRunPosted(WPARAM, LPARAM)
{
    m_runPosted = false;
    RunScript();
    return 0;
}

// Runs about every 10 ms of a script: the program's windows paint and take input as usual, Esc
// stops the script, a quit asked meanwhile stops it and is kept for the main loop, and so does a
// termination signal.
bool CVBScriptView::DispatchWhileRunning()
{
    if (CFlnApp* program = GetFlnApp())
        program->DeliverTerminationRequests();
    CWinApp* app = AfxGetApp();
    MSG message;
    while (!m_stopRequested && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            StopScript();
        } else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            StopScript();
        } else if (!app || !app->PreTranslateMessage(&message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return !m_stopRequested;
}

void CVBScriptView::OnUpdateRun(CCmdUI* ui)
{
    ui->Enable(!IsRunning());
}

void CVBScriptView::OnUpdateStop(CCmdUI* ui)
{
    ui->Enable(IsRunning());
}

// The bar's Previous Bookmark button is the editor's command of that name (Shift+F2).
void CVBScriptView::OnPreviousBookmark()
{
    if (SECEditController* editor = GetEditController())
        editor->RunEditCommand(ID_EDIT_PREV_BOOKMARK);
}

void CVBScriptView::OnUpdatePreviousBookmark(CCmdUI* ui)
{
    SECEditController* editor = GetEditController();
    const UINT id = std::exchange(ui->m_nID, static_cast<UINT>(ID_EDIT_PREV_BOOKMARK));
    if (!editor || !editor->OnCmdMsg(ID_EDIT_PREV_BOOKMARK, CN_UPDATE_COMMAND_UI, ui, nullptr))
        ui->Enable(FALSE);
    ui->m_nID = id;
}

CString CVBScriptView::ErrorMarker(long position)
{
    if (position < 1 || position > LastMarkedPosition)
        return {};
    CString marker(L'-', static_cast<int>(position - 1));
    marker += L'v';
    return marker;
}

HRESULT CVBScriptView::OnScriptError(IActiveScriptError* error)
{
    EXCEPINFO exception {};
    HRESULT hr = error->GetExceptionInfo(&exception);
    if (FAILED(hr))
        return hr;
    DWORD context = 0;
    ULONG line = 0;
    LONG position = 0;
    hr = error->GetSourcePosition(&context, &line, &position);
    if (FAILED(hr)) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return hr;
    }
    BSTR sourceLine = nullptr;
    if (FAILED(error->GetSourceLineText(&sourceLine)))
        sourceLine = nullptr;
    const int displayLine = static_cast<int>(line) + 1;
    // Formatted to its full length: a long source line is shown whole.
    CString text;
    text.Format(L"Source: '%s'\r\nLine: %d\r\nChar: %d\r\nError: %d '%s'\r\n%s\r\n%s",
        exception.bstrSource ? exception.bstrSource : L"", displayLine, static_cast<int>(position),
        static_cast<int>(exception.wCode), exception.bstrDescription ? exception.bstrDescription : L"",
        static_cast<LPCWSTR>(ErrorMarker(position)), sourceLine ? sourceLine : L"");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    SysFreeString(sourceLine);
    AfxMessageBox(text, MB_OK);
    SetFocus();
    MarkError(std::max(displayLine - 1, 0), std::max(static_cast<int>(position) - 1, 0));
    return S_OK;
}

void CVBScriptView::MarkError(int line, int column)
{
    SECEditController* controller = GetEditController();
    if (!controller)
        return;
    controller->SetCaretPosition(line, column, FALSE);
    controller->EnsureCaretVisible();
    controller->SetCaretPosition(line, column + 1, FALSE);
    controller->EnsureCaretVisible();
    controller->SetSelection(line, column, line, column + 1, SECEditController::SelectStream);
}

// ---- the page's commands -----------------------------------------------------------------------

void CVBScriptView::OnInsertFormula()
{
    CFlnApp* app = GetFlnApp();
    CFlnView* formulaPage = app ? app->GetFlnView() : nullptr;
    SECEditController* controller = GetEditController();
    if (!formulaPage || !controller || !GetEdit())
        return;
    const CString formula = formulaPage->CurrentInputs().formula;
    const SECEditLineCol caret = controller->GetCaretPos();
    GetEdit()->InsertText(caret.m_nLine, caret.m_nCol, formula, -1);
    SetFocus();
}

BOOL CVBScriptView::LoadCode()
{
    CString fileName = m_strFileName;
    if (!m_prompt(fileName, IDS_LOAD_CONTENT_TITLE, TRUE))
        return FALSE;
    // A file that cannot be read leaves the text and the name it belongs to as they were, so that
    // Save Content never writes the old text over the file the user chose.
    if (!GetEdit()->LoadFile(fileName))
        return FALSE;
    m_strFileName = fileName;
    return TRUE;
}

BOOL CVBScriptView::SaveCodeAs()
{
    CString fileName = m_strFileName;
    if (!m_prompt(fileName, IDS_SAVE_CONTENT_TITLE, FALSE))
        return FALSE;
    m_strFileName = fileName;
    return GetEdit()->SaveFile(fileName);
}

BOOL CVBScriptView::SaveCode()
{
    if (m_strFileName.IsEmpty())
        return SaveCodeAs();
    return GetEdit()->SaveFile(m_strFileName);
}

CVBScriptView::SaveAnswer CVBScriptView::AskToSave()
{
    if (!GetEdit()->IsModified())
        return SaveAnswer::No;
    const CString question = L"Save changes to " + (m_strFileName.IsEmpty() ? CString(L"Untitled?") : m_strFileName + L"?");
    switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES: return SaveAnswer::Yes;
    case IDNO: return SaveAnswer::No;
    default: return SaveAnswer::Cancel;
    }
}

void CVBScriptView::OnLoadContent()
{
    switch (AskToSave()) {
    case SaveAnswer::Yes:
        if (SaveCode())
            LoadCode();
        break;
    case SaveAnswer::No:
        LoadCode();
        break;
    case SaveAnswer::Cancel:
        break;
    }
    SetFocus();
}

void CVBScriptView::OnDeleteAll()
{
    const SaveAnswer answer = AskToSave();
    if (answer == SaveAnswer::Yes && !SaveCode())
        return;
    if (answer != SaveAnswer::Cancel) {
        m_strFileName.Empty();
        ResetText();
    }
    SetFocus();
}
