// Input: display events become mouse and keyboard messages; focus, activation, capture,
// keyboard state, accelerators, cursors and the caret.

#include "platform/user/Dialog.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <utility>

namespace fln::user {
namespace {

struct InputState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    std::array<BYTE, 256> keys {}; // 0x80 down, 0x01 toggled
    HCURSOR cursor = nullptr;
    int cursorShowCount = 0;
    UINT doubleClickTime = 500;
    // The last button press, for double clicks.
    HWND lastClickWindow = nullptr;
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint {};
    bool lastClickWasDouble = false;
    HWND mouseWindow = nullptr; // window under the pointer at the last move
    NativeWindowId focusRequested = 0; // the display's focus event for it is only an echo
    HWND leaveTracking = nullptr;
    // TME_HOVER: the window, where the pointer settled, how long it must rest, and since when.
    HWND hoverWindow = nullptr;
    POINT hoverStart {};
    DWORD hoverTime = 0;
    DWORD hoverSince = 0;
    HWND composing = nullptr; // the window an input method's composition started in
};

InputState& State()
{
    static InputState state;
    return state;
}

// Display events taken off the display while the program waited for another program's text,
// kept in their order for after the wait.
std::deque<DisplayEvent>& DeferredEvents()
{
    static std::deque<DisplayEvent> events;
    return events;
}

std::optional<DisplayEvent> NextDisplayEvent()
{
    auto& deferred = DeferredEvents();
    if (deferred.empty())
        return CurrentDisplay().NextEvent();
    DisplayEvent event = std::move(deferred.front());
    deferred.pop_front();
    return event;
}

WPARAM MouseKeyFlags()
{
    auto& keys = State().keys;
    WPARAM flags = 0;
    if (keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

void SetKey(unsigned virtualKey, bool down)
{
    auto& keys = State().keys;
    if (virtualKey > 0xFF)
        return;
    if (down && !(keys[virtualKey] & 0x80))
        keys[virtualKey] ^= 0x01;
    keys[virtualKey] = static_cast<BYTE>((keys[virtualKey] & 0x01) | (down ? 0x80 : 0));
}

// Brings the key state in line with what the display says is held, without messages: a key
// released while another program had the focus is up again, and one pressed there is down.
// The side forms of the modifiers follow their generic key, as a press sets them.
void FollowHeldInput(const HeldInput& held)
{
    auto& keys = State().keys;
    auto follow = [&](unsigned key, bool down) { keys[key] = static_cast<BYTE>((keys[key] & 0x01) | (down ? 0x80 : 0)); };
    static constexpr unsigned known[] = { VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU };
    for (unsigned key = 1; key < keys.size(); ++key) {
        const bool side = key >= VK_LSHIFT && key <= VK_RMENU;
        if (!side && (held.everyKey || std::ranges::find(known, key) != std::end(known)))
            follow(key, held.keys[key]);
    }
    struct Sides {
        unsigned generic, left, right;
    };
    static constexpr Sides modifiers[] = { { VK_SHIFT, VK_LSHIFT, VK_RSHIFT }, { VK_CONTROL, VK_LCONTROL, VK_RCONTROL }, { VK_MENU, VK_LMENU, VK_RMENU } };
    for (const Sides& modifier : modifiers) {
        if (!(keys[modifier.generic] & 0x80)) {
            follow(modifier.left, false);
            follow(modifier.right, false);
        } else if (!(keys[modifier.left] & 0x80) && !(keys[modifier.right] & 0x80)) {
            follow(modifier.left, true);
        }
    }
}

bool ButtonMessages(int button, UINT& down, UINT& up, UINT& doubleClick, int& virtualKey)
{
    switch (button) {
    case 1: down = WM_LBUTTONDOWN, up = WM_LBUTTONUP, doubleClick = WM_LBUTTONDBLCLK, virtualKey = VK_LBUTTON; return true;
    case 2: down = WM_MBUTTONDOWN, up = WM_MBUTTONUP, doubleClick = WM_MBUTTONDBLCLK, virtualKey = VK_MBUTTON; return true;
    case 3: down = WM_RBUTTONDOWN, up = WM_RBUTTONUP, doubleClick = WM_RBUTTONDBLCLK, virtualKey = VK_RBUTTON; return true;
    }
    return false;
}

// Finds the window under the point and its hit-test code, skipping windows that answer
// HTTRANSPARENT and windows disabled or blocked by a modal window.
HWND HitWindow(POINT screen, int& hitCode)
{
    HWND window = WindowFromPoint(screen);
    while (window) {
        hitCode = static_cast<int>(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y))));
        if (hitCode != HTTRANSPARENT)
            break;
        window = GetParent(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    }
    return window;
}

bool MouseHookEats(UINT message, POINT screen, HWND window, int hitCode)
{
    if (!HasHooks(WH_MOUSE))
        return false;
    MOUSEHOOKSTRUCT info { screen, window, static_cast<UINT>(hitCode), 0 };
    return CallHooks(WH_MOUSE, HC_ACTION, message, reinterpret_cast<LPARAM>(&info)) != 0;
}

// A press on a child window tells each of its parents (WM_PARENTNOTIFY with the point in that
// parent's client area) up to the top-level window, unless a window on the way opts out.
void NotifyParentsOfPress(HWND window, UINT down, POINT screen)
{
    for (HWND child = window; GetWindowLongW(child, GWL_STYLE) & WS_CHILD;) {
        if (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY)
            return;
        HWND parent = GetParent(child);
        if (!parent)
            return;
        POINT client = screen;
        ScreenToClient(parent, &client);
        SendMessageW(parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(down), 0), MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
        child = parent;
    }
}

void PostMouse(HWND window, UINT clientMessage, int hitCode, POINT screen, DWORD time)
{
    MSG message { window, clientMessage, 0, 0, time, screen };
    if (hitCode == HTCLIENT) {
        POINT client = screen;
        ScreenToClient(window, &client);
        message.wParam = MouseKeyFlags();
        message.lParam = MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y));
    } else {
        // The non-client forms: WM_NC* = WM_* - (WM_MOUSEMOVE - WM_NCMOUSEMOVE), hit code in wParam.
        message.message = clientMessage - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        message.wParam = static_cast<WPARAM>(hitCode);
        message.lParam = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
    }
    if (MouseHookEats(message.message, screen, window, hitCode))
        return;
    QueueInputMessage(message);
}

