// The up-down control: two arrow buttons that step a position within a range, tell the parent
// before (UDN_DELTAPOS) and after (WM_VSCROLL or WM_HSCROLL) each step, repeat while held with
// steps that grow the longer an arrow is held, and can keep the number in a buddy window's text.

#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/ControlWindow.h"
#include "platform/comctl/UpDownNumber.h"

#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/Gdi.h"
#include "platform/sys/Locale.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace fln::comctl {
namespace {

// Towards the upper end of the range (up, or right when horizontal) or towards the lower one.
enum class Arrow { None, Increase, Decrease };

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatDelay = 500;
constexpr UINT kRepeatInterval = 100;
constexpr LRESULT kWantsArrows = 0x1; // WM_GETDLGCODE: the arrow keys are the control's
constexpr LPCWSTR kBuddyOwnerProperty = L"fln.UpDownOfBuddy";
constexpr LPCWSTR kBuddyProcedureProperty = L"fln.UpDownBuddyProcedure";

struct UpDownState {
    int lower = 100; // the documented default range runs from 100 down to 0
    int upper = 0;
    int position = 0;
    int base = 10;
    std::vector<UDACCEL> accelerations { { 0, 1 }, { 2, 5 }, { 5, 20 } };
    HWND buddy = nullptr;
    Arrow pressed = Arrow::None;      // held by the mouse (with the capture) or a key
    bool pressedInside = false;       // the pointer is over the held arrow, which looks pushed
    bool heldByKey = false;
    DWORD pressStart = 0;
};

struct UpDownParts {
    RECT increase;
    RECT decrease;
};

// Vertical: increase above, decrease below. Horizontal: decrease on the left, increase on the right.
UpDownParts Layout(const RECT& client, DWORD style)
{
    RECT first = client, second = client;
    if (style & UDS_HORZ) {
        first.right = second.left = client.left + (client.right - client.left) / 2;
        return { second, first };
    }
    first.bottom = second.top = client.top + (client.bottom - client.top) / 2;
    return { first, second };
}

Arrow HitTest(const UpDownParts& parts, POINT point)
{
    if (PtInRect(&parts.increase, point))
        return Arrow::Increase;
    if (PtInRect(&parts.decrease, point))
        return Arrow::Decrease;
    return Arrow::None;
}

// The step for an arrow held `heldFor` milliseconds: the increment of the last acceleration
// whose time has come, signed towards the arrow's end of the range.
int StepFor(const UpDownState& state, Arrow arrow, DWORD heldFor)
{
    int increment = 1;
    for (const UDACCEL& acceleration : state.accelerations) {
        if (heldFor / 1000 >= acceleration.nSec)
            increment = static_cast<int>(acceleration.nInc);
    }
    int towardsUpper = state.upper >= state.lower ? 1 : -1;
    return arrow == Arrow::Increase ? increment * towardsUpper : -increment * towardsUpper;
}

// The position a step leads to: held at the ends of the range, or carried to the other end with UDS_WRAP.
int Advance(const UpDownState& state, int delta, bool wrap)
{
    int low = std::min(state.lower, state.upper), high = std::max(state.lower, state.upper);
    long long next = static_cast<long long>(state.position) + delta;
    if (next > high)
        return wrap ? low : high;
    if (next < low)
        return wrap ? high : low;
    return static_cast<int>(next);
}

int Clamp(const UpDownState& state, int position)
{
    return std::clamp(position, std::min(state.lower, state.upper), std::max(state.lower, state.upper));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

std::wstring ThousandsSeparator(HWND window)
{
    return (StyleOf(window) & UDS_NOTHOUSANDS) ? std::wstring() : CurrentNumberLocale().thousand;
}

bool KeepsBuddyNumber(HWND window, const UpDownState& state)
{
    return state.buddy && (StyleOf(window) & UDS_SETBUDDYINT);
}

void WriteBuddy(HWND window, const UpDownState& state)
{
    if (KeepsBuddyNumber(window, state))
        SetWindowTextW(state.buddy, FormatUpDownNumber(state.position, state.base, ThousandsSeparator(window)).c_str());
}

// The buddy's number, when its text holds one within the range.
std::optional<int> ReadBuddy(HWND window, const UpDownState& state)
{
    int length = GetWindowTextLengthW(state.buddy);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(state.buddy, text.data(), length + 1)));
    auto value = ParseUpDownNumber(text, state.base, ThousandsSeparator(window));
    if (value && Clamp(state, *value) == *value)
        return value;
    return std::nullopt;
}

