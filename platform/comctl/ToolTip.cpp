// The tooltip control ("tooltips_class32"): a list of tools, the pointer's rest on one of them
// timed on the display clock, and a small framed popup with the tool's text.
//
// The pointer's story comes from relayed mouse messages. A tool becomes hot when the pointer
// reaches it; after the initial delay its tip shows; after the auto-pop delay, a click or TTM_POP
// it hides and stays hidden until the pointer leaves the tool; it hides too when the tool's window
// moves on the screen. Moving from a shown tip's tool to
// another tool shows the next tip after the shorter reshow delay. Since the pointer may leave for
// a window that relays nothing, a timer checks the pointer's place while a tool is hot.

#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/WindowMoveWatch.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fln::comctl {
namespace {

enum TimerId : UINT_PTR { kShowTimer = 1, kAutoPopTimer = 2, kLeaveTimer = 3 };
constexpr UINT kLeaveCheckMs = 100;
constexpr int kPaddingX = 3, kPaddingY = 2; // inside the one-pixel frame
constexpr int kBelowPointer = 20;           // a tip at the pointer starts below the arrow
constexpr size_t kToolTextBuffer = 80;      // what callers' text buffers hold when they give no size

// ---- tools

enum class TextKind { Text, Callback, Resource };

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect {};
    HINSTANCE instance = nullptr;
    TextKind textKind = TextKind::Text;
    std::wstring text;   // TextKind::Text
    UINT stringId = 0;   // TextKind::Resource: a string of `instance`, read each time the tip shows
    LPARAM lParam = 0;

    bool Is(HWND otherHwnd, UINT_PTR otherId) const { return hwnd == otherHwnd && id == otherId; }
    // The window whose pointer messages tell about the tool.
    HWND PointerWindow() const { return (flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(id) : hwnd; }
};

bool ToolInfoSizeIsValid(const TTTOOLINFOW* info) { return info && info->cbSize >= TTTOOLINFOW_V1_SIZE; }

Tool ToolFromInfo(const TTTOOLINFOW& info)
{
    Tool tool { info.uFlags, info.hwnd, info.uId, info.rect, info.hinst };
    if (info.lpszText == LPSTR_TEXTCALLBACKW) {
        tool.textKind = TextKind::Callback;
    } else if (info.lpszText && IS_INTRESOURCE(info.lpszText) && info.hinst) {
        tool.textKind = TextKind::Resource;
        tool.stringId = LOWORD(reinterpret_cast<UINT_PTR>(info.lpszText));
    } else if (info.lpszText && !IS_INTRESOURCE(info.lpszText)) {
        tool.text = info.lpszText;
    }
    if (info.cbSize > TTTOOLINFOW_V1_SIZE)
        tool.lParam = info.lParam;
    return tool;
}

std::wstring ResourceString(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return text && length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring {};
}

void CopyText(const std::wstring& text, LPWSTR buffer, size_t capacity)
{
    if (!buffer || !capacity)
        return;
    size_t count = std::min(text.size(), capacity - 1);
    text.copy(buffer, count);
    buffer[count] = 0;
}

// Fills the caller's structure from a tool; text is copied into the caller's buffer.
void ToolToInfo(const Tool& tool, TTTOOLINFOW& info)
{
    info.uFlags = tool.flags;
    info.hwnd = tool.hwnd;
    info.uId = tool.id;
    info.rect = tool.rect;
    info.hinst = tool.instance;
    switch (tool.textKind) {
    case TextKind::Callback:
        info.lpszText = LPSTR_TEXTCALLBACKW;
        break;
    case TextKind::Resource:
        info.lpszText = MAKEINTRESOURCEW(tool.stringId);
        break;
    case TextKind::Text:
        CopyText(tool.text, info.lpszText, kToolTextBuffer);
        break;
    }
    if (info.cbSize > TTTOOLINFOW_V1_SIZE)
        info.lParam = tool.lParam;
}

// Ampersands mark mnemonics in tool texts; a tip shows none ("&&" shows one ampersand).
std::wstring WithoutPrefixes(const std::wstring& text)
{
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'&')
            continue;
        shown += text[i];
    }
    return shown;
}