bool EnabledChain(HWND window)
{
    for (HWND current = window; current; current = (GetWindowLongW(current, GWL_STYLE) & WS_CHILD) ? GetParent(current) : nullptr) {
        if (!IsWindowEnabled(current))
            return false;
    }
    return true;
}

void HandleMouse(const DisplayEvent& event)
{
    InputState& state = State();
    POINT screen = event.screenPoint;
    int hitCode = HTCLIENT;
    HWND window = state.capture;
    if (!window)
        window = HitWindow(screen, hitCode);
    if (event.kind == DisplayEventKind::MouseMove && state.hoverWindow) {
        // Moving further than the hover rectangle starts the rest over; leaving the window ends it.
        UINT width = 4, height = 4;
        SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &width, 0);
        SystemParametersInfoW(SPI_GETMOUSEHOVERHEIGHT, 0, &height, 0);
        if (window != state.hoverWindow) {
            state.hoverWindow = nullptr;
        } else if (std::abs(screen.x - state.hoverStart.x) > static_cast<int>(width / 2) || std::abs(screen.y - state.hoverStart.y) > static_cast<int>(height / 2)) {
            state.hoverStart = screen;
            state.hoverSince = event.timestamp;
        }
    }
    if (event.kind == DisplayEventKind::MouseMove && state.leaveTracking && window != state.leaveTracking) {
        QueueInputMessage({ state.leaveTracking, WM_MOUSELEAVE, 0, 0, event.timestamp, screen });
        state.leaveTracking = nullptr;
    }
    if (!window)
        return;
    if (!state.capture && !EnabledChain(window)) {
        // A disabled window (or one behind a modal box) eats the click and beeps.
        return;
    }
    UINT down = 0, up = 0, doubleClick = 0;
    int virtualKey = 0;
    switch (event.kind) {
    case DisplayEventKind::MouseMove:
        state.mouseWindow = window;
        if (!state.capture)
            SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(static_cast<WORD>(hitCode), WM_MOUSEMOVE));
        PostMouse(window, WM_MOUSEMOVE, hitCode, screen, event.timestamp);
        break;
    case DisplayEventKind::ButtonDown: {
        if (!ButtonMessages(event.button, down, up, doubleClick, virtualKey))
            return;
        SetKey(static_cast<unsigned>(virtualKey), true);
        if (!state.capture) {
            HWND topLevel = GetAncestor(window, GA_ROOT);
            // A press in a child window is offered for activation too, even in the active
            // window: an MDI child or a view becomes the active one this way.
            if ((topLevel != state.active || window != topLevel) && !(GetWindowLongW(topLevel, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) {
                LRESULT answer = SendMessageW(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(topLevel), MAKELPARAM(static_cast<WORD>(hitCode), static_cast<WORD>(down)));
                if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT || answer == 0)
                    SetActiveWindow(topLevel);
                if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT)
                    return;
            }
            SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(static_cast<WORD>(hitCode), static_cast<WORD>(down)));
        }
        // A second press soon after, close to the first and on the same window, is a double click
        // for windows whose class asks for them (the non-client area always gets them).
        UINT message = down;
        bool wantsDouble = hitCode != HTCLIENT || (GetClassLongPtrW(window, GCL_STYLE) & CS_DBLCLKS);
        int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (wantsDouble && !state.lastClickWasDouble && state.lastClickWindow == window && state.lastClickMessage == down
            && event.timestamp - state.lastClickTime <= state.doubleClickTime
            && std::abs(screen.x - state.lastClickPoint.x) <= cx && std::abs(screen.y - state.lastClickPoint.y) <= cy) {
            message = doubleClick;
            state.lastClickWasDouble = true;
        } else {
            state.lastClickWasDouble = false;
        }
        state.lastClickWindow = window;
        state.lastClickMessage = down;
        state.lastClickTime = event.timestamp;
        state.lastClickPoint = screen;
        if (message == down)
            NotifyParentsOfPress(window, down, screen);
        PostMouse(window, message, hitCode, screen, event.timestamp);
        break;
    }
    case DisplayEventKind::ButtonUp:
        if (!ButtonMessages(event.button, down, up, doubleClick, virtualKey))
            return;
        SetKey(static_cast<unsigned>(virtualKey), false);
        PostMouse(window, up, hitCode, screen, event.timestamp);
        break;
    case DisplayEventKind::Wheel: {
        // The wheel goes to the focus window, as keys do.
        HWND target = state.focus ? state.focus : window;
        MSG message { target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(event.wheelDelta)),
            MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)), event.timestamp, screen };
        if (!MouseHookEats(WM_MOUSEWHEEL, screen, target, hitCode))
            QueueInputMessage(message);
        break;
    }
    default:
        break;
    }
}