void SendScroll(HWND window, const UpDownState& state, WORD code)
{
    UINT message = (StyleOf(window) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    if (HWND parent = GetParent(window))
        SendMessageW(parent, message, MAKEWPARAM(code, static_cast<WORD>(state.position)), reinterpret_cast<LPARAM>(window));
}

// One step of a held arrow: the parent may refuse it; a step that moves the position rewrites the
// buddy and reports the new position. False when the parent destroyed the control meanwhile.
bool Step(HWND window, UpDownState& state, Arrow arrow)
{
    if (KeepsBuddyNumber(window, state)) {
        if (auto value = ReadBuddy(window, state))
            state.position = *value;
    }
    NMUPDOWN change {};
    change.iPos = state.position;
    change.iDelta = StepFor(state, arrow, GetTickCount() - state.pressStart);
    bool refused = NotifyParent(window, UDN_DELTAPOS, change.hdr);
    if (!IsWindow(window))
        return false;
    int next = Advance(state, change.iDelta, StyleOf(window) & UDS_WRAP);
    if (refused || next == state.position)
        return true;
    state.position = next;
    WriteBuddy(window, state);
    SendScroll(window, state, SB_THUMBPOSITION);
    return IsWindow(window);
}

void InvalidateArrow(HWND window, Arrow arrow)
{
    if (arrow == Arrow::None)
        return;
    RECT client;
    GetClientRect(window, &client);
    UpDownParts parts = Layout(client, StyleOf(window));
    InvalidateRect(window, arrow == Arrow::Increase ? &parts.increase : &parts.decrease, FALSE);
}

void SetPressedInside(HWND window, UpDownState& state, bool inside)
{
    if (state.pressedInside == inside)
        return;
    state.pressedInside = inside;
    InvalidateArrow(window, state.pressed);
}

// Both return false when the parent destroyed the control while it was told.
bool BeginPress(HWND window, UpDownState& state, Arrow arrow, bool byKey)
{
    state.pressed = arrow;
    state.heldByKey = byKey;
    state.pressStart = GetTickCount();
    state.pressedInside = false;
    SetPressedInside(window, state, true);
    return Step(window, state, arrow);
}

bool EndPress(HWND window, UpDownState& state)
{
    if (state.pressed == Arrow::None)
        return true;
    KillTimer(window, kRepeatTimer);
    SetPressedInside(window, state, false);
    state.pressed = Arrow::None;
    state.heldByKey = false;
    SendScroll(window, state, SB_ENDSCROLL);
    return IsWindow(window);
}

// ---- the buddy: its arrow keys step the control while UDS_ARROWKEYS is set

// Up and Down step a vertical control, Right and Left a horizontal one.
Arrow ArrowForKey(HWND window, WPARAM wParam)
{
    bool horizontal = StyleOf(window) & UDS_HORZ;
    int key = static_cast<int>(wParam);
    if (key == (horizontal ? VK_RIGHT : VK_UP))
        return Arrow::Increase;
    if (key == (horizontal ? VK_LEFT : VK_DOWN))
        return Arrow::Decrease;
    return Arrow::None;
}

void OnArrowKeyDown(HWND window, UpDownState& state, Arrow arrow)
{
    if (state.heldByKey && state.pressed == arrow) {
        Step(window, state, arrow); // the keyboard's own repeat
        return;
    }
    if (EndPress(window, state))
        BeginPress(window, state, arrow, true);
}

// The buddy keeps its own procedure in a property, so that the messages reach it even when
// someone subclassed the buddy after us and we cannot step out of the chain.
WNDPROC OwnProcedureOf(HWND buddy)
{
    return reinterpret_cast<WNDPROC>(GetPropW(buddy, kBuddyProcedureProperty));
}

LRESULT BuddyProcedure(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = OwnProcedureOf(buddy);
    HWND window = static_cast<HWND>(GetPropW(buddy, kBuddyOwnerProperty));
    UpDownState* state = window ? StateOf<UpDownState>(window) : nullptr;
    auto passOn = [&] { return own ? CallWindowProcW(own, buddy, message, wParam, lParam) : DefWindowProcW(buddy, message, wParam, lParam); };
    if (message == WM_NCDESTROY) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC)) == BuddyProcedure)
            SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        RemovePropW(buddy, kBuddyOwnerProperty);
        RemovePropW(buddy, kBuddyProcedureProperty);
        if (state)
            state->buddy = nullptr;
        return passOn();
    }
    if (!state)
        return passOn();
    Arrow arrow = ArrowForKey(window, wParam);
    switch (message) {
    case WM_GETDLGCODE:
        return passOn() | kWantsArrows;
    case WM_KEYDOWN:
        if (arrow != Arrow::None && IsWindowEnabled(window)) {
            OnArrowKeyDown(window, *state, arrow);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (arrow != Arrow::None && state->heldByKey) {
            EndPress(window, *state);
            return 0;
        }
        break;
    }
    return passOn();
}

