// The text-changing commands of the editor's controller: typing, Enter, Tab, deletions, case,
// and the clipboard.

#include "editor/EditController.h"

#include "platform/user/WinUser.h"

#include <algorithm>
#include <cstring>

namespace {

CString LineBreakOf(SECEdit& edit)
{
    const ISECEditBuffer* buffer = edit.GetBuffer();
    if (!buffer)
        return L"\r\n";
    CString text;
    if (buffer->GetLineEnd2())
        text += buffer->GetLineEnd2();
    text += buffer->GetLineEnd1();
    return text;
}

HGLOBAL BlockWithText(const CString& text)
{
    const std::size_t bytes = (static_cast<std::size_t>(text.GetLength()) + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.GetString(), bytes);
        ::GlobalUnlock(memory);
    }
    return memory;
}

HGLOBAL ColumnMarker()
{
    HGLOBAL marker = ::GlobalAlloc(GMEM_MOVEABLE, 1);
    if (marker) {
        *static_cast<char*>(::GlobalLock(marker)) = 0;
        ::GlobalUnlock(marker);
    }
    return marker;
}

void PutOnClipboard(HWND owner, const CString& text, BOOL column)
{
    if (!::OpenClipboard(owner))
        return;
    ::EmptyClipboard();
    if (!text.IsEmpty()) {
        if (HGLOBAL memory = BlockWithText(text))
            ::SetClipboardData(CF_UNICODETEXT, memory);
        if (HGLOBAL marker = column ? ColumnMarker() : nullptr)
            ::SetClipboardData(SECEditController::ColumnSelectFormat(), marker);
    }
    ::CloseClipboard();
}

BOOL ReadClipboard(HWND owner, CString& text, BOOL& column)
{
    text.Empty();
    column = FALSE;
    if (!::OpenClipboard(owner))
        return FALSE;
    if (HANDLE memory = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(memory))) {
            text = chars;
            ::GlobalUnlock(memory);
        }
        column = ::IsClipboardFormatAvailable(SECEditController::ColumnSelectFormat());
    }
    ::CloseClipboard();
    return !text.IsEmpty();
}

} // namespace

UINT SECEditController::ColumnSelectFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"MSDEVColumnSelect");
    return format;
}

BOOL SECEditController::RunCommand(divuzura::foundation::CMvcCommand* command)
{
    Frozen frozen(*this);
    return m_pEdit->Do(command);
}

BOOL SECEditController::Undo()
{
    EnableUpdates(FALSE);
    const BOOL done = m_pEdit->Undo() != nullptr;
    m_pLastTyping = nullptr;
    EnableUpdates(TRUE);
    return done;
}

BOOL SECEditController::Redo()
{
    EnableUpdates(FALSE);
    const BOOL done = m_pEdit->Redo() != nullptr;
    m_pLastTyping = nullptr;
    EnableUpdates(TRUE);
    return done;
}

void SECEditController::OnChar(wchar_t ch)
{
    // Characters typed with Ctrl (and without AltGr) belong to the key table.
    const bool control = ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0;
    if (IsReadOnly() || IsDragging() || ch < 32 || ch == 127 || control)
        return;
    InsertTypedText(CString(ch));
}

void SECEditController::FillVirtualSpace()
{
    const int length = LineLength(m_caret.m_nLine);
    if (m_caret.m_nCol <= length)
        return;
    const int from = DisplayColumn({ m_caret.m_nLine, length });
    const int to = DisplayColumn(m_caret);
    const int line = m_caret.m_nLine;
    const CString gap = m_pEdit->GetIndentText(to - from, { line, length }, TRUE);
    m_pEdit->InsertText(line, length, gap, gap.GetLength());
    SetCaretPosition(line, length + gap.GetLength(), FALSE);
}

void SECEditController::InsertPadded(const SECEditLineCol& position, const CString& text)
{
    if (position.m_nCol > LineLength(position.m_nLine)) {
        const SECEditLineCol keep = m_caret;
        m_caret = position;
        FillVirtualSpace();
        if (m_caret != position)
            m_caret = keep;
        m_pEdit->InsertText(position.m_nLine, LineLength(position.m_nLine), text, text.GetLength());
        return;
    }
    m_pEdit->InsertText(position.m_nLine, position.m_nCol, text, text.GetLength());
}

