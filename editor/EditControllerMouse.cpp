// The mouse handling of the editor's controller: clicks, drags with auto-scroll, double and
// triple clicks, the wheel, the cursor and the context menu.

#include "editor/EditController.h"

#include "platform/mfc/WinApp.h"
#include "platform/user/WinUser.h"
#include "editor/EditResource.h"

#include <algorithm>

void SECEditController::PublishSelection()
{
    CString text;
    if (m_sel.HasSelection())
        GetSelectionText(text);
    if (!text.IsEmpty())
        ::SetPrimarySelectionText(text.GetString());
}

void SECEditController::StartAutoScroll()
{
    m_nAutoScrollTimer = ::SetTimer(m_hWnd, AutoScrollTimer, 100, nullptr);
    ::SetCapture(m_hWnd);
}

void SECEditController::StopAutoScroll()
{
    if (m_nAutoScrollTimer && m_hWnd)
        ::KillTimer(m_hWnd, m_nAutoScrollTimer);
    m_nAutoScrollTimer = 0;
}

BOOL SECEditController::SelectionHolds(const SECEditLineCol& position)
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    GetSelection(sl, sc, el, ec);
    if (IsColumnSelection()) {
        if (position.m_nLine < sl || position.m_nLine > el)
            return FALSE;
        int from = 0, to = 0;
        GetColumnRange(position.m_nLine, from, to);
        return position.m_nCol > from && position.m_nCol < to;
    }
    const SECEditLineCol start(sl, sc), end(el, ec);
    return start < position && position < end;
}

BOOL SECEditController::PointInSelection(CPoint client)
{
    return SelectionExists() && SelectionHolds(PointToLineCol(client + m_pViewport->GetLogOrigin(), TRUE));
}

void SECEditController::OnLButtonDown(UINT flags, CPoint point)
{
    ::SetFocus(m_hWnd);
    const BOOL shift = (flags & MK_SHIFT) != 0, control = (flags & MK_CONTROL) != 0;
    // A third click soon after a double click, where it was, selects the line.
    if (m_tripleClickArmed && ::GetTickCount() - m_dwDoubleClickTime <= ::GetDoubleClickTime()
        && std::abs(point.x - m_ptDoubleClick.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) / 2
        && std::abs(point.y - m_ptDoubleClick.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK) / 2 && point.x >= GetGutterWidth()) {
        m_tripleClickArmed = FALSE;
        SelectLinesRange(m_caret.m_nLine, m_caret.m_nLine);
        m_sel.m_nMode = SelectStream;
        const int next = m_caret.m_nLine < LastLine() ? m_caret.m_nLine + 1 : m_caret.m_nLine;
        const SECEditLineCol end = next > m_caret.m_nLine ? SECEditLineCol(next, 0) : SECEditLineCol(next, LineLength(next));
        m_sel.Set({ m_caret.m_nLine, 0 }, end, SelectStream);
        SetCaretPosition(end.m_nLine, end.m_nCol, FALSE);
        PublishSelection();
        return;
    }
    m_tripleClickArmed = FALSE;
    if (point.x < GetGutterWidth()) {
        ClearSelection(TRUE);
        if (control) {
            SelectAll();
            return;
        }
        SetCaretFromPoint(point.x, point.y, FALSE);
        SetCaretPosition(m_caret.m_nLine, 0, FALSE);
        m_sel.SetCaret(m_caret, SelectLines);
        RepaintLines(m_caret.m_nLine, m_caret.m_nLine);
        m_bSelecting = TRUE;
        StartAutoScroll();
        return;
    }
    if (PointInSelection(point)) {
        SetCaretFromPoint(point.x, point.y, FALSE);
        DoDragDrop();
        return;
    }
    if (!shift)
        ClearSelection(TRUE);
    const SECEditLineCol old = m_caret;
    SetCaretFromPoint(point.x, point.y, FALSE);
    EnsureCaretVisible();
    m_nDesiredX = m_ptCaret.x;
    if (!shift && !control) {
        const bool column = ::GetKeyState(VK_MENU) < 0;
        if (column)
            m_bAltUsed = TRUE;
        m_sel.SetCaret(m_caret, column ? SelectColumnDrag : SelectStream);
        if (column)
            SetCaretFromPoint(point.x, point.y, TRUE);
        m_ptAnchor = m_ptAnchorPrev = m_ptCaret;
        m_bSelecting = TRUE;
        m_bMouseDownNoMove = TRUE;
        StartAutoScroll();
    } else if (control && !shift) {
        SelectWordAtCaret();
    } else {
        if (!m_sel.HasSelection())
            m_sel.SetCaret(old, SelectStream);
        int first = 0, last = 0;
        m_sel.MoveEnd(m_caret.m_nLine, m_caret.m_nCol, first, last);
        RepaintLines(first, last);
        PublishSelection();
    }
}

