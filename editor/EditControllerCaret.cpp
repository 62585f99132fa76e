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
    return CharClass(ch, GetLanguageConfig());
}

int SECEditController::CharClass(wchar_t ch, const ISECEditLangConfig* config)
{
    if (ch == L' ' || ch == L'\t')
        return 0;
    if (iswalnum(ch) || ch == L'_' || (config && config->IsCharOfClass(ch, CharClassKeywordMiddle)))
        return 1;
    return 2;
}

int SECEditController::CharClassAt(int line, int column)
{
    int charClass = 0;
    m_pEdit->ForEachLinePiece(line, column, column + 1, [&](const wchar_t* chars, int, int) {
        charClass = CharClass(*chars);
        return true;
    });
    return charClass;
}

int SECEditController::RunEdge(int line, int column, bool forward)
{
    const ISECEditLangConfig* config = GetLanguageConfig();
    int edge = column;
    int runClass = LineBreakRun;
    const auto scan = [&](const wchar_t* chars, int count, int) {
        for (int i = 0; i < count; ++i) {
            const int charClass = CharClass(forward ? chars[i] : chars[count - 1 - i], config);
            if (runClass != LineBreakRun && charClass != runClass)
                return false;
            runClass = charClass;
            edge += forward ? 1 : -1;
        }
        return true;
    };
    if (forward)
        m_pEdit->ForEachLinePiece(line, column, LineLength(line), scan);
    else
        m_pEdit->ForEachLinePieceBackward(line, 0, column, scan);
    return edge;
}

std::optional<SECEditController::CharRunEnd> SECEditController::CharRunBeside(int line, int column, bool forward)
{
    const int length = LineLength(line);
    column = std::min(column, length);
    if (forward) {
        if (column < length)
            return CharRunEnd { { line, RunEdge(line, column, true) }, CharClassAt(line, column) };
        if (line >= LastLine())
            return std::nullopt;
        return CharRunEnd { { line + 1, 0 }, LineBreakRun };
    }
    if (column > 0)
        return CharRunEnd { { line, RunEdge(line, column, false) }, CharClassAt(line, column - 1) };
    if (line == 0)
        return std::nullopt;
    return CharRunEnd { { line - 1, LineLength(line - 1) }, LineBreakRun };
}

BOOL SECEditController::GetCharRun(CString& run, int line, int column, BOOL forward, int& endLine, int& endCol)
{
    run.Empty();
    endLine = line;
    endCol = column;
    const std::optional<CharRunEnd> beside = CharRunBeside(line, column, forward);
    if (!beside)
        return FALSE;
    endLine = beside->end.m_nLine;
    endCol = beside->end.m_nCol;
    if (beside->charClass == LineBreakRun) {
        run = L"\n";
    } else {
        column = std::min(column, LineLength(line));
        m_pEdit->GetText(run, line, std::min(column, endCol), line, std::max(column, endCol));
    }
    return TRUE;
}

// Word moves find the runs beside the caret without copying its line, which may be millions of
// characters long.
void SECEditController::MoveWordLeft(BOOL skipBlanks)
{
    const SECEditLineCol caret = m_caret;
    const std::optional<CharRunEnd> run = CharRunBeside(caret.m_nLine, std::min(caret.m_nCol, LineLength(caret.m_nLine)), false);
    if (!run)
        return;
    SECEditLineCol target = run->end;
    if (skipBlanks && target.m_nCol != 0 && (target.m_nLine != caret.m_nLine || run->charClass == 0)) {
        // Blanks (or the line break) before the caret: on to the start of the word before them.
        if (const std::optional<CharRunEnd> before = CharRunBeside(target.m_nLine, target.m_nCol, false))
            target = before->end;
    }
    SetCaretPosition(target.m_nLine, target.m_nCol, FALSE);
}

void SECEditController::MoveWordRight(BOOL skipBlanks)
{
    const SECEditLineCol caret = m_caret;
    const std::optional<CharRunEnd> run = CharRunBeside(caret.m_nLine, std::min(caret.m_nCol, LineLength(caret.m_nLine)), true);
    if (!run)
        return;
    SECEditLineCol target = run->end;
    if (skipBlanks && target.m_nCol < LineLength(target.m_nLine)) {
        // Blanks after the word: past them too.
        if (const std::optional<CharRunEnd> after = CharRunBeside(target.m_nLine, target.m_nCol, true); after && after->charClass == 0)
            target = after->end;
    }
    SetCaretPosition(target.m_nLine, target.m_nCol, FALSE);
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
    const int line = position.m_nLine;
    const int length = LineLength(line);
    int column = std::min(position.m_nCol, length);
    if (length == 0)
        return FALSE;
    // The word the caret touches: the run at the caret, or the one just before it.
    if (column == length || (column > 0 && CharClassAt(line, column) == 0 && CharClassAt(line, column - 1) != 0))
        --column;
    start = RunEdge(line, column + 1, false);
    end = RunEdge(line, column, true);
    return TRUE;
}

CString SECEditController::GetWordAtCaret()
{
    int start = 0, end = 0;
    CString word;
    if (GetWordAt(m_caret, start, end) && CharClassAt(m_caret.m_nLine, start) != 0)
        m_pEdit->GetText(word, m_caret.m_nLine, start, m_caret.m_nLine, end);
    return word;
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
