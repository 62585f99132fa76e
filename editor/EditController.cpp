#include "editor/EditController.h"
#include "editor/EditLineMeasure.h"

#include "platform/mfc/WinApp.h"
#include "editor/EditResource.h"

#include <algorithm>
#include <utility>

using namespace divuzura::foundation;

_SEC_FIND_REPLACE_STATE& _SEC_FIND_REPLACE_STATE::ForThisThread()
{
    thread_local _SEC_FIND_REPLACE_STATE state;
    return state;
}

SECEditController::SECEditController()
    : m_hAccel(::LoadAcceleratorsW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, MAKEINTRESOURCEW(IDR_EDIT_ACCEL)))
    , m_pGutterFontInfo(std::make_unique<SECEditFontInfo>())
{
    m_pGutterFontInfo->m_strFaceName = L"Ariel";
    m_pGutterFontInfo->m_nAveCharWidth = 8;
    m_pGutterFontInfo->m_nLineHeight = 12;
    CreateGutterFont();
}

SECEditController::~SECEditController()
{
    CloseFindDialog();
    StopAutoScroll();
    if (m_bCaretCreated)
        DestroyEditCaret();
    if (m_hAccel)
        ::DestroyAcceleratorTable(m_hAccel);
}

void SECEditController::Initialize(SECEditViewport* viewport, SECEdit* model)
{
    m_sel.Clear();
    m_pViewport = viewport;
    m_pEdit = model;
    MvcController::Initialize(viewport, viewport);
    m_dropTarget.Register(this);
    ResetState();
}

void SECEditController::ResetState()
{
    if (m_hWnd && m_pEdit)
        SetCaretPosition(0, 0, FALSE);
    else
        m_caret = {};
    m_sel.Clear();
    StopAutoScroll();
    m_nFreezeCount = 0;
    m_nDesiredX = 0;
    m_bCaretPastEnd = FALSE;
    m_bSelecting = FALSE;
    m_pLastTyping = nullptr;
    m_nLastCaretLine = 0;
    m_bInCaretLineChange = FALSE;
    m_bPaintEnabled = TRUE;
}

// ---- gutter --------------------------------------------------------------------------------

int SECEditController::GetMarkerGutterWidth() const
{
    return m_nLineNumberMode == LineNumbersNone || m_nLineNumberMode == LineNumbersOnly ? 0 : m_nMarkerGutterWidth;
}

int SECEditController::GetLineNumberGutterWidth() const
{
    if (m_nLineNumberMode == LineNumbersNone || m_nLineNumberMode == MarkersOnly)
        return 0;
    if (m_nLineNumberGutterWidth >= 0)
        return m_nLineNumberGutterWidth;
    return GetLineNumberDigits() * m_pGutterFontInfo->m_nAveCharWidth;
}

int SECEditController::GetLineNumberDigits() const
{
    if (m_nLineNumberDigits >= 0)
        return m_nLineNumberDigits;
    int digits = 1;
    for (int count = m_pEdit ? m_pEdit->GetLineCount() : 0; count >= 10; count /= 10)
        ++digits;
    return digits;
}

void SECEditController::CreateGutterFont()
{
    m_pGutterFontInfo->DeleteFonts();
    LOGFONTW record {};
    record.lfHeight = m_pGutterFontInfo->m_nLineHeight;
    record.lfWidth = m_pGutterFontInfo->m_nAveCharWidth;
    std::wcsncpy(record.lfFaceName, m_pGutterFontInfo->m_strFaceName.GetString(), 31);
    auto font = std::make_unique<CFont>();
    if (font->CreateFontIndirect(&record))
        m_pGutterFontInfo->AddFont(std::move(font));
}

CString SECEditController::FormatLineNumber(int number) const
{
    CString text;
    text.Format(L"%d", number);
    const int missing = GetLineNumberDigits() - text.GetLength();
    return missing > 0 ? CString(L'0', missing) + text : text;
}

// ---- messages ------------------------------------------------------------------------------