// ---- watching the tools' windows (TTF_SUBCLASS)

// One procedure in front of each watched window relays its pointer messages to every tooltip
// that watches it. It stays in place while another procedure was put in front of it later.
class ToolWindowWatch {
public:
    static ToolWindowWatch& Instance()
    {
        static ToolWindowWatch watch;
        return watch;
    }

    void Attach(HWND window, HWND tooltip)
    {
        if (!IsWindow(window))
            return;
        auto [entry, added] = m_windows.try_emplace(window);
        if (added)
            entry->second.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
        auto& tooltips = entry->second.tooltips;
        if (std::find(tooltips.begin(), tooltips.end(), tooltip) == tooltips.end())
            tooltips.push_back(tooltip);
    }

    void Detach(HWND window, HWND tooltip)
    {
        auto entry = m_windows.find(window);
        if (entry == m_windows.end())
            return;
        std::erase(entry->second.tooltips, tooltip);
        bool stillFirst = GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Procedure);
        if (entry->second.tooltips.empty() && stillFirst) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->second.original));
            m_windows.erase(entry);
        }
    }

private:
    struct Watched {
        WNDPROC original = nullptr;
        std::vector<HWND> tooltips;
    };

    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto& windows = Instance().m_windows;
        auto entry = windows.find(window);
        if (entry == windows.end())
            return DefWindowProcW(window, message, wParam, lParam);
        WNDPROC original = entry->second.original;
        if ((message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK)) {
            MSG relayed { window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {} };
            DWORD position = GetMessagePos();
            relayed.pt = { GET_X_LPARAM(position), GET_Y_LPARAM(position) };
            std::vector<HWND> tooltips = entry->second.tooltips; // a relay may change the list
            for (HWND tooltip : tooltips)
                SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
        LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            windows.erase(window);
        return result;
    }

    std::map<HWND, Watched> m_windows;
};

// ---- the control

class ToolTip {
public:
    explicit ToolTip(HWND window) : m_window(window) { }
    ~ToolTip()
    {
        if (m_defaultFont)
            DeleteObject(m_defaultFont);
    }
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    LRESULT OnAddTool(const TTTOOLINFOW* info);
    LRESULT OnDelTool(const TTTOOLINFOW* info);
    LRESULT OnNewToolRect(const TTTOOLINFOW* info);
    LRESULT OnGetToolInfo(TTTOOLINFOW* info) const;
    LRESULT OnSetToolInfo(const TTTOOLINFOW* info);
    LRESULT OnUpdateTipText(const TTTOOLINFOW* info);
    LRESULT OnGetText(size_t capacity, TTTOOLINFOW* info);
    LRESULT OnHitTest(TTHITTESTINFOW* info) const;
    LRESULT OnGetToolCount() const { return static_cast<LRESULT>(m_tools.size()); }
    LRESULT OnActivate(bool active);
    LRESULT OnRelayEvent(const MSG* message);
    LRESULT OnPop();
    void GoQuiet();
    LRESULT OnTrackActivate(bool activate, const TTTOOLINFOW* info);
    LRESULT OnTrackPosition(POINT point);
    LRESULT OnSetDelayTime(WPARAM which, int milliseconds);
    LRESULT OnGetDelayTime(WPARAM which) const;
    enum class Colour { Background, Text };
    LRESULT OnSetColor(Colour which, COLORREF color);
    LRESULT OnGetColor(Colour which) const;
    LRESULT OnSetMaxTipWidth(int width) { return std::exchange(m_maxWidth, width); }
    LRESULT OnGetMaxTipWidth() const { return m_maxWidth; }
    LRESULT OnSetFont(HFONT font, bool redraw);
    LRESULT OnGetFont() { return reinterpret_cast<LRESULT>(Font()); }
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnMouseOverTip();
    LRESULT OnPaint();
    LRESULT OnDestroy();

