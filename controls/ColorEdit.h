#pragma once
// CColorControl: the text and back colours of a control in its normal, disabled and hovered
// states, a brush of exactly each back colour, and an optional font. CColorEdit: an edit control
// that answers its own colour messages from that set and, with hover tracking on, shows the hover
// colours while the mouse is over it.

#include "platform/base/CString.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/mfc/Wnd.h"

#include <memory>

class CColorControl {
public:
    CColorControl();
    virtual ~CColorControl() = default;

    void SetColors(COLORREF text, COLORREF back, COLORREF hoverText, COLORREF hoverBack);
    void SetDisabledColors(COLORREF text, COLORREF back);
    void SetBackColor(COLORREF back);
    void SetTextColor(COLORREF text);
    // A point font of pointSize points in face, bold and italic as asked; replaces the stored font.
    virtual void SetFont(int pointSize, const CString& face, BOOL bold, BOOL italic);
    void SetHoverTracking(BOOL track) { m_hoverTracking = track; }

    struct Look {
        COLORREF text;
        COLORREF back;
        HBRUSH brush;
    };
    // The colours of a control that is enabled or not and hovered or not.
    Look LookFor(BOOL enabled, BOOL hovered) const;

    COLORREF TextColor() const { return m_textColor; }
    COLORREF BackColor() const { return m_backColor; }
    COLORREF HoverTextColor() const { return m_hoverTextColor; }
    COLORREF HoverBackColor() const { return m_hoverBackColor; }
    CFont* Font() const { return m_font.get(); }

protected:
    static constexpr UINT_PTR kHoverTimerId = 1;
    static constexpr UINT kHoverTimerPeriod = 10;

    BOOL m_mouseOver = FALSE;
    BOOL m_hoverTracking = FALSE;

private:
    COLORREF m_textColor;
    COLORREF m_backColor;
    COLORREF m_disabledTextColor;
    COLORREF m_disabledBackColor;
    COLORREF m_hoverTextColor;
    COLORREF m_hoverBackColor;
    CBrush m_backBrush;
    CBrush m_hoverBackBrush;
    CBrush m_disabledBackBrush;
    std::unique_ptr<CFont> m_font;
};

// An EDIT window; create it with Create(L"EDIT", ...) or attach it to a dialog's edit control.
class CColorEdit : public CWnd, public CColorControl {
public:
    void SetFont(int pointSize, const CString& face, BOOL bold, BOOL italic) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // Whether the position of the message being handled lies in the client area.
    BOOL IsMessageInside() const;
};
