#pragma once
// A push button that draws its own face through a fixed pipeline of steps (frame, content,
// disabled look, focus), off-screen where it can. Derived buttons draw the content. Attached to a
// dialog's button, it keeps its owner-drawn style whatever style the dialog gives it, and with the
// default option it becomes the dialog's default button while it has the focus.

#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Dc.h"

namespace divuzura::foundation {

// Option bits of an owner-drawn button.
constexpr DWORD SEC_ODB_DEFAULTWHENFOCUSED = 0x1;

class SECOwnerDrawButton : public CButton {
    DECLARE_DYNAMIC(SECOwnerDrawButton)
public:
    SECOwnerDrawButton();

    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    // Takes over the dialog's button of that id.
    virtual BOOL AttachButton(UINT id, CWnd* parent, DWORD options = 0);
    virtual BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD options = 0);
    // What the button does when it is clicked, before its parent hears of it.
    virtual void OnClick() {}
    virtual void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    virtual void SetFlat(BOOL flat = TRUE);
    virtual BOOL IsFlat() const { return m_bFlat; }
    void SetOption(DWORD options) { m_dwOptions = options; }
    DWORD GetOption() const { return m_dwOptions; }

protected:
    // ---- the steps of drawing, in order; dc is the target, memory the off-screen one (or dc)
    virtual void PreDraw(CDC* dc, CDC* memory) {}
    // Draws the frame of the item's state; returns the rectangle left for the content.
    virtual void DrawFrame(CRect& content, CDC* dc, const DRAWITEMSTRUCT& item);
    virtual void DrawContent(CDC* dc, const DRAWITEMSTRUCT& item, const CRect& content) = 0;
    // Embosses what was drawn in the content rectangle.
    virtual void DrawDisabled(CDC* dc, const CRect& content);
    virtual void PostDraw(CDC* dc, CDC* memory) {}
    virtual void DrawFocus(CDC* dc, const DRAWITEMSTRUCT& item);
    virtual void DrawFocusRect(CDC* dc, const CRect& rect) = 0;

    // The button is drawn with the focus offset: focused, not flat.
    bool DrawsFocusFrame(const DRAWITEMSTRUCT& item) const { return (item.itemState & ODS_FOCUS) && !m_bFlat; }
    // Whether the mouse is over the button (a flat button shows its edge then).
    BOOL m_bMouseInside = FALSE;

    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnLButtonDblClk(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    void OnSetFocus(CWnd* previous);
    void OnKillFocus(CWnd* next);
    void OnSysColorChange();
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    DECLARE_MESSAGE_MAP()

    // A release inside the button that was pushed and holds the capture: a click.
    bool IsClickRelease(CPoint point) const;

private:
    // Draws the flat button's raised edge, or rubs it out in the face colour.
    void DrawFlatEdge(bool raised);

    DWORD m_dwOptions = 0;
    BOOL m_bFlat = FALSE;
    BOOL m_bDefault = FALSE;
    // While this button stands in as the dialog's default: the former default's id and style.
    LRESULT m_savedDefaultId = 0;
    DWORD m_savedDefaultStyle = 0;
};

} // namespace divuzura::foundation
