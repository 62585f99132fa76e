// Sending, posting and reading messages; timers; hooks; registered messages.

#include "platform/sys/WaitSources.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <future>
#include <map>
#include <utility>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fln::user {
namespace {

struct CrossThreadSend {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::promise<LRESULT> result;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC procedure;
    DWORD due;
};

struct Hook {
    HHOOK handle;
    int type;
    HOOKPROC procedure;
    bool removed = false;
};

class Queue {
public:
    static Queue& Instance()
    {
        static Queue queue;
        return queue;
    }

    int WakeFd() const { return m_wakeFd; }
    void Wake()
    {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
    }
    void ClearWake()
    {
        std::uint64_t count;
        [[maybe_unused]] auto readBytes = read(m_wakeFd, &count, sizeof count);
    }

    std::mutex mutex;
    // Messages posted from other threads are stamped with the time and pointer position when
    // read: only the user-interface thread may ask the display.
    struct Posted {
        MSG message;
        bool stamped;
    };
    std::deque<Posted> posted;
    std::deque<std::shared_ptr<CrossThreadSend>> sent;
    std::deque<MSG> input;
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    std::vector<Hook> hooks;
    int hookDepth = 0;
    MSG last {};
    int inCrossThreadSend = 0;
    std::map<LPARAM, std::wstring> typedText;
    LPARAM nextTextKey = 1;

private:
    Queue() : m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    int m_wakeFd;
};

std::thread::id& UiThread()
{
    static std::thread::id id = std::this_thread::get_id();
    return id;
}

bool MatchesFilter(const MSG& message, HWND filter, UINT min, UINT max)
{
    if (filter && message.hwnd != filter && !IsChild(filter, message.hwnd))
        return false;
    if (min == 0 && max == 0)
        return true;
    return message.message >= min && message.message <= max;
}

DWORD Now()
{
    return CurrentDisplay().Now();
}

void DeliverCrossThreadSends()
{
    Queue& queue = Queue::Instance();
    for (;;) {
        std::shared_ptr<CrossThreadSend> send;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.sent.empty())
                return;
            send = queue.sent.front();
            queue.sent.pop_front();
        }
        Window* window = FindWindowObject(send->window);
        ++queue.inCrossThreadSend;
        LRESULT result = window ? SendToWindow(*window, send->message, send->wParam, send->lParam) : 0;
        --queue.inCrossThreadSend;
        send->result.set_value(result);
    }
}

std::optional<MSG> TakeFrom(std::deque<MSG>& messages, HWND filter, UINT min, UINT max, bool remove)
{
    auto it = std::ranges::find_if(messages, [&](const MSG& m) { return MatchesFilter(m, filter, min, max); });
    if (it == messages.end())
        return std::nullopt;
    MSG message = *it;
    if (remove)
        messages.erase(it);
    return message;
}

std::optional<MSG> DueTimer(HWND filter, UINT min, UINT max, bool remove)
{
    Queue& queue = Queue::Instance();
    if (!(min == 0 && max == 0) && (WM_TIMER < min || WM_TIMER > max))
        return std::nullopt;
    DWORD now = Now();
    for (Timer& timer : queue.timers) {
        if (static_cast<std::int32_t>(now - timer.due) < 0)
            continue;
        if (filter && timer.window != filter && !IsChild(filter, timer.window))
            continue;
        // Like every message fetched, a timer's carries where the cursor is (GetMessagePos).
        MSG message { timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), now,
            CurrentDisplay().CursorPosition() };
        if (remove)
            timer.due = now + timer.elapse;
        return message;
    }
    return std::nullopt;
}