BOOL SECEditController::PreTranslateMessage(MSG* message)
{
    if (!m_hAccel || !m_hWnd || message->message < WM_KEYFIRST || message->message > WM_KEYLAST)
        return FALSE;
    // Alt that the editor used (an Alt accelerator, a column selection) was not pressed alone: its
    // release is the editor's, before the frame's menu bar would take it for the menu key.
    constexpr LPARAM kRepeat = 1 << 30;
    if (message->message == WM_SYSKEYDOWN && message->wParam == VK_MENU && !(message->lParam & kRepeat))
        m_bAltUsed = FALSE;
    if (message->message == WM_SYSKEYUP && message->wParam == VK_MENU)
        return std::exchange(m_bAltUsed, FALSE);
    if (!::TranslateAcceleratorW(m_hWnd, m_hAccel, message))
        return FALSE;
    if (message->message == WM_SYSKEYDOWN)
        m_bAltUsed = TRUE;
    return TRUE;
}

BOOL SECEditController::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Keys that reach the window without the message loop's translation (a loop that does not
    // ask the view) are looked up here.
    MSG msg { m_hWnd, message, wParam, lParam };
    if (!PreTranslateMessage(&msg))
        return FALSE;
    // The window's own handling still hears that Alt was not pressed alone.
    if (message == WM_SYSKEYDOWN)
        ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    return TRUE;
}

BOOL SECEditController::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!m_hWnd || !m_pEdit)
        return FALSE;
    *result = 0;
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return OnKeyDown(message, wParam, lParam);
    case WM_SYSKEYUP:
        // Alt the editor used is no press of Alt alone: no menu opens.
        return wParam == VK_MENU && std::exchange(m_bAltUsed, FALSE);
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wParam));
        return TRUE;
    case WM_SETFOCUS:
        OnSetFocus();
        return FALSE;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        return FALSE;
    case WM_IME_STARTCOMPOSITION:
        OnStartComposition();
        return FALSE;
    case WM_IME_ENDCOMPOSITION:
        OnEndComposition();
        *result = ::DefWindowProcW(m_hWnd, message, wParam, lParam);
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), point);
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), point);
        return FALSE;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), point);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), point);
        return TRUE;
    case WM_MBUTTONUP:
        PastePrimary(point);
        return TRUE;
    case WM_MOUSEWHEEL:
        OnMouseWheel(static_cast<short>(HIWORD(wParam)));
        return TRUE;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) {
            *result = TRUE;
            return TRUE;
        }
        return FALSE;
    case WM_CONTEXTMENU:
        OnContextMenu(point);
        return TRUE;
    case WM_TIMER:
        if (m_nAutoScrollTimer && wParam == m_nAutoScrollTimer) {
            OnTimer(wParam);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL SECEditController::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (!m_pEdit)
        return FALSE;
    if (code == CN_UPDATE_COMMAND_UI)
        return extra && UpdateCommandUI(static_cast<CCmdUI*>(extra));
    if (code != CN_COMMAND)
        return FALSE;
    // With handler information the caller only asks whether the command is the editor's.
    if (handlerInfo) {
        if (!FindEditCommand(id))
            return FALSE;
        handlerInfo->pTarget = this;
        return TRUE;
    }
    return RunEditCommand(id);
}

BOOL SECEditController::RunEditCommand(UINT id)
{
    const EditCommand command = FindEditCommand(id);
    if (!command)
        return FALSE;
    command(*this, id);
    return TRUE;
}

