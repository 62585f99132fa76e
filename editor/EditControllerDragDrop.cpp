// Drag and drop of text in the editor's controller: it drags its selection (to its own view,
// another editor or another program) and takes text dropped into its window, shown meanwhile
// by a grey drop caret.

#include "editor/EditController.h"

#include "platform/user/WinUser.h"

#include <algorithm>

void SECEditController::DoDragDrop()
{
    const SECEditLineCol caret = m_caret;
    std::unique_ptr<COleDataSource> source = m_pEdit ? CreateDataSource(FALSE) : nullptr;
    if (!source)
        return;
    m_pEdit->SetDragSource(this);
    m_bDropRemovedSource = FALSE;
    DestroyEditCaret();
    // Text of a read-only document can only be copied: nothing may delete it after a move.
    const DWORD effects = DROPEFFECT_COPY | DROPEFFECT_SCROLL | (IsReadOnly() ? 0 : DROPEFFECT_MOVE);
    const DROPEFFECT effect = source->DoDragDrop(effects);
    if (effect == DROPEFFECT_MOVE) {
        // A drop elsewhere in this document has moved the text already.
        if (!m_bDropRemovedSource && SelectionExists()) {
            UndoGroup group(m_pEdit);
            Frozen frozen(*this);
            const int first = m_sel.GetFirst().m_nLine, last = m_sel.GetLast().m_nLine;
            DeleteSelection();
            RepaintLines(first, last);
        }
    } else if (effect != DROPEFFECT_COPY) {
        ClearSelection(TRUE);
        SetCaretPosition(caret.m_nLine, caret.m_nCol, FALSE);
    }
    m_pEdit->SetDragSource(nullptr);
    if (::GetFocus() == m_hWnd) {
        CreateEditCaret(TRUE);
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nCol > LineLength(m_caret.m_nLine));
    }
}

DROPEFFECT SECEditController::DragEnter(COleDataObject* data, DWORD keyState, CPoint point)
{
    m_bMouseDownNoMove = data && data->IsDataAvailable(CF_UNICODETEXT) && !IsReadOnly();
    if (!m_bMouseDownNoMove)
        return DROPEFFECT_NONE;
    CreateEditCaret(FALSE);
    m_bDropCaretVisible = FALSE;
    return DragOver(data, keyState, point);
}

DROPEFFECT SECEditController::DragOver(COleDataObject*, DWORD keyState, CPoint point)
{
    if (!m_bMouseDownNoMove)
        return DROPEFFECT_NONE;
    const SECEditLineCol position = PointToLineCol(point + m_pViewport->GetLogOrigin(), TRUE);
    CPoint client = LineColToPoint(position);
    client -= m_pViewport->GetLogOrigin();
    if (client.x != GetGutterWidth())
        client.x -= 1;
    // Over the dragged text itself a drop would do nothing: the caret hides there.
    const BOOL overDragged = m_pEdit->GetDragSource() == this && SelectionHolds(position);
    ::SetCaretPos(client.x, client.y);
    if (overDragged && m_bDropCaretVisible)
        ::HideCaret(m_hWnd);
    else if (!overDragged && !m_bDropCaretVisible)
        ::ShowCaret(m_hWnd);
    m_bDropCaretVisible = !overDragged;
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void SECEditController::RemoveDropCaret()
{
    if (!m_bMouseDownNoMove)
        return;
    m_bMouseDownNoMove = FALSE;
    m_bDropCaretVisible = FALSE;
    DestroyEditCaret();
    // A window with the focus gets its own caret back; the drag's source does that itself.
    if (::GetFocus() == m_hWnd && m_pEdit->GetDragSource() != this) {
        CreateEditCaret(TRUE);
        SetCaretPosition(m_caret.m_nLine, m_caret.m_nCol, m_caret.m_nCol > LineLength(m_caret.m_nLine));
    }
}

void SECEditController::DragLeave()
{
    RemoveDropCaret();
}

BOOL SECEditController::Drop(COleDataObject* data, DROPEFFECT effect, CPoint point)
{
    RemoveDropCaret();
    if (!m_pEdit)
        return FALSE;
    SECEditController* source = m_pEdit->GetDragSource();
    const SECEditLineCol position = PointToLineCol(point + m_pViewport->GetLogOrigin(), TRUE);
    if (source == this && SelectionHolds(position)) {
        ClearSelection(TRUE);
        return FALSE;
    }
    CString text;
    BOOL column = FALSE;
    if (IsReadOnly() || !GetClipboardText(data, text, &column))
        return FALSE;
    UndoGroup group(m_pEdit);
    Frozen frozen(*this);
    SECEditLineCol drop = position;
    if (source && effect == DROPEFFECT_MOVE && source->SelectionExists()) {
        // The text leaves first; the drop point moves with what follows it.
        int sl = 0, sc = 0, el = 0, ec = 0;
        source->GetSelection(sl, sc, el, ec);
        const BOOL block = source->IsColumnSelection();
        source->DeleteSelection();
        source->RepaintLines(sl, el);
        if (!block)
            drop.AdjustForEdit(SECEditLineColPair(sl, sc, el, ec), FALSE);
        source->m_bDropRemovedSource = TRUE;
    }
    ClearSelection(TRUE);
    SetCaretPosition(drop.m_nLine, drop.m_nCol, TRUE);
    FillVirtualSpace();
    const SECEditLineCol start = m_caret;
    if (column) {
        InsertColumnText(start, text);
        return TRUE;
    }
    InsertPadded(start, text);
    const int breaks = static_cast<int>(std::count(text.GetString(), text.GetString() + text.GetLength(), L'\n'));
    const int tail = text.GetLength() - (text.ReverseFind(L'\n') + 1);
    const SECEditLineCol end = breaks ? SECEditLineCol(start.m_nLine + breaks, tail) : SECEditLineCol(start.m_nLine, start.m_nCol + tail);
    m_sel.Set(start, end, SelectStream);
    SetCaretPosition(end.m_nLine, end.m_nCol, FALSE);
    RepaintLines(start.m_nLine, end.m_nLine);
    return TRUE;
}
