#pragma once
// The fields of the date-time control: light-weight parts, not windows. Each has a rectangle in the
// control's client area, draws itself into the control's DC, takes the mouse and keys the control
// routes to it, and tells the control what the user did through a notification code
// (SECDateTimeCtrl::OnGadgetNotify). Numbers, name lists, literal text, the drop-down button and the
// up/down buttons; the control makes them through their run-time classes, so a derived control can
// bring its own kinds.

#include "platform/base/CString.h"
#include "platform/base/Collections.h"
#include "platform/base/Geometry.h"
#include "platform/mfc/Dc.h"

class SECDateTimeCtrl;

class SECDTGadget : public CObject {
    DECLARE_DYNAMIC(SECDTGadget)
public:
    // Style bits.
    static constexpr UINT WantFocus = 0x1;
    static constexpr UINT WantMouse = 0x2;
    static constexpr UINT IsManualPosition = 0x4; // right-aligned: not scrolled with the fields

    // Notification codes to the control.
    enum NotifyCode : int {
        NmStepUp = 1,
        NmStepDown = 2,
        NmSpinUp = 3,   // value: the step
        NmSpinDown = 4, // value: the step
        NmClicked = 5,
        NmValidate = 6, // may the value be set? (answer only)
        NmSetValue = 7,
        NmHome = 8,
        NmEnd = 9,
        NmTyping = 10,    // value 1 typing started, 0 ended
        NmFieldFull = 11, // all digits typed
    };

    SECDTGadget() = default;
    ~SECDTGadget() override;

    virtual void GetText(LPWSTR buffer) const; // the base writes an empty text
    virtual void CalcSize(CDC* dc) = 0;
    virtual void Draw(CDC* dc) = 0;
    virtual BOOL Activate(BOOL on);
    virtual void OnKeyDown(UINT) {}
    virtual void OnChar(UINT) {}
    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnMouseMove(UINT, int, int) {}
    virtual void OnCancelMode() {}
    virtual void OnTimer() {}
    virtual void OnSysColorChange() {}

    void Initialise(SECDateTimeCtrl* control, int id);
    const CRect& GetRect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    UINT GetStyle() const { return m_style; }
    void SetStyle(UINT style) { m_style = style; }
    int GetID() const { return m_id; }
    int GetValue() const { return m_value; }
    // Shows another value (the control's refresh); does not notify.
    void SetValue(int value);
    BOOL IsActive() const { return m_bActive; }
    SECDateTimeCtrl* GetCtrl() const { return m_pCtrl; }

    // The text as a string (GetText through a buffer of the control's text limit).
    CString GetTextString() const;

protected:
    BOOL Notify(int code, int value);
    void Invalidate(BOOL update = FALSE);
    void CaptureMouse(BOOL capture);
    // One timer per gadget on the display clock: a new start replaces the running one.
    void StartTimer(UINT milliseconds);
    void StopTimer();
    // The size of `text` as the fields measure it in the DC's font.
    static CSize MeasureText(CDC* dc, const CString& text);
    // A field's text centred in its rectangle, in the highlight colours while active.
    void DrawFieldText(CDC* dc, const CString& text) const;

    CRect m_rect;
    BOOL m_bActive = FALSE;
    UINT m_style = WantFocus;
    int m_id = -1;
    int m_value = 0;
    SECDateTimeCtrl* m_pCtrl = nullptr;

private:
    static void TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR m_timerId = 0;
};

class SECDTNumericGadget : public SECDTGadget {
    DECLARE_DYNCREATE(SECDTNumericGadget)
public:
    void Initialise(SECDateTimeCtrl* control, int minimum, int maximum, int reserved, BOOL leadingZeros, int id);

    void GetText(LPWSTR buffer) const override;
    void CalcSize(CDC* dc) override;
    void Draw(CDC* dc) override;
    BOOL Activate(BOOL on) override;
    void OnKeyDown(UINT key) override;
    void OnChar(UINT ch) override;
    void OnCancelMode() override;

    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    int GetDigitCount() const { return m_digits; }
    BOOL IsTyping() const { return m_bTyping; }
    // Commits what has been typed so far; TRUE when the value was taken (or nothing was typed).
    BOOL Commit();

