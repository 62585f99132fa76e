// Drag and drop of data: the registered drop targets, the modal loop of a drag, and the drags
// of other programs that the display reports.

#include "platform/base/CString.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"

#include <cstring>
#include <utility>

namespace fln::user {
namespace {

std::map<HWND, DropTarget*>& Targets()
{
    static std::map<HWND, DropTarget*> targets;
    return targets;
}

// Other programs may drop on a top-level window while a window in it takes drops.
void UpdateAcceptance(HWND topLevel)
{
    Window* window = FindWindowObject(topLevel);
    if (!window || !window->native)
        return;
    bool accepts = false;
    for (const auto& [handle, target] : Targets())
        accepts = accepts || (IsWindow(handle) && GetAncestor(handle, GA_ROOT) == topLevel);
    CurrentDisplay().AcceptDrops(window->native, accepts);
}

// The window under a screen point that takes drops, and its target.
std::pair<HWND, DropTarget*> TargetAt(POINT screen)
{
    for (HWND window = WindowFromPoint(screen); window; window = GetParent(window)) {
        auto it = Targets().find(window);
        if (it != Targets().end())
            return *it;
    }
    return {};
}

DWORD ModifierKeyState()
{
    return (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0) | (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0);
}

DropAction ActionOf(DWORD effect)
{
    return (effect & DROPEFFECT_MOVE) ? DropAction::Move : (effect & DROPEFFECT_COPY) ? DropAction::Copy : DropAction::NoAction;
}

DWORD EffectOf(DropAction action)
{
    return action == DropAction::Move ? DROPEFFECT_MOVE : action == DropAction::Copy ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

// The target the pointer is over, told of each step as a drag goes on.
class TargetTracker {
public:
    void Leave()
    {
        if (auto* target = std::exchange(m_target, nullptr))
            target->DragLeave();
        m_window = nullptr;
    }

    // Over the target at screen (none: leaves the one before); answers its effect.
    DWORD Over(const DragData& data, DWORD keyState, POINT screen, DWORD okEffects)
    {
        auto [window, target] = TargetAt(screen);
        DWORD effect = okEffects;
        if (window != m_window || target != m_target) {
            Leave();
            if (!target)
                return DROPEFFECT_NONE;
            m_window = window;
            m_target = target;
            target->DragEnter(data, keyState, screen, effect);
        } else if (target) {
            target->DragOver(keyState, screen, effect);
        } else {
            return DROPEFFECT_NONE;
        }
        return effect & okEffects;
    }

    // Drops on the target the pointer is over (after Over); answers what the drop did.
    DWORD Drop(const DragData& data, DWORD keyState, POINT screen, DWORD effect)
    {
        auto* target = std::exchange(m_target, nullptr);
        m_window = nullptr;
        if (!target)
            return DROPEFFECT_NONE;
        if (effect == DROPEFFECT_NONE) {
            target->DragLeave();
            return DROPEFFECT_NONE;
        }
        target->Drop(data, keyState, screen, effect);
        return effect;
    }

private:
    HWND m_window = nullptr;
    DropTarget* m_target = nullptr;
};

// A drag of this program's, from its start to the drop or the cancel.
class DragLoop {
public:
    DragLoop(const DragData& data, DWORD okEffects) : m_data(data), m_okEffects(okEffects & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)) {}

    HRESULT Run(DWORD& effect)
    {
        // The drag starts where the press that started it was.
        const DWORD pos = GetMessagePos();
        const POINT start { static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)) };
        HWND owner = GetCapture() ? GetCapture() : WindowFromPoint(start);
        if (!owner)
            return DRAGDROP_S_CANCEL;
        SetCapture(owner);
        const std::wstring text = m_data.Text();
        m_offersText = !text.empty();
        if (m_offersText)
            CurrentDisplay().BeginDrag(WideToUtf8(text));
        Follow(start);
        RunModalLoop(owner, MSGF_MOVE, [this] { return m_ended; }, [this](MSG& message) { return Take(message); });
        if (GetCapture() == owner)
            ReleaseCapture();
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        effect = m_result;
        return m_dropped ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    }

private:
    DWORD Wanted() const
    {
        // Ctrl asks for a copy; a move is the rule where the source allows it.
        if ((m_keyState & MK_CONTROL) && (m_okEffects & DROPEFFECT_COPY))
            return DROPEFFECT_COPY;
        return (m_okEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : m_okEffects & DROPEFFECT_COPY;
    }

    void Follow(POINT screen)
    {
        m_point = screen;
        m_keyState = MK_LBUTTON | ModifierKeyState();
        DropAction accepted = DropAction::NoAction;
        m_overOtherProgram = m_offersText && CurrentDisplay().DragTo(screen, ActionOf(Wanted()), accepted);
        if (m_overOtherProgram) {
            m_targets.Leave();
            m_effect = EffectOf(accepted) & m_okEffects;
        } else {
            m_effect = m_targets.Over(m_data, m_keyState, screen, m_okEffects);
        }
        SetCursor(LoadCursorW(nullptr, m_effect ? IDC_ARROW : IDC_NO));
    }

    void End(bool drop)
    {
        m_ended = true;
        if (drop && m_overOtherProgram) {
            m_result = EffectOf(CurrentDisplay().EndDrag(true)) & m_okEffects;
            m_dropped = m_result != DROPEFFECT_NONE;
            return;
        }
        if (m_offersText)
            CurrentDisplay().EndDrag(false);
        if (drop) {
            m_result = m_targets.Drop(m_data, m_keyState & ~MK_LBUTTON, m_point, m_effect);
            m_dropped = m_result != DROPEFFECT_NONE;
        } else {
            m_targets.Leave();
        }
    }

    bool Take(MSG& message)
    {
        switch (message.message) {
        case WM_MOUSEMOVE:
            Follow(message.pt);
            return true;
        case WM_LBUTTONUP:
            Follow(message.pt);
            End(true);
            return true;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                End(false);
            else if (message.wParam == VK_CONTROL || message.wParam == VK_SHIFT)
                Follow(m_point);
            return true;
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return true;
        default:
            // The other buttons and the wheel do nothing while the drag goes on.
            return message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST;
        }
    }

    const DragData& m_data;
    const DWORD m_okEffects;
    TargetTracker m_targets;
    bool m_offersText = false;
    bool m_overOtherProgram = false;
    bool m_ended = false;
    bool m_dropped = false;
    POINT m_point {};
    DWORD m_keyState = 0;
    DWORD m_effect = DROPEFFECT_NONE;
    DWORD m_result = DROPEFFECT_NONE;
};

bool g_dragging = false;

// Another program's drag over our windows.
TargetTracker& ForeignDrag()
{
    static TargetTracker tracker;
    return tracker;
}

} // namespace