SECEditController::EditCommand SECEditController::FindEditCommand(UINT id)
{
    if (id >= ID_EDIT_TOGGLE_FLAG_FIRST && id <= ID_EDIT_CLEAR_FLAG_LAST) {
        return [](SECEditController& editor, UINT flagId) {
            if (flagId == ID_EDIT_MARK_LINE) {
                editor.MarkLine(-1);
                return;
            }
            const int flag = static_cast<int>(flagId - ID_EDIT_TOGGLE_FLAG_FIRST) % (MaxFlag + 1);
            if (flagId <= ID_EDIT_TOGGLE_FLAG_LAST) {
                editor.m_pEdit->ToggleLineFlag(editor.m_caret.m_nLine, flag);
                editor.RepaintLines(editor.m_caret.m_nLine, editor.m_caret.m_nLine);
                editor.m_pViewport->InvalidateGutter();
            } else if (flagId <= ID_EDIT_NEXT_FLAG_LAST) {
                editor.GoToFlag(flag, TRUE);
            } else if (flagId <= ID_EDIT_PREV_FLAG_LAST) {
                editor.GoToFlag(flag, FALSE);
            } else {
                editor.m_pEdit->ClearLineFlagAll(flag);
                editor.m_pViewport->InvalidateGutter();
            }
        };
    }
    struct Entry {
        UINT id;
        EditCommand command;
    };
    using Editor = SECEditController;
    static constexpr Entry commands[] = {
        { ID_EDIT_SHOW_WHITESPACE, [](Editor& editor, UINT) {
             if (ISECEditLangConfig* config = editor.GetLanguageConfig()) {
                 config->SetShowWhitespace(!config->GetShowWhitespace());
                 ::InvalidateRect(editor.m_hWnd, nullptr, FALSE);
             }
         } },
        { ID_EDIT_SELECT_ALL, [](Editor& editor, UINT) { editor.SelectAll(); } },
        { ID_EDIT_COPY, [](Editor& editor, UINT) { editor.Copy(); } },
        { ID_EDIT_CUT, [](Editor& editor, UINT) { editor.Cut(); } },
        { ID_EDIT_PASTE, [](Editor& editor, UINT) { editor.Paste(); } },
        { ID_EDIT_UNDO, [](Editor& editor, UINT) { editor.Undo(); } },
        { ID_EDIT_REDO, [](Editor& editor, UINT) { editor.Redo(); } },
        { ID_EDIT_FIND, [](Editor& editor, UINT) { editor.ShowFindReplace(TRUE); } },
        { ID_EDIT_REPLACE, [](Editor& editor, UINT) { editor.ShowFindReplace(FALSE); } },
        { ID_EDIT_CUT_LINE, [](Editor& editor, UINT) { editor.CutLines(TRUE); } },
        { ID_EDIT_DELETE_LINE, [](Editor& editor, UINT) { editor.CutLines(FALSE); } },
        { ID_EDIT_LOWER_CASE, [](Editor& editor, UINT) { editor.ChangeCase(FALSE); } },
        { ID_EDIT_UPPER_CASE, [](Editor& editor, UINT) { editor.ChangeCase(TRUE); } },
        { ID_EDIT_BACKSPACE, [](Editor& editor, UINT) { editor.Backspace(); } },
        { ID_EDIT_DELETE_WORD_LEFT, [](Editor& editor, UINT) { editor.DeleteWord(FALSE); } },
        { ID_EDIT_DELETE_WORD_RIGHT, [](Editor& editor, UINT) { editor.DeleteWord(TRUE); } },
        { ID_EDIT_DELETE_CHAR, [](Editor& editor, UINT) { editor.DeleteChar(); } },
        { ID_EDIT_NEWLINE, [](Editor& editor, UINT) { editor.Enter(); } },
        { ID_EDIT_TAB, [](Editor& editor, UINT) { editor.Tab(); } },
        { ID_EDIT_OUTDENT, [](Editor& editor, UINT) { editor.Outdent(); } },
        { ID_EDIT_OVERWRITE, [](Editor& editor, UINT) { editor.ToggleOverwrite(); } },
        { ID_EDIT_CLEAR_SELECTION, [](Editor& editor, UINT) { editor.ClearSelection(TRUE); } },
        { ID_EDIT_SCROLL_DOWN, [](Editor& editor, UINT) { editor.ScrollLines(1, 0); } },
        { ID_EDIT_SCROLL_UP, [](Editor& editor, UINT) { editor.ScrollLines(-1, 0); } },
        { ID_EDIT_SELECT_WORD, [](Editor& editor, UINT) { editor.SelectWordAtCaret(); } },
        { ID_EDIT_FIND_NEXT, [](Editor& editor, UINT) { editor.FindKey(TRUE, FALSE); } },
        { ID_EDIT_FIND_PREVIOUS, [](Editor& editor, UINT) { editor.FindKey(FALSE, FALSE); } },
        { ID_EDIT_FIND_NEXT_WORD, [](Editor& editor, UINT) { editor.FindKey(TRUE, TRUE); } },
        { ID_EDIT_FIND_PREVIOUS_WORD, [](Editor& editor, UINT) { editor.FindKey(FALSE, TRUE); } },
        { ID_EDIT_CARET_LINE_CHANGE, [](Editor& editor, UINT) { editor.OnCaretLineChange(); } },
        { ID_EDIT_LANG_CONFIG, [](Editor& editor, UINT) {
             // The dialog takes the focus and the caret with it.
             editor.DestroyEditCaret();
             if (editor.m_pEdit)
                 editor.m_pEdit->ShowFontDialog();
             editor.CreateEditCaret(TRUE);
             editor.SetCaretPosition(editor.m_caret.m_nLine, editor.m_caret.m_nCol, TRUE);
         } },
    };
    for (const Entry& entry : commands) {
        if (entry.id == id)
            return entry.command;
    }
    if (FindMove(id))
        return [](Editor& editor, UINT moveId) {
            const Move& move = *FindMove(moveId);
            if (move.extend) {
                editor.Extend(move.move, moveId == ID_EDIT_EXTEND_LINE_UP);
            } else {
                editor.ClearSelection(TRUE);
                (editor.*move.move)();
            }
            editor.AfterMove(move.horizontal);
        };
    return nullptr;
}