bool IsExtendedKey(unsigned key)
{
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE || key == VK_NUMLOCK;
}

void HandleKey(const DisplayEvent& event)
{
    InputState& state = State();
    bool down = event.kind == DisplayEventKind::KeyDown;
    unsigned key = event.key;
    bool wasDown = key <= 0xFF && (state.keys[key] & 0x80);
    if (key)
        SetKey(key, down);
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) {
        // The left-hand forms follow the generic keys.
        SetKey(key == VK_SHIFT ? VK_LSHIFT : key == VK_CONTROL ? VK_LCONTROL : VK_LMENU, down);
    }
    HWND target = state.focus ? state.focus : state.active;
    if (!target)
        return;
    bool alt = state.keys[VK_MENU] & 0x80;
    // Releasing Alt is a system key too, so that Alt pressed and released alone can open the menu.
    bool system = (alt && !(state.keys[VK_CONTROL] & 0x80)) || key == VK_F10 || key == VK_MENU || (!state.focus);
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    // Key data: repeat count 1, bit 24 extended key, bit 29 Alt, bit 30 previous state, bit 31 released.
    DWORD data = 1;
    if (IsExtendedKey(key))
        data |= 1u << 24;
    if (alt)
        data |= 1u << 29;
    if (wasDown || !down)
        data |= 1u << 30;
    if (!down)
        data |= 1u << 31;
    if (HasHooks(WH_KEYBOARD) && CallHooks(WH_KEYBOARD, HC_ACTION, key, static_cast<LPARAM>(data)))
        return;
    LPARAM lParam = static_cast<LPARAM>(data);
    if (down)
        lParam = RememberTypedText(lParam, event.text);
    QueueInputMessage({ target, message, key, lParam, event.timestamp, event.screenPoint });
}