std::optional<MSG> Fetch(HWND filter, UINT min, UINT max, bool remove)
{
    Queue& queue = Queue::Instance();
    DeliverCrossThreadSends();
    TranslateDisplayEvents();
    {
        std::lock_guard lock(queue.mutex);
        auto it = std::ranges::find_if(queue.posted, [&](const Queue::Posted& p) { return MatchesFilter(p.message, filter, min, max); });
        if (it != queue.posted.end()) {
            if (!it->stamped)
                *it = { { it->message.hwnd, it->message.message, it->message.wParam, it->message.lParam, Now(), CurrentDisplay().CursorPosition() }, true };
            MSG message = it->message;
            if (remove)
                queue.posted.erase(it);
            return message;
        }
    }
    if (auto message = TakeFrom(queue.input, filter, min, max, remove))
        return message;
    {
        std::lock_guard lock(queue.mutex);
        if (queue.quitPosted && !filter) {
            if (remove)
                queue.quitPosted = false;
            return MSG { nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, Now(), {} };
        }
    }
    if ((min == 0 && max == 0) || (WM_PAINT >= min && WM_PAINT <= max)) {
        if (HWND window = NextWindowToPaint(filter))
            return MSG { window, WM_PAINT, 0, 0, Now(), {} };
    }
    if (auto hover = DueHover(false); hover && MatchesFilter(*hover, filter, min, max))
        return DueHover(remove);
    return DueTimer(filter, min, max, remove);
}

int MillisecondsToNextTimer()
{
    Queue& queue = Queue::Instance();
    int hover = MillisecondsToHover();
    if (queue.timers.empty())
        return hover;
    DWORD now = Now();
    std::int32_t soonest = hover >= 0 ? hover : INT32_MAX;
    for (const Timer& timer : queue.timers)
        soonest = std::min(soonest, static_cast<std::int32_t>(timer.due - now));
    return std::max(0, soonest);
}

} // namespace

bool InputPending()
{
    return !Queue::Instance().input.empty();
}

void QueueInputMessage(const MSG& message)
{
    Queue::Instance().input.push_back(message);
}

LPARAM RememberTypedText(LPARAM keyData, std::wstring text)
{
    if (text.empty())
        return keyData;
    Queue& queue = Queue::Instance();
    // The text is found again by the key data's upper bits, which carry no meaning here.
    LPARAM key = (queue.nextTextKey++ & 0x7FFFFFFF);
    queue.typedText[key] = std::move(text);
    if (queue.typedText.size() > 256)
        queue.typedText.erase(queue.typedText.begin());
    return (keyData & 0xFFFFFFFF) | (static_cast<LPARAM>(key) << 32);
}

std::wstring TakeTypedText(const MSG& keyMessage)
{
    Queue& queue = Queue::Instance();
    auto it = queue.typedText.find(keyMessage.lParam >> 32);
    if (it == queue.typedText.end())
        return {};
    std::wstring text = std::move(it->second);
    queue.typedText.erase(it);
    return text;
}

LRESULT SendToWindow(Window& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND handle = window.handle;
    if (HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT call { lParam, wParam, message, handle };
        CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&call));
    }
    // Read after the hooks, so that a hook may subclass a window before its first message.
    WNDPROC procedure = window.procedure;
    LRESULT result = procedure ? procedure(handle, message, wParam, lParam) : DefWindowProcW(handle, message, wParam, lParam);
    if (HasHooks(WH_CALLWNDPROCRET)) {
        CWPRETSTRUCT returned { result, lParam, wParam, message, handle };
        CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 0, reinterpret_cast<LPARAM>(&returned));
    }
    return result;
}

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam)
{
    Queue& queue = Queue::Instance();
    for (auto it = queue.hooks.rbegin(); it != queue.hooks.rend(); ++it) {
        if (it->type == type && !it->removed) {
            ++queue.hookDepth;
            LRESULT result = it->procedure(code, wParam, lParam);
            if (--queue.hookDepth == 0)
                std::erase_if(queue.hooks, [](const Hook& hook) { return hook.removed; });
            return result;
        }
    }
    return 0;
}

bool HasHooks(int type)
{
    auto& hooks = Queue::Instance().hooks;
    return std::ranges::any_of(hooks, [type](const Hook& hook) { return hook.type == type && !hook.removed; });
}

