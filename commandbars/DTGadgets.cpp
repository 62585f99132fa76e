#include "commandbars/DTGadgets.h"

#include "commandbars/BitmapButton.h"
#include "commandbars/DateTimeCtrl.h"
#include "platform/base/StringFormat.h"
#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/MemoryDC.h"

#include <algorithm>
#include <cwctype>
#include <unordered_map>

IMPLEMENT_DYNAMIC(SECDTGadget, CObject)
IMPLEMENT_DYNCREATE(SECDTNumericGadget, SECDTGadget)
IMPLEMENT_DYNCREATE(SECDTListGadget, SECDTGadget)
IMPLEMENT_DYNCREATE(SECDTStaticGadget, SECDTGadget)
IMPLEMENT_DYNCREATE(SECDTButtonGadget, SECDTGadget)
IMPLEMENT_DYNCREATE(SECDTSpinGadget, SECDTGadget)

namespace {

// The longest text a gadget gives (the control reads its text through a buffer this long).
constexpr int GadgetTextLimit = 1024;
constexpr UINT FieldTextFormat = DT_SINGLELINE | DT_NOPREFIX | DT_EXTERNALLEADING;

void Beep() { MessageBeep(0xFFFFFFFF); }

void CopyText(LPWSTR buffer, const CString& text)
{
    const int length = std::min(text.GetLength(), GadgetTextLimit - 1);
    std::copy_n(text.GetString(), length, buffer);
    buffer[length] = L'\0';
}

// The gadget that runs each thread timer.
std::unordered_map<UINT_PTR, SECDTGadget*>& GadgetTimers()
{
    static std::unordered_map<UINT_PTR, SECDTGadget*> timers;
    return timers;
}

} // namespace

// ---- SECDTGadget

SECDTGadget::~SECDTGadget() { StopTimer(); }

void SECDTGadget::GetText(LPWSTR buffer) const { buffer[0] = L'\0'; }

CString SECDTGadget::GetTextString() const
{
    WCHAR buffer[GadgetTextLimit];
    GetText(buffer);
    return buffer;
}

BOOL SECDTGadget::Activate(BOOL on)
{
    if (!(m_style & WantFocus))
        return FALSE;
    if (m_bActive != on) {
        m_bActive = on;
        Invalidate();
    }
    return TRUE;
}

void SECDTGadget::Initialise(SECDateTimeCtrl* control, int id)
{
    m_pCtrl = control;
    m_id = id;
}

void SECDTGadget::SetValue(int value) { m_value = value; }

BOOL SECDTGadget::Notify(int code, int value) { return m_pCtrl ? m_pCtrl->OnGadgetNotify(code, m_id, value) : FALSE; }

void SECDTGadget::Invalidate(BOOL update)
{
    if (!m_pCtrl || !m_pCtrl->m_hWnd)
        return;
    CRect area = m_rect;
    if (!(m_style & IsManualPosition))
        area.OffsetRect(-m_pCtrl->GetScrollOffset(), 0);
    m_pCtrl->InvalidateRect(&area, FALSE);
    if (update)
        m_pCtrl->UpdateWindow();
}

void SECDTGadget::CaptureMouse(BOOL capture)
{
    if (m_pCtrl)
        m_pCtrl->CaptureGadget(this, capture);
}

void SECDTGadget::StartTimer(UINT milliseconds)
{
    StopTimer();
    m_timerId = ::SetTimer(nullptr, 1, milliseconds, TimerProc);
    if (m_timerId)
        GadgetTimers()[m_timerId] = this;
}

void SECDTGadget::StopTimer()
{
    if (!m_timerId)
        return;
    ::KillTimer(nullptr, m_timerId);
    GadgetTimers().erase(m_timerId);
    m_timerId = 0;
}

void SECDTGadget::TimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    auto found = GadgetTimers().find(id);
    if (found != GadgetTimers().end())
        found->second->OnTimer();
}

CSize SECDTGadget::MeasureText(CDC* dc, const CString& text)
{
    CRect rect(0, 0, 0, 0);
    dc->DrawText(text, &rect, DT_CALCRECT | FieldTextFormat);
    return rect.Size();
}