    void EnterHandler() { ++m_handlers; }
    // Whether the state may go now; it goes when the window went while a handler ran.
    bool LeaveHandler() { return --m_handlers == 0 && m_orphaned; }
    bool Orphan()
    {
        m_orphaned = true;
        return m_handlers == 0;
    }

private:
    enum class Phase { Idle, Waiting, Shown, Quiet }; // Quiet: popped, until the pointer leaves the tool
    struct Key {
        HWND hwnd;
        UINT_PTR id;
        bool operator==(const Key&) const = default;
    };

    Tool* Find(HWND hwnd, UINT_PTR id);
    const Tool* Find(HWND hwnd, UINT_PTR id) const { return const_cast<ToolTip*>(this)->Find(hwnd, id); }
    Tool* Find(std::optional<Key> key) { return key ? Find(key->hwnd, key->id) : nullptr; }
    const Tool* ToolAt(HWND window, POINT client) const;
    bool PointerOnHotTool() const;
    void PointerAt(HWND window, POINT client);
    void Leave();
    bool Show(Tool tool);
    void Hide();
    void ShowTimer(UINT delay);
    std::wstring TextOf(const Tool& tool);
    HWND NotifyTarget(const Tool& tool) const;
    LRESULT Notify(const Tool& tool, UINT code, NMHDR* header = nullptr) const;
    SIZE TipSize(const std::wstring& text);
    POINT TipPosition(const Tool& tool, SIZE size) const;
    RECT ToolScreenRect(const Tool& tool) const;
    UINT TextFormat() const;
    HFONT Font();
    void Watch(const Tool& tool, bool watch);
    UINT Delay(WPARAM which) const;

    HWND m_window;
    std::vector<Tool> m_tools;
    bool m_active = true;
    Phase m_phase = Phase::Idle;
    std::optional<Key> m_hot;    // the tool under the pointer
    std::optional<Key> m_shown;  // the tool whose tip is on the screen
    std::optional<Key> m_tracked;
    POINT m_trackPoint {};
    std::wstring m_text;         // the text on the screen
    std::map<WPARAM, UINT> m_delays; // set by TTM_SETDELAYTIME; the rest follow the double-click time
    int m_maxWidth = -1;             // -1: one line, as wide as the text
    HFONT m_font = nullptr;
    HFONT m_defaultFont = nullptr;
    std::optional<COLORREF> m_background; // nullopt: the info-background colour
    std::optional<COLORREF> m_textColor;  // nullopt: the info-text colour
    WindowMoveWatch m_moveWatch { [this] { OnPop(); } }; // a shown tip goes when its tool's window moves
    int m_handlers = 0;                   // handlers of this window on the stack
    bool m_orphaned = false;              // the window is gone
};

Tool* ToolTip::Find(HWND hwnd, UINT_PTR id)
{
    auto found = std::find_if(m_tools.begin(), m_tools.end(), [&](const Tool& tool) { return tool.Is(hwnd, id); });
    return found == m_tools.end() ? nullptr : &*found;
}

void ToolTip::Watch(const Tool& tool, bool watch)
{
    if (!(tool.flags & TTF_SUBCLASS))
        return;
    HWND window = tool.PointerWindow();
    if (watch) {
        ToolWindowWatch::Instance().Attach(window, m_window);
        return;
    }
    bool another = std::any_of(m_tools.begin(), m_tools.end(), [&](const Tool& other) {
        return &other != &tool && (other.flags & TTF_SUBCLASS) && other.PointerWindow() == window;
    });
    if (!another)
        ToolWindowWatch::Instance().Detach(window, m_window);
}

LRESULT ToolTip::OnAddTool(const TTTOOLINFOW* info)
{
    if (!ToolInfoSizeIsValid(info))
        return FALSE;
    Tool tool = ToolFromInfo(*info);
    if (Tool* existing = Find(tool.hwnd, tool.id)) { // the same tool again replaces the old one
        Watch(*existing, false);
        *existing = tool;
    } else {
        m_tools.push_back(tool);
    }
    Watch(tool, true);
    return TRUE;
}

