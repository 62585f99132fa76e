#include "commandbars/DateTimeCtrl.h"

#include "commandbars/CalendarPanel.h"
#include "commandbars/PopupCalendar.h"
#include "datecore/Clock.h"
#include "datecore/DateLocale.h"

#include <algorithm>
#include <cwctype>

IMPLEMENT_DYNCREATE(SECDateTimeCtrl, CWnd)

BEGIN_MESSAGE_MAP(SECDateTimeCtrl, CWnd)
ON_WM_PAINT()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_WM_SYSKEYDOWN()
ON_WM_CHAR()
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEACTIVATE()
ON_MESSAGE(WM_CANCELMODE, OnCancelModeMessage)
ON_WM_SIZE()
ON_WM_ENABLE()
ON_MESSAGE(WM_SETFONT, OnSetFont)
ON_MESSAGE(WM_GETFONT, OnGetFont)
ON_WM_SYSCOLORCHANGE()
ON_WM_SETTINGCHANGE()
ON_WM_DESTROY()
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_MESSAGE(WM_CALENDAR_PICKED, OnCalendarPicked)
ON_MESSAGE(WM_CALENDAR_DISMISS, OnCalendarDismiss)
END_MESSAGE_MAP()

namespace {

constexpr int TextLimit = 1024;

struct Parts {
    int year, month, day, hour, minute, second;

    explicit Parts(const COleDateTime& value)
        : year(value.GetYear())
        , month(value.GetMonth())
        , day(value.GetDay())
        , hour(value.GetHour())
        , minute(value.GetMinute())
        , second(value.GetSecond())
    {
    }
    // The value of these parts; a day past the month's end comes back to its last day.
    COleDateTime Clamped() const
    {
        COleDateTime value(year, month, day, hour, minute, second);
        for (int last = day; value.GetStatus() != COleDateTime::valid && last >= 29;)
            value = COleDateTime(year, month, --last, hour, minute, second);
        return value;
    }
};

int DaysInMonth(int year, int month)
{
    for (int day = 31; day > 28; --day)
        if (COleDateTime(year, month, day, 0, 0, 0).GetStatus() == COleDateTime::valid)
            return day;
    return 28;
}

// A part stepped by `step` within first..last, going round at either end.
int Wrap(int value, int step, int first, int last)
{
    value += step;
    if (value > last)
        return first;
    if (value < first)
        return last;
    return value;
}

COleDateTime Now()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return COleDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

bool IsStep(int code) { return code >= SECDTGadget::NmStepUp && code <= SECDTGadget::NmSpinDown; }

// +1 or -1 times the step a code asks for: 1 for a key, the spin's step (at most `limit`) for the spin.
int StepOf(int code, int value, int limit)
{
    int step = (code == SECDTGadget::NmSpinUp || code == SECDTGadget::NmSpinDown) ? std::min(std::max(value, 1), limit) : 1;
    return (code == SECDTGadget::NmStepUp || code == SECDTGadget::NmSpinUp) ? step : -step;
}

} // namespace

SECDateTimeCtrl::SECDateTimeCtrl()
    : m_datetime(Now())
    , m_pListClass(RUNTIME_CLASS(SECDTListGadget))
    , m_pNumericClass(RUNTIME_CLASS(SECDTNumericGadget))
    , m_pStaticClass(RUNTIME_CLASS(SECDTStaticGadget))
    , m_pButtonClass(RUNTIME_CLASS(SECDTButtonGadget))
    , m_pSpinClass(RUNTIME_CLASS(SECDTSpinGadget))
{
}

SECDateTimeCtrl::~SECDateTimeCtrl()
{
    // The window goes first: its last messages may still reach the fields.
    if (m_hWnd)
        DestroyWindow();
    CancelInput();
    for (INT_PTR i = 0; i < m_gadgets.GetSize(); ++i)
        delete m_gadgets[i];
    m_gadgets.RemoveAll();
}

// ---- creation

BOOL SECDateTimeCtrl::Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    CancelInput();
    for (INT_PTR i = 0; i < m_gadgets.GetSize(); ++i)
        delete m_gadgets[i];
    m_gadgets.RemoveAll();
    m_rightCount = 0;
    LPCWSTR windowClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
    if (!CreateEx(exStyle, windowClass, L"", style | WS_CHILD, rect, parent, id))
        return FALSE;
    CFont* parentFont = parent ? parent->GetFont() : nullptr;
    m_font = parentFont && parentFont->m_hObject ? static_cast<HFONT>(parentFont->m_hObject)
                                                 : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    AddButtons(style);
    m_current = m_rightCount;
    ParseFormat();
    LayoutGadgets();
    return TRUE;
}