void ForgetTimersOf(HWND window)
{
    std::erase_if(Queue::Instance().timers, [window](const Timer& timer) { return timer.window == window; });
    Queue& queue = Queue::Instance();
    std::lock_guard lock(queue.mutex);
    std::erase_if(queue.posted, [window](const Queue::Posted& p) { return p.message.hwnd == window; });
    std::erase_if(queue.input, [window](const MSG& m) { return m.hwnd == window; });
}

ModalLoopHook& TestModalHook()
{
    static ModalLoopHook hook;
    return hook;
}

void RunModalLoop(HWND modalWindow, int filterCode, const std::function<bool()>& done, const std::function<bool(MSG&)>& preTranslate)
{
    MSG message;
    while (!done()) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam)); // the outer loop ends too
                return;
            }
            if (CallHooks(WH_MSGFILTER, filterCode, 0, reinterpret_cast<LPARAM>(&message)))
                continue;
            if (preTranslate && preTranslate(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        // The owner hears that the loop is about to wait (menus and dialog boxes only, unless
        // the dialog's style says DS_NOIDLEMSG).
        const bool dialogLoop = filterCode == MSGF_MESSAGEBOX || (filterCode == MSGF_DIALOGBOX && !(GetWindowLongW(modalWindow, GWL_STYLE) & DS_NOIDLEMSG));
        if (filterCode == MSGF_MENU || dialogLoop) {
            if (HWND owner = GetWindow(modalWindow, GW_OWNER)) {
                SendMessageW(owner, WM_ENTERIDLE, filterCode == MSGF_MENU ? MSGF_MENU : MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(modalWindow));
                if (done() || GetQueueStatus(QS_ALLINPUT))
                    continue;
            }
        }
        if (auto& hook = TestModalHook()) {
            hook(modalWindow);
            if (done() || GetQueueStatus(QS_ALLINPUT))
                continue;
        }
        WaitMessage();
    }
}

} // namespace fln::user

namespace fln::user {
namespace {

// Another thread's window: the owning thread runs the message while reading its queue. Without
// an answer in time the message still runs later, and its answer is dropped.
std::optional<LRESULT> SendAcrossThreads(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, std::optional<std::chrono::milliseconds> timeout)
{
    auto send = std::make_shared<CrossThreadSend>(CrossThreadSend { handle, message, wParam, lParam, {} });
    auto result = send->result.get_future();
    Queue& queue = Queue::Instance();
    {
        std::lock_guard lock(queue.mutex);
        queue.sent.push_back(send);
    }
    queue.Wake();
    if (timeout && result.wait_for(*timeout) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

} // namespace
} // namespace fln::user

using namespace fln::user;

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handle == HWND_BROADCAST) {
        std::vector<HWND> topLevels = WindowTree::Instance().TopLevels();
        for (HWND topLevel : topLevels) {
            if (Window* window = FindWindowObject(topLevel))
                SendToWindow(*window, message, wParam, lParam);
        }
        return 0;
    }
    auto owner = WindowTree::Instance().OwnerThread(handle);
    if (!owner)
        return 0;
    if (*owner == std::this_thread::get_id()) {
        Window* window = FindWindowObject(handle);
        return window ? SendToWindow(*window, message, wParam, lParam) : 0;
    }
    return SendAcrossThreads(handle, message, wParam, lParam, std::nullopt).value_or(0);
}

LRESULT SendMessageTimeoutW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeout, DWORD_PTR* result)
{
    auto owner = WindowTree::Instance().OwnerThread(handle);
    if (!owner)
        return 0;
    std::optional<LRESULT> answer;
    if (*owner == std::this_thread::get_id())
        answer = SendMessageW(handle, message, wParam, lParam);
    else
        answer = SendAcrossThreads(handle, message, wParam, lParam, std::chrono::milliseconds(timeout));
    if (!answer)
        return 0;
    if (result)
        *result = static_cast<DWORD_PTR>(*answer);
    return 1;
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handle == HWND_BROADCAST) {
        for (HWND topLevel : WindowTree::Instance().TopLevels())
            PostMessageW(topLevel, message, wParam, lParam);
        return TRUE;
    }
    auto owner = WindowTree::Instance().OwnerThread(handle);
    if (handle && !owner)
        return FALSE;
    bool ownThread = owner && *owner == std::this_thread::get_id();
    MSG posted { handle, message, wParam, lParam, 0, {} };
    if (ownThread)
        posted.time = Now(), posted.pt = CurrentDisplay().CursorPosition();
    Queue& queue = Queue::Instance();
    {
        std::lock_guard lock(queue.mutex);
        queue.posted.push_back({ posted, ownThread });
    }
    queue.Wake();
    return TRUE;
}

