#pragma once
// A static text with its own colours and font, a horizontal gradient or solid background, blinking
// text, a raised or sunken second text pass, rotated text and link behaviour (open an address,
// write a mail, or tell the parent). Attach it to a STATIC window (SubclassWindow, or Create with
// the class "STATIC"); every setter returns the label so that calls chain. A setter only invalidates
// the label: however many setters run, the label paints once, when the waiting messages are done.

#include "platform/base/CString.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/mfc/Wnd.h"

#include <vector>

// The notification code a label in notify mode sends its parent in WM_NOTIFY on a click.
constexpr UINT NM_LINKCLICK = 0x8200;

// One band of a horizontal gradient.
struct GradientBand {
    RECT rect;
    COLORREF colour;
};
// Splits rect into at most bandLimit bands from one colour to the other: each channel grows by
// (to - from) * 256 / n per band in fixed point, each band is width / n wide and reaches one pixel
// into the next (the last one past the right edge), so no gap shows. Empty when n < 1.
std::vector<GradientBand> GradientBands(const RECT& rect, COLORREF from, COLORREF to, int bandLimit = 100);

// The DrawText format of a static style and text.
UINT LabelTextFormat(DWORD style, const CString& text);

class CLabel : public CWnd {
public:
    enum LinkMode { LinkNone = 0, LinkHyper = 1, LinkMail = 2 };
    enum BlinkMode { BlinkNone = 0, BlinkText = 1, BlinkBackground = 2 };

    CLabel();
    ~CLabel() override;

    // Attaches to an existing STATIC window and takes over its font.
    BOOL SubclassWindow(HWND window);

    virtual CLabel& SetBkColor(COLORREF colour, COLORREF secondColour = 0, int mode = 0);
    virtual CLabel& SetTextColor(COLORREF colour);
    virtual CLabel& SetText(const CString& text);
    virtual CLabel& SetFontBold(BOOL bold);
    virtual CLabel& SetFontName(const CString& face, BYTE charSet = DEFAULT_CHARSET);
    virtual CLabel& SetFontUnderline(BOOL underline);
    virtual CLabel& SetFontItalic(BOOL italic);
    virtual CLabel& SetFontSize(int points);
    virtual CLabel& SetSunken(BOOL sunken);
    virtual CLabel& SetBorder(BOOL border);
    virtual CLabel& SetTransparent(BOOL transparent);
    virtual CLabel& FlashText(BOOL flash);
    virtual CLabel& FlashBackground(BOOL flash);
    virtual CLabel& SetLink(BOOL link, BOOL notifyParent);
    virtual CLabel& SetLinkCursor(HCURSOR cursor);
    virtual CLabel& SetText3D(BOOL on, BOOL offsetDownRight = TRUE);
    virtual CLabel& SetRotation(int degrees, BOOL rotated = TRUE);
    virtual CLabel& SetText3DColor(COLORREF colour);
    virtual CLabel& SetFont(LOGFONTW font);
    virtual CLabel& SetMailLink(BOOL link, BOOL notifyParent);
    virtual CLabel& SetLinkUrl(const CString& url);
    using CWnd::SetFont;

    const LOGFONTW& LogicalFont() const { return m_logFont; }
    int LinkMode() const { return m_linkMode; }
    int BlinkMode() const { return m_blinkMode; }

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnTimer(UINT_PTR id);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    void OnSysColorChange();
    void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT kBlinkPeriod = 500;

    void AdoptWindowFont();
    // The logical font, taken from the window first if that has not happened yet.
    LOGFONTW& EditableFont();
    void RemakeFont();
    // Invalidates the label and the part of its parent beneath it, so that a transparent label
    // shows the parent's new content; nothing while the label still waits for its paint.
    void Redraw();
    void StopBlinking();
    void StartBlinking(int mode);
    void SetLinkMode(int mode, BOOL link, BOOL notifyParent);
    void PaintBackground(CDC& dc, const CRect& client);
    void PaintText(CDC& dc, const CRect& client, const CString& text);

    COLORREF m_textColor;
    COLORREF m_text3DColor = RGB(255, 255, 255);
    CBrush m_systemBackBrush;
    CBrush m_ownBackBrush;
    LOGFONTW m_logFont {};
    BOOL m_fontAdopted = FALSE;
    CFont m_font;
    BOOL m_blinkState = FALSE;
    BOOL m_blinkTimerRunning = FALSE;
    int m_linkMode = LinkNone;
    BOOL m_transparent = FALSE;
    BOOL m_text3D = FALSE;
    BOOL m_notifyParent = FALSE;
    BOOL m_rotated = FALSE;
    int m_blinkMode = BlinkNone;
    HCURSOR m_linkCursor = nullptr;
    BOOL m_text3DDownRight = TRUE;
    int m_backgroundMode = 0;
    COLORREF m_secondBackColor = 0;
    COLORREF m_backColor = 0;
    CString m_linkUrl;
};