void ReleaseBuddy(HWND window, UpDownState& state)
{
    HWND buddy = std::exchange(state.buddy, nullptr);
    if (!buddy || GetPropW(buddy, kBuddyOwnerProperty) != window)
        return;
    RemovePropW(buddy, kBuddyOwnerProperty);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC)) == BuddyProcedure) {
        SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnProcedureOf(buddy)));
        RemovePropW(buddy, kBuddyProcedureProperty);
    }
}

// Puts the control beside the buddy, as high as it, and narrows the buddy to make room.
void AlignWithBuddy(HWND window, HWND buddy)
{
    DWORD style = StyleOf(window);
    if (!(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
        return;
    HWND parent = GetParent(buddy);
    RECT own, area;
    GetWindowRect(window, &own);
    GetWindowRect(buddy, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    int width = std::min<int>(own.right - own.left, area.right - area.left);
    int height = area.bottom - area.top;
    int x = area.left;
    if (style & UDS_ALIGNRIGHT) {
        area.right -= width;
        x = area.right;
    } else {
        area.left += width;
    }
    SetWindowPos(buddy, nullptr, area.left, area.top, area.right - area.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetParent(window) == parent)
        SetWindowPos(window, nullptr, x, area.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND SetBuddy(HWND window, UpDownState& state, HWND buddy)
{
    HWND previous = state.buddy;
    ReleaseBuddy(window, state);
    if (!buddy || !IsWindow(buddy) || buddy == window)
        return previous;
    state.buddy = buddy;
    if (StyleOf(window) & UDS_ARROWKEYS) {
        SetPropW(buddy, kBuddyOwnerProperty, window);
        if (!OwnProcedureOf(buddy)) { // not in its chain already
            auto own = reinterpret_cast<HANDLE>(GetWindowLongPtrW(buddy, GWLP_WNDPROC));
            SetPropW(buddy, kBuddyProcedureProperty, own);
            SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProcedure));
        }
    }
    if (buddy != previous) // once beside it, it stays there
        AlignWithBuddy(window, buddy);
    return previous;
}

// ---- messages

LRESULT SetPosition(HWND window, UpDownState& state, int position)
{
    int previous = state.position;
    state.position = Clamp(state, position);
    WriteBuddy(window, state);
    return previous;
}

LRESULT GetPosition(HWND window, UpDownState& state, BOOL* failed)
{
    bool error = false;
    if (KeepsBuddyNumber(window, state)) {
        if (auto value = ReadBuddy(window, state))
            state.position = *value;
        else
            error = true;
    }
    if (failed)
        *failed = error;
    return state.position;
}

LRESULT SetAccelerations(UpDownState& state, WPARAM count, const UDACCEL* accelerations)
{
    if (!count || !accelerations)
        return FALSE;
    state.accelerations.assign(accelerations, accelerations + count);
    return TRUE;
}

LRESULT GetAccelerations(const UpDownState& state, WPARAM count, UDACCEL* accelerations)
{
    if (accelerations)
        std::copy_n(state.accelerations.begin(), std::min<size_t>(count, state.accelerations.size()), accelerations);
    return static_cast<LRESULT>(state.accelerations.size());
}

LRESULT SetBase(HWND window, UpDownState& state, WPARAM base)
{
    if (base != 10 && base != 16)
        return 0;
    int previous = state.base;
    state.base = static_cast<int>(base);
    WriteBuddy(window, state);
    return previous;
}

void OnLButtonDown(HWND window, UpDownState& state, POINT point)
{
    RECT client;
    GetClientRect(window, &client);
    Arrow arrow = HitTest(Layout(client, StyleOf(window)), point);
    if (arrow == Arrow::None)
        return;
    if (!EndPress(window, state))
        return;
    SetCapture(window);
    if (BeginPress(window, state, arrow, false) && state.pressed == arrow) // the parent may have ended the press
        SetTimer(window, kRepeatTimer, kFirstRepeatDelay, nullptr);
}

void OnMouseMove(HWND window, UpDownState& state, POINT point)
{
    if (state.pressed == Arrow::None || state.heldByKey)
        return;
    RECT client;
    GetClientRect(window, &client);
    SetPressedInside(window, state, HitTest(Layout(client, StyleOf(window)), point) == state.pressed);
}

// The arrow repeats while the pointer stays on it.
void OnRepeatTimer(HWND window, UpDownState& state)
{
    if (state.pressed == Arrow::None || state.heldByKey) {
        KillTimer(window, kRepeatTimer);
        return;
    }
    SetTimer(window, kRepeatTimer, kRepeatInterval, nullptr);
    if (state.pressedInside)
        Step(window, state, state.pressed);
}

void OnLButtonUp(HWND window, UpDownState& state)
{
    if (state.pressed != Arrow::None && !state.heldByKey && GetCapture() == window)
        ReleaseCapture(); // WM_CAPTURECHANGED ends the press
}

void OnPaint(HWND window, const UpDownState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DWORD style = StyleOf(window);
    UpDownParts parts = Layout(client, style);
    UINT disabled = IsWindowEnabled(window) ? 0 : DFCS_INACTIVE;
    auto stateOf = [&](Arrow arrow) { return disabled | (state.pressed == arrow && state.pressedInside ? DFCS_PUSHED : 0); };
    bool horizontal = style & UDS_HORZ;
    gdi::DrawArrowButton(dc, parts.increase, horizontal ? gdi::ArrowDirection::Right : gdi::ArrowDirection::Up, stateOf(Arrow::Increase));
    gdi::DrawArrowButton(dc, parts.decrease, horizontal ? gdi::ArrowDirection::Left : gdi::ArrowDirection::Down, stateOf(Arrow::Decrease));
    EndPaint(window, &paint);
}

LRESULT UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        AttachState(window, std::make_unique<UpDownState>());
    UpDownState* state = StateOf<UpDownState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_CREATE:
        if (StyleOf(window) & UDS_AUTOBUDDY)
            SetBuddy(window, *state, GetWindow(window, GW_HWNDPREV));
        return 0;
    case WM_NCDESTROY:
        ReleaseBuddy(window, *state);
        DetachState<UpDownState>(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case UDM_SETRANGE:
        state->upper = static_cast<SHORT>(LOWORD(lParam)), state->lower = static_cast<SHORT>(HIWORD(lParam));
        return 0;
    case UDM_GETRANGE: return MAKELONG(static_cast<WORD>(state->upper), static_cast<WORD>(state->lower));
    case UDM_SETRANGE32:
        state->lower = static_cast<int>(wParam), state->upper = static_cast<int>(lParam);
        return 0;
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = state->lower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = state->upper;
        return 0;
    case UDM_SETPOS: return SetPosition(window, *state, static_cast<SHORT>(LOWORD(lParam)));
    case UDM_SETPOS32: return SetPosition(window, *state, static_cast<int>(lParam));
    case UDM_GETPOS: {
        BOOL failed = FALSE;
        LRESULT position = GetPosition(window, *state, &failed);
        return MAKELONG(static_cast<WORD>(position), failed ? 1 : 0);
    }
    case UDM_GETPOS32: return GetPosition(window, *state, reinterpret_cast<BOOL*>(lParam));
    case UDM_SETBUDDY: return reinterpret_cast<LRESULT>(SetBuddy(window, *state, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(state->buddy);
    case UDM_SETACCEL: return SetAccelerations(*state, wParam, reinterpret_cast<const UDACCEL*>(lParam));
    case UDM_GETACCEL: return GetAccelerations(*state, wParam, reinterpret_cast<UDACCEL*>(lParam));
    case UDM_SETBASE: return SetBase(window, *state, wParam);
    case UDM_GETBASE: return state->base;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(window, *state, point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, *state, point); return 0;
    case WM_LBUTTONUP: OnLButtonUp(window, *state); return 0;
    case WM_CAPTURECHANGED:
        if (!state->heldByKey)
            EndPress(window, *state);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer)
            OnRepeatTimer(window, *state);
        return 0;
    case WM_KEYDOWN:
        if (ArrowForKey(window, wParam) != Arrow::None && (StyleOf(window) & UDS_ARROWKEYS))
            OnArrowKeyDown(window, *state, ArrowForKey(window, wParam));
        return 0;
    case WM_KEYUP:
        if (state->heldByKey)
            EndPress(window, *state);
        return 0;
    case WM_GETDLGCODE: return kWantsArrows;
    case WM_ENABLE:
        if (!wParam)
            EndPress(window, *state);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return TRUE; // the buttons cover the whole window
    case WM_PAINT: OnPaint(window, *state); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

ATOM RegisterUpDownClass()
{
    return RegisterControlClass(UPDOWN_CLASSW, UpDownProcedure);
}

} // namespace fln::comctl