BOOL PostThreadMessageW(DWORD, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    Queue& queue = Queue::Instance();
    {
        std::lock_guard lock(queue.mutex);
        queue.quitPosted = true;
        queue.quitCode = exitCode;
    }
    queue.Wake();
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    UiThread();
    auto found = Fetch(window, filterMin, filterMax, removeFlags & PM_REMOVE);
    if (!found)
        return FALSE;
    // WH_GETMESSAGE hooks see (and may change) each message as it is read.
    if (HasHooks(WH_GETMESSAGE))
        CallHooks(WH_GETMESSAGE, HC_ACTION, removeFlags & PM_REMOVE, reinterpret_cast<LPARAM>(&*found));
    if (message)
        *message = *found;
    Queue::Instance().last = *found;
    return TRUE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (!message)
        return -1;
    while (!PeekMessageW(message, window, filterMin, filterMax, PM_REMOVE))
        WaitMessage();
    return message->message != WM_QUIT;
}

BOOL WaitMessage()
{
    Queue& queue = Queue::Instance();
    {
        std::lock_guard lock(queue.mutex);
        if (!queue.posted.empty() || !queue.sent.empty() || queue.quitPosted)
            return TRUE;
    }
    if (!queue.input.empty() || DisplayEventsDeferred() || NextWindowToPaint(nullptr))
        return TRUE;
    // A loop that waits inside a paint pass (a message box from a paint handler) shows what
    // has been drawn.
    FlushPresents();
    CurrentDisplay().Wait(CombinedWaitFd(queue.WakeFd()), MillisecondsToNextTimer());
    queue.ClearWake();
    DispatchReadyWaitSources();
    return TRUE;
}

