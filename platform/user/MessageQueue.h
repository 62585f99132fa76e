#pragma once
// The user-interface thread's message queue (internal to platform/user). Posted messages may come
// from any thread and wake the loop through an eventfd; input comes from the display, translated
// into messages when the queue is read; WM_PAINT and WM_TIMER are made when nothing else waits.

#include "platform/display/Display.h"
#include "platform/user/WinUser.h"

#include <deque>
#include <functional>
#include <optional>

namespace fln::user {

// Appends a translated input message (mouse or keyboard) to the input queue.
void QueueInputMessage(const MSG& message);
// Translates pending display events until one has made an input message (Input.cpp). One at a
// time, so that each is translated with the capture and focus that the ones before it left.
void TranslateDisplayEvents();
bool InputPending();
// Keeps a display event for TranslateDisplayEvents to take before the display's next ones.
void DeferDisplayEvent(DisplayEvent event);
bool DisplayEventsDeferred();
// Waits for another program's text (a paste, a drop) kSelectionWaitLimitMs at most on the
// display's clock: windows are painted meanwhile, Esc gives up, and other input waits until the
// end (SelectionWait.cpp). Nothing when no text came.
std::optional<std::string> AwaitSelection(const SelectionRead& read);
// Runs the hooks of a type, most recent first; returns what the first one returned (0: none).
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int type);
// The window that will get WM_PAINT next, or null (Painting.cpp).
HWND NextWindowToPaint(HWND filter);
// Runs a modal loop until done() holds: messages are dispatched through the message-filter hook,
// and the test hook of SetModalLoopHook runs whenever the queue is empty.
void RunModalLoop(HWND modalWindow, int filterCode, const std::function<bool()>& done,
    const std::function<bool(MSG&)>& preTranslate = {});
// The character typed with a key message queued by the display (empty when none is known).
std::wstring TakeTypedText(const MSG& keyMessage);
LPARAM RememberTypedText(LPARAM keyData, std::wstring text);
// WM_MOUSEHOVER when the pointer has rested long enough over a window that asked for it
// (TrackMouseEvent with TME_HOVER), and the milliseconds until then (-1: none asked).
std::optional<MSG> DueHover(bool remove);
int MillisecondsToHover();
// Drops the timers and queued messages of a window that is going away.
void ForgetTimersOf(HWND window);
// Shared atom space of registered window messages and clipboard formats (0xC000 to 0xFFFF).
UINT RegisteredAtom(LPCWSTR name);
// Another program's drag over, off or dropped on one of ours (DragDrop.cpp).
void HandleForeignDrag(const DisplayEvent& event);
// Drops the drop target of a window that is going away.
void ForgetDropTarget(HWND window);
// A top-level window under a screen point, topmost first (Positions.cpp).
HWND TopLevelWindowAt(POINT screenPoint);

} // namespace fln::user