void SECEditController::ShowFindReplace(BOOL findOnly)
{
    if (m_openFindReplace)
        m_openFindReplace(*this, findOnly);
    else
        OpenFindReplace(findOnly);
}

const SECEditController::Move* SECEditController::FindMove(UINT id)
{
    static constexpr Move moves[] = {
        { ID_EDIT_CHAR_LEFT, &SECEditController::MoveCharLeft, false, true },
        { ID_EDIT_CHAR_RIGHT, &SECEditController::MoveCharRight, false, true },
        { ID_EDIT_LINE_UP, &SECEditController::MoveLineUp, false, false },
        { ID_EDIT_LINE_DOWN, &SECEditController::MoveLineDown, false, false },
        { ID_EDIT_PAGE_UP, &SECEditController::MovePageUp, false, false },
        { ID_EDIT_PAGE_DOWN, &SECEditController::MovePageDown, false, false },
        { ID_EDIT_HOME, &SECEditController::MoveHome, false, true },
        { ID_EDIT_END, &SECEditController::MoveEnd, false, true },
        { ID_EDIT_DOC_START, &SECEditController::MoveDocStart, false, true },
        { ID_EDIT_DOC_END, &SECEditController::MoveDocEnd, false, true },
        { ID_EDIT_EXTEND_CHAR_LEFT, &SECEditController::MoveCharLeft, true, true },
        { ID_EDIT_EXTEND_CHAR_RIGHT, &SECEditController::MoveCharRight, true, true },
        { ID_EDIT_EXTEND_LINE_UP, &SECEditController::MoveLineUp, true, false },
        { ID_EDIT_EXTEND_LINE_DOWN, &SECEditController::MoveLineDown, true, false },
        { ID_EDIT_EXTEND_PAGE_UP, &SECEditController::MovePageUp, true, false },
        { ID_EDIT_EXTEND_PAGE_DOWN, &SECEditController::MovePageDown, true, false },
        { ID_EDIT_EXTEND_HOME, &SECEditController::MoveHome, true, true },
        { ID_EDIT_EXTEND_END, &SECEditController::MoveEnd, true, true },
        { ID_EDIT_EXTEND_DOC_START, &SECEditController::MoveDocStart, true, true },
        { ID_EDIT_EXTEND_DOC_END, &SECEditController::MoveDocEnd, true, true },
        { ID_EDIT_WORD_LEFT, &SECEditController::MoveWordLeftSkipping, false, true },
        { ID_EDIT_WORD_RIGHT, &SECEditController::MoveWordRightSkipping, false, true },
        { ID_EDIT_EXTEND_WORD_LEFT, &SECEditController::MoveWordLeftSkipping, true, true },
        { ID_EDIT_EXTEND_WORD_RIGHT, &SECEditController::MoveWordRightSkipping, true, true },
    };
    for (const Move& move : moves) {
        if (move.id == id)
            return &move;
    }
    return nullptr;
}

