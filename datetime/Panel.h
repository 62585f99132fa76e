#pragma once
// A rectangular panel drawn into its parent window's DC: not a window of its own. It keeps a
// rectangle, a selected and a highlighted state, style and flag words, colours and a text, and
// draws background, frames and text through virtual steps that derived panels override.

#include "platform/base/CString.h"
#include "platform/base/Geometry.h"
#include "platform/mfc/Wnd.h"

class CDC;

class SECPanel {
public:
    // Style bits: which parts are drawn in which state. Derived panels read further bits.
    static constexpr DWORD StyleBackground = 0x01;        // fill with the window colour
    static constexpr DWORD StyleSunkenWhenSelected = 0x02; // a 3-D sunken edge of the border width
    static constexpr DWORD StyleFrameWhenSelected = 0x08;  // a 1-pixel frame in the window-frame colour
    // Flag bits.
    static constexpr DWORD FlagNotifyParent = 0x100;
    static constexpr DWORD FlagSelectable = 0x4000;
    static constexpr DWORD FlagHighlightable = 0x8000;
    // Posted to the parent by NotifyParent: a date was picked.
    static constexpr UINT PanelPickMessage = 0x602;
    static constexpr COLORREF DefaultHighlightColor = RGB(255, 0, 0);

    SECPanel() = default;
    virtual ~SECPanel() = default;
    SECPanel(const SECPanel&) = delete;
    SECPanel& operator=(const SECPanel&) = delete;

    BOOL Create(const RECT& rect, CWnd* parent, BOOL selected, BOOL highlighted, DWORD style, DWORD flags, int borderWidth);
    BOOL IsCreated() const { return m_bCreated; }

    virtual CRect SetRect(const RECT& rect);
    CRect GetRect() const { return m_rect; }
    CRect GetInsideRect();
    CWnd* GetParentWnd() const { return m_pParent; }

    DWORD SetStyle(DWORD style);
    DWORD GetStyle() const { return m_style; }
    DWORD SetFlags(DWORD flags);
    DWORD GetFlags() const { return m_flags; }
    int SetBorderWidth(int width);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColor; }
    void SetGrayTextColor(COLORREF colour) { m_grayTextColor = colour; }
    COLORREF GetGrayTextColor() const { return m_grayTextColor; }
    void SetHighlightColor(COLORREF colour) { m_highlightColor = colour; }
    COLORREF GetHighlightColor() const { return m_highlightColor; }

    BOOL IsSelected() const { return m_bSelected; }
    BOOL IsHighlighted() const { return m_bHighlighted; }
    // Each stores the state only where the flags allow it; with redraw the parent repaints the panel.
    BOOL Select(BOOL on, BOOL redraw);
    BOOL Highlight(BOOL on, BOOL redraw);

    CString SetText(const CString& text);
    const CString& GetText() const { return m_text; }

    void RecalcLayout();
    virtual void Draw(CDC* dc);
    BOOL HitTest(POINT point) const { return m_rect.PtInRect(point); }
    // Posts the pick message to the parent when the panel notifies it.
    void NotifyParent();

    // Localised names: day 1..7 with 1 = Sunday, month 1..12; FALSE when out of range.
    static BOOL GetDayName(int day, BOOL full, CString& name);
    static BOOL GetMonthName(int month, BOOL full, CString& name);

protected:
    virtual void DrawHighlightFrame(CDC* dc);
    virtual void Draw3dFrame(CDC* dc);
    virtual void DrawBorderFrame(CDC* dc);
    virtual void DrawBackground(CDC* dc);
    virtual void DrawText(CDC* dc);
    void DrawCenteredText(CDC* dc, const CRect& rect, const CString& text);
    // The margin that the frames of the current state and the highlight frame take on each side.
    int FrameMargin() const { return m_innerMargin; }

private:
    void InvalidateInParent();

    CRect m_rect;
    CWnd* m_pParent = nullptr;
    DWORD m_style = 0;
    DWORD m_flags = 0;
    int m_borderWidth = 0;
    BOOL m_bSelected = FALSE;
    BOOL m_bHighlighted = FALSE;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_grayTextColor = RGB(128, 128, 128);
    COLORREF m_highlightColor = DefaultHighlightColor;
    CString m_text;
    BOOL m_bCreated = FALSE;
    BOOL m_bLayoutDirty = TRUE;
    int m_innerMargin = 0;
};