void SendActivation(HWND window, bool active, HWND other, WORD how)
{
    if (!IsWindow(window))
        return;
    SendMessageW(window, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    if (!IsWindow(window))
        return;
    SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(active ? how : WA_INACTIVE, IsIconic(window) ? 1 : 0), reinterpret_cast<LPARAM>(other));
}

} // namespace

void DeferDisplayEvent(DisplayEvent event)
{
    DeferredEvents().push_back(std::move(event));
}

bool DisplayEventsDeferred()
{
    return !DeferredEvents().empty();
}

void TranslateDisplayEvents()
{
    while (!InputPending()) {
        auto event = NextDisplayEvent();
        if (!event)
            break;
        WindowTree& tree = WindowTree::Instance();
        Window* window = tree.FromNative(event->window);
        if (event->held)
            FollowHeldInput(*event->held);
        switch (event->kind) {
        case DisplayEventKind::KeyDown:
        case DisplayEventKind::KeyUp:
            HandleKey(*event);
            break;
        case DisplayEventKind::ButtonDown:
        case DisplayEventKind::ButtonUp:
        case DisplayEventKind::MouseMove:
        case DisplayEventKind::Wheel:
            HandleMouse(*event);
            break;
        case DisplayEventKind::Exposed:
            if (window)
                PresentWindow(*window, event->area);
            break;
        case DisplayEventKind::Configure:
            if (window && !EqualRect(&window->rect, &event->area)) {
                const RECT& r = event->area;
                SetWindowPos(window->handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
        case DisplayEventKind::FocusGained: {
            // Focus events arrive late: one for a window the program activated itself, or for one
            // it activated before that, must not undo a later activation.
            NativeWindowId& requested = State().focusRequested;
            if (requested) {
                if (requested == event->window)
                    requested = 0;
                break;
            }
            if (window && window->handle != State().active && IsWindowVisible(window->handle) && !(window->exStyle & WS_EX_NOACTIVATE))
                SetActiveWindow(window->handle);
            break;
        }
        case DisplayEventKind::FocusLost:
            break;
        case DisplayEventKind::DragOver:
        case DisplayEventKind::DragLeave:
        case DisplayEventKind::Drop:
            HandleForeignDrag(*event);
            break;
        case DisplayEventKind::CloseRequest:
            if (window)
                PostMessageW(window->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case DisplayEventKind::StateChanged:
            // As the desktop's task list asks a window: minimised, or back as it was before.
            if (window && ((event->state == NativeWindowState::Minimized) != IsIconic(window->handle)))
                PostMessageW(window->handle, WM_SYSCOMMAND, IsIconic(window->handle) ? SC_RESTORE : SC_MINIMIZE, 0);
            break;
        case DisplayEventKind::CompositionStarted:
        case DisplayEventKind::CompositionEnded: {
            // In the input's order, so that the composed text's keys come between the two; the
            // end goes where the start went, though the focus moved on.
            const bool start = event->kind == DisplayEventKind::CompositionStarted;
            HWND target = start ? State().focus : std::exchange(State().composing, nullptr);
            if (start)
                State().composing = target;
            if (target && IsWindow(target))
                QueueInputMessage({ target, start ? WM_IME_STARTCOMPOSITION : WM_IME_ENDCOMPOSITION, 0, 0, event->timestamp, event->screenPoint });
            break;
        }
        }
    }
}

std::optional<MSG> DueHover(bool remove)
{
    InputState& state = State();
    if (!state.hoverWindow || static_cast<std::int32_t>(CurrentDisplay().Now() - state.hoverSince) < static_cast<std::int32_t>(state.hoverTime))
        return std::nullopt;
    POINT client = state.hoverStart;
    ScreenToClient(state.hoverWindow, &client);
    MSG message { state.hoverWindow, WM_MOUSEHOVER, MouseKeyFlags(), MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)), CurrentDisplay().Now(), state.hoverStart };
    if (remove)
        state.hoverWindow = nullptr; // one message per request
    return message;
}

int MillisecondsToHover()
{
    InputState& state = State();
    if (!state.hoverWindow)
        return -1;
    return std::max(0, static_cast<int>(state.hoverSince + state.hoverTime - CurrentDisplay().Now()));
}

void ForgetWindowState(HWND window)
{
    ForgetDropTarget(window);
    InputState& state = State();
    if (state.capture == window)
        state.capture = nullptr;
    if (state.focus == window)
        state.focus = nullptr;
    if (state.active == window)
        state.active = nullptr;
    if (state.lastClickWindow == window)
        state.lastClickWindow = nullptr;
    if (state.mouseWindow == window)
        state.mouseWindow = nullptr;
    if (state.leaveTracking == window)
        state.leaveTracking = nullptr;
    if (state.hoverWindow == window)
        state.hoverWindow = nullptr;
    ForgetTimersOf(window);
}

HCURSOR CursorOfClass(HWND window)
{
    return reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR));
}

} // namespace fln::user

