#pragma once
// Where top-level windows appear. The window layer owns the windows and their backing surfaces;
// a display shows those surfaces, reports the user's input as DisplayEvents in screen
// coordinates, and keeps the clock that timers run on. Two displays exist: a headless one for
// tests (virtual screen, injected input, a clock the test advances) and an X11 one for users.

#include "platform/base/Geometry.h"
#include "platform/gdi/FontRendering.h"

#include <cairo.h>

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The display's name for a top-level window; 0 is no window.
using NativeWindowId = std::uintptr_t;

struct MonitorArea {
    RECT bounds;
    RECT workArea;
    bool primary = false;
};

enum class DisplayEventKind {
    KeyDown,       // key: virtual-key code; text: the characters the key typed (may be empty)
    KeyUp,
    ButtonDown,    // button: 1 left, 2 middle, 3 right
    ButtonUp,
    MouseMove,
    Wheel,         // wheelDelta: multiples of 120, positive away from the user
    Exposed,       // area: window coordinates to copy again from the backing surface
    Configure,     // area: the window's new screen rectangle, moved or sized by the window manager
    FocusGained,
    FocusLost,
    CloseRequest,  // the window manager asks the window to close
    StateChanged,  // state: the window manager minimised the window or brought it back
    // An input method began composing text for the window (dead keys, a CJK conversion). The text
    // it commits comes as KeyDown events with key 0, before CompositionEnded.
    CompositionStarted,
    CompositionEnded,
    // Another program drags text over a window that takes drops (AcceptDrops). Each DragOver
    // wants an AnswerDragOver; each Drop, whose dropped text is on its way, wants a FinishDrop.
    DragOver,      // screenPoint, action: what the other program proposes
    DragLeave,
    Drop,          // screenPoint, action, dropped
};

// How a top-level window stands on the desktop. Where a window manager runs, it minimises and
// brings back windows (from a task list, say), and keeps the state that window lists show.
enum class NativeWindowState { Normal, Minimized, Maximized };

// What a drop does with the data: nothing (refused), a copy, or a move (the source deletes it).
enum class DropAction { NoAction, Copy, Move };

// The two selections through which programs share text: the clipboard, and X11's PRIMARY (the
// text last selected, pasted with a middle click).
enum class SelectionKind { Clipboard, Primary };

// Another program's text on its way to this one (a selection read, a drop). Its owner answers in
// its own time, and the display takes the answer in as it takes its events (NextEvent); the
// caller decides how long to wait, and lets go of the read to give up.
class SelectionRead {
public:
    virtual ~SelectionRead() = default;
    virtual bool Finished() const = 0;
    // Once finished, the text; nothing when nobody offered any: no owner, no text form, a refusal
    // or a text too large to take whole.
    virtual std::optional<std::string> Text() const = 0;
};

// A read answered at once: a selection this program or nobody holds.
class AnsweredSelectionRead final : public SelectionRead {
public:
    explicit AnsweredSelectionRead(std::optional<std::string> text)
        : m_text(std::move(text))
    {
    }
    bool Finished() const override { return true; }
    std::optional<std::string> Text() const override { return m_text; }

private:
    std::optional<std::string> m_text;
};

// How long the program waits for another program's text in all, on the display's clock: a few
// seconds, however slowly the owner trickles it; then it gives up, with nothing taken.
constexpr std::uint32_t kSelectionWaitLimitMs = 3000;
// That wait as this run has it: FORMULON_SELECTION_WAIT_MS, or a test through the setter, lengthens
// it where another client's answer must not be given up because a loaded machine slowed it down.
std::uint32_t SelectionWaitLimitMs();
void SetSelectionWaitLimitMs(std::uint32_t limit);

// What the display knows to be held down when an event happened, as virtual keys (VK_SHIFT,
// VK_CONTROL and VK_MENU for either side's key, VK_LBUTTON... for the buttons). Presses and
// releases made while another program had the focus (the window manager's Alt+Tab) never reach
// the program; this lets it bring its key state in line.
struct HeldInput {
    std::bitset<256> keys;
    // Whether keys covers every key; otherwise only the three modifiers and the buttons are known.
    bool everyKey = false;
};

