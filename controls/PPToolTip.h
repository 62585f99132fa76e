#pragma once
// A pop-up that shows a rich tip for the controls of a form. The owner registers one record per tool
// and passes every message of its loop through RelayEvent; the tip decides from the mouse and the keys
// when to show, move and hide itself, with timers for the delays. Its text is tooltip mark-up, drawn on
// a rounded body with an optional tail pointing at the cursor, a border and a soft shadow.

#include "controls/DrawManager.h"
#include "controls/HtmlDrawer.h"
#include "controls/ToolTipPlacement.h"
#include "platform/comctl/WindowMoveWatch.h"
#include "platform/mfc/Wnd.h"

#include <climits>
#include <map>
#include <vector>

// One tool: an area of a window and the tip it shows.
struct ToolTipRecord {
    enum Mask : DWORD { Style = 0x01, Effect = 0x02, Colors = 0x04, Direction = 0x08, Behaviour = 0x10, Transparency = 0x20 };
    enum Behaviours : DWORD {
        MultipleShow = 0x01,  // the same tool may show its tip again after it hid
        TrackMouse = 0x02,    // the tip follows the cursor inside the tool
        CloseOnLeave = 0x04,  // moves inside the tool restart the auto-hide timer
        StayOverTip = 0x08,   // the tip stays while the cursor is over it; its links react
        NoAutoHide = 0x10,
    };

    int id = 0;
    RECT rect {}; // client coordinates of the tool window; empty: the whole window
    CString text;
    DWORD mask = 0;
    DWORD style = 0;
    int direction = 0;
    int effect = 0;
    DWORD behaviour = 0;
    BYTE granularity = 0;
    BYTE transparency = 0; // 0 opaque .. 100 invisible
    COLORREF colorBegin = 0, colorMid = 0, colorEnd = 0;
    UINT virtualKey = 0;
    WPARAM keyParam = 0;
    BOOL anchorBelowControl = FALSE;
};

// WM_NOTIFY code sent to the owner before a tip is prepared; the owner may change the text and the point.
constexpr UINT UDM_TOOLTIP_DISPLAY = 0x464;
// The drawer asks the tip to repaint (hovered link changed).
constexpr UINT UDM_TOOLTIP_REPAINT = WM_USER + 0x65;

struct ToolTipDisplayNotify {
    NMHDR hdr;
    HWND toolWindow;
    POINT* anchor;
    ToolTipRecord* record;
};

// Posted to the owner when the record's key is pressed while its tip shows (wParam keyParam, lParam id).
UINT ToolTipVirtualKeyMessage();

class CPPToolTip : public CWnd {
public:
    enum State { Hidden = 0, Showing = 1, Shown = 2, Hiding = 3 };
    enum Size { CornerWidth, CornerHeight, MarginX, MarginY, TailWidth, TailHeight, TailOffset, SizeCount = 9 };
    // Animation: the period of the clock of animated pictures (0 stops them).
    enum DelayKind { AutoPop = 2, Initial = 3, FadeIn = 4, FadeOut = 5, Animation = 6 };

    CPPToolTip();
    ~CPPToolTip() override;

    virtual BOOL Create(CWnd* parent, BOOL balloon = TRUE);
    using CWnd::Create;
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* message) override;

    void SetSize(int index, int value);
    int GetSize(int index) const;
    void SetDefaultSizes(BOOL balloon);
    void SetBorder(COLORREF color, int width, int height);
    void SetShadow(int dx, int dy, BYTE darkness, BOOL gradient, int blurX, int blurY);
    void SetNotify(BOOL notify);
    void SetColorBk(COLORREF color);
    void SetDelayTime(int kind, UINT milliseconds);
    UINT GetDelayTime(int kind) const;

    void AddTool(CWnd* tool, const ToolTipRecord& record);
    void RemoveAllTools() { m_tools.clear(); }
    // TRUE only when it swallowed a key message.
    BOOL RelayEvent(MSG* message);
    void HideTip();

    CPPHtmlDrawer& Drawer() { return m_drawer; }
    State GetState() const { return m_state; }
    HWND GetCurrentToolWindow() const { return m_current.window; }
    const ToolTipRecord& GetCurrentRecord() const { return m_current.record; }
    int GetActualDirection() const { return m_placement.direction; }
    RECT GetBodyRect() const { return m_bodyRect; }
    RECT GetTextRect() const { return m_textRect; }
    RECT GetWindowRectInside() const { return m_windowRect; }
    int GetTransparency() const { return m_transparency; }

    BOOL m_childFromPoint = TRUE;

