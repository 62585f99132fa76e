#pragma once
// The toolkit's drag context: while a bar is dragged it shows where the bar would go, as a thin
// outline of the docked size over a dock bar that would take it, or as a thick dithered frame
// of the floating size elsewhere (Ctrl held: never docks). Over a toolkit dock bar the outline is
// the one the dock bar gives (HitTestDockPosition), and the bar docks where it showed. The status
// bar tells the user about Ctrl meanwhile. While a floating bar is resized by its frame's edge the
// dithered frame shows the new size; a toolkit bar that is not of fixed size sizes in both
// directions there, between the smallest and largest frame sizes of the system metrics. Bars on an
// auto-hide strip get a context that never starts a drag.

#include "platform/mfc/DockContext.h"
#include "platform/mfc/Wnd.h"

// The tracking rectangle: a frame of a given edge width, drawn on top of everything in a
// see-through window shaped as that frame.
class SECDragRect : public CWnd {
public:
    ~SECDragRect() override;
    void Show(const CRect& rect, CSize edge, bool halftone);
    void Hide();
    const CRect& Rect() const { return m_rect; }
    CSize Edge() const { return m_edge; }
    bool IsHalftone() const { return m_halftone; }

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CRect m_rect;
    CSize m_edge;
    bool m_halftone = false;
};

// What a drag over a dock bar showed last: the row (an index of its rows, -1 for none), the
// outline and the pointer, in screen coordinates.
struct SECDockFeedback {
    int row = -1;
    CRect rect;
    CPoint cursor;
};

class SECDockContext : public CDockContext {
public:
    // The string shown in the status bar while dragging.
    static constexpr UINT IDS_SEC_PREVENTDOCKING = 20535;

    explicit SECDockContext(CControlBar* bar);

    void StartDrag(CPoint screenPoint) override;
    void Move(CPoint screenPoint, UINT keys) override;
    void EndDrag(CPoint screenPoint, UINT keys) override;
    void StartResize(int hitTest, CPoint screenPoint) override;
    void Stretch(CPoint screenPoint) override;
    void EndResize() override;
    void CancelDrag() override;

    // Moves the bar into the main window of its MDI frame, as an MDI child of its own, or back:
    // to the floating place it had, or to its last docked place.
    virtual void ToggleMDIFloat();
    // Whether the bar was floating when it went into the main window.
    BOOL m_bWasFloating = FALSE;

    // Where a drop at the point would put the bar, in screen coordinates; `docking` tells whether
    // it would dock there.
    CRect TrackingRect(CPoint screenPoint, UINT keys, bool& docking) const;
    const SECDragRect& DragRect() const { return m_dragRect; }

    // The bar's size while resizing in both directions stays within these.
    const CSize m_sizeMinTrack, m_sizeMaxTrack;

protected:
    CPoint FloatingFrameTopLeft(CPoint screenPoint, UINT keys) const override;
    CRect DockingRect(CDockBar* dockBar, CPoint screenPoint, UINT keys) const override;

private:
    bool SizesInBothDirections() const;
    void SetStatusText(const CString& text) const;
    // The keys (Esc) go to the bar while it is tracked.
    void BeginTracking();
    void ShowFloatingFrame(const CRect& rect);
    void EndTracking();

    // The outline over a dock bar at the point; a toolkit dock bar shapes it from what it showed
    // last, in `feedback`.
    CRect DockingOutline(CDockBar* dockBar, const CRect& dragRect, CPoint screenPoint, SECDockFeedback& feedback) const;

    SECDragRect m_dragRect;
    HWND m_focusBefore = nullptr;
    SECDockFeedback m_feedback;
    CDockBar* m_pFeedbackDockBar = nullptr;
};

class SECAutoHideBarDockContext : public SECDockContext {
public:
    using SECDockContext::SECDockContext;
    void StartDrag(CPoint) override {}
};