BOOL SECDateTimeCtrl::AttachDateTimeCtrl(UINT id, CWnd* parent, DWORD dtcStyle, DWORD style, DWORD exStyle)
{
    HWND placeholder = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    if (!placeholder)
        return FALSE;
    CRect rect;
    ::GetWindowRect(placeholder, &rect);
    parent->ScreenToClient(&rect);
    if (!Create(exStyle, dtcStyle | style, rect, parent, id))
        return FALSE;
    ::SetWindowPos(m_hWnd, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::DestroyWindow(placeholder);
    return TRUE;
}

SECDTGadget* SECDateTimeCtrl::MakeGadget(CRuntimeClass* kind)
{
    auto* gadget = static_cast<SECDTGadget*>(kind->CreateObject());
    m_gadgets.Add(gadget);
    return gadget;
}

void SECDateTimeCtrl::AddButtons(DWORD style)
{
    if (style & DTCS_DROPDOWN) {
        auto* button = static_cast<SECDTButtonGadget*>(MakeGadget(m_pButtonClass));
        button->Initialise(this, m_dropDownBitmap, DropDownButton);
        button->SetStyle(SECDTGadget::WantMouse | SECDTGadget::IsManualPosition);
        ++m_rightCount;
    }
    if (style & DTCS_SPIN) {
        SECDTGadget* spin = MakeGadget(m_pSpinClass);
        spin->Initialise(this, SpinButton);
        spin->SetStyle(SECDTGadget::WantMouse | SECDTGadget::IsManualPosition);
        ++m_rightCount;
    }
}

void SECDateTimeCtrl::AddNumeric(int minimum, int maximum, BOOL leadingZeros, int id)
{
    static_cast<SECDTNumericGadget*>(MakeGadget(m_pNumericClass))->Initialise(this, minimum, maximum, 0, leadingZeros, id);
}

void SECDateTimeCtrl::AddList(const CStringArray& items, int id)
{
    static_cast<SECDTListGadget*>(MakeGadget(m_pListClass))->Initialise(this, items, 0, id);
}

void SECDateTimeCtrl::AddStatic(const CString& text)
{
    if (!text.IsEmpty())
        static_cast<SECDTStaticGadget*>(MakeGadget(m_pStaticClass))->Initialise(this, text, Literal);
}

// ---- the format

void SECDateTimeCtrl::ParseFormat()
{
    const CString& format = m_format;
    const int length = format.GetLength();
    const DateLocale locale = CurrentDateLocale();
    CString literal;
    int at = 0;
    while (at < length) {
        const wchar_t letter = format[at];
        if (letter == L'\'' || letter == L'"') {
            // Quoted text up to the same quote (or the end) is one literal, without its quotes.
            AddStatic(literal);
            literal.Empty();
            int end = at + 1;
            while (end < length && format[end] != letter)
                ++end;
            AddStatic(format.Mid(at + 1, end - at - 1));
            at = std::min(end + 1, length);
            continue;
        }
        if (!wcschr(L"hHmstdMyg", letter)) {
            literal += letter;
            ++at;
            continue;
        }
        int count = 1;
        while (at + count < length && format[at + count] == letter)
            ++count;
        at += count;
        AddStatic(literal);
        literal.Empty();
        const BOOL zeros = count >= 2;
        CStringArray names;
        switch (letter) {
        case L'h':
            AddNumeric(1, 12, zeros, Hour12);
            break;
        case L'H':
            AddNumeric(0, 23, zeros, Hour24);
            break;
        case L'm':
            AddNumeric(0, 59, zeros, Minute);
            break;
        case L's':
            AddNumeric(0, 59, zeros, Second);
            break;
        case L't':
            names.Add(count == 1 ? locale.amSymbol.Left(1) : locale.amSymbol);
            names.Add(count == 1 ? locale.pmSymbol.Left(1) : locale.pmSymbol);
            AddList(names, AmPm);
            break;
        case L'd':
            if (count <= 2) {
                AddNumeric(1, 31, zeros, Day);
                break;
            }
            for (int day = 1; day <= 7; ++day) {
                CString name;
                SECPanel::GetDayName(day, count >= 4, name);
                OnDayName(name);
                names.Add(name);
            }
            AddList(names, DayName);
            break;
        case L'M':
            if (count <= 2) {
                AddNumeric(1, 12, zeros, Month);
                break;
            }
            for (int month = 1; month <= 12; ++month) {
                CString name;
                SECPanel::GetMonthName(month, count >= 4, name);
                OnMonthName(name);
                names.Add(name);
            }
            AddList(names, MonthName);
            break;
        case L'y':
            if (count <= 2)
                AddNumeric(0, 99, zeros, Year2);
            else
                AddNumeric(0, 9999, count >= 4, Year4);
            break;
        default: // 'g': the era is not shown
            break;
        }
    }
    AddStatic(literal);
    RefreshFields(TimeFields | DateFields);
}

void SECDateTimeCtrl::SetFormat(LPCWSTR format)
{
    m_format = format ? format : L"";
    if (m_hWnd)
        Reparse();
}

void SECDateTimeCtrl::OnSettingChange(UINT, LPCWSTR)
{
    Reparse();
}

void SECDateTimeCtrl::DeleteFieldGadgets()
{
    for (INT_PTR i = m_gadgets.GetSize() - 1; i >= m_rightCount; --i) {
        delete m_gadgets[i];
        m_gadgets.RemoveAt(i);
    }
}

void SECDateTimeCtrl::Reparse()
{
    const int remembered = m_current;
    CancelInput();
    DeleteFieldGadgets();
    ParseFormat();
    LayoutGadgets();
    m_current = CanFocus(remembered) ? remembered : std::max(NextField(-1, +1), 0);
    if (SECDTGadget* current = GetCurrentGadget(); current && GetFocus() == this)
        current->Activate(TRUE);
    Invalidate(FALSE);
}

void SECDateTimeCtrl::EnableFastEntry(BOOL on)
{
    m_bAutoAdvance = on;
    m_bTabNavigation = on;
}

// ---- layout

void SECDateTimeCtrl::LayoutGadgets()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    CClientDC dc(this);
    HGDIOBJ oldFont = dc.SelectObject(m_font);
    int x = 1;
    int right = client.right;
    m_rightWidth = 0;
    for (int i = 0; i < GetGadgetCount(); ++i) {
        SECDTGadget* gadget = GetGadget(i);
        gadget->SetRect(CRect(0, 0, 0, 0));
        gadget->CalcSize(&dc);
        const int width = gadget->GetRect().Width();
        const int height = gadget->GetRect().Height() == -1 ? client.Height() : gadget->GetRect().Height();
        if (gadget->GetStyle() & SECDTGadget::IsManualPosition) {
            gadget->SetRect(CRect(right - width, 0, right, client.Height()));
            right -= width;
            m_rightWidth += width;
        } else {
            gadget->SetRect(CRect(x, 1, x + width, 1 + height));
            x += width;
        }
    }
    dc.SelectObject(oldFont);
}