using namespace fln::user;

HWND GetFocus()
{
    return State().focus;
}

HWND SetFocus(HWND window)
{
    InputState& state = State();
    HWND previous = state.focus;
    if (window == previous)
        return previous;
    if (window) {
        if (!IsWindow(window) || !EnabledChain(window))
            return nullptr;
        HWND topLevel = GetAncestor(window, GA_ROOT);
        if (topLevel != state.active) {
            SetActiveWindow(topLevel);
            if (state.active != topLevel)
                return nullptr;
            previous = state.focus;
            if (window == previous)
                return previous;
        }
    }
    state.focus = window;
    if (previous && IsWindow(previous))
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window && state.focus == window && IsWindow(window))
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    if (window && state.focus == window)
        FollowFocusWithDefaultLook(previous, window);
    return previous;
}

HWND GetActiveWindow()
{
    return State().active;
}

HWND SetActiveWindow(HWND window)
{
    InputState& state = State();
    HWND previous = state.active;
    if (window == previous)
        return previous;
    if (window && (!IsWindow(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)))
        return nullptr;
    state.active = window;
    if (previous) {
        SendActivation(previous, false, window, WA_INACTIVE);
        if (state.focus && (state.focus == previous || IsChild(previous, state.focus))) {
            HWND lost = state.focus;
            state.focus = nullptr;
            if (IsWindow(lost))
                SendMessageW(lost, WM_KILLFOCUS, 0, 0);
        }
    } else if (window) {
        SendMessageW(window, WM_ACTIVATEAPP, TRUE, 0);
    }
    if (window && state.active == window) {
        if (Window* object = FindWindowObject(window); object && object->native) {
            state.focusRequested = object->native;
            CurrentDisplay().FocusNativeWindow(object->native);
        }
        SendActivation(window, true, previous, WA_ACTIVE);
    }
    if (!window && previous)
        SendMessageW(previous, WM_ACTIVATEAPP, FALSE, 0);
    return previous;
}