void SECEditController::InsertTypedText(const CString& text)
{
    if (m_pEdit->IsGroupOpen())
        m_pEdit->GroupEdits(FALSE);
    if (m_caret.m_nCol > LineLength(m_caret.m_nLine)) {
        m_pLastTyping = nullptr;
        FillVirtualSpace();
    }
    const BOOL overwrite = m_pEdit->IsOverwrite();
    if (overwrite) {
        m_pLastTyping = nullptr;
        if (m_caret.m_nCol < LineLength(m_caret.m_nLine)) {
            UndoGroup group(m_pEdit);
            Frozen frozen(*this);
            const BOOL hadSelection = SelectionExists();
            ReplaceSelection(text);
            if (!hadSelection)
                DeleteCharAfterCaret();
            return;
        }
    }
    if (SelectionExists() || text.GetLength() == 2) {
        ReplaceSelection(text);
        m_pLastTyping = nullptr;
        return;
    }
    // A word typed letter by letter is one undo step: a letter joins the last typing step when
    // it follows its text directly and is of the same kind as the step's first letter.
    auto* last = dynamic_cast<SECEditCommand*>(m_pLastTyping);
    bool merge = false;
    if (!overwrite && last && m_pEdit->PeekUndo() == m_pLastTyping && m_pEdit->IsModified()) {
        const SECEditLineColPair range = last->Normalized();
        if (range.m_end == m_caret && range.m_start.m_nLine == m_caret.m_nLine && !range.IsEmpty()) {
            const wchar_t* first = nullptr;
            const int column = range.m_start.m_nCol;
            merge = m_pEdit->GetLinePointer(first, m_caret.m_nLine, column, m_caret.m_nLine, column + 1) == 1
                && CharClass(*first) == CharClass(text[0]);
        }
    }
    const SECEditLineCol at = m_caret;
    m_pEdit->SetMarkChangedLines(TRUE);
    m_pEdit->InsertText(at.m_nLine, at.m_nCol, text, text.GetLength());
    m_pEdit->SetMarkChangedLines(FALSE);
    auto* added = dynamic_cast<SECEditCommand*>(m_pEdit->PeekUndo());
    if (!added || added->Normalized().m_end.m_nLine != at.m_nLine) {
        // The model broke the over-long line: that stays a step of its own.
        m_pLastTyping = nullptr;
        return;
    }
    if (!merge || !m_pEdit->MergeLastInsertion(*last))
        m_pLastTyping = added;
}

SECEditLineCol SECEditController::DeleteSelection()
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (!GetSelection(sl, sc, el, ec))
        return m_caret;
    const SECEditLineCol start(sl, sc);
    if (IsColumnSelection()) {
        UndoGroup group(m_pEdit);
        for (int line = sl; line <= el; ++line) {
            int from = 0, to = 0;
            GetColumnRange(line, from, to);
            const int length = LineLength(line);
            if (from < length)
                m_pEdit->DeleteText(line, from, line, std::min(to, length));
        }
        int from = 0, to = 0;
        GetColumnRange(sl, from, to);
        m_sel.Clear();
        SetCaretPosition(sl, from, TRUE);
        return m_caret;
    }
    m_sel.Clear();
    m_pEdit->DeleteText(sl, std::min(sc, LineLength(sl)), el, std::min(ec, LineLength(el)));
    SetCaretPosition(sl, sc, FALSE);
    return start;
}

void SECEditController::ReplaceSelection(const CString& text, BOOL column)
{
    UndoGroup group(m_pEdit);
    Frozen frozen(*this);
    if (SelectionExists()) {
        const int first = m_sel.GetFirst().m_nLine, last = m_sel.GetLast().m_nLine;
        DeleteSelection();
        RepaintLines(first, last);
    }
    if (text.IsEmpty())
        return;
    if (column)
        InsertColumnText(m_caret, text);
    else
        InsertPadded(m_caret, text);
}

void SECEditController::DeleteCharAfterCaret()
{
    if (SelectionExists()) {
        ReplaceSelection(CString());
        return;
    }
    const int length = LineLength(m_caret.m_nLine);
    if (m_caret.m_nLine >= LastLine() && m_caret.m_nCol >= length)
        return;
    FillVirtualSpace();
    if (m_caret.m_nCol >= LineLength(m_caret.m_nLine))
        m_pEdit->DeleteText(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nLine + 1, 0);
    else
        m_pEdit->DeleteText(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nLine, m_caret.m_nCol + 1);
}

