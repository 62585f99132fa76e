#pragma once
// A pop-up note shaped like a speech balloon: a rounded body with a tail whose tip touches an
// anchor point, an optional icon, a bold title, an optional close button and word-wrapped text.
// It closes itself on the inputs its options choose, on a time-out or on its close button; a
// balloon started with LaunchBalloon deletes itself, and only one of those shows at a time.

#include "platform/mfc/ImageList.h"
#include "platform/mfc/Wnd.h"

class CBalloonHelp : public CWnd {
public:
    enum BalloonOptions : unsigned {
        unCLOSE_ON_LBUTTON_UP = 0x0001,
        unCLOSE_ON_MBUTTON_UP = 0x0002,
        unCLOSE_ON_RBUTTON_UP = 0x0004,
        unCLOSE_ON_LBUTTON_DOWN = 0x0008,
        unCLOSE_ON_MBUTTON_DOWN = 0x0010,
        unCLOSE_ON_RBUTTON_DOWN = 0x0020,
        unCLOSE_ON_MOUSE_MOVE = 0x0040,
        unCLOSE_ON_KEYPRESS = 0x0080,
        unDELAY_CLOSE = 0x0100,
        unDELETE_THIS_ON_CLOSE = 0x0200,
        unSHOW_CLOSE_BUTTON = 0x0400,
        unSHOW_INNER_SHADOW = 0x0800,
        unSHOW_TOPMOST = 0x1000,
        unDISABLE_XP_SHADOW = 0x2000,
        unDISABLE_FADEIN = 0x4000,
        unDISABLE_FADEOUT = 0x8000,
    };

    CBalloonHelp();
    ~CBalloonHelp() override;

    // Shows a self-deleting balloon unless a launched one is showing. iconId: a system icon or 0.
    static void LaunchBalloon(const CString& title, const CString& content, const POINT& anchor, UINT iconId,
        unsigned options, CWnd* parent, CString url, unsigned timeout);
    // anchor: in the parent's client coordinates (the screen's without a parent).
    BOOL Create(const CString& title, const CString& content, const POINT& anchor, unsigned options, CWnd* parent,
        CString url, unsigned timeout, HICON icon);
    using CWnd::Create;

    void SetAnchorPoint(int x, int y, CWnd* anchorWindow);
    void SetTimeout(unsigned milliseconds);
    void SetIcon(HICON icon);
    void SetIconBitmaps(HBITMAP color, HBITMAP mask);
    void SetIconBitmap(HBITMAP bitmap, COLORREF transparent);
    void SetIconScaled(HICON icon, int cx, int cy);

    // Whether a balloon started with LaunchBalloon is showing.
    static bool IsLaunchedBalloonShown() { return s_launchedShown; }

protected:
    virtual void DrawFrame(CDC* dc);
    virtual void DrawBody(CDC* dc);
    virtual void DrawTitle(CDC* dc);
    virtual void DrawContent(CDC* dc);
    void PostNcDestroy() override;

    void OnPaint();
    void OnNcPaint();
    LRESULT OnPrint(WPARAM dc, LPARAM flags);
    LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
    LRESULT OnNcHitTest(CPoint) { return HTCLIENT; }
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void PositionWindow();
    void RequestClose();
    void RemoveHooks();
    CSize TitleSize(CDC* dc) const;
    CSize ContentSize(CDC* dc) const;
    CSize WindowSize(CDC* dc) const;
    const RECT& WorkArea();
    POINT AnchorOnScreen() const;
    bool TailAtTop();
    CRect CloseButtonRect() const;
    void UpdateCloseButton(CPoint point, bool pressed);

    static LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT MouseHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT AnchorMoveHookProc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_keyboardHook = nullptr;
    HHOOK m_mouseHook = nullptr;
    HHOOK m_anchorMoveHook = nullptr;
    unsigned m_options = 0;
    unsigned m_timeout = 0;
    UINT_PTR m_timerId = 0;
    CString m_content;
    CString m_url;
    HWND m_anchorWindow = nullptr;
    POINT m_anchor {};
    CImageList m_icon;
    CFont* m_titleFont = nullptr;
    CFont* m_contentFont = nullptr;
    COLORREF m_background;
    COLORREF m_text;
    RECT m_workArea {};
    CRgn m_region;
    POINT m_mouseStart {};
    UINT m_closeButtonState = 0;
    int m_mouseTolerance = 3;
    bool m_windowMade = false;

    static inline CBalloonHelp* s_current = nullptr;
    static inline bool s_launchedShown = false;
};
