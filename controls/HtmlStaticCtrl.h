#pragma once
// A static text whose window text is a small HTML mark-up (see HtmlMarkup.h): drawn word-wrapped
// into the client area, with a hand cursor over links and a click that opens them.

#include "controls/HtmlStaticMarkup.h"
#include "platform/mfc/Wnd.h"

#include <vector>

struct HtmlLinkArea {
    RECT rect; // client coordinates
    CString target;
};

struct HtmlColours {
    COLORREF text;
    COLORREF link;
};

// The font of a run: the base font with the run's weight, slant, lines, face and size.
LOGFONTW HtmlRunFont(const LOGFONTW& base, const HtmlStyle& style);

// Lays the runs out in rect, word by word, starting from the base font; draws them on dc when
// draw is set. Returns the rectangle of each link piece, line by line.
std::vector<HtmlLinkArea> LayOutHtml(HDC dc, const std::vector<HtmlRun>& runs, const RECT& rect, const LOGFONTW& base,
    HtmlColours colours, bool draw);

class CNGHtmlStaticCtrl : public CWnd {
public:
    static constexpr COLORREF kNoColour = 0xFF000000;

    CNGHtmlStaticCtrl();

    // Attaches to a STATIC window: clicks are reported, WS_EX_TRANSPARENT is taken over.
    BOOL SubclassWindow(HWND window);

    virtual COLORREF SetBackColour(COLORREF colour);
    virtual COLORREF SetLinkColour(COLORREF colour);
    virtual BOOL SetTransparent(BOOL transparent);

    const std::vector<HtmlLinkArea>& LinkAreas() const { return m_links; }
    BOOL IsTimerOn() const { return m_timerOn; }

protected:
    int OnCreate(LPCREATESTRUCT create);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    void OnDestroy();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnClicked();
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR kHoverTimer = 1;
    static constexpr UINT kHoverPeriod = 80;

    void Attach();
    // The link under the cursor, or null.
    const HtmlLinkArea* LinkUnderCursor() const;

    COLORREF m_backColour = kNoColour;
    COLORREF m_linkColour;
    BOOL m_transparent = FALSE;
    std::vector<HtmlLinkArea> m_links;
    BOOL m_timerOn = FALSE;
    BOOL m_overLink = FALSE;
    HCURSOR m_handCursor;
    HCURSOR m_savedCursor = nullptr;
};