void SECDateTimeCtrl::SizeToContent()
{
    if (!m_hWnd)
        return;
    CRect size(0, 0, 3 + m_rightWidth, 2);
    bool heightTaken = false;
    for (int i = m_rightCount; i < GetGadgetCount(); ++i) {
        size.right += GetGadget(i)->GetRect().Width();
        if (!heightTaken) {
            size.bottom += GetGadget(i)->GetRect().Height();
            heightTaken = true;
        }
    }
    ::AdjustWindowRectEx(&size, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, size.Width(), size.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SECDateTimeCtrl::EnsureVisible()
{
    SECDTGadget* gadget = GetCurrentGadget();
    if (!gadget || !m_hWnd || (gadget->GetStyle() & SECDTGadget::IsManualPosition))
        return;
    CRect client;
    GetClientRect(&client);
    CRect strip(client.left + 1, client.top, client.right - 1 - m_rightWidth, client.bottom);
    strip.OffsetRect(m_scrollOffset, 0);
    const CRect& rect = gadget->GetRect();
    if (rect.left < strip.left) {
        m_scrollOffset = rect.left;
    } else if (rect.right > strip.right) {
        m_scrollOffset += rect.right - strip.right;
        if (rect.left < strip.left + (rect.right - strip.right))
            m_scrollOffset = rect.left;
    }
    Invalidate(FALSE);
}

void SECDateTimeCtrl::OnSize(UINT, int, int)
{
    LayoutGadgets();
    Invalidate(FALSE);
}

// ---- painting

void SECDateTimeCtrl::OnPaint()
{
    CPaintDC paint(this);
    const BOOL enabled = IsWindowEnabled();
    paint.SetTextColor(GetSysColor(enabled ? COLOR_WINDOWTEXT : m_disabledTextColor));
    paint.SetBkColor(GetSysColor(enabled ? COLOR_WINDOW : m_disabledBkColor));
    if (CWnd* parent = GetParent())
        parent->SendMessage(enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(paint.m_hDC),
            reinterpret_cast<LPARAM>(m_hWnd));
    m_textColor = paint.GetTextColor();
    m_bkColor = paint.GetBkColor();

    CRect client;
    GetClientRect(&client);
    CDC memory;
    CBitmap bitmap;
    if (memory.CreateCompatibleDC(&paint) && bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height())) {
        CBitmap* oldBitmap = memory.SelectObject(&bitmap);
        HGDIOBJ oldFont = memory.SelectObject(m_font);
        DrawGadgets(&memory);
        paint.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
        memory.SelectObject(oldFont);
        memory.SelectObject(oldBitmap);
    } else {
        HGDIOBJ oldFont = paint.SelectObject(m_font);
        DrawGadgets(&paint);
        paint.SelectObject(oldFont);
    }
}

void SECDateTimeCtrl::DrawGadgets(CDC* dc)
{
    CRect clip;
    dc->GetClipBox(&clip);
    dc->FillSolidRect(&clip, m_bkColor);
    for (int i = 0; i < GetGadgetCount(); ++i) {
        SECDTGadget* gadget = GetGadget(i);
        if (!(gadget->GetStyle() & SECDTGadget::IsManualPosition))
            continue;
        CRect overlap;
        if (overlap.IntersectRect(&gadget->GetRect(), &clip))
            gadget->Draw(dc);
        dc->ExcludeClipRect(&gadget->GetRect());
    }
    CPoint oldOrigin = dc->OffsetViewportOrg(-m_scrollOffset, 0);
    clip.OffsetRect(m_scrollOffset, 0);
    for (int i = 0; i < GetGadgetCount(); ++i) {
        SECDTGadget* gadget = GetGadget(i);
        CRect overlap;
        if (!(gadget->GetStyle() & SECDTGadget::IsManualPosition) && overlap.IntersectRect(&gadget->GetRect(), &clip))
            gadget->Draw(dc);
    }
    dc->SetViewportOrg(oldOrigin.x, oldOrigin.y);
}

void SECDateTimeCtrl::OnEnable(BOOL) { Invalidate(FALSE); }

void SECDateTimeCtrl::OnSysColorChange()
{
    for (int i = 0; i < GetGadgetCount(); ++i)
        GetGadget(i)->OnSysColorChange();
    Default();
    Invalidate(FALSE);
}

LRESULT SECDateTimeCtrl::OnSetFont(WPARAM font, LPARAM redraw)
{
    m_font = font ? reinterpret_cast<HFONT>(font) : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LayoutGadgets();
    if (redraw)
        Invalidate(FALSE);
    return 0;
}

LRESULT SECDateTimeCtrl::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_font); }