void SECEditController::OnMouseMove(UINT, CPoint point)
{
    if (!m_bSelecting)
        return;
    if (m_bMouseDownNoMove) {
        m_bMouseDownNoMove = FALSE;
        return;
    }
    const SECEditLineCol before = m_caret;
    const bool column = m_sel.m_nMode == SelectColumnDrag;
    SetCaretFromPoint(point.x, point.y, column);
    EnsureCaretVisible();
    if (m_caret != before)
        NotifyObservers();
    if (m_sel.m_nMode == SelectLines && point.x >= GetGutterWidth()) {
        m_sel.m_nMode = SelectStream;
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
    }
    int first = 0, last = 0;
    if (m_sel.m_nMode == SelectLines) {
        // Whole lines: the end stays at a line start, the line under the pointer included.
        m_sel.MoveEnd(m_caret.m_nLine, 0, first, last);
        RepaintLines(first, last);
        return;
    }
    m_sel.MoveEnd(m_caret.m_nLine, m_caret.m_nCol, first, last);
    if (column) {
        CRect old(m_ptAnchor, m_ptAnchorPrev);
        old.NormalizeRect();
        m_ptAnchorPrev = point + m_pViewport->GetLogOrigin();
        CRect now(m_ptAnchor, m_ptAnchorPrev);
        now.NormalizeRect();
        RepaintLines(std::min(old.top, now.top) / std::max(m_pViewport->GetLineHeight(), 1),
            std::max(old.bottom, now.bottom) / std::max(m_pViewport->GetLineHeight(), 1) + 1);
        return;
    }
    RepaintLines(first, last);
}

void SECEditController::OnLButtonUp(UINT, CPoint)
{
    if (!m_bSelecting)
        return;
    m_bSelecting = FALSE;
    ::ReleaseCapture();
    StopAutoScroll();
    if (m_sel.m_nMode == SelectLines) {
        const SECEditLineCol anchor = m_sel.GetAnchor();
        const SECEditLineCol end = m_sel.GetCaretEnd();
        if (anchor.m_nLine == end.m_nLine) {
            // A click in the gutter selects the line with its break.
            if (end.m_nLine < LastLine()) {
                m_sel.Set(anchor, { end.m_nLine + 1, 0 }, SelectStream);
                SetCaretPosition(end.m_nLine + 1, 0, FALSE);
            } else {
                m_sel.Set(anchor, { end.m_nLine, LineLength(end.m_nLine) }, SelectStream);
                SetCaretPosition(end.m_nLine, LineLength(end.m_nLine), FALSE);
            }
        } else {
            // Lines dragged over in the gutter: from the first line's start to past the last.
            const int first = std::min(anchor.m_nLine, end.m_nLine), last = std::max(anchor.m_nLine, end.m_nLine);
            const SECEditLineCol after = last < LastLine() ? SECEditLineCol(last + 1, 0) : SECEditLineCol(last, LineLength(last));
            if (end.m_nLine >= anchor.m_nLine) {
                m_sel.Set({ first, 0 }, after, SelectStream);
                SetCaretPosition(after.m_nLine, after.m_nCol, FALSE);
            } else {
                m_sel.Set(after, { first, 0 }, SelectStream);
                SetCaretPosition(first, 0, FALSE);
            }
        }
        RepaintSelection();
    } else if (m_sel.m_nMode == SelectColumnDrag) {
        m_sel.m_nMode = SelectColumn;
        if (DisplayColumn(m_sel.m_start) == DisplayColumn(m_sel.m_end))
            ClearSelection(TRUE);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    PublishSelection();
}

void SECEditController::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (point.x < GetGutterWidth()) {
        if (!(flags & MK_CONTROL))
            ClearSelection(TRUE);
        return;
    }
    SetCaretFromPoint(point.x, point.y, FALSE);
    SelectWordAtCaret();
    PublishSelection();
    m_tripleClickArmed = TRUE;
    m_dwDoubleClickTime = ::GetTickCount();
    m_ptDoubleClick = point;
}

void SECEditController::OnMouseWheel(short delta)
{
    // Three lines a notch; the scroll stops at the end of the document.
    if (const int lines = (delta / 120) * -3)
        ScrollLines(lines, 0);
}

BOOL SECEditController::OnSetCursor()
{
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    if (point.x < GetGutterWidth()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    if (PointInSelection(point)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    return FALSE;
}

void SECEditController::OnTimer(UINT_PTR)
{
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    ::PostMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

void SECEditController::OnContextMenu(CPoint screen)
{
    if (screen.x == -1 && screen.y == -1) {
        screen = CPoint(5, 5);
        ::ClientToScreen(m_hWnd, &screen);
    }
    CPoint client = screen;
    ::ScreenToClient(m_hWnd, &client);
    if (!PointInSelection(client)) {
        ClearSelection(TRUE);
        SetCaretFromPoint(client.x, client.y, FALSE);
    }
    HMENU menu = ::LoadMenuW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, MAKEINTRESOURCEW(IDR_EDIT_CONTEXT_MENU));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    for (int i = 0, count = ::GetMenuItemCount(popup); i < count; ++i) {
        CCmdUI ui;
        ui.m_nID = ::GetMenuItemID(popup, i);
        if (ui.m_nID == 0 || ui.m_nID == static_cast<UINT>(-1))
            continue;
        ui.m_hMenu = popup;
        ui.m_nIndex = i;
        ui.m_nIndexMax = count;
        UpdateCommandUI(&ui);
    }
    if (m_bCaretCreated && !m_bCaretHidden)
        ::HideCaret(m_hWnd);
    const UINT command = ::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, m_hWnd, nullptr);
    if (m_bCaretCreated && !m_bCaretHidden)
        ::ShowCaret(m_hWnd);
    ::DestroyMenu(menu);
    if (command)
        RunEditCommand(command);
}