BOOL SECEditController::UpdateCommandUI(CCmdUI* ui)
{
    const UINT id = ui->m_nID;
    if (id >= ID_EDIT_TOGGLE_FLAG_FIRST && id <= ID_EDIT_TOGGLE_FLAG_LAST) {
        ui->Enable(TRUE);
        return TRUE;
    }
    if (id >= ID_EDIT_NEXT_FLAG_FIRST && id <= ID_EDIT_CLEAR_FLAG_LAST) {
        ui->Enable(m_pEdit->CountLinesWithFlag(static_cast<int>(id - ID_EDIT_TOGGLE_FLAG_FIRST) % (MaxFlag + 1)) > 0);
        return TRUE;
    }
    switch (id) {
    case ID_EDIT_INDICATOR_POSITION:
        ui->Enable(TRUE);
        ui->SetText(GetPositionText());
        return TRUE;
    case ID_EDIT_COPY:
        ui->Enable(!(m_pEdit->GetLineCount() == 1 && m_pEdit->GetLineLength(0) == 0));
        return TRUE;
    case ID_EDIT_CUT:
        ui->Enable(!IsReadOnly() && SelectionExists());
        return TRUE;
    case ID_EDIT_PASTE:
        ui->Enable(::IsClipboardFormatAvailable(CF_UNICODETEXT) && !IsReadOnly());
        return TRUE;
    case ID_EDIT_UNDO:
        ui->Enable(m_pEdit->PeekUndo() != nullptr);
        return TRUE;
    case ID_EDIT_REDO:
        ui->Enable(m_pEdit->PeekRedo() != nullptr);
        return TRUE;
    case ID_EDIT_FIND:
        ui->Enable(TRUE);
        return TRUE;
    case ID_EDIT_REPLACE:
        ui->Enable(!IsReadOnly());
        return TRUE;
    case ID_EDIT_SHOW_WHITESPACE:
        ui->Enable(TRUE);
        ui->SetCheck(GetLanguageConfig() && GetLanguageConfig()->GetShowWhitespace());
        return TRUE;
    case ID_INDICATOR_OVR:
        ui->Enable(m_pEdit->IsOverwrite());
        return TRUE;
    default:
        return FALSE;
    }
}

CString SECEditController::GetPositionText()
{
    CString text;
    text.Format(L"Ln %d, Col %d", m_caret.m_nLine + m_nLineNumberBase, DisplayColumn(m_caret) + m_nLineNumberBase);
    return text;
}

void SECEditController::OnSetFocus()
{
    CreateEditCaret(TRUE);
    SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, TRUE);
    m_bFocusToSplitter = FALSE;
    if (!KeepSelectionShown())
        RepaintSelection();
}

void SECEditController::OnKillFocus(HWND)
{
    if (m_bSelecting || ::GetCapture() == m_hWnd)
        OnLButtonUp(0, {});
    DestroyEditCaret();
    if (!KeepSelectionShown())
        RepaintSelection();
}

void SECEditController::OnStartComposition()
{
    HIMC context = ::ImmGetContext(m_hWnd);
    if (!context)
        return;
    if (SECEditFontInfo* info = GetViewFontInfo(); info && info->GetFontCount() > 0) {
        LOGFONTW font {};
        if (info->GetTextFont()->GetLogFont(&font))
            ::ImmSetCompositionFontW(context, &font);
    }
    CPoint client = m_ptCaret;
    client -= m_pViewport->GetLogOrigin();
    COMPOSITIONFORM form { CFS_FORCE_POSITION, client, {} };
    ::ImmSetCompositionWindow(context, &form);
    ::ImmReleaseContext(m_hWnd, context);
}

void SECEditController::OnEndComposition()
{
    // The one caret belongs to the focus window: a composition that ends as the focus leaves makes none.
    if (::GetFocus() != m_hWnd)
        return;
    CreateEditCaret(TRUE);
    // A new caret is hidden: placing it shows it again.
    SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nCol > LineLength(m_caret.m_nLine));
}

// ---- caret ---------------------------------------------------------------------------------

int SECEditController::TabSize() const
{
    const ISECEditLangConfig* config = GetLanguageConfig();
    return config && config->GetTabSize() > 0 ? config->GetTabSize() : 4;
}

BOOL SECEditController::CanVirtualSpace() const
{
    const ISECEditLangConfig* config = GetLanguageConfig();
    return (config && config->GetVirtualWhitespace()) || IsColumnSelection() || m_bForceVirtualPos;
}

void SECEditController::CreateEditCaret(BOOL solid)
{
    if (!m_hWnd || !m_pViewport)
        return;
    const int width = std::max(::GetSystemMetrics(SM_CXBORDER), 2);
    ::CreateCaret(m_hWnd, solid ? nullptr : reinterpret_cast<HBITMAP>(1), width, std::max(m_pViewport->GetLineHeight(), 1));
    m_bCaretCreated = TRUE;
    m_bCaretHidden = TRUE;
}