protected:
    virtual void OnDrawBorder(HDC dc, HRGN region);

    void OnPaint();
    void OnTimer(UINT_PTR id);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    LRESULT OnActivateApp(WPARAM active, LPARAM);
    LRESULT OnDrawerNotify(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    struct Tool {
        HWND window = nullptr;
        int kind = 0; // 0 at the cursor, 1 and 2 at a fixed point
        ToolTipRecord record;
    };
    enum Timer : UINT_PTR { TimerShow = 256, TimerHide = 257, TimerFadeIn = 258, TimerFadeOut = 259, TimerAnimation = 260 };

    bool FindTool(POINT parentClient, Tool& found) const;
    void OnMouseMoveRelayed(const MSG& message);
    void SetNextTool(const Tool& tool, bool useDelay);
    void BeginHiding();
    void ShowStep();
    void BecomeShown();
    void AnimationStep();
    void HideStep();
    void FadeInStep();
    void FadeOutStep();
    void ForgetCurrentTool();
    bool IsCursorOverTip() const;
    void PrepareTip();
    void BuildRegion();
    void PaintBackgroundImage();
    void PaintTip(HDC dc, int transparency);
    void CaptureScreenBehind(int left, int top);
    void DeleteImages();

    CPPHtmlDrawer m_drawer;
    CPPDrawManager m_drawManager;
    HWND m_parent = nullptr;
    HWND m_notifyWindow = nullptr;
    bool m_captured = false;
    POINT m_lastCursor { INT_MIN, INT_MIN };
    Tool m_current, m_next;
    bool m_pending = false, m_pendingDelay = false;
    State m_state = Hidden;
    int m_transparency = 0;
    COLORREF m_colorBegin, m_colorMid, m_colorEnd;

    HBITMAP m_background = nullptr; // the body's fill, window sized
    HBITMAP m_screenBehind = nullptr; // what the screen showed where the tip goes; null when unreadable
    HRGN m_region = nullptr;        // the window's shape, kept for painting
    HBRUSH m_borderBrush = nullptr;
    int m_borderWidth = 0, m_borderHeight = 0;
    struct Shadow {
        BOOL gradient = TRUE;
        int dx = 6, dy = 6, blurX = 7, blurY = 7, darkness = 50;
    } m_shadow;

    UINT m_autoPop = 5000, m_initial = 500, m_fadeInStep = 0, m_fadeOutStep = 0;
    UINT m_animationPeriod = 100;
    int m_showEffect = 0, m_hideEffect = 0;
    ToolTipRecord m_defaults;
    int m_sizes[SizeCount] {};

    PPTipPlacement m_placement;
    RECT m_textRect {}, m_bodyRect {}, m_windowRect {};
    POINT m_anchor {};

    std::map<HWND, std::vector<ToolTipRecord>> m_tools;
    // A tip stays where it was put: it goes when its tool's window moves on the screen.
    fln::comctl::WindowMoveWatch m_moveWatch { [this] { HideTip(); } };
};

// The tip of the calculator pages: a square body, a thin grey border, a light shadow and text wrapped at 212
// pixels, shown for a minute.
class CXSuperTooltip : public CPPToolTip {
public:
    BOOL Create(CWnd* parent, BOOL balloon = TRUE) override;
    void ApplyStyle();
};