void SECEditController::InsertColumnText(const SECEditLineCol& position, const CString& text)
{
    UndoGroup group(m_pEdit);
    const CString lineBreak = LineBreakOf(*m_pEdit);
    CPoint point = LineColToPoint(position);
    const SECEditLineCol start = position;
    int from = 0;
    while (true) {
        const int feed = text.Find(L'\n', from);
        if (feed < 0)
            break;
        CString piece = text.Mid(from, feed - from);
        if (!piece.IsEmpty() && piece[piece.GetLength() - 1] == L'\r')
            piece = piece.Left(piece.GetLength() - 1);
        from = feed + 1;
        m_bForceVirtualPos = TRUE;
        const SECEditLineCol at = PointToLineCol(point, FALSE, &GetViewFontInfo()->GetInfoDC());
        m_bForceVirtualPos = FALSE;
        if (!piece.IsEmpty())
            InsertPadded(at, piece);
        // The next line of the block needs a line to go to.
        if (at.m_nLine == LastLine() && text.Find(L'\n', from) >= 0)
            m_pEdit->InsertText(at.m_nLine, LineLength(at.m_nLine), lineBreak, lineBreak.GetLength());
        point.y += m_pViewport->GetLineHeight();
    }
    SetCaretPosition(start.m_nLine, start.m_nCol, TRUE);
}

void SECEditController::Enter()
{
    if (!IsEditable())
        return;
    const CString lineBreak = LineBreakOf(*m_pEdit);
    UndoGroup group(m_pEdit);
    int keptIndent = -1;
    if (!SelectionExists()) {
        const int length = LineLength(m_caret.m_nLine);
        if (m_caret.m_nCol > length) {
            if (m_pEdit->GetIndentLength(m_caret.m_nLine) == length)
                keptIndent = DisplayColumn(m_caret);
            SetCaretPosition(m_caret.m_nLine, length, FALSE);
        }
        m_pEdit->InsertText(m_caret.m_nLine, m_caret.m_nCol, lineBreak, lineBreak.GetLength());
        if (!m_bCaretCreated)
            SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, FALSE);
    } else {
        ReplaceSelection(lineBreak);
    }
    const ISECEditLangConfig* config = GetLanguageConfig();
    if (!config || !config->GetAutoIndent() || m_caret.m_nLine == 0)
        return;
    const int above = m_caret.m_nLine - 1;
    const int display = keptIndent >= 0 ? keptIndent : DisplayColumn({ above, m_pEdit->GetIndentLength(above) });
    if (display <= 0)
        return;
    if (LineLength(m_caret.m_nLine) == 0) {
        // An empty new line keeps its indentation as virtual space until something is typed.
        SetCaretPosition(m_caret.m_nLine, display, TRUE);
        m_nDesiredX = m_ptCaret.x;
        return;
    }
    const CString indent = m_pEdit->GetIndentText(display, m_caret, TRUE);
    m_pEdit->InsertText(m_caret.m_nLine, m_caret.m_nCol, indent, indent.GetLength());
}

