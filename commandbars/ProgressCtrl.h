#pragma once
// A progress bar that paints itself: a bar colour over a background colour, growing from any
// edge, with the percentage or a text of its own drawn in the opposite colours over each part,
// or a marquee segment that runs on a timer. In native mode the common control paints instead
// and keeps the position as well.

#include "platform/mfc/ControlWrappers.h"

// ---- progress styles
constexpr DWORD SEC_PROG_VERTICAL = 0x1, SEC_PROG_FROMRIGHT = 0x10, SEC_PROG_FROMTOP = 0x20,
                SEC_PROG_SHOWPERCENT = 0x100, SEC_PROG_SHOWTEXT = 0x200, SEC_PROG_TEXTLEFT = 0x1000,
                SEC_PROG_TEXTRIGHT = 0x2000, SEC_PROG_NATIVE = 0x10000, SEC_PROG_MARQUEE = 0x20000;
constexpr DWORD SEC_PROG_DEFAULT = 0x4100;

class SECProgressCtrl : public CProgressCtrl {
    DECLARE_DYNAMIC(SECProgressCtrl)
public:
    static constexpr UINT_PTR kTimerId = 256;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD progressStyle = SEC_PROG_DEFAULT);
    virtual BOOL Attach(UINT id, CWnd* parent);

    DWORD GetProgressStyle() const { return m_dwProgressStyle; }
    // Switching into native mode hands the control the current range and position.
    void SetProgressStyle(DWORD progressStyle);

    virtual void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const { lower = m_nLower, upper = m_nUpper; }
    // Each returns the previous position; with pump the bar repaints at once, even inside a
    // computation that does not return to the message loop.
    virtual int SetPos(int position, BOOL pump = FALSE);
    virtual int OffsetPos(int delta, BOOL pump = FALSE);
    virtual int StepIt(BOOL pump = FALSE);
    int GetPos() const { return m_nPos; }
    virtual int SetStep(int step);
    virtual void SetColors(COLORREF bar, COLORREF background);
    virtual void SetTextFont(HFONT font, BOOL redraw = TRUE);
    virtual void SetText(LPCWSTR text);
    virtual void GetText(CString& text) const { text = m_strText; }
    virtual void Reset() { SetPos(m_nLower, TRUE); }

    // Steps the bar on the timer every interval milliseconds (0 stops it); FALSE when there is
    // nothing left to step: a full bar, or a marquee that is not running.
    virtual BOOL StartTimer(UINT interval);
    virtual BOOL StartMarquee();
    virtual void SetMarqueeRunning(BOOL running) { m_bMarqueeRunning = running; }

    // How far the position is through the range, 0 to 100.
    virtual float GetPercent() const;
    // The bar's part and the empty part of the client rectangle at a percentage.
    virtual void CalcRects(float percent, CRect& bar, CRect& empty) const;

protected:
    virtual BOOL UpdateClientRect();
    virtual void DrawBar(CDC* dc, const CRect& rect);
    virtual void DrawBackground(CDC* dc, const CRect& rect);
    virtual void DrawText(CDC* dc, float percent, const CRect& empty, const CRect& bar);
    virtual void Paint(CDC* dc);
    virtual void DrawProgress(float percent, const CRect& bar, const CRect& empty, CDC* dc);

    int OnCreate(LPCREATESTRUCT create);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    bool IsNative() const { return (m_dwProgressStyle & SEC_PROG_NATIVE) != 0; }
    bool IsMarquee() const { return (m_dwProgressStyle & SEC_PROG_MARQUEE) != 0; }
    // Repaints, and with pump dispatches the queued paints now.
    void Refresh(BOOL pump);

    int m_nPos = 0;
    int m_nStep = 10;
    int m_nLower = 0, m_nUpper = 100;
    COLORREF m_crBar = RGB(0, 0, 0x80);
    COLORREF m_crBackground = RGB(0xFF, 0xFF, 0xFF);
    HFONT m_hFont = nullptr;
    BOOL m_bShown = TRUE;
    CString m_strText;
    DWORD m_dwProgressStyle = SEC_PROG_DEFAULT;
    CRect m_rcClient;
    BOOL m_bMarqueeRunning = TRUE;
};
