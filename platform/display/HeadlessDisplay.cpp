#include "platform/display/HeadlessDisplay.h"

#include <algorithm>
#include <poll.h>

namespace {
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kTaskbarHeight = 30;
}

HeadlessDisplay::HeadlessDisplay()
{
    m_monitors.push_back({ { 0, 0, kScreenWidth, kScreenHeight }, { 0, 0, kScreenWidth, kScreenHeight - kTaskbarHeight }, true });
    m_screen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kScreenWidth, kScreenHeight);
}

HeadlessDisplay::~HeadlessDisplay()
{
    cairo_surface_destroy(m_screen);
}

NativeWindowId HeadlessDisplay::CreateNativeWindow(const NativeWindowParams& params)
{
    NativeWindowId id = m_nextId++;
    m_windows[id] = NativeWindow { params.bounds, false, {}, params.title };
    m_stacking.push_back(id);
    return id;
}

void HeadlessDisplay::DestroyNativeWindow(NativeWindowId window)
{
    m_windows.erase(window);
    std::erase(m_stacking, window);
    if (m_focus == window)
        m_focus = 0;
    if (m_grab == window)
        m_grab = 0;
    std::erase_if(m_events, [window](const DisplayEvent& event) { return event.window == window; });
}

void HeadlessDisplay::ShowNativeWindow(NativeWindowId window, bool show, bool activate)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return;
    it->second.shown = show;
    if (show && activate)
        FocusNativeWindow(window);
    if (!show && m_focus == window)
        m_focus = 0;
}

void HeadlessDisplay::SetNativeState(NativeWindowId window, NativeWindowState state)
{
    if (state == NativeWindowState::Minimized)
        ShowNativeWindow(window, false, false);
}

void HeadlessDisplay::MoveNativeWindow(NativeWindowId window, const RECT& bounds)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.bounds = bounds;
}

void HeadlessDisplay::SetNativeTitle(NativeWindowId window, const std::wstring& title)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.title = title;
}

void HeadlessDisplay::SetNativeIcons(NativeWindowId window, const std::vector<NativeIcon>& icons)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.icons = icons;
}

void HeadlessDisplay::SetNativeShape(NativeWindowId window, const std::vector<RECT>& rectangles)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.shape = rectangles;
}

void HeadlessDisplay::RaiseNativeWindow(NativeWindowId window)
{
    if (!m_windows.contains(window))
        return;
    std::erase(m_stacking, window);
    m_stacking.push_back(window);
}

void HeadlessDisplay::FocusNativeWindow(NativeWindowId window)
{
    // The program asked for it: there is no window manager to report it back.
    if (m_windows.contains(window))
        m_focus = window;
}

void HeadlessDisplay::InjectFocusChange(NativeWindowId window, std::optional<HeldInput> held)
{
    if (!m_windows.contains(window) || m_focus == window)
        return;
    if (m_focus)
        Push({ .kind = DisplayEventKind::FocusLost, .window = m_focus });
    m_focus = window;
    Push({ .kind = DisplayEventKind::FocusGained, .window = window, .held = std::move(held) });
}

void HeadlessDisplay::Present(NativeWindowId window, cairo_surface_t* surface, const RECT& area)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end() || !it->second.shown || !surface)
        return;
    ++m_presents;
    const RECT& bounds = it->second.bounds;
    // What the window shows of the area: its shape, less the shown windows stacked above it.
    const cairo_rectangle_int_t whole { bounds.left + area.left, bounds.top + area.top, area.right - area.left, area.bottom - area.top };
    cairo_region_t* visible = cairo_region_create_rectangle(&whole);
    if (!it->second.shape.empty()) {
        cairo_region_t* shape = ScreenShape(it->second);
        cairo_region_intersect(visible, shape);
        cairo_region_destroy(shape);
    }
    for (auto above = std::ranges::find(m_stacking, window) + 1; above < m_stacking.end(); ++above) {
        if (const NativeWindow& other = m_windows.at(*above); other.shown) {
            cairo_region_t* covered = ScreenShape(other);
            cairo_region_subtract(visible, covered);
            cairo_region_destroy(covered);
        }
    }
    cairo_t* cr = cairo_create(m_screen);
    for (int i = 0; i < cairo_region_num_rectangles(visible); ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(visible, i, &r);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_region_destroy(visible);
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, bounds.left, bounds.top);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
}

cairo_region_t* HeadlessDisplay::ScreenShape(const NativeWindow& window)
{
    const RECT& b = window.bounds;
    if (window.shape.empty()) {
        const cairo_rectangle_int_t whole { b.left, b.top, b.right - b.left, b.bottom - b.top };
        return cairo_region_create_rectangle(&whole);
    }
    cairo_region_t* shape = cairo_region_create();
    for (const RECT& r : window.shape) {
        const cairo_rectangle_int_t part { b.left + r.left, b.top + r.top, r.right - r.left, r.bottom - r.top };
        cairo_region_union_rectangle(shape, &part);
    }
    return shape;
}

bool HeadlessDisplay::CaptureScreen(const RECT& area, cairo_surface_t* target)
{
    cairo_surface_flush(m_screen);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_surface(cr, m_screen, -area.left, -area.top);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return true;
}

bool HeadlessDisplay::ShapeContains(const NativeWindow& window, POINT screenPoint) const
{
    if (!PtInRect(&window.bounds, screenPoint))
        return false;
    if (window.shape.empty())
        return true;
    POINT local { screenPoint.x - window.bounds.left, screenPoint.y - window.bounds.top };
    return std::ranges::any_of(window.shape, [&](const RECT& r) { return PtInRect(&r, local) != 0; });
}

