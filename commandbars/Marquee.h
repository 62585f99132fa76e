#pragma once
// A static control that scrolls one line of text from right to left, a pixel per tick of its
// own timer, inside a sunken frame; after the whole text has passed it leaves a blank gap and
// starts again.

#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Dc.h"

class SECMarquee : public CStatic {
    DECLARE_DYNAMIC(SECMarquee)
public:
    SECMarquee();

    virtual BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    // Takes over the dialog's static of that id; its text is the message.
    virtual BOOL Attach(UINT id, CWnd* parent);

    // Starts or stops the timer; FALSE without a window or when the timer cannot be set.
    BOOL EnableScrolling(BOOL enable);
    virtual BOOL IsScrolling() const { return m_bScrolling; }
    virtual BOOL SetInterval(UINT milliseconds);
    // The blank after the text, as a share of the width; only a positive share is taken.
    virtual BOOL SetGapRatio(float ratio);
    virtual void SetColors(COLORREF text, COLORREF background);
    virtual void SetText(LPCWSTR text);
    virtual void GetText(CString& text) const { text = m_strText; }
    // The characters now in view.
    virtual void GetDisplayText(CString& text) const { text = m_strDisplay; }
    virtual void SetFont(CFont* font, BOOL redraw = TRUE);
    UINT_PTR GetTimerId() const { return m_nTimerId; }

protected:
    // Hooks: the text's first character enters, or the text enters again after its gap.
    virtual void OnTextStart() {}
    virtual void OnTextWrap() {}
    virtual void Initialize();
    // One tick: everything moves left by the step, a character enters on the right when there
    // is room, and one that left on the left is dropped.
    virtual void ScrollStep();
    virtual void DrawFrame(CDC* dc, int left, int top, int right, int bottom);
    virtual void Draw(CDC* dc);
    // Starts over with the text entering from the right.
    virtual void Reset();

    int OnCreate(LPCREATESTRUCT create);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    BOOL StartTimer();
    HFONT TextFont() const;
    // The width of one character in the text font.
    static int CharWidth(CDC& dc, wchar_t ch);

    CRect m_rcClient;
    BOOL m_bReady = FALSE;
    BOOL m_bScrolling = FALSE;
    UINT m_nInterval = 40;
    UINT_PTR m_nTimerId;
    BOOL m_bTimerRunning = FALSE;
    float m_fGapRatio = 0.5f;
    int m_nGap = 0;
    COLORREF m_crText = RGB(0xFF, 0, 0);
    COLORREF m_crBackground = RGB(0, 0, 0);
    CFont* m_pFont = nullptr;
    BOOL m_bShown = TRUE;
    BOOL m_bFirstStart = TRUE;
    CString m_strText;
    CString m_strDisplay;
    int m_nNextChar = 0;
    BOOL m_bWrapped = FALSE;
    int m_nLeft = 0, m_nRight = 0;
    int m_nStep = 1;
};