void SECEditController::DestroyEditCaret()
{
    m_bCaretCreated = FALSE;
    if (!m_bCaretHidden) {
        ::HideCaret(m_hWnd);
        m_bCaretHidden = TRUE;
    }
    ::DestroyCaret();
}

void SECEditController::SetCaretFromPoint(int x, int y, BOOL allowPastEnd)
{
    CPoint point(x, y);
    point += m_pViewport->GetLogOrigin();
    const SECEditLineCol position = PointToLineCol(point, TRUE);
    SetCaretPosition(position.m_nLine, position.m_nCol, allowPastEnd);
}

void SECEditController::SetCaretPosition(int line, int column, BOOL allowPastEnd)
{
    if (!m_pEdit)
        return;
    line = std::clamp(line, 0, std::max(LastLine(), 0));
    column = std::max(column, 0);
    if (!CanVirtualSpace() && !allowPastEnd)
        column = std::min(column, LineLength(line));
    m_bForceVirtualPos = allowPastEnd;
    m_caret = { line, column };
    m_ptCaret = LineColToPoint(m_caret);
    m_bForceVirtualPos = FALSE;
    OnCaretMoved();
}

void SECEditController::EnableUpdates(BOOL enable)
{
    if (!enable)
        ++m_nFreezeCount;
    else
        m_nFreezeCount = std::max(m_nFreezeCount - 1, 0);
    m_bPaintEnabled = m_nFreezeCount == 0;
    if (enable && m_bPaintEnabled)
        EnsureCaretVisible();
}

void SECEditController::EnsureCaretVisible()
{
    if (!m_bPaintEnabled || !m_pViewport || !m_hWnd)
        return;
    const int h = m_pViewport->GetLineHeight(), w = m_pViewport->GetCharWidth();
    if (h <= 0 || w <= 0)
        return;
    CRect visible = m_pViewport->GetVisibleRect();
    visible.left += GetGutterWidth();
    visible.bottom -= h;
    const CPoint p = m_ptCaret;
    if (!(p.x >= visible.left && p.x <= visible.right && p.y >= visible.top && p.y <= visible.bottom) && visible.Height() >= 0) {
        int lines = 0, columns = 0;
        if (p.y < visible.top)
            lines = -((visible.top - p.y) / h);
        else if (p.y > visible.bottom)
            lines = (p.y - visible.bottom) / h + 1;
        if (p.x < visible.left)
            columns = -8 - (visible.left - p.x) / w;
        else if (p.x > visible.right)
            columns = (p.x - visible.right) / w + 8;
        m_pViewport->ScrollTo(m_pViewport->GetTopLine() + lines, m_pViewport->GetLeftColumn() + columns);
    }
    SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nCol > LineLength(m_caret.m_nLine));
}

void SECEditController::OnCaretMoved()
{
    if (m_bCaretCreated && m_pViewport) {
        CPoint client = m_ptCaret;
        client.Offset(-m_pViewport->GetLogOrigin().x, -m_pViewport->GetLogOrigin().y);
        const int gutter = GetGutterWidth();
        if (client.x != gutter)
            client.x -= 1;
        if (client.x < gutter) {
            if (!m_bCaretHidden) {
                ::HideCaret(m_hWnd);
                m_bCaretHidden = TRUE;
            }
        } else if (m_bCaretHidden) {
            ::ShowCaret(m_hWnd);
            m_bCaretHidden = FALSE;
        }
        ::SetCaretPos(client.x, client.y);
    }
    m_bCaretPastEnd = m_caret.m_nCol > LineLength(m_caret.m_nLine);
    if (m_caret.m_nLine != m_nLastCaretLine && !m_bInCaretLineChange && m_hWnd)
        ::PostMessageW(m_hWnd, WM_COMMAND, ID_EDIT_CARET_LINE_CHANGE, 0);
}

void SECEditController::OnCaretLineChange()
{
    m_bInCaretLineChange = TRUE;
    if (!SelectionExists()) {
        NotifyObservers();
        if (m_pEdit->GetLineFlag(m_nLastCaretLine, SECEDIT_FLAG_CHANGED))
            m_pEdit->SetLineFlag(m_nLastCaretLine, SECEDIT_FLAG_CHANGED, FALSE);
    }
    m_nLastCaretLine = m_caret.m_nLine;
    m_bInCaretLineChange = FALSE;
}

