#pragma once
// Drags a control bar with the mouse. A press on the bar starts tracking (the bar captures the
// mouse and hands its mouse messages here); the drag begins once the pointer has moved 5 pixels
// (|dx| + |dy|) from the press, so a click moves nothing. On release over one of the frame's dock
// bars that the bar may dock to, the bar docks in the row under the pointer; elsewhere, or with
// Ctrl held, it floats in a mini frame at the dropped place. A double click toggles between the
// last docked place and the last floating place.

#include "platform/mfc/ControlBar.h"

class CDockContext {
public:
    static constexpr int kDeadZone = 5;

    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext() = default;

    virtual void StartDrag(CPoint screenPoint);
    virtual void Move(CPoint screenPoint, UINT keys);
    virtual void EndDrag(CPoint screenPoint, UINT keys);
    virtual void CancelDrag();
    virtual void ToggleDocking();

    BOOL IsTracking() const { return m_bTracking; }
    // Past the dead zone: a release now docks or floats the bar.
    BOOL IsDragging() const { return m_bDragging; }
    // The dock bar a release at the point would dock into; null when the bar would float.
    CDockBar* DockBarAt(CPoint screenPoint, UINT keys) const;

    CControlBar* m_pBar;
    CPoint m_ptStart, m_ptLast;
    CRect m_rectStart;
    // The last docked place (dock bar id and rectangle in its client area) and floating place.
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    int m_nMRURow = 0;
    BOOL m_bMRUOwnRow = TRUE;
    DWORD m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    CPoint m_ptMRUFloatPos { -1, -1 };

protected:
    // Records the bar's dock bar, row and place while it is docked.
    void RememberDockedPlace();

private:
    void Float(CPoint topLeft);
    void Dock(CDockBar* dockBar, CPoint screenPoint, CPoint barTopLeft);
    void StopTracking();

    BOOL m_bTracking = FALSE;
    BOOL m_bDragging = FALSE;
};