DWORD GetQueueStatus(UINT flags)
{
    Queue& queue = Queue::Instance();
    TranslateDisplayEvents();
    DWORD status = 0;
    {
        std::lock_guard lock(queue.mutex);
        if (!queue.posted.empty() || queue.quitPosted)
            status |= QS_POSTMESSAGE;
        if (!queue.sent.empty())
            status |= QS_SENDMESSAGE;
    }
    for (const MSG& m : queue.input)
        status |= (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ? QS_KEY : m.message == WM_MOUSEMOVE ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
    if (NextWindowToPaint(nullptr))
        status |= QS_PAINT;
    if (DueTimer(nullptr, 0, 0, false))
        status |= QS_TIMER;
    return status & flags;
}

LONG GetMessageTime()
{
    return static_cast<LONG>(Queue::Instance().last.time);
}

DWORD GetMessagePos()
{
    POINT pt = Queue::Instance().last.pt;
    return MAKELONG(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
}

BOOL InSendMessage()
{
    return Queue::Instance().inCrossThreadSend > 0;
}

LRESULT DispatchMessageW(const MSG* message)
{
    if (!message)
        return 0;
    if (message->message == WM_TIMER && message->lParam) {
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    Window* window = FindWindowObject(message->hwnd);
    if (!window)
        return 0;
    WNDPROC procedure = window->procedure;
    LRESULT result = procedure ? procedure(message->hwnd, message->message, message->wParam, message->lParam)
                               : DefWindowProcW(message->hwnd, message->message, message->wParam, message->lParam);
    if (message->message == WM_PAINT) {
        // A window procedure that did not paint must not be asked again and again.
        if ((window = FindWindowObject(message->hwnd)) && (!window->update.isEmpty() || window->internalPaint || window->frameUpdate)) {
            window->internalPaint = false;
            ValidateRect(message->hwnd, nullptr);
        }
    }
    return result;
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

UINT fln::user::RegisteredAtom(LPCWSTR name)
{
    static std::mutex mutex; // any thread may register a name
    static std::map<std::wstring, UINT> atoms;
    static UINT next = 0xC000;
    if (!name || !*name)
        return 0;
    std::lock_guard lock(mutex);
    std::wstring key(name);
    for (auto& c : key)
        c = static_cast<wchar_t>(std::towlower(c));
    auto [it, added] = atoms.try_emplace(key, next);
    if (added) {
        if (next == 0xFFFF) {
            atoms.erase(it);
            return 0;
        }
        ++next;
    }
    return it->second;
}

UINT RegisterWindowMessageW(LPCWSTR name)
{
    return RegisteredAtom(name);
}

DWORD GetTickCount()
{
    return Now();
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    if (window && !IsWindow(window))
        return 0;
    Queue& queue = Queue::Instance();
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF); // the shortest period a timer has
    if (!window) {
        // Thread timers get an id of their own unless an existing one is named.
        auto existing = std::ranges::find_if(queue.timers, [id](const Timer& t) { return !t.window && t.id == id; });
        if (id == 0 || existing == queue.timers.end()) {
            static UINT_PTR nextId = 0x7FF0;
            id = ++nextId;
        }
    }
    auto it = std::ranges::find_if(queue.timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    Timer timer { window, id, elapse, procedure, Now() + elapse };
    if (it != queue.timers.end())
        *it = timer;
    else
        queue.timers.push_back(timer);
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    auto& timers = Queue::Instance().timers;
    return std::erase_if(timers, [&](const Timer& t) { return t.window == window && t.id == id; }) > 0;
}

HHOOK SetWindowsHookExW(int type, HOOKPROC procedure, HINSTANCE, DWORD)
{
    static std::uintptr_t nextHook = 0x20000;
    if (!procedure)
        return nullptr;
    switch (type) {
    case WH_MSGFILTER:
    case WH_KEYBOARD:
    case WH_GETMESSAGE:
    case WH_CALLWNDPROC:
    case WH_CBT:
    case WH_MOUSE:
    case WH_CALLWNDPROCRET:
        break;
    default:
        return nullptr;
    }
    HHOOK handle = reinterpret_cast<HHOOK>(nextHook += 4);
    Queue::Instance().hooks.push_back({ handle, type, procedure });
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    Queue& queue = Queue::Instance();
    auto it = std::ranges::find_if(queue.hooks, [hook](const Hook& h) { return h.handle == hook && !h.removed; });
    if (it == queue.hooks.end())
        return FALSE;
    // A hook removed while hooks run is dropped when they have returned.
    if (queue.hookDepth > 0)
        it->removed = true;
    else
        queue.hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    Queue& queue = Queue::Instance();
    auto current = std::ranges::find_if(queue.hooks, [hook](const Hook& h) { return h.handle == hook; });
    if (current == queue.hooks.end())
        return 0;
    int type = current->type;
    // The chain runs from the newest hook to the oldest: the next one is further down the list.
    for (auto it = std::make_reverse_iterator(current); it != queue.hooks.rend(); ++it) {
        if (it->type == type && !it->removed) {
            ++queue.hookDepth;
            LRESULT result = it->procedure(code, wParam, lParam);
            --queue.hookDepth;
            return result;
        }
    }
    return 0;
}

void RunModalMessageLoop(HWND modalWindow, int filterCode, const std::function<bool()>& done, const std::function<bool(MSG&)>& preTranslate)
{
    fln::user::RunModalLoop(modalWindow, filterCode, done, preTranslate);
}

ModalLoopHook SetModalLoopHook(ModalLoopHook hook)
{
    return std::exchange(TestModalHook(), std::move(hook));
}