NativeWindowId HeadlessDisplay::WindowAt(POINT screenPoint) const
{
    for (auto it = m_stacking.rbegin(); it != m_stacking.rend(); ++it) {
        const NativeWindow& window = m_windows.at(*it);
        if (window.shown && ShapeContains(window, screenPoint))
            return *it;
    }
    return 0;
}

bool HeadlessDisplay::IsShown(NativeWindowId window) const
{
    auto it = m_windows.find(window);
    return it != m_windows.end() && it->second.shown;
}

std::vector<NativeIcon> HeadlessDisplay::Icons(NativeWindowId window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? std::vector<NativeIcon> {} : it->second.icons;
}

void HeadlessDisplay::Push(DisplayEvent event)
{
    event.timestamp = m_now;
    m_events.push_back(std::move(event));
}

void HeadlessDisplay::InjectMouseMove(POINT screenPoint)
{
    m_cursor = screenPoint;
    Push({ .kind = DisplayEventKind::MouseMove, .window = m_grab ? m_grab : WindowAt(screenPoint), .screenPoint = screenPoint });
}

void HeadlessDisplay::InjectButton(int button, bool down, POINT screenPoint)
{
    m_cursor = screenPoint;
    NativeWindowId target = m_grab ? m_grab : WindowAt(screenPoint);
    if (down) {
        if (m_buttonsDown++ == 0)
            m_grab = target;
    } else if (m_buttonsDown > 0 && --m_buttonsDown == 0) {
        m_grab = 0;
    }
    Push({ .kind = down ? DisplayEventKind::ButtonDown : DisplayEventKind::ButtonUp, .window = target, .screenPoint = screenPoint, .button = button });
}

void HeadlessDisplay::InjectWheel(int delta, POINT screenPoint)
{
    m_cursor = screenPoint;
    Push({ .kind = DisplayEventKind::Wheel, .window = WindowAt(screenPoint), .screenPoint = screenPoint, .wheelDelta = delta });
}

void HeadlessDisplay::InjectKey(unsigned virtualKey, bool down, std::wstring text, std::optional<HeldInput> held)
{
    Push({ .kind = down ? DisplayEventKind::KeyDown : DisplayEventKind::KeyUp, .window = m_focus, .screenPoint = m_cursor, .key = virtualKey, .text = std::move(text), .held = std::move(held) });
}

void HeadlessDisplay::InjectCompositionStart()
{
    Push({ .kind = DisplayEventKind::CompositionStarted, .window = m_focus });
}

void HeadlessDisplay::InjectCompositionCommit(std::wstring text)
{
    InjectKey(0, true, std::move(text));
}

void HeadlessDisplay::InjectCompositionEnd()
{
    Push({ .kind = DisplayEventKind::CompositionEnded, .window = m_focus });
}

void HeadlessDisplay::SetCompositionSpot(NativeWindowId window, POINT spot)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.compositionSpot = spot;
}

void HeadlessDisplay::SetCompositionFont(NativeWindowId window, const CompositionFont& font)
{
    if (auto it = m_windows.find(window); it != m_windows.end())
        it->second.compositionFont = font;
}

std::optional<POINT> HeadlessDisplay::CompositionSpot(NativeWindowId window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? std::nullopt : it->second.compositionSpot;
}

std::optional<CompositionFont> HeadlessDisplay::CompositionFontOf(NativeWindowId window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? std::nullopt : it->second.compositionFont;
}

void HeadlessDisplay::InjectCloseRequest(NativeWindowId window)
{
    Push({ .kind = DisplayEventKind::CloseRequest, .window = window });
}

std::optional<DisplayEvent> HeadlessDisplay::NextEvent()
{
    if (m_events.empty())
        return std::nullopt;
    DisplayEvent event = std::move(m_events.front());
    m_events.pop_front();
    return event;
}

namespace {
// Another program's text, due at a time of the virtual clock.
class TimedSelectionRead final : public SelectionRead {
public:
    TimedSelectionRead(const HeadlessDisplay& display, std::optional<std::string> text, std::optional<std::uint32_t> due)
        : m_display(display)
        , m_text(std::move(text))
        , m_due(due)
    {
    }
    bool Finished() const override { return m_due && static_cast<std::int32_t>(m_display.Now() - *m_due) >= 0; }
    std::optional<std::string> Text() const override { return Finished() ? m_text : std::nullopt; }

private:
    const HeadlessDisplay& m_display;
    std::optional<std::string> m_text;
    std::optional<std::uint32_t> m_due;
};
} // namespace

std::shared_ptr<SelectionRead> HeadlessDisplay::ReadSelection(SelectionKind which)
{
    const Selection& selection = m_selections[Index(which)];
    if (!selection.anotherProgram)
        return std::make_shared<AnsweredSelectionRead>(selection.text);
    std::optional<std::uint32_t> due;
    if (selection.answerAfterMs)
        due = m_now + *selection.answerAfterMs;
    return std::make_shared<TimedSelectionRead>(*this, selection.text, due);
}

void HeadlessDisplay::GiveSelectionToAnotherProgram(SelectionKind which, std::optional<std::string> text, std::optional<std::uint32_t> answerAfterMs)
{
    m_selections[Index(which)] = { std::move(text), true, answerAfterMs };
}

void HeadlessDisplay::Wait(int wakeFd, int timeoutMs)
{
    if (!m_events.empty())
        return;
    // Time passes only while the program waits: a wait that nothing ends moves the clock on.
    pollfd fd { wakeFd, POLLIN, 0 };
    if (poll(&fd, 1, timeoutMs < 0 ? -1 : 0) == 0 && timeoutMs > 0)
        m_now += static_cast<std::uint32_t>(timeoutMs);
}

bool HeadlessDisplay::WriteScreenPng(const std::string& path) const
{
    cairo_surface_flush(m_screen);
    return cairo_surface_write_to_png(m_screen, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
