// The caret moves and the selection of the editor's controller.

#include "editor/EditController.h"

#include <algorithm>

void SECEditController::AfterMove(BOOL horizontal)
{
    OnCaretMoved();
    EnsureCaretVisible();
    if (horizontal)
        m_nDesiredX = m_ptCaret.x;
    NotifyObservers();
}

void SECEditController::Extend(void (SECEditController::*move)(), BOOL shiftUp)
{
    if (!m_sel.HasSelection())
        m_sel.SetCaret(m_caret, SelectStream);
    if (m_sel.m_nMode != SelectStream && m_sel.m_nMode != SelectLines)
        m_sel.m_nMode = SelectStream;
    (this->*move)();
    if (shiftUp && m_caret.m_nCol > LineLength(m_caret.m_nLine)) {
        const SECEditLineCol keep = m_caret;
        MoveHome();
        (void)keep;
    }
    int first = 0, last = 0;
    m_sel.MoveEnd(m_caret.m_nLine, m_caret.m_nCol, first, last);
    RepaintLines(first, last);
    // A selection made with the keys is the X PRIMARY selection too, as one made with the mouse.
    PublishSelection();
}

BOOL SECEditController::ClearSelection(BOOL repaint)
{
    if (!m_sel.HasSelection())
        return FALSE;
    const int first = m_sel.GetFirst().m_nLine, last = m_sel.GetLast().m_nLine;
    m_sel.Clear();
    if (repaint)
        RepaintLines(first, last);
    return TRUE;
}

void SECEditController::MoveCharLeft()
{
    if (m_caret.m_nCol == 0) {
        if (m_caret.m_nLine > 0)
            SetCaretPosition(m_caret.m_nLine - 1, LineLength(m_caret.m_nLine - 1), FALSE);
        return;
    }
    const int length = LineLength(m_caret.m_nLine);
    if (m_caret.m_nCol > length && !CanVirtualSpace())
        SetCaretPosition(m_caret.m_nLine, length, FALSE);
    else
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol - 1, m_caret.m_nCol - 1 > length);
}

void SECEditController::MoveCharRight()
{
    const int length = LineLength(m_caret.m_nLine);
    if (m_caret.m_nCol < length)
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol + 1, FALSE);
    else if (CanVirtualSpace())
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol + 1, TRUE);
    else if (m_caret.m_nLine < LastLine())
        SetCaretPosition(m_caret.m_nLine + 1, 0, FALSE);
}

void SECEditController::MoveLineUp()
{
    if (m_caret.m_nLine <= 0)
        return;
    CPoint point = m_ptCaret;
    point.y -= m_pViewport->GetLineHeight();
    if (m_bTrackDesiredX)
        point.x = m_nDesiredX;
    const SECEditLineCol position = PointToLineCol(point, FALSE, &GetViewFontInfo()->GetInfoDC());
    SetCaretPosition(position.m_nLine, position.m_nCol, FALSE);
}

void SECEditController::MoveLineDown()
{
    if (m_caret.m_nLine >= LastLine())
        return;
    CPoint point = m_ptCaret;
    point.y += m_pViewport->GetLineHeight();
    if (m_bTrackDesiredX)
        point.x = m_nDesiredX;
    const SECEditLineCol position = PointToLineCol(point, FALSE, &GetViewFontInfo()->GetInfoDC());
    SetCaretPosition(position.m_nLine, position.m_nCol, FALSE);
}

void SECEditController::MovePageDown()
{
    const int page = m_pViewport->GetVisibleLineCount();
    if (page <= 0 || m_caret.m_nLine >= LastLine())
        return;
    const int target = std::min(m_caret.m_nLine + page - 1, LastLine());
    const int lines = target - m_caret.m_nLine;
    ScrollLines(lines, 0);
    CPoint point(m_bTrackDesiredX ? m_nDesiredX : m_ptCaret.x, target * m_pViewport->GetLineHeight());
    const SECEditLineCol position = PointToLineCol(point, FALSE, &GetViewFontInfo()->GetInfoDC());
    SetCaretPosition(position.m_nLine, position.m_nCol, FALSE);
}

void SECEditController::MovePageUp()
{
    const int page = m_pViewport->GetVisibleLineCount();
    if (page <= 0 || m_caret.m_nLine <= 0)
        return;
    const int target = std::max(m_caret.m_nLine - page + 1, 0);
    ScrollLines(target - m_caret.m_nLine, 0);
    CPoint point(m_bTrackDesiredX ? m_nDesiredX : m_ptCaret.x, target * m_pViewport->GetLineHeight());
    const SECEditLineCol position = PointToLineCol(point, FALSE, &GetViewFontInfo()->GetInfoDC());
    SetCaretPosition(position.m_nLine, position.m_nCol, FALSE);
}