void HandleForeignDrag(const DisplayEvent& event)
{
    Display& display = CurrentDisplay();
    // The other program's action stands for the keys: a copy is what Ctrl asks for here.
    const DWORD keyState = event.action == DropAction::Copy ? MK_CONTROL : 0;
    const DWORD offered = EffectOf(event.action);
    // Until the drop, text is only promised: targets keep the data they entered with.
    static const DragData promised = [] {
        DragData data;
        data.Set(CF_UNICODETEXT, {});
        return data;
    }();
    switch (event.kind) {
    case DisplayEventKind::DragOver: {
        const DWORD effect = ForeignDrag().Over(promised, keyState | MK_LBUTTON, event.screenPoint, offered);
        display.AnswerDragOver(event.window, ActionOf(effect));
        break;
    }
    case DisplayEventKind::DragLeave:
        ForeignDrag().Leave();
        break;
    case DisplayEventKind::Drop: {
        // The text comes as a paste's does, within the same wait.
        std::optional<std::string> dropped = event.dropped ? AwaitSelection(*event.dropped) : std::nullopt;
        const std::wstring text = dropped ? NarrowToWide(*dropped) : std::wstring();
        DragData data;
        data.SetText(text);
        DWORD effect = DROPEFFECT_NONE;
        if (text.empty()) {
            ForeignDrag().Leave();
        } else {
            effect = ForeignDrag().Over(data, keyState | MK_LBUTTON, event.screenPoint, offered);
            effect = ForeignDrag().Drop(data, keyState, event.screenPoint, effect);
        }
        display.FinishDrop(event.window, ActionOf(effect));
        break;
    }
    default:
        break;
    }
}

void ForgetDropTarget(HWND window)
{
    if (Targets().erase(window))
        ForeignDrag().Leave();
}

} // namespace fln::user

using namespace fln::user;

void DragData::SetText(const std::wstring& text)
{
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    m_formats[CF_UNICODETEXT] = std::move(bytes);
}

const std::vector<BYTE>* DragData::Get(UINT format) const
{
    auto it = m_formats.find(format);
    return it == m_formats.end() ? nullptr : &it->second;
}

std::wstring DragData::Text() const
{
    const std::vector<BYTE>* bytes = Get(CF_UNICODETEXT);
    if (!bytes)
        return {};
    std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

HRESULT RegisterDragDrop(HWND window, DropTarget* target)
{
    if (!IsWindow(window) || !target)
        return E_INVALIDARG;
    Targets()[window] = target;
    UpdateAcceptance(GetAncestor(window, GA_ROOT));
    return S_OK;
}

HRESULT RevokeDragDrop(HWND window)
{
    if (!Targets().contains(window))
        return E_INVALIDARG;
    ForgetDropTarget(window);
    UpdateAcceptance(GetAncestor(window, GA_ROOT));
    return S_OK;
}

HRESULT DoDragDrop(const DragData& data, DWORD okEffects, DWORD* effect)
{
    if (effect)
        *effect = DROPEFFECT_NONE;
    // One drag at a time: a target that starts another while the first runs gets a cancel.
    if (g_dragging)
        return DRAGDROP_S_CANCEL;
    g_dragging = true;
    DWORD result = DROPEFFECT_NONE;
    const HRESULT answer = DragLoop(data, okEffects).Run(result);
    g_dragging = false;
    if (effect)
        *effect = result;
    return answer;
}
