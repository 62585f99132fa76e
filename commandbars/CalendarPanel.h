#pragma once
// A rectangular panel drawn into its parent window's DC, not a window of its own: the part a month
// calendar is made of (its title, weekday bar and day boxes). It keeps a rectangle, a selected and a
// highlighted state, style and flag words, colours and a text, and draws itself in bands from the
// outside in: a one-pixel frame, a raised (or, selected, sunken) 3-D band and a highlight band, each
// present in the selected or the normal state as the style says, then the background and the text.

#include "platform/base/CString.h"
#include "platform/base/Geometry.h"
#include "platform/mfc/Wnd.h"

class CDC;

class SECPanel {
public:
    // Style bits: the bands of each state, and how the text is placed. Derived panels read more.
    static constexpr DWORD StyleReserved = 0x01; // kept in the word, read by no panel
    static constexpr DWORD Style3dSelected = 0x02;
    static constexpr DWORD Style3dNormal = 0x04;
    static constexpr DWORD StyleFrameSelected = 0x08;
    static constexpr DWORD StyleFrameNormal = 0x10;
    static constexpr DWORD StyleHighlightSelected = 0x20;
    static constexpr DWORD StyleHighlightNormal = 0x40;
    static constexpr DWORD StyleCentred = 0x80;
    static constexpr DWORD StyleGrayOtherMonth = 0x100; // day cells: the adjacent months' days in the gray colour
    static constexpr DWORD DefaultStyle = StyleReserved | Style3dSelected | Style3dNormal | StyleFrameSelected
        | StyleFrameNormal | StyleHighlightSelected | StyleHighlightNormal | StyleGrayOtherMonth;
    // Flag bits.
    static constexpr DWORD FlagNotifyParent = 0x100;
    static constexpr DWORD FlagSelectable = 0x4000;
    static constexpr DWORD FlagHighlightable = 0x8000;
    static constexpr DWORD DefaultFlags = FlagSelectable | FlagHighlightable;
    // Posted to the parent by NotifyParent: a date was picked.
    static constexpr UINT PanelPickMessage = 0x602;
    static constexpr COLORREF DefaultHighlightColor = RGB(255, 0, 0);

    SECPanel();
    virtual ~SECPanel() = default;
    SECPanel(const SECPanel&) = delete;
    SECPanel& operator=(const SECPanel&) = delete;

    BOOL Create(const RECT& rect, CWnd* parent, BOOL selected, BOOL highlighted, DWORD style, DWORD flags, int borderWidth);
    BOOL IsCreated() const { return m_bCreated; }

    virtual CRect SetRect(const RECT& rect);
    CRect GetRect() const { return m_rect; }
    // The rectangle inside the bands of the current state; empty when the bands fill it.
    CRect GetInsideRect();
    CWnd* GetParentWnd() const { return m_pParent; }

    DWORD SetStyle(DWORD style);
    DWORD GetStyle() const { return m_style; }
    DWORD SetFlags(DWORD flags);
    DWORD GetFlags() const { return m_flags; }
    int SetBorderWidth(int width);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF SetGrayTextColor(COLORREF colour);
    COLORREF GetGrayTextColor() const { return m_grayTextColor; }
    COLORREF SetHighlightColor(COLORREF colour);
    COLORREF GetHighlightColor() const { return m_highlightColor; }

    BOOL IsSelected() const { return m_bSelected; }
    BOOL IsHighlighted() const { return m_bHighlighted; }
    // Each stores the state only where the flags allow it; with redraw the parent repaints the panel.
    BOOL Select(BOOL on, BOOL redraw);
    BOOL Highlight(BOOL on, BOOL redraw);

    CString SetText(const CString& text);
    const CString& GetText() const { return m_text; }

    void RecalcLayout();
    // How far the text sits inside the edges in that state, whatever the panel's own state.
    int TextInsetFor(BOOL selected, BOOL highlighted) const;
    virtual void Draw(CDC* dc);
    BOOL HitTest(POINT point) const { return m_rect.PtInRect(point); }
    // Posts the pick message to the parent when the panel notifies it.
    void NotifyParent();

    // The user's names: day 1..7 with 1 = Sunday, month 1..12; FALSE when out of range.
    static BOOL GetDayName(int day, BOOL full, CString& name);
    static BOOL GetMonthName(int month, BOOL full, CString& name);

protected:
    virtual void DrawHighlight(CDC* dc);
    virtual void Draw3dFrame(CDC* dc);
    virtual void DrawBorder(CDC* dc);
    virtual void DrawBackground(CDC* dc);
    virtual void DrawText(CDC* dc);
    // The text centred in `rect` on the button face, the rectangle filled first.
    void DrawCenteredText(CDC* dc, const CRect& rect, const CString& text);

private:
    // Outlines from inset `start` up to `end`, each reaching one pixel past the right and bottom
    // edges, so that neighbouring panels share their lines.
    void DrawBand(CDC* dc, int start, int end, COLORREF topLeft, COLORREF bottomRight) const;
    void InvalidateInParent();

    COLORREF m_grayTextColor;
    CWnd* m_pParent = nullptr;
    DWORD m_flags = DefaultFlags;
    DWORD m_style = DefaultStyle;
    CString m_text;
    CRect m_rect;
    int m_borderWidth = 3;
    BOOL m_bSelected = FALSE;
    BOOL m_bHighlighted = FALSE;
    COLORREF m_frameColor;
    COLORREF m_highlightColor = DefaultHighlightColor;
    COLORREF m_textColor;
    BOOL m_bLayoutDirty = TRUE;
    BOOL m_bCreated = FALSE;
    int m_frameEnd = 0;
    int m_3dEnd = 0;
    int m_textInset = 0;
};
