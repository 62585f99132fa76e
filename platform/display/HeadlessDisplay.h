#pragma once
// A display without a screen, for tests: a virtual screen of monitors the test may change, a
// clock that moves only when the test advances it, input injected as the events a real display
// would deliver, and a screen image that every presented window is copied into.

#include "platform/display/Display.h"

#include <deque>
#include <map>

class HeadlessDisplay final : public Display {
public:
    HeadlessDisplay();
    ~HeadlessDisplay() override;

    const char* Name() const override { return "headless"; }
    std::vector<MonitorArea> Monitors() const override { return m_monitors; }
    std::uint32_t Now() const override { return m_now; }

    NativeWindowId CreateNativeWindow(const NativeWindowParams& params) override;
    void DestroyNativeWindow(NativeWindowId window) override;
    void ShowNativeWindow(NativeWindowId window, bool show, bool activate) override;
    void MoveNativeWindow(NativeWindowId window, const RECT& bounds) override;
    void SetNativeTitle(NativeWindowId window, const std::wstring& title) override;
    void SetNativeIcons(NativeWindowId window, const std::vector<NativeIcon>& icons) override;
    void SetNativeShape(NativeWindowId window, const std::vector<RECT>& rectangles) override;
    void SetNativeState(NativeWindowId window, NativeWindowState state) override;
    void RaiseNativeWindow(NativeWindowId window) override;
    void FocusNativeWindow(NativeWindowId window) override;
    void Present(NativeWindowId window, cairo_surface_t* surface, const RECT& area) override;
    bool CaptureScreen(const RECT& area, cairo_surface_t* target) override;

    POINT CursorPosition() const override { return m_cursor; }
    void SetCursorPosition(POINT point) override { m_cursor = point; }
    void SetCursorShape(NativeWindowId window, std::uintptr_t cursorId) override { m_cursorShape = cursorId; }

    std::optional<DisplayEvent> NextEvent() override;
    // Never sleeps for a time-out: the virtual clock jumps forward by it instead, so a waiting
    // message loop reaches its next timer at once. Without a time-out it waits for wakeFd.
    void Wait(int wakeFd, int timeoutMs) override;

    // Setting a selection's text (the program, or a test standing for another program whose
    // text comes at once) ends any other program's hold on it.
    void SetClipboardText(const std::string& utf8) override { SetSelection(SelectionKind::Clipboard, utf8); }
    std::optional<std::string> ClipboardText() override { return TextAtOnce(SelectionKind::Clipboard); }
    void SetPrimarySelectionText(const std::string& utf8) override { SetSelection(SelectionKind::Primary, utf8); }
    std::optional<std::string> PrimarySelectionText() override { return TextAtOnce(SelectionKind::Primary); }
    std::shared_ptr<SelectionRead> ReadSelection(SelectionKind which) override;
    bool HeldByAnotherProgram(SelectionKind which) override { return m_selections[Index(which)].anotherProgram; }
    void SetCompositionSpot(NativeWindowId window, POINT spot) override;
    void SetCompositionFont(NativeWindowId window, const CompositionFont& font) override;

    // Test controls.
    void SetMonitors(std::vector<MonitorArea> monitors) { m_monitors = std::move(monitors); }
    void Advance(std::uint32_t milliseconds) { m_now += milliseconds; }
    // Another program takes the selection: a read gets its text (none: it offers no text)
    // answerAfterMs later on the virtual clock, or never (nothing: it stalls).
    void GiveSelectionToAnotherProgram(SelectionKind which, std::optional<std::string> text, std::optional<std::uint32_t> answerAfterMs);
    // The selection's holder went away: nobody holds it.
    void LetSelectionGo(SelectionKind which) { m_selections[Index(which)] = {}; }
    // Mouse input at a screen point; the event goes to the topmost shown window under the point
    // (or to the window holding the pointer grab of a pressed button).
    void InjectMouseMove(POINT screenPoint);
    void InjectButton(int button, bool down, POINT screenPoint);
    void InjectWheel(int delta, POINT screenPoint);
    // A key to the focused window; text is what the key types (empty for keys that type nothing);
    // held, what the key's event reports as held before it.
    void InjectKey(unsigned virtualKey, bool down, std::wstring text = {}, std::optional<HeldInput> held = std::nullopt);
    void InjectCloseRequest(NativeWindowId window);
    // The focus moved to another window, as when the user picks one in a window manager; held,
    // what the focus event reports as held.
    void InjectFocusChange(NativeWindowId window, std::optional<HeldInput> held = std::nullopt);
    // An input method composing in the focused window: it starts, commits text (one key typing
    // all of it) and ends.
    void InjectCompositionStart();
    void InjectCompositionCommit(std::wstring text);
    void InjectCompositionEnd();

    std::uintptr_t CursorShape() const { return m_cursorShape; }
    // How many copies of window pixels reached the screen.
    int PresentCount() const { return m_presents; }
    NativeWindowId FocusedWindow() const { return m_focus; }
    bool IsShown(NativeWindowId window) const;
    std::vector<NativeIcon> Icons(NativeWindowId window) const;
    // Where and in which font the program last asked compositions in the window to show.
    std::optional<POINT> CompositionSpot(NativeWindowId window) const;
    std::optional<CompositionFont> CompositionFontOf(NativeWindowId window) const;
    // The screen image holding every presented window (RGB24, virtual screen size).
    cairo_surface_t* Screen() const { return m_screen; }
    bool WriteScreenPng(const std::string& path) const;

private:
    struct NativeWindow {
        RECT bounds;
        bool shown = false;
        std::vector<RECT> shape;
        std::wstring title;
        std::vector<NativeIcon> icons;
        std::optional<POINT> compositionSpot;
        std::optional<CompositionFont> compositionFont;
    };
    NativeWindowId WindowAt(POINT screenPoint) const;
    bool ShapeContains(const NativeWindow& window, POINT screenPoint) const;
    // The screen pixels the window covers when shown: its bounds, or its shape within them.
    static cairo_region_t* ScreenShape(const NativeWindow& window);
    void Push(DisplayEvent event);
    struct Selection {
        std::optional<std::string> text;
        bool anotherProgram = false;
        std::optional<std::uint32_t> answerAfterMs = 0; // nothing: another program that never answers
    };
    static std::size_t Index(SelectionKind which) { return which == SelectionKind::Clipboard ? 0 : 1; }
    void SetSelection(SelectionKind which, const std::string& utf8) { m_selections[Index(which)] = { utf8, false, 0 }; }
    // The getters do not wait: another program's text that is not due at once reads as nothing.
    std::optional<std::string> TextAtOnce(SelectionKind which) const
    {
        const Selection& selection = m_selections[Index(which)];
        return selection.answerAfterMs == 0u ? selection.text : std::nullopt;
    }

    std::vector<MonitorArea> m_monitors;
    std::uint32_t m_now = 1000;
    std::map<NativeWindowId, NativeWindow> m_windows;
    std::vector<NativeWindowId> m_stacking; // bottom to top
    NativeWindowId m_nextId = 1;
    NativeWindowId m_focus = 0;
    NativeWindowId m_grab = 0;
    int m_buttonsDown = 0;
    POINT m_cursor {};
    std::uintptr_t m_cursorShape = 0;
    int m_presents = 0;
    std::deque<DisplayEvent> m_events;
    Selection m_selections[2];
    cairo_surface_t* m_screen = nullptr;
};