void SECDTGadget::DrawFieldText(CDC* dc, const CString& text) const
{
    const bool highlighted = m_bActive;
    COLORREF oldText = dc->SetTextColor(highlighted ? GetSysColor(COLOR_HIGHLIGHTTEXT) : m_pCtrl->GetTextColor());
    COLORREF oldBack = dc->SetBkColor(highlighted ? GetSysColor(COLOR_HIGHLIGHT) : m_pCtrl->GetBkColor());
    CRect rect = m_rect;
    dc->FillSolidRect(&rect, dc->GetBkColor());
    int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text, &rect, DT_CENTER | FieldTextFormat);
    dc->SetBkMode(oldMode);
    dc->SetBkColor(oldBack);
    dc->SetTextColor(oldText);
}

// ---- SECDTNumericGadget

void SECDTNumericGadget::Initialise(SECDateTimeCtrl* control, int minimum, int maximum, int, BOOL leadingZeros, int id)
{
    SECDTGadget::Initialise(control, id);
    m_minimum = minimum;
    m_maximum = maximum;
    m_digits = DigitsFor(maximum);
    m_bLeadingZeros = leadingZeros;
}

void SECDTNumericGadget::GetText(LPWSTR buffer) const
{
    if (m_bTyping) {
        CopyText(buffer, m_typedDigits > 0 ? CString(FormatWide(L"%0*d", m_typedDigits, m_typedValue).c_str()) : CString());
        return;
    }
    if (m_bLeadingZeros)
        CopyText(buffer, FormatWide(L"%0*d", m_digits, m_value).c_str());
    else
        CopyText(buffer, FormatWide(L"%d", m_value).c_str());
}

void SECDTNumericGadget::CalcSize(CDC* dc)
{
    CSize size = MeasureText(dc, CString(L"00000").Left(m_digits));
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
}

void SECDTNumericGadget::Draw(CDC* dc) { DrawFieldText(dc, GetTextString()); }

BOOL SECDTNumericGadget::Activate(BOOL on)
{
    if (!on)
        Commit();
    return SECDTGadget::Activate(on);
}

void SECDTNumericGadget::StartTyping()
{
    if (m_bTyping)
        return;
    m_bTyping = TRUE;
    m_typedValue = 0;
    m_typedDigits = 0;
    Notify(NmTyping, 1);
}

void SECDTNumericGadget::EndTyping()
{
    m_bTyping = FALSE;
    m_typedDigits = 0;
    Invalidate();
    Notify(NmTyping, 0);
}

BOOL SECDTNumericGadget::Commit()
{
    if (!m_bTyping)
        return TRUE;
    const bool typed = m_typedDigits > 0;
    const int value = m_typedValue;
    m_typedDigits = 0;
    m_bTyping = FALSE;
    BOOL taken = FALSE;
    if (typed && Notify(NmValidate, value)) {
        m_value = value;
        taken = Notify(NmSetValue, value);
    }
    if (typed && !taken)
        Beep();
    Invalidate();
    Notify(NmTyping, 0);
    return taken;
}

void SECDTNumericGadget::OnChar(UINT ch)
{
    if (ch >= L'0' && ch <= L'9') {
        StartTyping();
        m_typedValue = m_typedValue * 10 + static_cast<int>(ch - L'0');
        ++m_typedDigits;
        if (m_typedDigits >= m_digits) {
            if (Commit())
                Notify(NmFieldFull, 0);
        }
        Invalidate();
        return;
    }
    // Control characters (the WM_CHAR of Backspace among them) are no input.
    if (m_bTyping && ch >= L' ') {
        Beep();
        EndTyping();
    }
}