void SECEditController::MoveHome()
{
    const int first = m_pEdit->GetIndentLength(m_caret.m_nLine);
    const int length = LineLength(m_caret.m_nLine);
    SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol != first && first != length ? first : 0, FALSE);
}

void SECEditController::MoveEnd()
{
    SetCaretPosition(m_caret.m_nLine, LineLength(m_caret.m_nLine), FALSE);
}

void SECEditController::MoveDocStart()
{
    SetCaretPosition(0, 0, FALSE);
}

void SECEditController::MoveDocEnd()
{
    SetCaretPosition(LastLine(), LineLength(LastLine()), FALSE);
}

int SECEditController::CharClass(wchar_t ch) const
{
    if (ch == L' ' || ch == L'\t')
        return 0;
    const ISECEditLangConfig* config = GetLanguageConfig();
    if (iswalnum(ch) || ch == L'_' || (config && config->IsCharOfClass(ch, CharClassKeywordMiddle)))
        return 1;
    return 2;
}

BOOL SECEditController::GetCharRun(CString& run, int line, int column, BOOL forward, int& endLine, int& endCol)
{
    run.Empty();
    endLine = line;
    endCol = column;
    const CString text = LineText(line);
    const int length = text.GetLength();
    column = std::min(column, length);
    if (forward) {
        if (column >= length) {
            if (line >= LastLine())
                return FALSE;
            run = L"\n";
            endLine = line + 1;
            endCol = 0;
            return TRUE;
        }
        const int cls = CharClass(text[column]);
        int end = column;
        while (end < length && CharClass(text[end]) == cls)
            ++end;
        run = text.Mid(column, end - column);
        endCol = end;
        return TRUE;
    }
    if (column == 0) {
        if (line == 0)
            return FALSE;
        run = L"\n";
        endLine = line - 1;
        endCol = LineLength(line - 1);
        return TRUE;
    }
    const int cls = CharClass(text[column - 1]);
    int start = column;
    while (start > 0 && CharClass(text[start - 1]) == cls)
        --start;
    run = text.Mid(start, column - start);
    endCol = start;
    return TRUE;
}

void SECEditController::MoveWordLeft(BOOL skipBlanks)
{
    CString run;
    int line = 0, column = 0;
    if (!GetCharRun(run, m_caret.m_nLine, std::min(m_caret.m_nCol, LineLength(m_caret.m_nLine)), FALSE, line, column))
        return;
    if (skipBlanks && column != 0) {
        const bool blanks = CharClass(run[0]) == 0;
        if (line == m_caret.m_nLine && !blanks && run != L"\n") {
            SetCaretPosition(line, column, FALSE);
            return;
        }
        CString before;
        int l2 = line, c2 = column;
        if (GetCharRun(before, line, column, FALSE, l2, c2)) {
            SetCaretPosition(l2, c2, FALSE);
            return;
        }
    }
    SetCaretPosition(line, column, FALSE);
}

void SECEditController::MoveWordRight(BOOL skipBlanks)
{
    CString run;
    int line = 0, column = 0;
    if (!GetCharRun(run, m_caret.m_nLine, std::min(m_caret.m_nCol, LineLength(m_caret.m_nLine)), TRUE, line, column))
        return;
    if (skipBlanks && column < LineLength(line)) {
        CString after;
        int l2 = line, c2 = column;
        if (GetCharRun(after, line, column, TRUE, l2, c2) && !after.IsEmpty() && CharClass(after[0]) == 0) {
            SetCaretPosition(l2, c2, FALSE);
            return;
        }
    }
    SetCaretPosition(line, column, FALSE);
}

