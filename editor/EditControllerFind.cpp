// Find, replace, mark all and the line flags (bookmarks) of the editor's controller.

#include "editor/EditController.h"

#include "editor/EditBusyRun.h"

#include "editor/EditRegExp.h"
#include "editor/EditReplaceAll.h"
#include "platform/base/MessageBox.h"
#include "editor/EditResource.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// Replace-all edits blocks of whole lines about this long.
constexpr int ReplaceAllBlock = 1 << 18;

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

namespace {

// The regular-expression object of one replacement run, made once for all its matches.
class Substitution {
public:
    explicit Substitution(const _SEC_FIND_REPLACE_STATE& state) : m_state(state)
    {
        if (!state.bRegExp)
            return;
        try {
            m_ready = m_regExp.Initialize();
            if (m_ready) {
                m_regExp.SetPattern(state.strFind);
                m_regExp.SetIgnoreCase(!state.bMatchCase);
            }
        } catch (CException* error) {
            error->Delete();
            m_ready = false;
        }
    }

    // The state's replacement text, or for a regular expression the engine's substitution on the
    // matched text.
    CString For(const CString& matched)
    {
        if (!m_ready)
            return m_state.strReplace;
        try {
            CString text = matched;
            m_regExp.Replace(text, m_state.strReplace, FALSE);
            return text;
        } catch (CException* error) {
            error->Delete();
            return m_state.strReplace;
        }
    }

private:
    const _SEC_FIND_REPLACE_STATE& m_state;
    SECEditRegExp m_regExp;
    bool m_ready = false;
};

void ShowLineTooLong(int maximum)
{
    CString message;
    message.LoadString(IDS_EDIT_LINE_TOO_LONG);
    CString text;
    text.Format(message.GetString(), maximum);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool LineFits(const SECEdit& edit, std::wstring_view line)
{
    const int length = static_cast<int>(line.size());
    const int display = edit.ConvertColumn(length, 0, line.data(), length, nullptr);
    return display <= edit.GetMaxLineLength();
}

} // namespace

CString SECEditController::Replacement(const _SEC_FIND_REPLACE_STATE& state, const CString& matched) const
{
    return Substitution(state).For(matched);
}

// The selected match replaced by the state's replacement, unless the line would grow too long.
// FALSE after telling the user so.
static BOOL FitsOnLine(SECEdit& edit, const CString& lineBefore, const CString& replacement, const CString& lineAfter)
{
    if (LineFits(edit, (lineBefore + replacement + lineAfter).view()))
        return TRUE;
    ShowLineTooLong(edit.GetMaxLineLength());
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

// Every match of the document (or of the selection) found in one pass, and the lines from the
// first match to the last replaced in blocks of whole lines, one edit each: one undo step, in
// time linear in the text, with no copy of a big text whole.
int SECEditController::ReplaceAll(_SEC_FIND_REPLACE_STATE& state)
{
    if (IsReadOnly()) {
        CString message;
        message.LoadString(IDS_EDIT_READ_ONLY_REPLACE);
        ShowMessage(message);
        return 0;
    }
    ISECEditBuffer* buffer = m_pEdit->GetBuffer();
    if (state.strFind.IsEmpty() || !buffer)
        return 0;
    const bool inSelection = state.bSelectionOnly && SelectionExists();
    int from = 0, to = INT_MAX;
    if (inSelection) {
        const SECEditLineCol first = m_sel.GetFirst(), last = m_sel.GetLast();
        from = buffer->LineColToOffset(first.m_nLine, first.m_nCol);
        to = buffer->LineColToOffset(last.m_nLine, std::min(last.m_nCol, LineLength(last.m_nLine)));
    }
    EditFindRequest request = MakeRequest(state);
    request.forward = true;
    request.wrap = false;
    std::vector<EditMatch> matches = buffer->FindAll(from, to, request);
    const std::vector<EditReplaceAllBlock> blocks = SplitReplaceAllBlocks(*buffer, matches, ReplaceAllBlock);

    Substitution substitution(state);
    int replacements = 0;
    bool lineTooLong = false;
    int caretLine = 0, caretOffset = 0; // the end of the last replacement, from caretLine's start
    // A long run shows the busy cursor and lets the windows paint between pieces of its work; Esc
    // ends it with the blocks done so far, which stay one undo step.
    std::optional<EditBusyRun> busy;
    auto keepGoing = [&] {
        if (!busy)
            busy.emplace();
        return busy->KeepGoing();
    };
    const EditLineWidthLimit limit { m_pEdit->TabSize(), m_pEdit->GetMaxLineLength() };
    bool cancelled = false;
    {
        Frozen frozen(*this);
        const bool grouped = !m_pEdit->IsGroupOpen();
        if (grouped)
            m_pEdit->GroupEdits(TRUE);
        int lineShift = 0; // the lines the blocks before added
        for (const EditReplaceAllBlock& block : blocks) {
            if (&block != &blocks.front() && !keepGoing()) {
                cancelled = true;
                break;
            }
            const int firstLine = block.firstLine + lineShift, lastLine = block.lastLine + lineShift;
            const SECEditLineColPair lines(firstLine, 0, lastLine, LineLength(lastLine));
            std::vector<EditMatch> own(matches.begin() + block.first, matches.begin() + block.last);
            for (EditMatch& match : own)
                match.offset -= block.start;
            CString copy;
            const wchar_t* chars = nullptr;
            const int length = m_pEdit->GetLinePointer(chars, firstLine, 0, lastLine, lines.m_end.m_nCol);
            if (length < 0 || !chars) {
                m_pEdit->GetText(copy, firstLine, 0, lastLine, lines.m_end.m_nCol);
                chars = copy.GetString();
            }
            const EditReplaceAllText replaced = BuildReplaceAllText(
                std::wstring_view(chars, std::max(length, copy.GetLength())), own,
                [&](std::wstring_view matched) { return state.bRegExp ? substitution.For(CString(matched)) : state.strReplace; },
                limit, keepGoing);
            if (replaced.cancelled) {
                cancelled = true;
                break;
            }
            if (replaced.replaced > 0) {
                if (replacements == 0)
                    ClearSelection(TRUE);
                const int linesBefore = m_pEdit->GetLineCount();
                m_pEdit->ReplaceText(lines, replaced.text.c_str(), static_cast<int>(replaced.text.size()));
                lineShift += m_pEdit->GetLineCount() - linesBefore;
                replacements += replaced.replaced;
                caretLine = firstLine;
                caretOffset = replaced.endOfLast;
            }
            if (replaced.lineTooLong) {
                lineTooLong = true;
                break;
            }
        }
        if (grouped)
            m_pEdit->GroupEdits(FALSE);
        int line = 0, column = 0;
        if (replacements > 0 && buffer->OffsetToLineCol(buffer->LineColToOffset(caretLine, 0) + caretOffset, line, column))
            SetCaretPosition(line, column, FALSE);
    }
    busy.reset();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (cancelled)
        return replacements;
    if (lineTooLong)
        ShowLineTooLong(m_pEdit->GetMaxLineLength());
    if (replacements == 0) {
        if (!lineTooLong)
            ShowMessage(WithText(IDS_EDIT_FINISHED_SEARCH, state.strFind));
        return 0;
    }
    CString format, message;
    format.LoadString(inSelection ? IDS_EDIT_REPLACED_SELECTION : IDS_EDIT_REPLACED_DOCUMENT);
    message.Format(format.GetString(), replacements);
    ShowMessage(message);
    return replacements;
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
    if (ActivateFindDialog())
        return;
    if (wordAtCaret) {
        state.bSearchDown = forward;
        const CString text = GetFindTextAtCaret();
        if (text.IsEmpty()) {
            ShowFindReplace(TRUE);
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
