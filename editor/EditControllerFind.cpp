// Find, replace, mark all and the line flags (bookmarks) of the editor's controller.

#include "editor/EditController.h"

#include "editor/EditRegExp.h"
#include "platform/base/MessageBox.h"
#include "editor/EditResource.h"

#include <algorithm>

namespace {

CString WithText(UINT id, const CString& text)
{
    CString message;
    message.LoadString(id);
    message.Replace(L"%1", text);
    return message;
}

} // namespace

void SECEditController::ShowMessage(const CString& text)
{
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

EditFindRequest SECEditController::MakeRequest(const _SEC_FIND_REPLACE_STATE& state) const
{
    EditFindRequest request;
    request.pattern = state.strFind;
    request.forward = state.bSearchDown != FALSE;
    request.wrap = true;
    request.matchCase = state.bMatchCase != FALSE;
    request.wholeWord = state.bWholeWord != FALSE;
    request.regularExpression = state.bRegExp != FALSE;
    return request;
}

CString SECEditController::GetFindTextAtCaret()
{
    if (SelectionExists() && m_sel.GetFirst().m_nLine == m_sel.GetLast().m_nLine && !IsColumnSelection()) {
        CString text;
        GetSelectionText(text);
        return text;
    }
    return GetWordAtCaret();
}

void SECEditController::SelectMatch(int line, int column, int length)
{
    ClearSelection(TRUE);
    CString rest;
    int endLine = line, endCol = column + length;
    // A match may run over line ends (a regular expression's): walk its length along the text.
    const int onLine = LineLength(line) - column;
    if (length > onLine && line < LastLine()) {
        int left = length - onLine - static_cast<int>(LineBreakLength());
        endLine = line + 1;
        while (left > LineLength(endLine) && endLine < LastLine()) {
            left -= LineLength(endLine) + LineBreakLength();
            ++endLine;
        }
        endCol = std::clamp(left, 0, LineLength(endLine));
    }
    SetCaretPosition(line, column, FALSE);
    EnsureCaretVisible();
    m_sel.SetCaret(m_caret, SelectStream);
    SetCaretPosition(endLine, endCol, FALSE);
    EnsureCaretVisible();
    int first = 0, last = 0;
    m_sel.MoveEnd(m_caret.m_nLine, m_caret.m_nCol, first, last);
    RepaintLines(m_sel.GetFirst().m_nLine, m_sel.GetLast().m_nLine);
    PublishSelection();
}

int SECEditController::LineBreakLength() const
{
    const ISECEditBuffer* buffer = m_pEdit ? m_pEdit->GetBuffer() : nullptr;
    return buffer && buffer->GetLineEnd2() ? 2 : 1;
}

void SECEditController::CenterLine(int line)
{
    const int visible = m_pViewport->GetVisibleLineCount();
    const int top = m_pViewport->GetTopLine();
    const int wanted = std::max(line - visible / 2, 0);
    if (wanted != top)
        ScrollLines(wanted - top, 0);
}

BOOL SECEditController::FindNext(_SEC_FIND_REPLACE_STATE& state)
{
    SECEditLineCol start = m_caret;
    if (SelectionExists())
        start = state.bSearchDown ? m_sel.GetLast() : m_sel.GetFirst();
    if (state.strFind != m_strFind) {
        m_strFind.Empty();
        m_nFindCount = 0;
    }
    int line = 0, column = 0;
    const int length = state.strFind.IsEmpty() ? 0 : m_pEdit->Find(start.m_nLine, start.m_nCol, line, column, MakeRequest(state));
    if (length > 0) {
        if (m_nFindCount != 0 && SelectionExists() && m_sel.GetFirst() == SECEditLineCol(line, column)) {
            ShowMessage(WithText(IDS_EDIT_FINISHED_SEARCH, state.strFind));
            m_strFind.Empty();
            m_nFindCount = 0;
            return FALSE;
        }
        SelectMatch(line, column, length);
        CenterLine(line);
        m_strFind = state.strFind;
        m_nFindCount = 1;
        return TRUE;
    }
    ShowMessage(WithText(state.bNotFoundMessage ? IDS_EDIT_CANNOT_FIND : IDS_EDIT_FINISHED_SEARCH, state.strFind));
    m_strFind.Empty();
    m_nFindCount = 0;
    ClearSelection(TRUE);
    return FALSE;
}

BOOL SECEditController::NeedsFindBeforeReplace(_SEC_FIND_REPLACE_STATE& state)
{
    if (!SelectionExists() || m_sel.GetFirst().m_nLine != m_sel.GetLast().m_nLine)
        return TRUE;
    const SECEditLineCol first = m_sel.GetFirst(), last = m_sel.GetLast();
    EditFindRequest request = MakeRequest(state);
    request.forward = true;
    request.wrap = false;
    int line = 0, column = 0;
    const int length = m_pEdit->Find(first.m_nLine, first.m_nCol, line, column, request);
    return !(length > 0 && line == first.m_nLine && column == first.m_nCol && column + length == last.m_nCol);
}

CString SECEditController::Replacement(const _SEC_FIND_REPLACE_STATE& state, const CString& matched) const
{
    if (!state.bRegExp)
        return state.strReplace;
    SECEditRegExp regExp;
    try {
        if (!regExp.Initialize())
            return state.strReplace;
        regExp.SetPattern(state.strFind);
        regExp.SetIgnoreCase(!state.bMatchCase);
        CString text = matched;
        regExp.Replace(text, state.strReplace, FALSE);
        return text;
    } catch (CException* error) {
        error->Delete();
        return state.strReplace;
    }
}

// The selected match replaced by the state's replacement, unless the line would grow too long.
// FALSE after telling the user so.
static BOOL FitsOnLine(SECEdit& edit, const CString& lineBefore, const CString& replacement, const CString& lineAfter)
{
    const CString line = lineBefore + replacement + lineAfter;
    const int display = edit.ConvertColumn(line.GetLength(), 0, line.GetString(), line.GetLength(), nullptr);
    if (display <= edit.GetMaxLineLength())
        return TRUE;
    CString message;
    message.LoadString(IDS_EDIT_LINE_TOO_LONG);
    CString text;
    text.Format(message.GetString(), edit.GetMaxLineLength());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL SECEditController::Replace(_SEC_FIND_REPLACE_STATE& state)
{
    if (IsReadOnly()) {
        CString message;
        message.LoadString(IDS_EDIT_READ_ONLY_REPLACE);
        ShowMessage(message);
        return FALSE;
    }
    if (NeedsFindBeforeReplace(state))
        return FindNext(state);
    CString matched;
    GetSelectionText(matched);
    const CString replacement = Replacement(state, matched);
    const SECEditLineCol first = m_sel.GetFirst(), last = m_sel.GetLast();
    const CString line = LineText(first.m_nLine);
    if (!FitsOnLine(*m_pEdit, line.Left(first.m_nCol), replacement, line.Mid(last.m_nCol)))
        return FALSE;
    ReplaceSelection(replacement);
    // The selection is no match any more: the next search selects the next one.
    return FindNext(state);
}

int SECEditController::ReplaceAll(_SEC_FIND_REPLACE_STATE& state)
{
    if (IsReadOnly()) {
        CString message;
        message.LoadString(IDS_EDIT_READ_ONLY_REPLACE);
        ShowMessage(message);
        return 0;
    }
    if (state.strFind.IsEmpty())
        return 0;
    const bool inSelection = state.bSelectionOnly && SelectionExists();
    const SECEditLineCol origin = SelectionExists() ? m_sel.GetFirst() : m_caret;
    EditFindRequest request = MakeRequest(state);
    request.forward = true;
    request.wrap = false;
    int count = 0;
    bool stopped = false;
    // Replaces every match from `from` up to `stop` ((-1, -1): the end); `stop` moves with the
    // text replaced before it on its line.
    auto replaceIn = [&](SECEditLineCol from, SECEditLineCol& stop) {
        while (!stopped) {
            int line = 0, column = 0;
            const int length = m_pEdit->Find(from.m_nLine, from.m_nCol, line, column, request, stop.m_nLine, stop.m_nCol);
            if (length <= 0)
                return;
            const SECEditLineCol matchEnd(line, column + length);
            if (stop.m_nLine >= 0 && stop < matchEnd)
                return;
            const CString text = LineText(line);
            const int end = std::min(column + length, text.GetLength());
            const CString replacement = Replacement(state, text.Mid(column, end - column));
            if (!FitsOnLine(*m_pEdit, text.Left(column), replacement, text.Mid(end))) {
                stopped = true;
                return;
            }
            m_pEdit->DeleteText(line, column, line, end);
            if (!replacement.IsEmpty())
                m_pEdit->InsertText(line, column, replacement, replacement.GetLength());
            ++count;
            if (stop.m_nLine == line && stop.m_nCol >= end)
                stop.m_nCol += replacement.GetLength() - (end - column);
            from = { line, column + replacement.GetLength() };
            if (end == column) {
                // An empty match: step over one character so that the search moves on.
                if (from.m_nCol < LineLength(line))
                    ++from.m_nCol;
                else if (line < LastLine())
                    from = { line + 1, 0 };
                else
                    return;
            }
        }
    };
    {
        UndoGroup group(m_pEdit);
        Frozen frozen(*this);
        if (inSelection) {
            SECEditLineCol stop = m_sel.GetLast();
            ClearSelection(TRUE);
            replaceIn(origin, stop);
        } else {
            ClearSelection(TRUE);
            SECEditLineCol toEnd(-1, -1), stop = origin;
            replaceIn(origin, toEnd);
            // Round again from the start up to where the run began.
            if (!(stop == SECEditLineCol(0, 0)))
                replaceIn({ 0, 0 }, stop);
        }
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (count == 0) {
        ShowMessage(WithText(IDS_EDIT_FINISHED_SEARCH, state.strFind));
        return 0;
    }
    CString format, message;
    format.LoadString(inSelection ? IDS_EDIT_REPLACED_SELECTION : IDS_EDIT_REPLACED_DOCUMENT);
    message.Format(format.GetString(), count);
    ShowMessage(message);
    return count;
}

int SECEditController::MarkAll(_SEC_FIND_REPLACE_STATE& state)
{
    SECEditLineCol position = m_caret;
    if (SelectionExists())
        position = state.bSearchDown ? m_sel.GetLast() : m_sel.GetFirst();
    const EditFindRequest request = MakeRequest(state);
    int firstMarked = -1, marked = 0;
    while (!state.strFind.IsEmpty()) {
        int line = 0, column = 0;
        if (m_pEdit->Find(position.m_nLine, position.m_nCol, line, column, request) <= 0 || line == firstMarked)
            break;
        if (firstMarked < 0)
            firstMarked = line;
        m_pEdit->SetLineFlag(line, BookmarkFlag, TRUE);
        ++marked;
        if (request.forward)
            position = line < LastLine() ? SECEditLineCol(line + 1, 0) : SECEditLineCol(0, 0);
        else
            position = line > 0 ? SECEditLineCol(line - 1, LineLength(line - 1)) : SECEditLineCol(LastLine(), LineLength(LastLine()));
    }
    if (firstMarked < 0) {
        CString message;
        message.Format(L"Cannot find the string '%s'.", state.strFind.GetString());
        ShowMessage(message);
        return 0;
    }
    ClearSelection(TRUE);
    SetCaretPosition(firstMarked, 0, FALSE);
    EnsureCaretVisible();
    m_pViewport->InvalidateGutter();
    return marked;
}

void SECEditController::FindKey(BOOL forward, BOOL wordAtCaret)
{
    _SEC_FIND_REPLACE_STATE& state = GetFindReplaceState();
    if (wordAtCaret) {
        state.bSearchDown = forward;
        const CString text = GetFindTextAtCaret();
        if (text.IsEmpty()) {
            if (m_openFindReplace)
                m_openFindReplace(*this, TRUE);
            return;
        }
        state.strFind = text;
        m_nFindCount = 0;
        FindNext(state);
        return;
    }
    if (state.strFind.IsEmpty()) {
        state.strFind = GetFindTextAtCaret();
        if (state.strFind.IsEmpty())
            return;
    }
    state.bSearchDown = forward;
    m_nFindCount = 0;
    FindNext(state);
}

void SECEditController::GoToFlag(int flag, BOOL forward)
{
    const int line = m_pEdit->FindLineWithFlag(m_caret.m_nLine, flag, forward);
    if (line < 0)
        return;
    ClearSelection(TRUE);
    SetCaretPosition(line, 0, FALSE);
    AfterMove(TRUE);
}

void SECEditController::MarkLine(int line)
{
    if (line < 0)
        line = m_caret.m_nLine;
    m_pEdit->ToggleLineFlag(line, SECEDIT_FLAG_HIGHLIGHT);
    RepaintLines(line, line);
    NotifyObservers();
}