void SECDTNumericGadget::OnKeyDown(UINT key)
{
    if (key == VK_BACK) {
        if (!m_bTyping) {
            StartTyping();
            // Typing goes on from the value shown, one digit shorter.
            int digits = m_bLeadingZeros ? m_digits : static_cast<int>(FormatWide(L"%d", m_value).size());
            m_typedValue = m_value / 10;
            m_typedDigits = digits - 1;
        } else if (m_typedDigits > 0) {
            m_typedValue /= 10;
            --m_typedDigits;
        }
        if (m_typedDigits <= 0) {
            m_typedDigits = 0;
            m_typedValue = 0;
            Beep();
        }
        Invalidate();
        return;
    }
    int code = 0;
    switch (key) {
    case VK_UP:
    case VK_ADD:
        code = NmStepUp;
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
        code = NmStepDown;
        break;
    case VK_HOME:
        code = NmHome;
        break;
    case VK_END:
        code = NmEnd;
        break;
    default:
        // A digit's own key-down comes before its character: it must not end the typing.
        return;
    }
    Commit();
    Notify(code, 0);
}

void SECDTNumericGadget::OnCancelMode() { Commit(); }

// ---- SECDTListGadget

void SECDTListGadget::Initialise(SECDateTimeCtrl* control, const CStringArray& items, int, int id)
{
    SECDTGadget::Initialise(control, id);
    m_items.RemoveAll();
    for (INT_PTR i = 0; i < items.GetSize(); ++i)
        m_items.Add(items[i]);
}

void SECDTListGadget::GetText(LPWSTR buffer) const
{
    CopyText(buffer, m_value >= 0 && m_value < GetItemCount() ? m_items[m_value] : CString());
}

void SECDTListGadget::CalcSize(CDC* dc)
{
    CSize largest(0, 0);
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        CSize size = MeasureText(dc, m_items[i]);
        largest.cx = std::max(largest.cx, size.cx);
        largest.cy = std::max(largest.cy, size.cy);
    }
    m_rect.right = m_rect.left + largest.cx;
    m_rect.bottom = m_rect.top + largest.cy;
}

void SECDTListGadget::Draw(CDC* dc) { DrawFieldText(dc, GetTextString()); }

BOOL SECDTListGadget::Activate(BOOL on)
{
    if (!on)
        EndTypeAhead();
    return SECDTGadget::Activate(on);
}

void SECDTListGadget::EndTypeAhead()
{
    StopTimer();
    m_prefix.Empty();
    m_bTypeAhead = FALSE;
}

void SECDTListGadget::OnKeyDown(UINT key)
{
    int code = 0;
    switch (key) {
    case VK_UP:
    case VK_ADD:
        code = NmStepUp;
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
        code = NmStepDown;
        break;
    case VK_HOME:
        code = NmHome;
        break;
    case VK_END:
        code = NmEnd;
        break;
    default:
        return;
    }
    EndTypeAhead();
    Notify(code, 0);
}

int SECDTListGadget::FindItem(int start)
{
    const int count = GetItemCount();
    const int length = m_prefix.GetLength();
    for (int step = 0; step < count; ++step) {
        const int index = (start + step) % count;
        const CString& item = m_items[index];
        if (item.GetLength() < length || item.Left(length).CompareNoCase(m_prefix) != 0)
            continue;
        if (Notify(NmValidate, index))
            return index;
    }
    return -1;
}

void SECDTListGadget::OnChar(UINT ch)
{
    if (ch < L' ' || GetItemCount() == 0)
        return;
    m_prefix += static_cast<wchar_t>(ch);
    m_bTypeAhead = TRUE;
    // The same letter again cycles through the items that begin with it.
    const bool repeated = std::all_of(m_prefix.GetString(), m_prefix.GetString() + m_prefix.GetLength(),
        [&](wchar_t c) { return std::towlower(c) == std::towlower(m_prefix[0]); });
    if (repeated && m_prefix.GetLength() > 1)
        m_prefix = m_prefix.Left(1);
    const int start = repeated ? (m_value + 1) % GetItemCount() : std::max(m_value, 0);
    const int found = FindItem(start);
    if (found < 0) {
        Beep();
        EndTypeAhead();
        return;
    }
    Notify(NmSetValue, found);
    Invalidate();
    StartTimer(TypeAheadDelay);
}

void SECDTListGadget::OnTimer() { EndTypeAhead(); }

// ---- SECDTStaticGadget