BOOL SetForegroundWindow(HWND window)
{
    HWND topLevel = GetAncestor(window, GA_ROOT);
    if (!topLevel)
        return FALSE;
    SetActiveWindow(topLevel);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return State().active;
}

HWND GetCapture()
{
    return State().capture;
}

HWND SetCapture(HWND window)
{
    InputState& state = State();
    HWND previous = state.capture;
    if (window && !IsWindow(window))
        return nullptr;
    state.capture = window;
    if (previous && previous != window)
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return previous;
}

BOOL ReleaseCapture()
{
    InputState& state = State();
    HWND previous = std::exchange(state.capture, nullptr);
    if (previous)
        SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

SHORT GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return 0;
    BYTE state = State().keys[static_cast<size_t>(virtualKey)];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey)
{
    return static_cast<SHORT>(GetKeyState(virtualKey) & 0x8000);
}

BOOL GetKeyboardState(BYTE* keys)
{
    if (!keys)
        return FALSE;
    std::ranges::copy(State().keys, keys);
    return TRUE;
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return FALSE;
    std::wstring text = TakeTypedText(*message);
    if (text.empty()) {
        // Keys posted by the program itself: the characters the key types on a plain keyboard.
        auto key = static_cast<unsigned>(message->wParam);
        bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
        if (key >= 'A' && key <= 'Z')
            text = control ? std::wstring(1, static_cast<wchar_t>(key - 'A' + 1)) : std::wstring(1, static_cast<wchar_t>(shift ? key : key + 32));
        else if (key >= '0' && key <= '9' && !shift)
            text = std::wstring(1, static_cast<wchar_t>(key));
        else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
            text = std::wstring(1, static_cast<wchar_t>('0' + key - VK_NUMPAD0));
        else if (key == VK_SPACE || key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE)
            text = std::wstring(1, static_cast<wchar_t>(key == VK_RETURN ? L'\r' : key));
    }
    if (text.empty())
        return FALSE;
    UINT charMessage = message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (wchar_t c : text)
        QueueInputMessage({ message->hwnd, charMessage, static_cast<WPARAM>(c), message->lParam & 0xFFFFFFFF, message->time, message->pt });
    return TRUE;
}

namespace {
struct AcceleratorTable {
    std::vector<ACCEL> entries;
};
}

HACCEL CreateAcceleratorTableW(const ACCEL* entries, int count)
{
    if (!entries || count <= 0)
        return nullptr;
    return reinterpret_cast<HACCEL>(new AcceleratorTable { { entries, entries + count } });
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
    delete reinterpret_cast<AcceleratorTable*>(table);
    return table != nullptr;
}