// ---- fields and focus

SECDTGadget* SECDateTimeCtrl::FindGadget(int fieldId) const
{
    for (int i = 0; i < GetGadgetCount(); ++i)
        if (GetGadget(i)->GetID() == fieldId)
            return GetGadget(i);
    return nullptr;
}

SECDTGadget* SECDateTimeCtrl::GetCurrentGadget() const
{
    return m_current >= 0 && m_current < GetGadgetCount() ? GetGadget(m_current) : nullptr;
}

BOOL SECDateTimeCtrl::CanFocus(int index) const
{
    return index >= 0 && index < GetGadgetCount() && (GetGadget(index)->GetStyle() & SECDTGadget::WantFocus);
}

int SECDateTimeCtrl::NextField(int from, int direction) const
{
    for (int index = from + direction; index >= 0 && index < GetGadgetCount(); index += direction)
        if (CanFocus(index))
            return index;
    return -1;
}

void SECDateTimeCtrl::SetCurrent(int index)
{
    if (index < 0 || index == m_current)
        return;
    const bool focused = GetFocus() == this;
    if (SECDTGadget* old = GetCurrentGadget())
        old->Activate(FALSE);
    m_current = index;
    if (focused)
        GetCurrentGadget()->Activate(TRUE);
    EnsureVisible();
}

void SECDateTimeCtrl::CommitTyping()
{
    if (auto* numeric = dynamic_cast<SECDTNumericGadget*>(GetCurrentGadget()))
        numeric->Commit();
}

void SECDateTimeCtrl::OnSetFocus(CWnd*)
{
    Notify(EN_SETFOCUS);
    if (m_bTabNavigation && (GetKeyState(VK_TAB) & 0x8000)) {
        const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const int index = back ? NextField(GetGadgetCount(), -1) : NextField(m_rightCount - 1, +1);
        if (index >= 0)
            m_current = index;
    }
    if (SECDTGadget* gadget = GetCurrentGadget())
        gadget->Activate(TRUE);
    EnsureVisible();
}

void SECDateTimeCtrl::OnKillFocus(CWnd*)
{
    if (SECDTGadget* gadget = GetCurrentGadget())
        gadget->Activate(FALSE);
    Notify(EN_KILLFOCUS);
}

void SECDateTimeCtrl::Notify(UINT code)
{
    if (GetExStyle() & WS_EX_NOPARENTNOTIFY)
        return;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- keyboard

LRESULT SECDateTimeCtrl::OnGetDlgCode(WPARAM, LPARAM)
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_bTabNavigation ? DLGC_WANTTAB : 0);
}

void SECDateTimeCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (GetGadgetCount() == 0) {
        CWnd::OnKeyDown(key, repeat, flags);
        return;
    }
    switch (key) {
    case VK_LEFT:
        SetCurrent(NextField(m_current, -1));
        return;
    case VK_RIGHT:
        SetCurrent(NextField(m_current, +1));
        return;
    case VK_F4:
        if (GetStyle() & DTCS_DROPDOWN)
            ShowPopupCalendar();
        return;
    case VK_TAB:
        if (m_bTabNavigation) {
            const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            const int before = m_current;
            SetCurrent(NextField(m_current, back ? -1 : +1));
            if (m_current == before) {
                CWnd* parent = GetParent();
                HWND next = parent ? ::GetNextDlgTabItem(parent->m_hWnd, m_hWnd, back) : nullptr;
                if (next && next != m_hWnd)
                    ::SetFocus(next);
            }
            return;
        }
        break;
    default:
        break;
    }
    if (SECDTGadget* gadget = GetCurrentGadget())
        gadget->OnKeyDown(key);
}

void SECDateTimeCtrl::OnSysKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_DOWN && (GetStyle() & DTCS_DROPDOWN)) {
        ShowPopupCalendar();
        return;
    }
    CWnd::OnSysKeyDown(key, repeat, flags);
}