LRESULT ToolTip::OnDelTool(const TTTOOLINFOW* info)
{
    if (!ToolInfoSizeIsValid(info))
        return 0;
    Tool* tool = Find(info->hwnd, info->uId);
    if (!tool)
        return 0;
    Key key { tool->hwnd, tool->id };
    if (m_shown == key || m_hot == key)
        Leave();
    if (m_tracked == key) {
        Hide();
        m_tracked.reset();
    }
    Watch(*tool, false);
    m_tools.erase(m_tools.begin() + (tool - m_tools.data()));
    return 0;
}

LRESULT ToolTip::OnNewToolRect(const TTTOOLINFOW* info)
{
    if (Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr)
        tool->rect = info->rect;
    return 0;
}

LRESULT ToolTip::OnGetToolInfo(TTTOOLINFOW* info) const
{
    const Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr;
    if (!tool)
        return FALSE;
    ToolToInfo(*tool, *info);
    return TRUE;
}

LRESULT ToolTip::OnSetToolInfo(const TTTOOLINFOW* info)
{
    Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr;
    if (!tool)
        return 0;
    Watch(*tool, false);
    *tool = ToolFromInfo(*info);
    Watch(*tool, true);
    return 0;
}

LRESULT ToolTip::OnUpdateTipText(const TTTOOLINFOW* info)
{
    Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr;
    if (!tool)
        return 0;
    Tool updated = ToolFromInfo(*info);
    tool->instance = updated.instance;
    tool->textKind = updated.textKind;
    tool->text = updated.text;
    tool->stringId = updated.stringId;
    if (m_shown == Key { tool->hwnd, tool->id }) { // the tip on the screen takes the new text in place
        m_text = TextOf(*tool);
        SIZE size = TipSize(m_text);
        SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_window, nullptr, TRUE);
    }
    return 0;
}

LRESULT ToolTip::OnGetText(size_t capacity, TTTOOLINFOW* info)
{
    Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr;
    if (!tool || !info->lpszText)
        return 0;
    CopyText(TextOf(*tool), info->lpszText, capacity ? capacity : kToolTextBuffer);
    return 0;
}

LRESULT ToolTip::OnHitTest(TTHITTESTINFOW* info) const
{
    if (!info)
        return FALSE;
    const Tool* tool = ToolAt(info->hwnd, info->pt);
    if (!tool)
        return FALSE;
    if (info->ti.cbSize >= TTTOOLINFOW_V1_SIZE)
        ToolToInfo(*tool, info->ti);
    return TRUE;
}

const Tool* ToolTip::ToolAt(HWND window, POINT client) const
{
    for (const Tool& tool : m_tools) {
        if (tool.flags & TTF_TRACK)
            continue;
        bool hit = (tool.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.id) == window
                                               : tool.hwnd == window && PtInRect(&tool.rect, client);
        if (hit)
            return &tool;
    }
    return nullptr;
}

bool ToolTip::PointerOnHotTool() const
{
    POINT screen;
    GetCursorPos(&screen);
    HWND under = WindowFromPoint(screen);
    if (under == m_window)
        return true; // the tip lies under the pointer; the tool is still the one it rests on
    POINT client = screen;
    ScreenToClient(under, &client);
    const Tool* tool = ToolAt(under, client);
    return tool && m_hot == Key { tool->hwnd, tool->id };
}

LRESULT ToolTip::OnRelayEvent(const MSG* message)
{
    if (!message)
        return 0;
    switch (message->message) {
    case WM_MOUSEMOVE:
        PointerAt(message->hwnd, { GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam) });
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        OnPop(); // a click puts the tip away until the pointer leaves the tool
        break;
    default:
        break;
    }
    return 0;
}

void ToolTip::PointerAt(HWND window, POINT client)
{
    if (!m_active || m_tracked)
        return;
    const Tool* tool = ToolAt(window, client);
    if (!tool) {
        Leave();
        return;
    }
    Key key { tool->hwnd, tool->id };
    if (m_hot == key)
        return;
    bool tipWasShown = m_phase == Phase::Shown;
    Hide();
    m_hot = key;
    m_phase = Phase::Waiting;
    ShowTimer(tipWasShown ? Delay(TTDT_RESHOW) : Delay(TTDT_INITIAL));
    SetTimer(m_window, kLeaveTimer, kLeaveCheckMs, nullptr);
}