int CopyAcceleratorTableW(HACCEL table, ACCEL* entries, int count)
{
    auto* accelerators = reinterpret_cast<AcceleratorTable*>(table);
    if (!accelerators)
        return 0;
    if (!entries)
        return static_cast<int>(accelerators->entries.size());
    int copied = std::min(count, static_cast<int>(accelerators->entries.size()));
    std::copy_n(accelerators->entries.begin(), copied, entries);
    return copied;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG message)
{
    auto* accelerators = reinterpret_cast<AcceleratorTable*>(table);
    if (!accelerators || !message || !IsWindow(window))
        return 0;
    UINT kind = message->message;
    if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_CHAR && kind != WM_SYSCHAR)
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    for (const ACCEL& entry : accelerators->entries) {
        bool virtualKey = entry.fVirt & FVIRTKEY;
        if (virtualKey != (kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN))
            continue;
        if (entry.key != message->wParam)
            continue;
        if (virtualKey && (shift != bool(entry.fVirt & FSHIFT) || control != bool(entry.fVirt & FCONTROL)))
            continue;
        if (alt != bool(entry.fVirt & FALT))
            continue;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    if (!instance && IS_INTRESOURCE(name)) {
        auto id = reinterpret_cast<ULONG_PTR>(name);
        if (id >= 32512 && id <= 32651)
            return reinterpret_cast<HCURSOR>(id);
    }
    return fln::user::LoadResourceCursor(instance, name);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    InputState& state = State();
    HCURSOR previous = std::exchange(state.cursor, cursor);
    HWND window = state.capture ? state.capture : state.mouseWindow;
    Window* object = FindWindowObject(GetAncestor(window, GA_ROOT));
    if (object && object->native) {
        auto id = reinterpret_cast<std::uintptr_t>(cursor);
        CurrentDisplay().SetCursorShape(object->native, id >= 32512 && id <= 32651 ? id : 32512);
    }
    return previous;
}

HCURSOR GetCursor()
{
    return State().cursor;
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    *point = CurrentDisplay().CursorPosition();
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    CurrentDisplay().SetCursorPosition({ x, y });
    return TRUE;
}

int ShowCursor(BOOL show)
{
    return show ? ++State().cursorShowCount : --State().cursorShowCount;
}

BOOL ClipCursor(const RECT*)
{
    return TRUE;
}

UINT GetDoubleClickTime()
{
    return State().doubleClickTime;
}

BOOL SetDoubleClickTime(UINT milliseconds)
{
    State().doubleClickTime = milliseconds ? milliseconds : 500;
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT))
        return FALSE;
    InputState& state = State();
    if (track->dwFlags & TME_CANCEL) {
        if ((track->dwFlags & TME_LEAVE) && state.leaveTracking == track->hwndTrack)
            state.leaveTracking = nullptr;
        if ((track->dwFlags & TME_HOVER) && state.hoverWindow == track->hwndTrack)
            state.hoverWindow = nullptr;
        return TRUE;
    }
    if (!IsWindow(track->hwndTrack))
        return FALSE;
    if (track->dwFlags & TME_HOVER) {
        UINT defaultTime = 400;
        SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &defaultTime, 0);
        state.hoverWindow = track->hwndTrack;
        state.hoverStart = CurrentDisplay().CursorPosition();
        state.hoverTime = track->dwHoverTime == HOVER_DEFAULT ? defaultTime : track->dwHoverTime;
        state.hoverSince = CurrentDisplay().Now();
    }
    if (track->dwFlags & TME_LEAVE) {
        POINT pointer = CurrentDisplay().CursorPosition();
        if (WindowFromPoint(pointer) != track->hwndTrack)
            PostMessageW(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
        else
            state.leaveTracking = track->hwndTrack;
    }
    return TRUE;
}

BOOL DragDetect(HWND window, POINT point)
{
    if (!IsWindow(window))
        return FALSE;
    SetCapture(window);
    bool dragged = false, released = false;
    int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
    RunModalLoop(window, MSGF_SIZE, [&] { return dragged || released || GetCapture() != window; }, [&](MSG& message) {
        if (message.message == WM_MOUSEMOVE) {
            POINT screen = message.pt;
            POINT start = point;
            ClientToScreen(window, &start);
            dragged = std::abs(screen.x - start.x) > cx || std::abs(screen.y - start.y) > cy;
            return true;
        }
        if (message.message == WM_LBUTTONUP || message.message == WM_KEYDOWN) {
            released = true;
            return true;
        }
        return false;
    });
    if (GetCapture() == window)
        ReleaseCapture();
    return dragged;
}