void SECDateTimeCtrl::OnChar(UINT ch, UINT, UINT)
{
    if (ch == L'\t' && m_bTabNavigation)
        return;
    const int next = m_current + 1;
    if (next < GetGadgetCount() && GetGadget(next)->GetID() == Literal) {
        CString separator = static_cast<SECDTStaticGadget*>(GetGadget(next))->GetText();
        separator.Trim();
        const bool blank = separator.IsEmpty() && ch == L' ';
        if (blank || (separator.GetLength() == 1 && separator[0] == static_cast<wchar_t>(ch))) {
            SetCurrent(NextField(m_current, +1));
            return;
        }
    }
    if (SECDTGadget* gadget = GetCurrentGadget())
        gadget->OnChar(ch);
}

// ---- mouse

int SECDateTimeCtrl::HitTest(CPoint point) const
{
    constexpr UINT active = SECDTGadget::WantFocus | SECDTGadget::WantMouse;
    for (int i = 0; i < m_rightCount; ++i)
        if (GetGadget(i)->GetRect().PtInRect(point))
            return i;
    int last = -1;
    for (int i = m_rightCount; i < GetGadgetCount(); ++i) {
        if (!(GetGadget(i)->GetStyle() & active))
            continue;
        last = i;
        if (point.x + m_scrollOffset < GetGadget(i)->GetRect().right)
            return i;
    }
    return last;
}

void SECDateTimeCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    const int hit = HitTest(point);
    if (GetFocus() != this)
        SetFocus();
    if (hit < 0)
        return;
    SECDTGadget* gadget = GetGadget(hit);
    if (gadget->GetStyle() & SECDTGadget::WantFocus)
        SetCurrent(hit);
    if (gadget->GetStyle() & SECDTGadget::WantMouse) {
        const int x = (gadget->GetStyle() & SECDTGadget::IsManualPosition) ? point.x : point.x + m_scrollOffset;
        gadget->OnLButtonDown(flags, x, point.y);
    }
}

void SECDateTimeCtrl::OnLButtonUp(UINT flags, CPoint point)
{
    if (SECDTGadget* gadget = m_pCapture) {
        const int x = (gadget->GetStyle() & SECDTGadget::IsManualPosition) ? point.x : point.x + m_scrollOffset;
        gadget->OnLButtonUp(flags, x, point.y);
    }
}

void SECDateTimeCtrl::OnMouseMove(UINT flags, CPoint point)
{
    if (SECDTGadget* gadget = m_pCapture) {
        const int x = (gadget->GetStyle() & SECDTGadget::IsManualPosition) ? point.x : point.x + m_scrollOffset;
        gadget->OnMouseMove(flags, x, point.y);
    }
}

int SECDateTimeCtrl::OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message)
{
    if (m_pPopup)
        return MA_ACTIVATEANDEAT;
    return CWnd::OnMouseActivate(topLevel, hitTest, message);
}

LRESULT SECDateTimeCtrl::OnCancelModeMessage(WPARAM, LPARAM)
{
    if (m_pCapture)
        m_pCapture->OnCancelMode();
    return Default();
}

void SECDateTimeCtrl::CaptureGadget(SECDTGadget* gadget, BOOL capture)
{
    if (capture) {
        m_pCapture = gadget;
        SetCapture();
    } else if (m_pCapture == gadget) {
        m_pCapture = nullptr;
        if (GetCapture() == this)
            ReleaseCapture();
    }
}

// ---- the value

BOOL SECDateTimeCtrl::ValidateDateTime(COleDateTime& value, int)
{
    if (value.GetStatus() != COleDateTime::valid)
        return FALSE;
    // The parts of a valid value are -1 when it cannot be broken into them.
    const int year = value.GetYear(), month = value.GetMonth(), day = value.GetDay();
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && value.GetHour() >= 0;
}

BOOL SECDateTimeCtrl::OnChanging(const COleDateTime&) { return TRUE; }

void SECDateTimeCtrl::OnChanged() { Notify(EN_CHANGE); }

int SECDateTimeCtrl::GetCentury(int twoDigitYear)
{
    // The system's reading of a two-digit year: 00..29 are this century's first years, 30..99 the
    // last century's.
    return twoDigitYear < 30 ? 2000 : 1900;
}

void SECDateTimeCtrl::GetModified(BOOL* date, BOOL* time) const
{
    if (date)
        *date = (m_changeFlags & DateChanged) != 0;
    if (time)
        *time = (m_changeFlags & TimeChanged) != 0;
}

BOOL SECDateTimeCtrl::SetDate(const COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return FALSE;
    const int year = date.GetYear(), month = date.GetMonth(), day = date.GetDay();
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return FALSE;
    COleDateTime value(year, month, day, m_datetime.GetHour(), m_datetime.GetMinute(), m_datetime.GetSecond());
    if (m_datetime.GetStatus() != COleDateTime::valid)
        value = COleDateTime(year, month, day, 0, 0, 0);
    if (value.GetStatus() != COleDateTime::valid)
        return FALSE;
    StoreValue(value);
    return TRUE;
}