void ToolTip::ShowTimer(UINT delay)
{
    KillTimer(m_window, kAutoPopTimer);
    SetTimer(m_window, kShowTimer, std::max(1u, delay), nullptr);
}

void ToolTip::Leave()
{
    KillTimer(m_window, kShowTimer);
    KillTimer(m_window, kAutoPopTimer);
    KillTimer(m_window, kLeaveTimer);
    Hide();
    m_hot.reset();
    m_phase = Phase::Idle;
}

LRESULT ToolTip::OnPop()
{
    KillTimer(m_window, kShowTimer);
    KillTimer(m_window, kAutoPopTimer);
    Hide();
    if (m_hot)
        GoQuiet();
    return 0;
}

// Nothing is left to show or hide for the hot tool: the leave check stops with the rest, and the
// relayed moves (or the tool's removal) tell when the pointer has left it.
void ToolTip::GoQuiet()
{
    KillTimer(m_window, kLeaveTimer);
    m_phase = Phase::Quiet;
}

LRESULT ToolTip::OnActivate(bool active)
{
    m_active = active;
    if (!active) {
        Leave();
        m_tracked.reset();
    }
    return 0;
}

LRESULT ToolTip::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kShowTimer: {
        KillTimer(m_window, kShowTimer);
        Tool* tool = m_phase == Phase::Waiting ? Find(m_hot) : nullptr;
        if (!tool)
            return 0;
        HWND owner = GetWindow(m_window, GW_OWNER);
        bool ownerActive = !owner || GetAncestor(owner, GA_ROOT) == GetActiveWindow();
        if ((GetWindowLongW(m_window, GWL_STYLE) & TTS_ALWAYSTIP) || ownerActive) {
            if (Show(*tool)) {
                m_phase = Phase::Shown;
                SetTimer(m_window, kAutoPopTimer, std::max(1u, Delay(TTDT_AUTOPOP)), nullptr);
                return 0;
            }
        }
        GoQuiet(); // nothing to show for this tool until the pointer comes back
        return 0;
    }
    case kAutoPopTimer:
        OnPop();
        return 0;
    case kLeaveTimer:
        if (m_hot && !PointerOnHotTool())
            Leave();
        return 0;
    default:
        return 0;
    }
}

LRESULT ToolTip::OnMouseOverTip()
{
    // The pointer reached the tip itself: it makes way, as when the pointer moves on.
    if (!m_tracked)
        OnPop();
    return 0;
}

LRESULT ToolTip::OnTrackActivate(bool activate, const TTTOOLINFOW* info)
{
    Tool* tool = ToolInfoSizeIsValid(info) ? Find(info->hwnd, info->uId) : nullptr;
    if (!activate) {
        if (m_tracked && (!tool || m_tracked == Key { tool->hwnd, tool->id })) {
            Hide();
            m_tracked.reset();
        }
        return 0;
    }
    if (!tool || !m_active)
        return 0;
    Leave();
    m_tracked = Key { tool->hwnd, tool->id };
    if (!Show(*tool))
        m_tracked.reset();
    return 0;
}

