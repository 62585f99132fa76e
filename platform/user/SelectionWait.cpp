// Waiting for another program's text: the clipboard or PRIMARY pasted, a drop. Its owner may be
// slow, stall or trickle the text for ever, so the wait has one bound for the whole read, and
// the user can end it sooner with Esc. Windows keep being drawn meanwhile; the rest of the
// user's input waits for the end, so that nothing is typed or clicked into the half-done paste.

#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"

namespace fln::user {
namespace {

// Takes what the display reports meanwhile: what windows uncovered shows again at once, and
// every other event is kept for after the wait. True when the user pressed Esc.
bool TakeEventsWhileWaiting()
{
    Display& display = CurrentDisplay();
    while (auto event = display.NextEvent()) {
        if (event->kind == DisplayEventKind::KeyDown && event->key == VK_ESCAPE)
            return true;
        if (event->kind == DisplayEventKind::Exposed) {
            if (Window* window = WindowTree::Instance().FromNative(event->window))
                PresentWindow(*window, event->area);
            continue;
        }
        DeferDisplayEvent(std::move(*event));
    }
    return false;
}

void PaintWhileWaiting()
{
    for (HWND topLevel : WindowTree::Instance().TopLevels())
        UpdateWindow(topLevel);
    FlushPresents();
}

} // namespace

std::optional<std::string> AwaitSelection(const SelectionRead& read)
{
    Display& display = CurrentDisplay();
    const std::uint32_t start = display.Now();
    for (;;) {
        if (read.Finished())
            return read.Text();
        const std::uint32_t waited = display.Now() - start;
        if (waited >= SelectionWaitLimitMs())
            return std::nullopt;
        // Only the display's events matter here: posted messages and timers wait for the end.
        display.Wait(-1, static_cast<int>(SelectionWaitLimitMs() - waited));
        if (TakeEventsWhileWaiting())
            return std::nullopt;
        PaintWhileWaiting();
    }
}

} // namespace fln::user