BOOL SECDateTimeCtrl::SetTime(const COleDateTime& time)
{
    if (time.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts now(m_datetime.GetStatus() == COleDateTime::valid ? m_datetime : Now());
    COleDateTime value(now.year, now.month, now.day, time.GetHour(), time.GetMinute(), time.GetSecond());
    if (value.GetStatus() != COleDateTime::valid)
        return FALSE;
    StoreValue(value);
    return TRUE;
}

void SECDateTimeCtrl::StoreValue(const COleDateTime& value)
{
    int changed = TimeFields | DateFields;
    if (m_datetime.GetStatus() == COleDateTime::valid && value.GetStatus() == COleDateTime::valid) {
        const Parts before(m_datetime), after(value);
        changed = (before.hour != after.hour ? HourFields : 0) | (before.minute != after.minute ? Minute : 0)
            | (before.second != after.second ? Second : 0) | (before.day != after.day ? Day : 0)
            | (m_datetime.GetDayOfWeek() != value.GetDayOfWeek() ? DayName : 0)
            | (before.month != after.month ? Month | MonthName : 0) | (before.year != after.year ? Year2 | Year4 : 0);
    }
    m_datetime = value;
    if (m_hWnd)
        RefreshFields(changed);
}

void SECDateTimeCtrl::RefreshFields(int mask)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return;
    const Parts parts(m_datetime);
    for (int i = 0; i < GetGadgetCount(); ++i) {
        SECDTGadget* gadget = GetGadget(i);
        const int id = gadget->GetID();
        if (id == Literal || !(id & mask))
            continue;
        int shown = 0;
        switch (id) {
        case Hour12:
            shown = parts.hour == 0 ? 12 : parts.hour > 12 ? parts.hour - 12 : parts.hour;
            m_bPM = parts.hour > 11;
            break;
        case Hour24:
            shown = parts.hour;
            break;
        case Minute:
            shown = parts.minute;
            break;
        case Second:
            shown = parts.second;
            break;
        case AmPm:
            shown = parts.hour >= 12 ? 1 : 0;
            break;
        case Day:
            shown = parts.day;
            break;
        case DayName:
            shown = m_datetime.GetDayOfWeek() - 1;
            break;
        case Month:
            shown = parts.month;
            break;
        case MonthName:
            shown = parts.month - 1;
            break;
        case Year2:
            shown = parts.year % 100;
            break;
        case Year4:
            shown = parts.year;
            break;
        default:
            continue;
        }
        gadget->SetValue(shown);
        if (m_hWnd) {
            CRect area = gadget->GetRect();
            area.OffsetRect(-m_scrollOffset, 0);
            InvalidateRect(&area, FALSE);
        }
    }
}

BOOL SECDateTimeCtrl::ApplyChange(COleDateTime value, DWORD part, BOOL askOnly)
{
    if (!ValidateDateTime(value, static_cast<int>(part)))
        return FALSE;
    if (askOnly)
        return TRUE;
    if (!OnChanging(value))
        return FALSE;
    StoreValue(value);
    m_changeFlags |= part;
    OnChanged();
    if (m_hWnd)
        UpdateWindow();
    return TRUE;
}

// ---- notifications of the gadgets

BOOL SECDateTimeCtrl::OnGadgetNotify(int code, int fieldId, int value)
{
    switch (code) {
    case SECDTGadget::NmTyping:
        m_changeFlags = value ? m_changeFlags | Editing : m_changeFlags & ~Editing;
        return TRUE;
    case SECDTGadget::NmFieldFull:
        if (m_bAutoAdvance)
            SetCurrent(NextField(m_current, +1));
        return TRUE;
    default:
        break;
    }
    if (fieldId == DropDownButton) {
        if (code == SECDTGadget::NmClicked)
            ShowPopupCalendar();
        return TRUE;
    }
    if (fieldId == SpinButton)
        return OnSpin(code, value);
    FieldHandler handler = HandlerFor(fieldId);
    return handler ? (this->*handler)(code, fieldId, value) : FALSE;
}

SECDateTimeCtrl::FieldHandler SECDateTimeCtrl::HandlerFor(int fieldId)
{
    switch (fieldId) {
    case Hour12:
    case Hour24:
        return &SECDateTimeCtrl::OnHour;
    case Minute:
        return &SECDateTimeCtrl::OnMinute;
    case Second:
        return &SECDateTimeCtrl::OnSecond;
    case AmPm:
        return &SECDateTimeCtrl::OnAmPm;
    case Day:
    case DayName:
        return &SECDateTimeCtrl::OnDay;
    case Month:
    case MonthName:
        return &SECDateTimeCtrl::OnMonth;
    case Year2:
    case Year4:
        return &SECDateTimeCtrl::OnYear;
    default:
        return nullptr;
    }
}