void SECEditController::ScrollLines(int lines, int columns)
{
    if (m_bScrollByMessages) {
        for (int i = 0; i < std::abs(lines); ++i)
            ::SendMessageW(m_hWnd, WM_VSCROLL, lines < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        for (int i = 0; i < std::abs(columns); ++i)
            ::SendMessageW(m_hWnd, WM_HSCROLL, columns < 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
        return;
    }
    m_pViewport->ScrollTo(m_pViewport->GetTopLine() + lines, m_pViewport->GetLeftColumn() + columns);
}

// ---- selection -----------------------------------------------------------------------------

void SECEditController::SelectAll()
{
    ClearSelection(TRUE);
    if (m_pEdit->GetLineCount() < 1)
        return;
    {
        Frozen frozen(*this);
        MoveDocEnd();
    }
    Extend(&SECEditController::MoveDocStart);
    AfterMove(TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL SECEditController::GetWordAt(const SECEditLineCol& position, int& start, int& end)
{
    const CString text = LineText(position.m_nLine);
    const int length = text.GetLength();
    int column = std::min(position.m_nCol, length);
    if (length == 0)
        return FALSE;
    // The word the caret touches: the run at the caret, or the one just before it.
    if (column == length || (CharClass(text[column]) == 0 && column > 0 && CharClass(text[column - 1]) != 0))
        --column;
    const int cls = CharClass(text[column]);
    start = column;
    end = column + 1;
    while (start > 0 && CharClass(text[start - 1]) == cls)
        --start;
    while (end < length && CharClass(text[end]) == cls)
        ++end;
    return TRUE;
}

CString SECEditController::GetWordAtCaret()
{
    int start = 0, end = 0;
    if (!GetWordAt(m_caret, start, end))
        return {};
    const CString word = LineText(m_caret.m_nLine).Mid(start, end - start);
    return CharClass(word[0]) == 0 ? CString() : word;
}

void SECEditController::SelectWordAtCaret()
{
    int start = -1, end = -1;
    if (!GetWordAt(m_caret, start, end) || start < 0 || end < 0 || start == end)
        return;
    ClearSelection(TRUE);
    m_sel.SetCaret({ m_caret.m_nLine, start }, SelectStream);
    SetCaretPosition(m_caret.m_nLine, end, FALSE);
    int first = 0, last = 0;
    m_sel.MoveEnd(m_caret.m_nLine, end, first, last);
    RepaintLines(first, last);
    m_nDesiredX = m_ptCaret.x;
}

void SECEditController::SelectLinesRange(int first, int last)
{
    ClearSelection(TRUE);
    m_sel.SetCaret({ first, 0 }, SelectLines);
    int a = 0, b = 0;
    m_sel.MoveEnd(last, LineLength(last), a, b);
    RepaintLines(first, last);
}

void SECEditController::SelectCaretLines()
{
    if (SelectionExists())
        SelectLinesRange(m_sel.GetFirst().m_nLine, m_sel.GetLast().m_nLine);
    else
        SelectLinesRange(m_caret.m_nLine, m_caret.m_nLine);
}

void SECEditController::SetSelection(int line1, int col1, int line2, int col2, int mode)
{
    SetSelection(SECEditLineColPair(line1, col1, line2, col2), mode);
}

void SECEditController::SetSelection(const SECEditLineColPair& pair, int mode)
{
    ClearSelection(TRUE);
    if (pair.m_start.m_nLine > LastLine() || (pair.m_start.m_nLine == LastLine() && pair.m_start.m_nCol > LineLength(LastLine())))
        return;
    SECEditLineCol end = pair.m_end;
    if (end.m_nLine > LastLine())
        end = { LastLine(), LineLength(LastLine()) };
    SetCaretPosition(pair.m_start.m_nLine, pair.m_start.m_nCol, FALSE);
    m_sel.SetCaret(m_caret, SelectStream);
    SetCaretPosition(end.m_nLine, end.m_nCol, FALSE);
    EnsureCaretVisible();
    int first = 0, last = 0;
    m_sel.MoveEnd(m_caret.m_nLine, m_caret.m_nCol, first, last);
    m_sel.m_nMode = mode == SelectColumnDrag ? SelectColumn : mode;
    RepaintLines(m_sel.GetFirst().m_nLine, m_sel.GetLast().m_nLine);
}

void SECEditController::GetSelectionText(CString& text)
{
    text.Empty();
    if (!m_sel.HasSelection())
        return;
    if (IsColumnSelection()) {
        for (int line = m_sel.GetFirst().m_nLine; line <= m_sel.GetLast().m_nLine; ++line) {
            int start = 0, end = 0;
            GetColumnRange(line, start, end);
            const CString content = LineText(line);
            if (start < content.GetLength())
                text += content.Mid(start, std::min(end, content.GetLength()) - start);
            text += L"\r\n";
        }
        return;
    }
    int sl = 0, sc = 0, el = 0, ec = 0;
    GetSelection(sl, sc, el, ec);
    m_pEdit->GetText(text, sl, std::min(sc, LineLength(sl)), el, std::min(ec, LineLength(el)));
}
