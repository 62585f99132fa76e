#pragma once
// Message filters that draw and operate buttons in a window's caption, where and as the system
// draws its own: one button (Close, Minimize, Maximize, Restore, Help, or a derived kind), a row
// of them laid out from the right, and the row of a maximised MDI child on its frame.

#include "framework/MsgFilter.h"

// Knows where a window's caption lies and how large and where its buttons are.
class SECCaptionMsgFilter : public SECNcMsgFilter {
    DECLARE_DYNCREATE(SECCaptionMsgFilter)
public:
    using SECNcMsgFilter::SECNcMsgFilter;

    // The caption bar in window coordinates; empty without a window or a caption.
    virtual CRect GetCaptionRect() const;
    virtual CSize CalcButtonSize(int metricX, int metricY) const;
    virtual CSize GetButtonSize() const;
    // The top-left corner of the rightmost button.
    virtual CPoint GetButtonPos(const CRect& caption, const CSize& buttonSize) const;

protected:
    BOOL IsToolWindow() const;
};

class SECCaptionControlMsgFilterTimer;

// One caption button. Ids 0 to 4 are the system's buttons; a derived class answers other ids.
class SECCaptionControlMsgFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(SECCaptionControlMsgFilter)
public:
    enum ButtonId { Close = 0, Minimize = 1, Maximize = 2, Restore = 3, Help = 4 };
    // How a button was operated, for Execute and GetCommand.
    enum How { Click = 0, RightPress = 1, Held = 2 };

    explicit SECCaptionControlMsgFilter(CWnd* window = nullptr, int id = FirstNonButtonId);
    ~SECCaptionControlMsgFilter() override;

    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual void Draw();
    virtual BOOL HitTest(int screenX, int screenY) const;
    virtual void OnLButtonDown(int x, int y);
    virtual void OnLButtonUp(int x, int y);
    virtual void Fire(int x, int y);
    virtual void OnMouseMove(int x, int y);
    virtual void Execute(int how, int x, int y);
    // The message that operating the button sends, for its window; FALSE when there is none.
    virtual BOOL GetCommand(int how, int x, int y, CWnd*& window, UINT& message, WPARAM& wParam, LPARAM& lParam);
    virtual void BeginTrack(BOOL push, BOOL redraw);
    virtual void EndTrack(BOOL release, BOOL redraw);
    virtual void KillRepeatTimer();
    virtual void StartRepeatTimer(int x, int y);
    // Whether the button is shown, and whether it is then disabled.
    virtual BOOL QueryState(BOOL& disabled) const;

    void SetRect(const CRect& rect) { m_rect = rect; }
    const CRect& GetRect() const { return m_rect; }
    // The drawing state; a button id (below 4096) is also the glyph kind.
    UINT GetState() const { return IsButtonId() ? m_state | static_cast<UINT>(m_id) : m_state; }
    void SetDisabled(BOOL disabled);
    BOOL IsTracking() const { return m_tracking; }
    // Below 0: the click acts on release; 0: on the press; above 0: once the press is held that long.
    void SetRepeatDelay(int milliseconds) { m_repeatDelay = milliseconds; }
    int GetRepeatDelay() const { return m_repeatDelay; }

protected:
    BOOL IsButtonId() const { return m_id >= 0 && m_id < FirstNonButtonId; }

    CRect m_rect;
    UINT m_type = DFC_CAPTION;
    UINT m_state = 0;
    BOOL m_tracking = FALSE;
    int m_repeatDelay = -1;
    SECCaptionControlMsgFilterTimer* m_timer = nullptr;

private:
    void OnPress(UINT message, int x, int y);
    BOOL StillCaptured() const;
    void SetPushed(BOOL pushed);
};

// A row of caption buttons laid out from the right: the system's five, then any added behind.
class SECCaptionControlListMsgFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(SECCaptionControlListMsgFilter)
public:
    explicit SECCaptionControlListMsgFilter(CWnd* window = nullptr, int id = FirstNonButtonId);

    // Lays the buttons out, then offers the message to them.
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    virtual void Layout();

    const DescriptorTable& GetSystemButtons() const { return m_systemButtons; }

private:
    DescriptorTable m_systemButtons;
};

// The buttons a maximised MDI child shows on its frame, in the row under the caption.
class SECCapConLstMDIMaxChildMsgFilter : public SECCaptionControlListMsgFilter {
    DECLARE_DYNCREATE(SECCapConLstMDIMaxChildMsgFilter)
public:
    using SECCaptionControlListMsgFilter::SECCaptionControlListMsgFilter;

    CSize GetButtonSize() const override;
    CPoint GetButtonPos(const CRect& caption, const CSize& buttonSize) const override;
};

// A hidden child window whose one-shot timer fires a held caption button. The button owns it
// and may delete it from inside its timer handler, which touches nothing after firing.
class SECCaptionControlMsgFilterTimer : public CWnd {
public:
    SECCaptionControlMsgFilterTimer(SECCaptionControlMsgFilter* owner, int delay, int x, int y);

    // Creates the window under `parent`, which sets the timer; FALSE when either fails.
    BOOL Start(CWnd* parent);

protected:
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR TimerId = 1;

    SECCaptionControlMsgFilter* m_owner;
    int m_delay;
    int m_x;
    int m_y;
    BOOL m_timerSet = FALSE;
    BOOL m_fired = FALSE;
};