void SECDTStaticGadget::Initialise(SECDateTimeCtrl* control, const CString& text, int id)
{
    SECDTGadget::Initialise(control, id);
    m_text = text;
}

void SECDTStaticGadget::GetText(LPWSTR buffer) const { CopyText(buffer, m_text); }

void SECDTStaticGadget::CalcSize(CDC* dc)
{
    CSize size = MeasureText(dc, m_text);
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
}

void SECDTStaticGadget::Draw(CDC* dc)
{
    COLORREF oldText = dc->SetTextColor(m_pCtrl->GetTextColor());
    int oldMode = dc->SetBkMode(TRANSPARENT);
    CRect rect = m_rect;
    dc->DrawText(m_text, &rect, DT_LEFT | FieldTextFormat);
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldText);
}

// ---- SECDTButtonGadget

void SECDTButtonGadget::Initialise(SECDateTimeCtrl* control, UINT bitmapId, int id)
{
    SECDTGadget::Initialise(control, id);
    m_bitmapId = bitmapId;
    m_bitmap.DeleteObject();
    divuzura::foundation::SECLoadSysColorBitmap(m_bitmap, bitmapId);
}

void SECDTButtonGadget::CalcSize(CDC*)
{
    m_rect.right = m_rect.left + 16;
    m_rect.bottom = m_rect.top - 1; // the control's full height
}

