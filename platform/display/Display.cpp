#include "platform/display/Display.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/Surface.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
std::unique_ptr<Display>& Slot()
{
    static std::unique_ptr<Display> display;
    return display;
}

bool ReadCurrentScreen(const RECT& area, cairo_surface_t* target);

void AdoptSettings(const Display* display)
{
    fln::gdi::SetFontRendering(display ? display->TextRendering() : fln::gdi::FontRendering {});
    fln::gdi::SetScreenReader(display ? &ReadCurrentScreen : nullptr);
}

} // namespace

std::uint32_t SelectionWaitLimitMs()
{
    static const std::uint32_t limit = [] {
        const char* chosen = std::getenv("FORMULON_SELECTION_WAIT_MS");
        const unsigned long value = chosen ? std::strtoul(chosen, nullptr, 10) : 0;
        return value > 0 && value <= 600'000 ? static_cast<std::uint32_t>(value) : kSelectionWaitLimitMs;
    }();
    return limit;
}

namespace {
std::unique_ptr<Display> CreateChosenDisplay()
{
    const char* chosen = std::getenv("FORMULON_DISPLAY");
    bool wantX11 = chosen ? std::strcmp(chosen, "x11") == 0 : std::getenv("DISPLAY") != nullptr;
    if (wantX11) {
        if (auto display = CreateX11Display())
            return display;
    }
    return std::make_unique<HeadlessDisplay>();
}
}

namespace {
bool ReadCurrentScreen(const RECT& area, cairo_surface_t* target)
{
    return CurrentDisplay().CaptureScreen(area, target);
}
} // namespace

cairo_surface_t* Display::CreateWindowSurface(int width, int height)
{
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
}

Display& CurrentDisplay()
{
    auto& display = Slot();
    if (!display) {
        display = CreateChosenDisplay();
        AdoptSettings(display.get());
    }
    return *display;
}

std::unique_ptr<Display> SetCurrentDisplay(std::unique_ptr<Display> display)
{
    AdoptSettings(display.get());
    return std::exchange(Slot(), std::move(display));
}
