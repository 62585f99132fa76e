// libFuzzer target: any mark-up lays out and draws into a fixed-size tip without reading or writing
// outside what the drawer owns, and the hot areas it leaves answer hover and clicks.

#include "controls/HtmlDrawer.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/sys/Shell.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

constexpr int Width = 240, Height = 320;

struct Tip {
    Tip()
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        SetShellLauncher([](const std::vector<std::string>&) { return true; });
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
    }
    HBITMAP bitmap;
    HDC dc;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Tip tip;
    if (size == 0)
        return 0;
    // The first byte picks the wrap width; the rest is the text, one character a byte.
    CPPHtmlDrawer drawer;
    drawer.SetMaxWidth(data[0] % 2 ? 0 : 212);
    std::wstring text(data + 1, data + size);
    SIZE measured {};
    drawer.MeasureText(tip.dc, text, &measured);
    const RECT rect { 2, 2, Width - 2, Height - 2 };
    drawer.DrawText(tip.dc, rect);
    for (const auto& area : drawer.HotAreas()) {
        POINT inside { area.rect.left, area.rect.top };
        drawer.OnMouseOver(inside);
        drawer.OnClick(inside, 1);
    }
    drawer.DrawText(tip.dc, rect);
    return 0;
}