void SECEditController::NotifyObservers()
{
    // A plain update for views that show the caret's place (status panes): the repaint of the
    // text is the viewport's own business.
    if (m_pEdit)
        m_pEdit->UpdateAllObservers(nullptr, nullptr);
}

void SECEditController::RepaintLines(int first, int last)
{
    if (m_pViewport)
        m_pViewport->InvalidateLines(std::min(first, last), std::max(first, last));
}

void SECEditController::RepaintSelection()
{
    if (m_sel.HasSelection())
        RepaintLines(m_sel.GetFirst().m_nLine, m_sel.GetLast().m_nLine);
}

// ---- conversions ---------------------------------------------------------------------------

CString SECEditController::LineText(int line)
{
    // Copied from the text as it is stored: a pointer to all of a long line would have it stored wide.
    CString copy;
    const int length = LineLength(line);
    if (length <= 0 || !m_pEdit->GetText(copy, line, 0, line, length))
        return {};
    return copy;
}

int SECEditController::CharsInWidth(CDC* dc, const wchar_t* text, int length, int width, int tabWidth)
{
    auto measure = [&](int count) { return static_cast<int>(LOWORD(::GetTabbedTextExtentW(*dc, text, count, 1, &tabWidth))); };
    if (length <= 0 || width <= 0)
        return 0;
    if (measure(length) <= width)
        return length;
    int low = 0, high = length; // measure(low) <= width < measure(high)
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (measure(middle) <= width ? low : high) = middle;
    }
    return low;
}

SECEditLineCol SECEditController::PointToLineCol(CPoint point, BOOL tabRule, CDC* dc)
{
    SECEditFontInfo* font = GetViewFontInfo();
    if (!m_pEdit || !font || font->m_nLineHeight <= 0)
        return {};
    CDC& measure = dc ? *dc : font->GetInfoDC();
    const int h = font->m_nLineHeight, w = std::max(font->m_nAveCharWidth, 1);
    const int line = std::clamp<int>(point.y / h, 0, std::max(LastLine(), 0));
    const int gutter = GetGutterWidth();
    if (!dc && m_pViewport && point.x - m_pViewport->GetLogOrigin().x < gutter)
        return { line, 0 };
    const int dx = point.x - gutter;
    if (dx <= 0)
        return { line, 0 };
    CFont* old = dc ? nullptr : measure.SelectObject(font->GetTextFont());
    const SECEditLineMeasure widths(measure, m_pEdit->GetTabStopWidth(*font));
    const int length = std::max(m_pEdit->GetLineLength(line), 0);
    SECEditLineCol result(line, 0);
    int left = 0;
    const int fit = m_pViewport->GetLineWidths().Fit(*m_pEdit, widths, line, length, dx, left);
    const wchar_t* after = nullptr;
    if (fit == length || m_pEdit->GetLinePointer(after, line, fit, line, fit + 1) != 1) {
        result.m_nCol = length;
        if (CanVirtualSpace())
            result.m_nCol += (dx - left) / w;
    } else {
        const wchar_t next = *after;
        const long long right = widths.After(left, next);
        bool takeRight;
        if (next == L'\t')
            takeRight = tabRule ? right - dx < 4 : dx != left;
        else
            takeRight = right - dx < dx - left;
        result.m_nCol = takeRight ? fit + 1 : fit;
    }
    if (old)
        measure.SelectObject(old);
    return result;
}

CPoint SECEditController::LineColToPoint(const SECEditLineCol& position, CDC* dc)
{
    SECEditFontInfo* font = GetViewFontInfo();
    if (!m_pEdit || !font || position.m_nLine < 0 || position.m_nLine > LastLine())
        return {};
    CDC& measure = dc ? *dc : font->GetInfoDC();
    const SECEditLineMeasure widths(measure, m_pEdit->GetTabStopWidth(*font));
    const int length = std::max(m_pEdit->GetLineLength(position.m_nLine), 0);
    const int count = std::min(position.m_nCol, length);
    int x = GetGutterWidth() + m_pViewport->GetLineWidths().Width(*m_pEdit, widths, position.m_nLine, length, count);
    if (position.m_nCol > length)
        x += (position.m_nCol - length) * font->m_nAveCharWidth;
    return { x, position.m_nLine * font->m_nLineHeight };
}