LRESULT ToolTip::OnTrackPosition(POINT point)
{
    m_trackPoint = point;
    if (Tool* tool = Find(m_tracked); tool && m_shown) {
        RECT bounds;
        GetWindowRect(m_window, &bounds);
        POINT position = TipPosition(*tool, { bounds.right - bounds.left, bounds.bottom - bounds.top });
        SetWindowPos(m_window, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

HWND ToolTip::NotifyTarget(const Tool& tool) const { return tool.hwnd ? tool.hwnd : GetWindow(m_window, GW_OWNER); }

LRESULT ToolTip::Notify(const Tool& tool, UINT code, NMHDR* header) const
{
    NMHDR plain {};
    NMHDR& sent = header ? *header : plain;
    sent = { m_window, tool.id, code };
    return SendMessageW(NotifyTarget(tool), WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&sent));
}

// The tool's window may change the tools while it answers, so the tool is looked up again after.
std::wstring ToolTip::TextOf(const Tool& tool)
{
    switch (tool.textKind) {
    case TextKind::Text:
        return tool.text;
    case TextKind::Resource:
        return ResourceString(tool.instance, tool.stringId);
    case TextKind::Callback:
        break;
    }
    Key key { tool.hwnd, tool.id };
    NMTTDISPINFOW info {};
    info.lpszText = info.szText;
    info.uFlags = tool.flags;
    info.lParam = tool.lParam;
    Notify(tool, TTN_GETDISPINFOW, &info.hdr);
    std::wstring text;
    if (info.hinst && info.lpszText && IS_INTRESOURCE(info.lpszText))
        text = ResourceString(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)));
    else if (info.lpszText && info.lpszText != info.szText && info.lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(info.lpszText))
        text = info.lpszText;
    else
        text.assign(info.szText, std::find(info.szText, info.szText + std::size(info.szText), L'\0'));
    Tool* kept = (info.uFlags & TTF_DI_SETITEM) ? Find(key) : nullptr;
    if (kept) { // the window asks to be asked no more
        kept->textKind = TextKind::Text;
        kept->text = text;
    }
    return text;
}

HFONT ToolTip::Font()
{
    if (m_font)
        return m_font;
    if (!m_defaultFont) {
        NONCLIENTMETRICSW metrics { sizeof metrics };
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        m_defaultFont = CreateFontIndirectW(&metrics.lfStatusFont);
    }
    return m_defaultFont;
}

UINT ToolTip::TextFormat() const
{
    return DT_NOPREFIX | (m_maxWidth < 0 ? DT_SINGLELINE : DT_WORDBREAK);
}

SIZE ToolTip::TipSize(const std::wstring& text)
{
    HDC dc = GetDC(m_window);
    HGDIOBJ previous = SelectObject(dc, Font());
    int frame = 2 * (1 + kPaddingX);
    RECT bounds { 0, 0, m_maxWidth < 0 ? 0 : std::max(1, m_maxWidth - frame), 0 };
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, TextFormat() | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(m_window, dc);
    return { bounds.right - bounds.left + frame, bounds.bottom - bounds.top + 2 * (1 + kPaddingY) };
}