void SECEditController::Tab()
{
    if (!IsEditable())
        return;
    const bool multiLine = SelectionExists() && m_sel.GetFirst().m_nLine != m_sel.GetLast().m_nLine;
    if (!multiLine) {
        const BOOL overwrite = m_pEdit->IsOverwrite();
        if (!overwrite || m_caret.m_nCol >= LineLength(m_caret.m_nLine)) {
            UndoGroup group(m_pEdit);
            if (SelectionExists())
                ReplaceSelection(CString());
            FillVirtualSpace();
            m_pEdit->InsertTab(m_caret.m_nLine, m_caret.m_nCol);
            m_pLastTyping = nullptr;
        } else {
            const int t = TabSize();
            if (t == 1) {
                MoveCharRight();
            } else {
                const int d = DisplayColumn(m_caret);
                SetCaretPosition(m_caret.m_nLine, ColumnFromDisplay(m_caret.m_nLine, d + (t - d % t)), TRUE);
            }
            AfterMove(TRUE);
        }
        return;
    }
    if (IsColumnSelection()) {
        UndoGroup group(m_pEdit);
        const int left = std::min(DisplayColumn(m_sel.m_start), DisplayColumn(m_sel.m_end));
        for (int line = m_sel.GetFirst().m_nLine; line <= m_sel.GetLast().m_nLine; ++line) {
            const int column = ColumnFromDisplay(line, left);
            if (column <= LineLength(line))
                m_pEdit->InsertTab(line, column);
        }
        const SECEditLineCol first = m_sel.GetFirst(), last = m_sel.GetLast();
        m_sel.Set(first, { last.m_nLine, ColumnFromDisplay(last.m_nLine, DisplayColumn(last) + 1) }, SelectColumn);
        RepaintLines(first.m_nLine, last.m_nLine);
        return;
    }
    // A stream over several lines indents its lines; a line it only reaches at column 0 is not one of them.
    const bool caretAtEnd = m_sel.GetCaretEnd() == m_sel.GetLast();
    int first = m_sel.GetFirst().m_nLine, last = m_sel.GetLast().m_nLine;
    if (m_sel.m_nMode != SelectLines && m_sel.GetLast().m_nCol == 0)
        --last;
    {
        UndoGroup group(m_pEdit);
        Frozen frozen(*this);
        m_sel.Clear();
        for (int line = first; line <= last; ++line)
            if (!m_pEdit->IsLineBlank(line))
                m_pEdit->InsertTab(line, 0);
    }
    m_sel.Set({ first, 0 }, { last, LineLength(last) }, SelectLines);
    if (!caretAtEnd)
        m_sel.Set({ last, LineLength(last) }, { first, 0 }, SelectLines);
    SetCaretPosition(caretAtEnd ? last : first, caretAtEnd ? LineLength(last) : 0, FALSE);
    RepaintLines(first, last);
}

void SECEditController::Outdent()
{
    if (IsColumnSelection() || IsDragging())
        return;
    const bool multiLine = SelectionExists() && m_sel.GetFirst().m_nLine != m_sel.GetLast().m_nLine;
    if (multiLine) {
        if (IsReadOnly())
            return;
        const bool caretAtEnd = m_sel.GetCaretEnd() == m_sel.GetLast();
        int first = m_sel.GetFirst().m_nLine, last = m_sel.GetLast().m_nLine;
        if (m_sel.m_nMode != SelectLines && m_sel.GetLast().m_nCol == 0)
            --last;
        {
            UndoGroup group(m_pEdit);
            Frozen frozen(*this);
            m_sel.Clear();
            const int t = TabSize();
            for (int line = first; line <= last; ++line) {
                const CString text = LineText(line);
                int count = 0;
                if (!text.IsEmpty() && text[0] == L'\t')
                    count = 1;
                else
                    while (count < t && count < text.GetLength() && text[count] == L' ')
                        ++count;
                if (count > 0)
                    m_pEdit->DeleteText(line, 0, line, count);
            }
        }
        m_sel.Set({ first, 0 }, { last, LineLength(last) }, SelectLines);
        if (!caretAtEnd)
            m_sel.Set({ last, LineLength(last) }, { first, 0 }, SelectLines);
        SetCaretPosition(caretAtEnd ? last : first, caretAtEnd ? LineLength(last) : 0, FALSE);
        RepaintLines(first, last);
        return;
    }
    ClearSelection(TRUE);
    const int d = DisplayColumn(m_caret);
    const int t = TabSize();
    if (d == 0)
        return;
    if (t == 1) {
        MoveCharLeft();
    } else if (d < t) {
        MoveHome();
    } else {
        const int back = d % t == 0 ? t : d % t;
        SetCaretPosition(m_caret.m_nLine, ColumnFromDisplay(m_caret.m_nLine, d - back), TRUE);
    }
    AfterMove(TRUE);
}

void SECEditController::Backspace()
{
    if (!IsEditable())
        return;
    if (SelectionExists()) {
        ReplaceSelection(CString());
        return;
    }
    if (m_caret.m_nLine == 0 && m_caret.m_nCol == 0)
        return;
    if (m_caret.m_nCol > LineLength(m_caret.m_nLine)) {
        SetCaretPosition(m_caret.m_nLine, LineLength(m_caret.m_nLine), FALSE);
        AfterMove(TRUE);
        return;
    }
    MoveCharLeft();
    DeleteCharAfterCaret();
    EnsureCaretVisible();
}

