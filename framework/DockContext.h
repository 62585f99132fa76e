#pragma once
// The toolkit's drag context: while a bar is dragged it shows where the bar would go, as a thin
// outline of the docked size over a dock bar that would take it, or as a thick dithered frame
// of the floating size elsewhere (Ctrl held: never docks). The status bar tells the user about
// Ctrl meanwhile. Bars on an auto-hide strip get a context that never starts a drag.

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

class SECDockContext : public CDockContext {
public:
    // The string shown in the status bar while dragging.
    static constexpr UINT IDS_SEC_PREVENTDOCKING = 20535;

    explicit SECDockContext(CControlBar* bar);

    void StartDrag(CPoint screenPoint) override;
    void Move(CPoint screenPoint, UINT keys) override;
    void EndDrag(CPoint screenPoint, UINT keys) override;
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

private:
    void SetStatusText(const CString& text) const;
    void EndTracking();

    SECDragRect m_dragRect;
    HWND m_focusBefore = nullptr;
};

class SECAutoHideBarDockContext : public SECDockContext {
public:
    using SECDockContext::SECDockContext;
    void StartDrag(CPoint) override {}
};