struct DisplayEvent {
    DisplayEventKind kind;
    NativeWindowId window = 0;   // the window the event belongs to; 0 for none
    POINT screenPoint {};        // pointer position in screen coordinates (mouse events)
    unsigned key = 0;
    bool repeat = false;
    std::wstring text;
    int button = 0;
    int wheelDelta = 0;
    RECT area {};
    std::uint32_t timestamp = 0; // milliseconds on the display's clock
    DropAction action = DropAction::NoAction;
    std::shared_ptr<SelectionRead> dropped; // Drop: the dropped text
    NativeWindowState state = NativeWindowState::Normal;
    // Input events: the modifiers and buttons held before the event; FocusGained: every key.
    std::optional<HeldInput> held;
};

// A window icon for the desktop (task bars, window lists): straight, not premultiplied, ARGB.
struct NativeIcon {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // width * height pixels, rows top to bottom
};

struct NativeWindowParams {
    RECT bounds;        // screen rectangle
    bool popup = false; // menus, tooltips, balloons: no window-manager decoration or placement
    bool topmost = false;
    NativeWindowId owner = 0; // the window a dialog or floating bar belongs to, kept above it
    SIZE minimumSize {};      // a sizable window's smallest size, which the window manager keeps too
    std::wstring title;
};

// The font an input method shows the text being composed in, in pixels.
struct CompositionFont {
    std::wstring face;
    int height = 0; // a line of the font, ascent and descent
    int ascent = 0;
    bool operator==(const CompositionFont&) const = default;
};

class Display {
public:
    virtual ~Display() = default;

    virtual const char* Name() const = 0;

    // Monitors, the first one the primary. The virtual screen is their union.
    virtual std::vector<MonitorArea> Monitors() const = 0;

    // How the user wants text drawn on this screen, and its dpi; the classic defaults unless the
    // display knows better.
    virtual fln::gdi::FontRendering TextRendering() const { return {}; }

    // Milliseconds since an arbitrary start; the clock GetTickCount and every timer use.
    virtual std::uint32_t Now() const = 0;

    virtual NativeWindowId CreateNativeWindow(const NativeWindowParams& params) = 0;
    virtual void DestroyNativeWindow(NativeWindowId window) = 0;
    virtual void ShowNativeWindow(NativeWindowId window, bool show, bool activate) = 0;
    virtual void MoveNativeWindow(NativeWindowId window, const RECT& bounds) = 0;
    virtual void SetNativeTitle(NativeWindowId window, const std::wstring& title) = 0;
    // The window's icons, in the sizes it has; empty removes them.
    virtual void SetNativeIcons(NativeWindowId window, const std::vector<NativeIcon>& icons) = 0;
    // The window's shape as rectangles in window coordinates; empty means the whole rectangle.
    virtual void SetNativeShape(NativeWindowId window, const std::vector<RECT>& rectangles) = 0;
    // Whether a main window of another run of this program stands exactly at bounds (screen
    // coordinates); a display without other programs knows none.
    virtual bool OtherRunsWindowAt(const RECT&) const { return false; }
    // Minimising takes the window off the screen until the user brings it back, which comes as a
    // StateChanged event; the other states only tell the desktop what the program has done.
    virtual void SetNativeState(NativeWindowId window, NativeWindowState state) = 0;
    virtual void RaiseNativeWindow(NativeWindowId window) = 0;
    virtual void FocusNativeWindow(NativeWindowId window) = 0;
    // A backing surface for a top-level window: RGB24, width x height pixels, which Present can
    // show. The caller owns it (cairo_surface_destroy), and it may outlive the display. This one
    // is a plain image surface; a display may place the pixels where its screen reads them best.
    virtual cairo_surface_t* CreateWindowSurface(int width, int height);
    // Copies area (window coordinates) of the window's backing surface to the screen.
    virtual void Present(NativeWindowId window, cairo_surface_t* surface, const RECT& area) = 0;
    // Copies what the screen shows in area (screen pixels) into target, an RGB24 surface of the
    // area's size; parts off the screen are black. False when the screen cannot be read.
    virtual bool CaptureScreen(const RECT& area, cairo_surface_t* target) = 0;