BOOL SECDateTimeCtrl::OnSpin(int code, int value)
{
    if (code != SECDTGadget::NmSpinUp && code != SECDTGadget::NmSpinDown)
        return FALSE;
    CommitTyping();
    SECDTGadget* current = GetCurrentGadget();
    if (!current || (current->GetStyle() & SECDTGadget::IsManualPosition))
        return FALSE;
    FieldHandler handler = HandlerFor(current->GetID());
    return handler ? (this->*handler)(code, current->GetID(), value) : FALSE;
}

BOOL SECDateTimeCtrl::OnHour(int code, int fieldId, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    if (IsStep(code)) {
        parts.hour = Wrap(parts.hour, StepOf(code, value, 2), 0, 23);
    } else if (code == SECDTGadget::NmHome) {
        parts.hour = 0;
    } else if (code == SECDTGadget::NmEnd) {
        parts.hour = 23;
    } else if (code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) {
        if (fieldId == Hour24) {
            if (value < 0 || value > 23)
                return FALSE;
            parts.hour = value;
        } else {
            if (value < 1 || value > 12)
                return FALSE;
            parts.hour = (value % 12) + (parts.hour >= 12 ? 12 : 0);
        }
    } else {
        return FALSE;
    }
    return ApplyChange(parts.Clamped(), TimeChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnMinute(int code, int, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    if (IsStep(code))
        parts.minute = Wrap(parts.minute, StepOf(code, value, 2), 0, 59);
    else if (code == SECDTGadget::NmHome)
        parts.minute = 0;
    else if (code == SECDTGadget::NmEnd)
        parts.minute = 59;
    else if ((code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) && value >= 0 && value <= 59)
        parts.minute = value;
    else
        return FALSE;
    return ApplyChange(parts.Clamped(), TimeChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnSecond(int code, int, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    if (IsStep(code))
        parts.second = Wrap(parts.second, StepOf(code, value, 2), 0, 59);
    else if (code == SECDTGadget::NmHome)
        parts.second = 0;
    else if (code == SECDTGadget::NmEnd)
        parts.second = 59;
    else if ((code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) && value >= 0 && value <= 59)
        parts.second = value;
    else
        return FALSE;
    return ApplyChange(parts.Clamped(), TimeChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnAmPm(int code, int, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    const bool pm = parts.hour >= 12;
    bool wantPm = pm;
    if (IsStep(code))
        wantPm = !pm;
    else if (code == SECDTGadget::NmHome)
        wantPm = false;
    else if (code == SECDTGadget::NmEnd)
        wantPm = true;
    else if ((code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) && (value == 0 || value == 1))
        wantPm = value == 1;
    else
        return FALSE;
    if (wantPm != pm)
        parts.hour += wantPm ? 12 : -12;
    return ApplyChange(parts.Clamped(), TimeChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnDay(int code, int fieldId, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    const int last = DaysInMonth(parts.year, parts.month);
    COleDateTime result;
    if (IsStep(code)) {
        const int step = StepOf(code, value, 2);
        if (parts.day + step > last)
            parts.day = 1;
        else if (parts.day + step < 1)
            parts.day = 31;
        else
            parts.day += step;
        result = parts.Clamped();
    } else if (fieldId == DayName && (code == SECDTGadget::NmHome || code == SECDTGadget::NmEnd || code == SECDTGadget::NmValidate
                                         || code == SECDTGadget::NmSetValue)) {
        // A weekday: the day of this week that falls on it.
        int weekday = code == SECDTGadget::NmHome ? 1 : code == SECDTGadget::NmEnd ? 7 : value + 1;
        if (weekday < 1 || weekday > 7)
            return FALSE;
        result = m_datetime + COleDateTimeSpan(static_cast<double>(weekday - m_datetime.GetDayOfWeek()));
    } else if (code == SECDTGadget::NmHome || code == SECDTGadget::NmEnd) {
        parts.day = code == SECDTGadget::NmHome ? 1 : 31;
        result = parts.Clamped();
    } else if (code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) {
        result = COleDateTime(parts.year, parts.month, value, parts.hour, parts.minute, parts.second);
        if (value < 1 || value > 31 || result.GetStatus() != COleDateTime::valid)
            return FALSE;
    } else {
        return FALSE;
    }
    return ApplyChange(result, DateChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnMonth(int code, int fieldId, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    if (IsStep(code)) {
        parts.month = Wrap(parts.month, StepOf(code, value, 1) > 0 ? 1 : -1, 1, 12);
    } else if (code == SECDTGadget::NmHome) {
        parts.month = 1;
    } else if (code == SECDTGadget::NmEnd) {
        parts.month = 12;
    } else if (code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) {
        const int month = fieldId == MonthName ? value + 1 : value;
        if (month < 1 || month > 12)
            return FALSE;
        parts.month = month;
    } else {
        return FALSE;
    }
    return ApplyChange(parts.Clamped(), DateChanged, code == SECDTGadget::NmValidate);
}

BOOL SECDateTimeCtrl::OnYear(int code, int fieldId, int value)
{
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return FALSE;
    Parts parts(m_datetime);
    if (IsStep(code)) {
        const int step = (code == SECDTGadget::NmSpinUp || code == SECDTGadget::NmSpinDown) ? std::max(value, 1) : 1;
        const bool up = code == SECDTGadget::NmStepUp || code == SECDTGadget::NmSpinUp;
        parts.year = std::clamp(parts.year + (up ? step : -step), 100, 9999);
    } else if (code == SECDTGadget::NmHome) {
        parts.year = 100;
    } else if (code == SECDTGadget::NmEnd) {
        parts.year = Now().GetYear();
    } else if (code == SECDTGadget::NmValidate || code == SECDTGadget::NmSetValue) {
        if (value < 0 || value > 9999)
            return FALSE;
        parts.year = (fieldId == Year2 || value < 100) ? GetCentury(value % 100) + value % 100 : value;
    } else {
        return FALSE;
    }
    return ApplyChange(parts.Clamped(), DateChanged, code == SECDTGadget::NmValidate);
}

// ---- the drop-down calendar

SECPopupCalendar* SECDateTimeCtrl::CreatePopupCalendar() { return new SECPopupCalendar; }

void SECDateTimeCtrl::ShowPopupCalendar()
{
    if (m_pPopup || !m_hWnd)
        return;
    CommitTyping();
    m_pPopup = CreatePopupCalendar();
    if (!m_pPopup)
        return;
    m_pPopup->SetFlags(m_pPopup->GetFlags() | SECCalendar::DragSelect | SECCalendar::SelectOtherMonths);
    m_pPopup->SetOtherMonthStyle(m_pPopup->GetOtherMonthStyle() | 0x102);
    m_pPopup->SetPickOnDeactivate(FALSE);
    if (m_datetime.GetStatus() == COleDateTime::valid) {
        m_pPopup->SetDisplayDate(m_datetime, FALSE);
        m_pPopup->SelectDate(m_datetime, TRUE);
    }
    CRect anchor;
    GetWindowRect(&anchor);
    if (!m_pPopup->CreatePopup(WS_POPUP | WS_VISIBLE | WS_THICKFRAME | SECPopupCalendar::AlignLeft, anchor, this, 0)) {
        delete m_pPopup;
        m_pPopup = nullptr;
    }
}

LRESULT SECDateTimeCtrl::OnCalendarPicked(WPARAM, LPARAM)
{
    if (m_pPopup) {
        const COleDateTime picked = m_pPopup->GetSelectedDate();
        COleDateTime value(picked.GetYear(), picked.GetMonth(), picked.GetDay(), m_datetime.GetHour(), m_datetime.GetMinute(),
            m_datetime.GetSecond());
        if (picked.GetStatus() == COleDateTime::valid && value.GetStatus() == COleDateTime::valid && !(value == m_datetime)
            && OnChanging(value)) {
            m_changeFlags |= DateChanged;
            StoreValue(value);
            OnChanged();
        }
    }
    OnCalendarDismiss(0, 0);
    return 0;
}

LRESULT SECDateTimeCtrl::OnCalendarDismiss(WPARAM, LPARAM)
{
    if (m_pPopup) {
        SECPopupCalendar* popup = std::exchange(m_pPopup, nullptr);
        delete popup;
        if (m_hWnd && IsWindowVisible())
            SetFocus();
    }
    return 0;
}

void SECDateTimeCtrl::CancelInput()
{
    if (m_pCapture) {
        SECDTGadget* gadget = std::exchange(m_pCapture, nullptr);
        gadget->OnCancelMode();
        if (m_hWnd && GetCapture() == this)
            ReleaseCapture();
    }
    delete std::exchange(m_pPopup, nullptr);
    m_current = 0;
    m_scrollOffset = 0;
}

void SECDateTimeCtrl::OnMonthName(CString&) {}
void SECDateTimeCtrl::OnDayName(CString&) {}

void SECDateTimeCtrl::OnDestroy()
{
    CancelInput();
    Default();
}

// ---- text

CString SECDateTimeCtrl::Text() const
{
    CString text;
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return text;
    for (int i = 0; i < GetGadgetCount(); ++i)
        text += GetGadget(i)->GetTextString();
    return text;
}

LRESULT SECDateTimeCtrl::OnGetText(WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    if (!out || size == 0)
        return 0;
    size_t length = 0;
    out[0] = L'\0';
    if (m_datetime.GetStatus() != COleDateTime::valid)
        return 0;
    for (int i = 0; i < GetGadgetCount(); ++i) {
        const CString piece = GetGadget(i)->GetTextString();
        const size_t room = size - 1 - length;
        const size_t taken = std::min<size_t>(room, static_cast<size_t>(piece.GetLength()));
        std::copy_n(piece.GetString(), taken, out + length);
        length += taken;
        if (taken < static_cast<size_t>(piece.GetLength()))
            break;
    }
    out[length] = L'\0';
    return static_cast<LRESULT>(length);
}

LRESULT SECDateTimeCtrl::OnGetTextLength(WPARAM, LPARAM)
{
    return std::min(Text().GetLength(), TextLimit - 1);
}