int SECEditController::DisplayColumn(const SECEditLineCol& position)
{
    const int length = LineLength(position.m_nLine);
    const int inside = std::min(position.m_nCol, length);
    int display = m_pEdit->ConvertLineColumn(inside, 0, position.m_nLine, nullptr);
    return display + std::max(position.m_nCol - length, 0);
}

int SECEditController::ColumnFromDisplay(int line, int display)
{
    if (!m_pEdit)
        return std::max(display, 0);
    const int tab = TabSize();
    const int length = LineLength(line);
    int d = 0;
    int found = -1;
    // Read in pieces up to the place: a line of millions of characters is not copied whole.
    m_pEdit->ForEachLinePiece(line, 0, length, [&](const wchar_t* chars, int count, int column) {
        for (int i = 0; i < count; ++i) {
            if (d >= display) {
                found = column + i;
                return false;
            }
            d = chars[i] == L'\t' ? (d / tab + 1) * tab : d + 1;
        }
        return true;
    });
    return found >= 0 ? found : length + std::max(display - d, 0);
}

// ---- the presentation state ----------------------------------------------------------------

BOOL SECEditController::IsColumnSelection() const
{
    return m_sel.HasSelection() && (m_sel.m_nMode == SelectColumn || m_sel.m_nMode == SelectColumnDrag);
}

BOOL SECEditController::GetSelection(int& startLine, int& startCol, int& endLine, int& endCol) const
{
    if (!m_sel.HasSelection())
        return FALSE;
    m_sel.GetFirst(startLine, startCol);
    m_sel.GetLast(endLine, endCol);
    if (m_sel.m_nMode == SelectLines) {
        startCol = 0;
        const int last = m_pEdit ? m_pEdit->GetLastLine() : 0;
        if (endLine < last) {
            ++endLine;
            endCol = 0;
        } else {
            endCol = m_pEdit ? std::max(m_pEdit->GetLineLength(endLine), 0) : 0;
        }
    }
    return TRUE;
}

BOOL SECEditController::GetDragRect(RECT* rect) const
{
    if (m_sel.m_nMode != SelectColumnDrag || !m_pViewport)
        return FALSE;
    CRect r(m_ptAnchor, m_ptAnchorPrev);
    r.NormalizeRect();
    r.bottom += m_pViewport->GetLineHeight();
    *rect = r;
    return TRUE;
}

void SECEditController::GetColumnRange(int line, int& startCol, int& endCol)
{
    // The block lies between the display columns of its two corners, the same on every line.
    const int a = DisplayColumn(m_sel.m_start), b = DisplayColumn(m_sel.m_end);
    startCol = ColumnFromDisplay(line, std::min(a, b));
    endCol = ColumnFromDisplay(line, std::max(a, b));
}

void SECEditController::OnUpdate(ISubject*, IMessage* message)
{
    if (!message || !m_pEdit)
        return;
    switch (message->GetTypeID()) {
    case SECEDIT_INIT_CONTROLLER:
        ResetState();
        return;
    case SECEDIT_FONT_UPDATE:
    case SECEDIT_INVALIDATE_COLORING: {
        m_pViewport->KeepTopLeftText();
        if (m_bCaretCreated) {
            DestroyEditCaret();
            CreateEditCaret(TRUE);
        }
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nCol > LineLength(m_caret.m_nLine));
        return;
    }
    case SECEDIT_COMMAND: {
        auto* command = dynamic_cast<SECEditCommand*>(message);
        if (!command)
            return;
        const SECEditLineColPair range = command->Normalized();
        const BOOL insert = command->IsTextPresent();
        if (m_bCaretCreated) {
            const SECEditLineCol target = insert ? range.m_end : range.m_start;
            if (target != m_caret) {
                m_caret = target;
                m_ptCaret = LineColToPoint(m_caret);
                m_nDesiredX = m_ptCaret.x;
                OnCaretMoved();
            }
        } else {
            m_caret.AdjustForEdit(range, insert);
            m_ptCaret = LineColToPoint(m_caret);
        }
        if (m_sel.HasSelection() && !m_bSelecting) {
            m_sel.AdjustForEdit(range, insert);
            if (m_bCaretCreated)
                m_sel.Clear();
        }
        if (m_bCaretCreated)
            EnsureCaretVisible();
        return;
    }
    default:
        return;
    }
}