void SECEditController::DeleteChar()
{
    if (!IsEditable())
        return;
    DeleteCharAfterCaret();
}

void SECEditController::DeleteWord(BOOL right)
{
    if (!IsEditable())
        return;
    const SECEditLineCol caret = m_caret;
    right ? MoveWordRight(TRUE) : MoveWordLeft(TRUE);
    const SECEditLineCol other = m_caret;
    m_caret = caret;
    if (other == caret)
        return;
    ClearSelection(TRUE);
    m_sel.Set(caret, other, SelectStream);
    ReplaceSelection(CString());
}

void SECEditController::CutLines(BOOL copy)
{
    if (!IsEditable())
        return;
    SelectCaretLines();
    if (copy)
        Copy();
    ReplaceSelection(CString());
}

void SECEditController::ChangeCase(BOOL upper)
{
    if (!IsEditable() || !SelectionExists())
        return;
    CString text;
    GetSelectionText(text);
    upper ? text.MakeUpper() : text.MakeLower();
    const SECEditSelection kept = m_sel;
    const BOOL column = IsColumnSelection();
    {
        UndoGroup group(m_pEdit);
        Frozen frozen(*this);
        ReplaceSelection(text, column);
    }
    m_sel = kept;
    SetCaretPosition(kept.m_end.m_nLine, kept.m_end.m_nCol, column);
    RepaintLines(kept.GetFirst().m_nLine, kept.GetLast().m_nLine);
}

void SECEditController::ToggleOverwrite()
{
    m_pEdit->SetOverwrite(!m_pEdit->IsOverwrite());
}

// ---- clipboard -----------------------------------------------------------------------------

CString SECEditController::TextToCopy(BOOL& column)
{
    CString text;
    column = FALSE;
    if (SelectionExists()) {
        GetSelectionText(text);
        column = IsColumnSelection();
    } else {
        const int line = m_caret.m_nLine;
        text = LineText(line);
        if (line < LastLine())
            text += LineBreakOf(*m_pEdit);
    }
    return text;
}

void SECEditController::Copy()
{
    BOOL column = FALSE;
    const CString text = TextToCopy(column);
    PutOnClipboard(m_hWnd, text, column);
}

std::unique_ptr<COleDataSource> SECEditController::CreateDataSource(BOOL copy)
{
    BOOL column = FALSE;
    CString text;
    if (copy || SelectionExists())
        text = TextToCopy(column);
    if (text.IsEmpty())
        return nullptr;
    auto source = std::make_unique<COleDataSource>();
    source->CacheGlobalData(CF_UNICODETEXT, BlockWithText(text));
    if (column)
        source->CacheGlobalData(static_cast<CLIPFORMAT>(ColumnSelectFormat()), ColumnMarker());
    return source;
}

BOOL SECEditController::GetClipboardText(COleDataObject* data, CString& text, BOOL* column)
{
    text.Empty();
    if (column)
        *column = FALSE;
    HGLOBAL memory = data ? data->GetGlobalData(CF_UNICODETEXT) : nullptr;
    if (!memory)
        return FALSE;
    const auto* chars = static_cast<const wchar_t*>(::GlobalLock(memory));
    const std::size_t size = ::GlobalSize(memory) / sizeof(wchar_t);
    // The block need not end with a terminator.
    text = CString(std::wstring(chars, std::find(chars, chars + size, L'\0')));
    ::GlobalUnlock(memory);
    ::GlobalFree(memory);
    if (column)
        *column = data->IsDataAvailable(static_cast<CLIPFORMAT>(ColumnSelectFormat()));
    return !text.IsEmpty();
}

void SECEditController::Cut()
{
    if (!IsEditable())
        return;
    Copy();
    ReplaceSelection(CString());
}

void SECEditController::Paste()
{
    if (!IsEditable())
        return;
    CString text;
    BOOL column = FALSE;
    if (ReadClipboard(m_hWnd, text, column))
        ReplaceSelection(text, column);
}

void SECEditController::PastePrimary(CPoint client)
{
    if (!IsEditable())
        return;
    const CString text = ::GetPrimarySelectionText().c_str();
    if (text.IsEmpty())
        return;
    ClearSelection(TRUE);
    SetCaretFromPoint(client.x, client.y, FALSE);
    ReplaceSelection(text);
    EnsureCaretVisible();
}