    static int DigitsFor(int maximum) { return maximum < 10 ? 1 : maximum < 100 ? 2 : maximum < 1000 ? 3 : 4; }

private:
    void StartTyping();
    void EndTyping();

    int m_minimum = 0;
    int m_maximum = 0;
    int m_digits = 1;
    int m_typedValue = 0;
    int m_typedDigits = 0;
    BOOL m_bLeadingZeros = FALSE;
    BOOL m_bTyping = FALSE;
};

class SECDTListGadget : public SECDTGadget {
    DECLARE_DYNCREATE(SECDTListGadget)
public:
    static constexpr UINT TypeAheadDelay = 2000;

    void Initialise(SECDateTimeCtrl* control, const CStringArray& items, int reserved, int id);

    void GetText(LPWSTR buffer) const override;
    void CalcSize(CDC* dc) override;
    void Draw(CDC* dc) override;
    BOOL Activate(BOOL on) override;
    void OnKeyDown(UINT key) override;
    void OnChar(UINT ch) override;
    void OnTimer() override;

    const CString& GetTypeAhead() const { return m_prefix; }
    int GetItemCount() const { return static_cast<int>(m_items.GetSize()); }

private:
    // The first item at or after `start` (wrapping once) that begins with the prefix and that the
    // control accepts; -1 when none.
    int FindItem(int start);
    void EndTypeAhead();

    CStringArray m_items;
    CString m_prefix;
    BOOL m_bTypeAhead = FALSE;
};

class SECDTStaticGadget : public SECDTGadget {
    DECLARE_DYNCREATE(SECDTStaticGadget)
public:
    SECDTStaticGadget() { m_style = 0; }
    void Initialise(SECDateTimeCtrl* control, const CString& text, int id);

    void GetText(LPWSTR buffer) const override;
    const CString& GetText() const { return m_text; }
    void CalcSize(CDC* dc) override;
    void Draw(CDC* dc) override;

private:
    CString m_text;
};

class SECDTButtonGadget : public SECDTGadget {
    DECLARE_DYNCREATE(SECDTButtonGadget)
public:
    static constexpr UINT StateCaptured = 0x1, StatePressed = 0x2, StateHot = 0x4;

    void Initialise(SECDateTimeCtrl* control, UINT bitmapId, int id);

    void CalcSize(CDC* dc) override;
    void Draw(CDC* dc) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnCancelMode() override;
    void OnSysColorChange() override;

    UINT GetState() const { return m_state; }

private:
    void SetState(UINT state);

    UINT m_state = 0;
    CBitmap m_bitmap;
    UINT m_bitmapId = 0;
};

class SECDTSpinGadget : public SECDTGadget {
    DECLARE_DYNCREATE(SECDTSpinGadget)
public:
    static constexpr UINT UpPressed = 0x1, DownPressed = 0x2, UpCaptured = 0x4, DownCaptured = 0x8, TimerRunning = 0x10,
                          FirstDelay = 0x20, UpHot = 0x40, DownHot = 0x80;
    static constexpr UINT FirstRepeatDelay = 500;
    static constexpr UINT RepeatInterval = 100;

    SECDTSpinGadget() { m_style = WantMouse; }

    void CalcSize(CDC* dc) override;
    void Draw(CDC* dc) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnCancelMode() override;
    void OnTimer() override;

    UINT GetState() const { return m_state; }
    int GetRepeatCount() const { return m_repeatCount; }
    // The step of a repeat: 1 for the first 20, 2 up to 50, then 5.
    static int StepForRepeat(int count) { return count <= 20 ? 1 : count <= 50 ? 2 : 5; }

private:
    CRect UpRect() const;
    CRect DownRect() const;
    void DrawHalf(CDC* dc, const CRect& rect, BOOL up, BOOL pressed) const;
    void StartRepeat(UINT delay);
    void StopRepeat();
    void EndTracking();
    void SetState(UINT state);

    UINT m_state = 0;
    int m_repeatCount = 0;
};

using SECDTGadgetArray = CObArray;