void SECDTButtonGadget::Draw(CDC* dc)
{
    CRect rect = m_rect;
    const bool pressed = (m_state & StatePressed) != 0;
    if (pressed)
        rect = fln::gdi::DrawButtonBevel(*dc, rect, fln::gdi::ButtonBevel::Flat);
    else
        dc->DrawEdge(&rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
    dc->FillSolidRect(&rect, GetSysColor(COLOR_BTNFACE));
    if (!m_bitmap.m_hObject)
        return;
    BITMAP info {};
    m_bitmap.GetBitmap(&info);
    fln::gdi::MemoryDC memory(*dc, m_bitmap);
    const int shift = pressed ? 1 : 0;
    const int x = m_rect.left + (m_rect.Width() - info.bmWidth) / 2 + shift;
    const int y = m_rect.top + (m_rect.Height() - info.bmHeight) / 2 + shift;
    ::BitBlt(*dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
}

void SECDTButtonGadget::SetState(UINT state)
{
    if (state == m_state)
        return;
    m_state = state;
    Invalidate(TRUE);
}

void SECDTButtonGadget::OnLButtonDown(UINT, int, int)
{
    CaptureMouse(TRUE);
    SetState(StateCaptured | StatePressed | StateHot);
}

void SECDTButtonGadget::OnMouseMove(UINT, int x, int y)
{
    const bool inside = m_rect.PtInRect(CPoint(x, y));
    UINT state = inside ? m_state | StateHot : m_state & ~StateHot;
    if (m_state & StateCaptured)
        state = inside ? state | StatePressed : state & ~StatePressed;
    SetState(state);
}

void SECDTButtonGadget::OnLButtonUp(UINT, int x, int y)
{
    const bool captured = (m_state & StateCaptured) != 0;
    if (captured)
        CaptureMouse(FALSE);
    SetState(0);
    if (captured && m_rect.PtInRect(CPoint(x, y)))
        Notify(NmClicked, 0);
}

void SECDTButtonGadget::OnCancelMode()
{
    UINT state = m_state & ~StateHot;
    if (state & StateCaptured) {
        CaptureMouse(FALSE);
        state &= ~(StateCaptured | StatePressed);
    }
    SetState(state);
}

void SECDTButtonGadget::OnSysColorChange()
{
    m_bitmap.DeleteObject();
    divuzura::foundation::SECLoadSysColorBitmap(m_bitmap, m_bitmapId);
}

// ---- SECDTSpinGadget

void SECDTSpinGadget::CalcSize(CDC*)
{
    m_rect.right = m_rect.left + 16;
    m_rect.bottom = m_rect.top - 1;
}

CRect SECDTSpinGadget::UpRect() const { return CRect(m_rect.left, m_rect.top, m_rect.right, m_rect.top + m_rect.Height() / 2); }
CRect SECDTSpinGadget::DownRect() const { return CRect(m_rect.left, m_rect.top + m_rect.Height() / 2, m_rect.right, m_rect.bottom); }

void SECDTSpinGadget::DrawHalf(CDC* dc, const CRect& half, BOOL up, BOOL pressed) const
{
    CRect rect = half;
    dc->DrawEdge(&rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    dc->FillSolidRect(&rect, GetSysColor(COLOR_BTNFACE));
    const int size = std::min(4, half.Height() / 4 + 1);
    CRect arrow = half;
    if (pressed)
        arrow.OffsetRect(1, 1);
    fln::gdi::DrawArrow(dc->m_hDC, arrow, up ? fln::gdi::ArrowDirection::Up : fln::gdi::ArrowDirection::Down, size < 2 ? 1 : size,
        GetSysColor(COLOR_BTNTEXT));
}

void SECDTSpinGadget::Draw(CDC* dc)
{
    DrawHalf(dc, UpRect(), TRUE, (m_state & UpPressed) != 0);
    DrawHalf(dc, DownRect(), FALSE, (m_state & DownPressed) != 0);
}

void SECDTSpinGadget::SetState(UINT state)
{
    if (state == m_state)
        return;
    const UINT drawn = UpPressed | DownPressed | UpHot | DownHot;
    const bool redraw = (state & drawn) != (m_state & drawn);
    m_state = state;
    if (redraw)
        Invalidate(TRUE);
}

void SECDTSpinGadget::StartRepeat(UINT delay)
{
    StartTimer(delay);
    m_state |= TimerRunning;
}

void SECDTSpinGadget::StopRepeat()
{
    StopTimer();
    m_state &= ~(TimerRunning | FirstDelay);
}

void SECDTSpinGadget::OnLButtonDown(UINT, int x, int y)
{
    const CPoint point(x, y);
    const bool up = UpRect().PtInRect(point);
    if (!up && !DownRect().PtInRect(point))
        return;
    CaptureMouse(TRUE);
    SetState(m_state | (up ? UpPressed | UpCaptured : DownPressed | DownCaptured));
    Notify(up ? NmSpinUp : NmSpinDown, 1);
    m_repeatCount = 0;
    StartRepeat(FirstRepeatDelay);
    m_state |= FirstDelay;
}

void SECDTSpinGadget::OnTimer()
{
    if (m_state & FirstDelay) {
        m_state &= ~FirstDelay;
        StartRepeat(RepeatInterval);
    }
    ++m_repeatCount;
    Notify((m_state & UpPressed) ? NmSpinUp : NmSpinDown, StepForRepeat(m_repeatCount));
}

void SECDTSpinGadget::OnMouseMove(UINT, int x, int y)
{
    const CPoint point(x, y);
    const bool overUp = UpRect().PtInRect(point), overDown = DownRect().PtInRect(point);
    UINT state = m_state & ~(UpHot | DownHot);
    state |= (overUp ? UpHot : 0) | (overDown ? DownHot : 0);
    const UINT captured = state & (UpCaptured | DownCaptured);
    if (captured) {
        const bool inside = (captured & UpCaptured) ? overUp : overDown;
        const UINT pressedBit = (captured & UpCaptured) ? UpPressed : DownPressed;
        const bool wasInside = (m_state & pressedBit) != 0;
        state = inside ? state | pressedBit : state & ~pressedBit;
        SetState(state);
        if (wasInside && !inside) {
            StopRepeat();
        } else if (!wasInside && inside) {
            m_repeatCount = 0;
            StartRepeat(RepeatInterval);
        }
        return;
    }
    SetState(state);
}

void SECDTSpinGadget::EndTracking()
{
    StopRepeat();
    if (m_state & (UpCaptured | DownCaptured))
        CaptureMouse(FALSE);
    SetState(m_state & ~(UpPressed | DownPressed | UpCaptured | DownCaptured));
}

void SECDTSpinGadget::OnLButtonUp(UINT, int, int) { EndTracking(); }

void SECDTSpinGadget::OnCancelMode() { EndTracking(); }
