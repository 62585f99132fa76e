#pragma once
// The date-time control: one date and time value edited as a row of fields (numbers, name lists and
// literal text) built from a format such as "dddd  dd.MM.yyyy  HH:mm:ss tt", with a drop-down
// button that opens a month calendar and an up/down button at its right edge. The fields are gadgets
// (DTGadgets.h), not windows; every change the user makes is checked, applied at once and reported
// to the parent as EN_CHANGE. "Now" comes from the clock seam (datecore/Clock.h), the names from
// the locale seam (DateLocale.h).

#include "commandbars/DTGadgets.h"
#include "commandbars/DateTimeCtrlResource.h"
#include "platform/base/Time.h"
#include "platform/mfc/Wnd.h"

class SECPopupCalendar;

class SECDateTimeCtrl : public CWnd {
    DECLARE_DYNCREATE(SECDateTimeCtrl)
public:
    // Control style bits (the low bits of the window style).
    static constexpr DWORD DTCS_DROPDOWN = 0x1; // the drop-down calendar button
    static constexpr DWORD DTCS_SPIN = 0x2;     // the up/down button

    // Field ids: the gadget id of each kind of field.
    enum FieldId : int {
        Hour12 = 0x1,
        Hour24 = 0x2,
        Minute = 0x4,
        Second = 0x8,
        AmPm = 0x10,
        Day = 0x20,
        DayName = 0x40,
        Month = 0x80,
        MonthName = 0x100,
        Year2 = 0x200,
        Year4 = 0x400,
        DropDownButton = 0x4000,
        SpinButton = 0x8000,
        Literal = -1,
    };
    // The fields each part of the value shows.
    static constexpr int HourFields = Hour12 | Hour24 | AmPm;
    static constexpr int DateFields = Day | DayName | Month | MonthName | Year2 | Year4;
    static constexpr int TimeFields = HourFields | Minute | Second;

    // Change flags.
    static constexpr DWORD DateChanged = 0x1;
    static constexpr DWORD TimeChanged = 0x2;
    static constexpr DWORD Editing = 0x4;

    // The bitmap of the drop-down button.
    static constexpr UINT DropDownBitmap = IDB_DATETIME_DROPDOWN;

    SECDateTimeCtrl();
    ~SECDateTimeCtrl() override;

    BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;
    // Takes the place of the parent's child `id` (its rectangle and z-order) and destroys it.
    BOOL AttachDateTimeCtrl(UINT id, CWnd* parent, DWORD dtcStyle, DWORD style, DWORD exStyle);

    void SetFormat(LPCWSTR format);
    const CString& GetFormat() const { return m_format; }
    // Auto-advance (a full number field moves on) and Tab between fields, together.
    void EnableFastEntry(BOOL on = TRUE);
    // Sizes the window to hold all fields and the buttons.
    void SizeToContent();

    // Each keeps the other half of the value; FALSE (nothing changed) for a refused value.
    BOOL SetDate(const COleDateTime& date);
    BOOL SetTime(const COleDateTime& time);
    const COleDateTime& GetDateTime() const { return m_datetime; }
    // Whether the user changed the date, the time, since the control was made.
    void GetModified(BOOL* date, BOOL* time) const;

    // ---- overridables
    virtual BOOL ValidateDateTime(COleDateTime& value, int part);
    // A derived control may veto a change.
    virtual BOOL OnChanging(const COleDateTime& newValue);
    virtual void OnChanged();
    virtual void ParseFormat();
    // The hundreds a typed two-digit year gets.
    virtual int GetCentury(int twoDigitYear);
    virtual void LayoutGadgets();
    virtual void DrawGadgets(CDC* dc);
    virtual void ShowPopupCalendar();
    virtual SECPopupCalendar* CreatePopupCalendar();
    // Every gadget's notification; nonzero to accept.
    virtual BOOL OnGadgetNotify(int code, int fieldId, int value);
    virtual void CancelInput();
    virtual void OnMonthName(CString& name);
    virtual void OnDayName(CString& name);