    virtual POINT CursorPosition() const = 0;
    virtual void SetCursorPosition(POINT point) = 0;
    // Standard cursor ids (IDC_ARROW...); the display shows the nearest it has.
    virtual void SetCursorShape(NativeWindowId window, std::uintptr_t cursorId) = 0;

    // Takes the next pending event without waiting.
    virtual std::optional<DisplayEvent> NextEvent() = 0;
    // Waits until an event is pending, wakeFd is readable or timeoutMs passed on the real clock
    // (-1: no limit). The headless display never waits for input it cannot receive.
    virtual void Wait(int wakeFd, int timeoutMs) = 0;

    // The system clipboard as UTF-8 text; the program's own formats stay inside the program.
    // Another program's offer reads as nothing when it is no text, takes longer than
    // kSelectionWaitLimitMs or is too large to take whole. These getters wait for it without
    // taking the user's input; the program's pastes read through ReadSelection.
    virtual void SetClipboardText(const std::string& utf8) = 0;
    virtual std::optional<std::string> ClipboardText() = 0;
    // The PRIMARY selection, likewise.
    virtual void SetPrimarySelectionText(const std::string& utf8) = 0;
    virtual std::optional<std::string> PrimarySelectionText() = 0;
    // Begins reading a selection. One that this program or nobody holds is answered at once;
    // another program's text comes in its own time.
    virtual std::shared_ptr<SelectionRead> ReadSelection(SelectionKind which)
    {
        return std::make_shared<AnsweredSelectionRead>(which == SelectionKind::Clipboard ? ClipboardText() : PrimarySelectionText());
    }
    // Whether another program holds the selection now (asking it nothing).
    virtual bool HeldByAnotherProgram(SelectionKind) { return false; }

    // Where an input method shows the text being composed for the window: the top-left corner of
    // its first character in window coordinates, and the font; a display without input methods
    // keeps neither.
    virtual void SetCompositionSpot(NativeWindowId, POINT) { }
    virtual void SetCompositionFont(NativeWindowId, const CompositionFont&) { }

    // Drag and drop of text with other programs; a display without other programs (headless)
    // keeps the defaults: no window takes their drops and no drag leaves the program.
    // Whether other programs may drop on the top-level window.
    virtual void AcceptDrops(NativeWindowId, bool) {}
    // The answer to a DragOver event: what a drop there would do.
    virtual void AnswerDragOver(NativeWindowId, DropAction) {}
    // The answer to a Drop event: what the drop did.
    virtual void FinishDrop(NativeWindowId, DropAction) {}
    // A drag of this program's starts, carrying the text.
    virtual void BeginDrag(const std::string&) {}
    // The pointer of the drag is at screenPoint and the user asks for wanted: true when it lies
    // over another program's window that takes drops, which then hears of the drag; accepted
    // is what that program last answered it would do.
    virtual bool DragTo(POINT, DropAction, DropAction& accepted)
    {
        accepted = DropAction::NoAction;
        return false;
    }
    // Ends the drag: drops on the other program's window under the pointer, or (drop false)
    // leaves it. Answers what the other program did; None when it refused, was left, or did
    // not answer in time.
    virtual DropAction EndDrag(bool) { return DropAction::NoAction; }
};

// The display chosen by FORMULON_DISPLAY (headless or x11; x11 by default when DISPLAY is set),
// made on first use. Falls back to headless when X11 cannot be opened. The display that becomes
// current hands its text rendering down to the drawing layer.
Display& CurrentDisplay();
// Replaces the current display (tests); returns the previous one.
std::unique_ptr<Display> SetCurrentDisplay(std::unique_ptr<Display> display);
std::unique_ptr<Display> CreateX11Display(); // null when no X server can be reached
// Why no X server can be reached at $DISPLAY, in words for the user: the variable is not set or
// names no display, no server answers there, or the server refused this program.
std::string X11UnavailableReason();

// Called when the connection to the X server is lost (the server ended or crashed, the session
// was closed): the program's last chance to save what it must before the process ends with
// status 1. It must not draw or touch windows' screen state: there is no screen any more.
void SetDisplayLostHandler(void (*handler)());