RECT ToolTip::ToolScreenRect(const Tool& tool) const
{
    RECT rect = tool.rect;
    if (tool.flags & TTF_IDISHWND) {
        GetWindowRect(reinterpret_cast<HWND>(tool.id), &rect);
        return rect;
    }
    MapWindowPoints(tool.hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT ToolTip::TipPosition(const Tool& tool, SIZE size) const
{
    if ((tool.flags & TTF_TRACK) && (tool.flags & TTF_ABSOLUTE))
        return m_trackPoint;
    POINT position;
    int above; // where the tip goes when there is no room below
    if (tool.flags & TTF_TRACK) {
        position = m_trackPoint;
        above = m_trackPoint.y - size.cy;
    } else if (tool.flags & TTF_CENTERTIP) {
        RECT rect = ToolScreenRect(tool);
        position = { (rect.left + rect.right - size.cx) / 2, rect.bottom };
        above = rect.top - size.cy;
    } else {
        POINT pointer;
        GetCursorPos(&pointer);
        position = { pointer.x, pointer.y + kBelowPointer };
        above = pointer.y - size.cy;
    }
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromPoint(position, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    if (position.y + size.cy > work.bottom)
        position.y = above;
    position.x = std::max<LONG>(work.left, std::min<LONG>(position.x, work.right - size.cx));
    position.y = std::max<LONG>(work.top, position.y);
    return position;
}

// Takes a copy: the notifications may change the tools.
bool ToolTip::Show(Tool tool)
{
    std::wstring text = TextOf(tool);
    if (!Find(tool.hwnd, tool.id))
        return false; // removed while its window gave the text
    if (!(GetWindowLongW(m_window, GWL_STYLE) & TTS_NOPREFIX))
        text = WithoutPrefixes(text);
    if (text.empty())
        return false;
    m_text = text;
    SIZE size = TipSize(m_text);
    SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_shown = Key { tool.hwnd, tool.id };
    // A window that answers TTN_SHOW with TRUE has placed the tip itself.
    if (!Notify(tool, TTN_SHOW)) {
        POINT position = TipPosition(tool, size);
        SetWindowPos(m_window, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(m_window, nullptr, TRUE);
    SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!m_tracked) // a tracking tip goes where its owner puts it
        m_moveWatch.Start(tool.PointerWindow());
    return true;
}

void ToolTip::Hide()
{
    if (!m_shown)
        return;
    Key shown = *m_shown;
    m_shown.reset();
    m_moveWatch.Stop();
    ShowWindow(m_window, SW_HIDE);
    if (const Tool* tool = Find(shown.hwnd, shown.id))
        Notify(*tool, TTN_POP);
}

LRESULT ToolTip::OnSetDelayTime(WPARAM which, int milliseconds)
{
    bool reset = milliseconds < 0;
    if (which == TTDT_AUTOMATIC) {
        for (WPARAM each : { TTDT_INITIAL, TTDT_AUTOPOP, TTDT_RESHOW })
            m_delays.erase(each);
        if (!reset) {
            m_delays[TTDT_INITIAL] = static_cast<UINT>(milliseconds);
            m_delays[TTDT_AUTOPOP] = static_cast<UINT>(milliseconds) * 10;
            m_delays[TTDT_RESHOW] = static_cast<UINT>(milliseconds) / 5;
        }
    } else if (which == TTDT_INITIAL || which == TTDT_AUTOPOP || which == TTDT_RESHOW) {
        if (reset)
            m_delays.erase(which);
        else
            m_delays[which] = static_cast<UINT>(milliseconds);
    }
    return 0;
}

// Without a delay of its own, each follows the double-click time as the system's tooltips do.
UINT ToolTip::Delay(WPARAM which) const
{
    if (auto set = m_delays.find(which); set != m_delays.end())
        return set->second;
    UINT base = GetDoubleClickTime();
    switch (which) {
    case TTDT_AUTOPOP: return base * 10;
    case TTDT_RESHOW: return base / 5;
    default: return base;
    }
}

LRESULT ToolTip::OnGetDelayTime(WPARAM which) const
{
    return which == TTDT_AUTOMATIC ? Delay(TTDT_INITIAL) : Delay(which);
}

LRESULT ToolTip::OnSetColor(Colour which, COLORREF color)
{
    (which == Colour::Background ? m_background : m_textColor) = color;
    InvalidateRect(m_window, nullptr, TRUE);
    return 0;
}

LRESULT ToolTip::OnGetColor(Colour which) const
{
    return which == Colour::Background ? m_background.value_or(GetSysColor(COLOR_INFOBK)) : m_textColor.value_or(GetSysColor(COLOR_INFOTEXT));
}

LRESULT ToolTip::OnSetFont(HFONT font, bool redraw)
{
    m_font = font;
    if (m_shown) {
        SIZE size = TipSize(m_text);
        SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (redraw)
        InvalidateRect(m_window, nullptr, TRUE);
    return 0;
}

LRESULT ToolTip::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    RECT client;
    GetClientRect(m_window, &client);
    FillSolidRect(dc, &client, static_cast<COLORREF>(OnGetColor(Colour::Background)));
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
    RECT text { client.left + 1 + kPaddingX, client.top + 1 + kPaddingY, client.right - 1 - kPaddingX, client.bottom - 1 - kPaddingY };
    HGDIOBJ previous = SelectObject(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(OnGetColor(Colour::Text)));
    DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &text, TextFormat());
    SelectObject(dc, previous);
    EndPaint(m_window, &paint);
    return 0;
}

LRESULT ToolTip::OnDestroy()
{
    Leave();
    m_tracked.reset();
    for (const Tool& tool : m_tools) {
        if (tool.flags & TTF_SUBCLASS)
            ToolWindowWatch::Instance().Detach(tool.PointerWindow(), m_window);
    }
    return 0;
}

ToolTip* StateOf(HWND window) { return reinterpret_cast<ToolTip*>(GetWindowLongPtrW(window, 0)); }

template<typename T>
T* Pointer(LPARAM lParam) { return reinterpret_cast<T*>(lParam); }

LRESULT Dispatch(ToolTip* tip, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TTM_ADDTOOLW: return tip->OnAddTool(Pointer<const TTTOOLINFOW>(lParam));
    case TTM_DELTOOLW: return tip->OnDelTool(Pointer<const TTTOOLINFOW>(lParam));
    case TTM_NEWTOOLRECTW: return tip->OnNewToolRect(Pointer<const TTTOOLINFOW>(lParam));
    case TTM_GETTOOLINFOW: return tip->OnGetToolInfo(Pointer<TTTOOLINFOW>(lParam));
    case TTM_SETTOOLINFOW: return tip->OnSetToolInfo(Pointer<const TTTOOLINFOW>(lParam));
    case TTM_UPDATETIPTEXTW: return tip->OnUpdateTipText(Pointer<const TTTOOLINFOW>(lParam));
    case TTM_GETTEXTW: return tip->OnGetText(static_cast<size_t>(wParam), Pointer<TTTOOLINFOW>(lParam));
    case TTM_HITTESTW: return tip->OnHitTest(Pointer<TTHITTESTINFOW>(lParam));
    case TTM_GETTOOLCOUNT: return tip->OnGetToolCount();
    case TTM_ACTIVATE: return tip->OnActivate(wParam != 0);
    case TTM_RELAYEVENT: return tip->OnRelayEvent(Pointer<const MSG>(lParam));
    case TTM_POP: return tip->OnPop();
    case TTM_TRACKACTIVATE: return tip->OnTrackActivate(wParam != 0, Pointer<const TTTOOLINFOW>(lParam));
    case TTM_TRACKPOSITION: return tip->OnTrackPosition({ GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
    case TTM_WINDOWFROMPOINT: return reinterpret_cast<LRESULT>(lParam ? WindowFromPoint(*Pointer<const POINT>(lParam)) : nullptr);
    case TTM_SETDELAYTIME: return tip->OnSetDelayTime(wParam, static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))));
    case TTM_GETDELAYTIME: return tip->OnGetDelayTime(wParam);
    case TTM_SETTIPBKCOLOR: return tip->OnSetColor(ToolTip::Colour::Background, static_cast<COLORREF>(wParam));
    case TTM_SETTIPTEXTCOLOR: return tip->OnSetColor(ToolTip::Colour::Text, static_cast<COLORREF>(wParam));
    case TTM_GETTIPBKCOLOR: return tip->OnGetColor(ToolTip::Colour::Background);
    case TTM_GETTIPTEXTCOLOR: return tip->OnGetColor(ToolTip::Colour::Text);
    case TTM_SETMAXTIPWIDTH: return tip->OnSetMaxTipWidth(static_cast<int>(lParam));
    case TTM_GETMAXTIPWIDTH: return tip->OnGetMaxTipWidth();
    case WM_SETFONT: return tip->OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT: return tip->OnGetFont();
    case WM_TIMER: return tip->OnTimer(wParam);
    case WM_MOUSEMOVE: return tip->OnMouseOverTip();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1; // WM_PAINT fills the whole tip
    case WM_PAINT: return tip->OnPaint();
    case WM_DESTROY: return tip->OnDestroy();
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that answers a notification may destroy the tooltip; its state then stays until the
// outermost handler on the stack has returned.
LRESULT ToolTipProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new ToolTip(window)));
        SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    }
    ToolTip* tip = StateOf(window);
    if (!tip)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        if (tip->Orphan())
            delete tip;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    tip->EnterHandler();
    LRESULT result = Dispatch(tip, window, message, wParam, lParam);
    if (tip->LeaveHandler())
        delete tip;
    return result;
}

} // namespace

ATOM RegisterToolTipClass()
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.style = CS_GLOBALCLASS | CS_SAVEBITS | CS_DBLCLKS;
    windowClass.lpfnWndProc = ToolTipProcedure;
    windowClass.cbWndExtra = sizeof(ToolTip*);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = TOOLTIPS_CLASSW;
    return RegisterClassExW(&windowClass);
}

} // namespace fln::comctl
