#pragma once
// Drags a control bar with the mouse. A press on the bar starts tracking (the bar captures the
// mouse and hands its mouse messages here); the drag begins once the pointer has moved 5 pixels
// (|dx| + |dy|) from the press, so a click moves nothing. On release over one of the frame's dock
// bars that the bar may dock to, the bar docks in the row under the pointer; elsewhere, or with
// Ctrl held, it floats in a mini frame with the bar where it was dropped. Dock bars of the bar's
// own orientation are tried first, the others after them; Shift swaps the orientation and tries
// no other. A double click toggles between the last docked and the last floating place.
//
// A press on the sizing edge of a floating bar's frame resizes the bar instead: each move commits
// the length the moved edge asks for (CalcDynamicLayout with LM_COMMIT), the release floats the
// frame at its new size, and a cancel (Esc, the right button, a lost capture) commits the old one.

#include "platform/mfc/ControlBar.h"

#include <climits>

class CDockContext {
public:
    static constexpr int kDeadZone = 5;

    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext() = default;

    virtual void StartDrag(CPoint screenPoint);
    virtual void Move(CPoint screenPoint, UINT keys);
    virtual void EndDrag(CPoint screenPoint, UINT keys);
    // hitTest: the frame edge pressed, HTLEFT to HTBOTTOMRIGHT.
    virtual void StartResize(int hitTest, CPoint screenPoint);
    virtual void Stretch(CPoint screenPoint);
    virtual void EndResize();
    // Ends a drag or a resize with the bar as it was.
    virtual void CancelDrag();
    virtual void ToggleDocking();

    BOOL IsTracking() const { return m_bTracking; }
    // Past the dead zone: a release now docks or floats the bar.
    BOOL IsDragging() const { return m_bDragging; }
    BOOL IsResizing() const { return m_nHitTest != HTNOWHERE; }
    // The dock bar a release at the point would dock into; null when the bar would float.
    CDockBar* DockBarAt(CPoint screenPoint, UINT keys) const;

    CControlBar* m_pBar;
    CPoint m_ptStart, m_ptLast;
    CRect m_rectStart;
    // The last docked place (dock bar id and rectangle in its client area) and floating place
    // (the top-left of the floating frame).
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    int m_nMRURow = 0;
    BOOL m_bMRUOwnRow = TRUE;
    DWORD m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    CPoint m_ptMRUFloatPos { -1, -1 };

protected:
    // Records the bar's dock bar, row and place while it is docked.
    void RememberDockedPlace();
    // Where the floating frame goes when a drag released at the point floats the bar.
    virtual CPoint FloatingFrameTopLeft(CPoint screenPoint, UINT keys) const;
    // The floating frame's top-left that puts the bar's top-left at the point.
    CPoint FrameTopLeftForBarAt(CPoint barTopLeft) const;
    // Where a drag released at the point docks the bar in that dock bar, in screen coordinates:
    // in the row under the pointer, at the place along the row where the bar was dropped.
    virtual CRect DockingRect(CDockBar* dockBar, CPoint screenPoint, UINT keys) const;

    // ---- resizing
    struct LengthLimits {
        int smallest, largest;
    };
    static constexpr LengthLimits kAnyLength { 0, INT_MAX };
    enum class Axis { Width, Height };
    // Moves the requested rectangle's edge on one side of the axis (-1: left or top, +1: right or
    // bottom) by the pointer's movement and commits the new length. A length outside the limits
    // leaves the edge and the pointer's last place on that axis as they were.
    void StretchEdge(Axis axis, int side, CPoint screenPoint, LengthLimits limits);
    // Puts the actual rectangle at the bar's size now, against the edges that do not move.
    void PlaceActualRect();
    CRect ActualFrameRect() const;
    // The sides a hit-test code moves: -1 left or top, +1 right or bottom, 0 none.
    static CSize SidesOf(int hitTest);

    int m_nHitTest = HTNOWHERE;
    CRect m_rectRequested, m_rectActual;
    // How far the floating frame reaches past the bar on each side.
    CRect m_rectFrameBorders;
    CSize m_sizeBeforeResize;

private:
    void Float(CPoint frameTopLeft);
    void Dock(CDockBar* dockBar, const CRect& rect);
    CDockBar* SideAt(CPoint screenPoint, bool horizontal) const;
    void StopTracking();

    BOOL m_bTracking = FALSE;
    BOOL m_bDragging = FALSE;
};