    // ---- state the gadgets and tests read
    int GetScrollOffset() const { return m_scrollOffset; }
    int GetGadgetCount() const { return static_cast<int>(m_gadgets.GetSize()); }
    SECDTGadget* GetGadget(int index) const { return static_cast<SECDTGadget*>(m_gadgets[index]); }
    // The first gadget showing that field, or null.
    SECDTGadget* FindGadget(int fieldId) const;
    int GetCurrentIndex() const { return m_current; }
    SECDTGadget* GetCurrentGadget() const;
    SECPopupCalendar* GetPopupCalendar() const { return m_pPopup; }
    DWORD GetChangeFlags() const { return m_changeFlags; }
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF GetBkColor() const { return m_bkColor; }
    HFONT GetFontHandle() const { return m_font; }
    BOOL IsPM() const { return m_bPM; }
    // Used by the gadgets.
    void CaptureGadget(SECDTGadget* gadget, BOOL capture);

protected:
    void OnPaint();
    void OnSetFocus(CWnd* old);
    void OnKillFocus(CWnd* next);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message);
    LRESULT OnCancelModeMessage(WPARAM, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    void OnEnable(BOOL enable);
    LRESULT OnSetFont(WPARAM font, LPARAM redraw);
    LRESULT OnGetFont(WPARAM, LPARAM);
    void OnSysColorChange();
    void OnSettingChange(UINT flags, LPCWSTR section);
    void OnDestroy();
    LRESULT OnGetText(WPARAM size, LPARAM buffer);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnCalendarPicked(WPARAM, LPARAM);
    LRESULT OnCalendarDismiss(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // The handler of a field's notification; FALSE refuses.
    using FieldHandler = BOOL (SECDateTimeCtrl::*)(int code, int fieldId, int value);
    static FieldHandler HandlerFor(int fieldId);
    BOOL OnHour(int code, int fieldId, int value);
    BOOL OnMinute(int code, int fieldId, int value);
    BOOL OnSecond(int code, int fieldId, int value);
    BOOL OnAmPm(int code, int fieldId, int value);
    BOOL OnDay(int code, int fieldId, int value);
    BOOL OnMonth(int code, int fieldId, int value);
    BOOL OnYear(int code, int fieldId, int value);
    BOOL OnSpin(int code, int value);
    // Checks and takes `value` for a change of `part` (DateChanged or TimeChanged); with `askOnly`
    // (NmValidate) only checks it.
    BOOL ApplyChange(COleDateTime value, DWORD part, BOOL askOnly);
    // Stores the value and refreshes the fields whose parts changed.
    void StoreValue(const COleDateTime& value);
    void RefreshFields(int mask);

    void AddButtons(DWORD style);
    void DeleteFieldGadgets();
    void Reparse();
    SECDTGadget* MakeGadget(CRuntimeClass* kind);
    void AddNumeric(int minimum, int maximum, BOOL leadingZeros, int id);
    void AddList(const CStringArray& items, int id);
    void AddStatic(const CString& text);
    BOOL CanFocus(int index) const;
    // The next (or previous) field after `from` that can take the focus; -1 when none.
    int NextField(int from, int direction) const;
    void SetCurrent(int index);
    void EnsureVisible();
    int HitTest(CPoint point) const;
    void CommitTyping();
    void Notify(UINT code);
    int RightAlignedWidth() const { return m_rightWidth; }
    CString Text() const;

    DWORD m_changeFlags = 0;
    BOOL m_bAutoAdvance = FALSE;
    BOOL m_bTabNavigation = FALSE;
    COleDateTime m_datetime;
    CString m_format;
    HFONT m_font = nullptr;
    int m_current = 0;
    int m_scrollOffset = 0;
    int m_rightWidth = 0;
    int m_rightCount = 0;
    SECDTGadget* m_pCapture = nullptr;
    SECPopupCalendar* m_pPopup = nullptr;
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0;
    int m_disabledBkColor = COLOR_BTNFACE;
    int m_disabledTextColor = COLOR_GRAYTEXT;
    UINT m_dropDownBitmap = DropDownBitmap;
    CRuntimeClass* m_pListClass;
    CRuntimeClass* m_pNumericClass;
    CRuntimeClass* m_pStaticClass;
    CRuntimeClass* m_pButtonClass;
    CRuntimeClass* m_pSpinClass;
    SECDTGadgetArray m_gadgets;
    BOOL m_bPM = FALSE; // the 12-hour field shows an afternoon hour
};
