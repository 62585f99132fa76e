#include "platform/user/WindowIcons.h"
#include "platform/user/ResourceHandles.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace fln::user {
namespace {

// The icon's pixels as the desktop wants them. Drawn once over black and once over white, a
// pixel's opacity is what the two backgrounds do not change, and its colour is what shows over
// black, undone by that opacity.
std::optional<NativeIcon> PixelsOf(HICON icon)
{
    ICONINFO info {};
    if (!icon || !GetIconInfo(icon, &info))
        return std::nullopt;
    BITMAP bitmap {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    int width = bitmap.bmWidth, height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (width <= 0 || height <= 0 || width > 256 || height > 256)
        return std::nullopt;

    BITMAPINFO header {};
    header.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    HDC dc = CreateCompatibleDC(nullptr);
    std::array<std::vector<std::uint32_t>, 2> over; // over black, over white
    for (int background = 0; background < 2; ++background) {
        void* bits = nullptr;
        HBITMAP target = CreateDIBSection(dc, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!target) {
            DeleteDC(dc);
            return std::nullopt;
        }
        HGDIOBJ old = SelectObject(dc, target);
        RECT all { 0, 0, width, height };
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(background ? WHITE_BRUSH : BLACK_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        auto* pixels = static_cast<const std::uint32_t*>(bits);
        over[background].assign(pixels, pixels + width * height);
        SelectObject(dc, old);
        DeleteObject(target);
    }
    DeleteDC(dc);

    NativeIcon result { width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height) };
    for (size_t i = 0; i < result.argb.size(); ++i) {
        std::uint32_t black = over[0][i], white = over[1][i];
        auto channel = [](std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
        int alpha = 255 - std::clamp(channel(white, 8) - channel(black, 8), 0, 255); // green carries it best
        std::uint32_t argb = static_cast<std::uint32_t>(alpha) << 24;
        if (alpha > 0)
            for (int shift : { 16, 8, 0 })
                argb |= static_cast<std::uint32_t>(std::min(255, channel(black, shift) * 255 / alpha)) << shift;
        result.argb[i] = argb;
    }
    return result;
}

} // namespace

HICON SetWindowIcon(Window& window, WPARAM which, HICON icon)
{
    if (which != ICON_BIG && which != ICON_SMALL)
        return nullptr;
    HICON& slot = which == ICON_BIG ? window.bigIcon : window.smallIcon;
    HICON previous = std::exchange(slot, icon);
    if (previous != icon)
        PublishIcons(window);
    return previous;
}

HICON GetWindowIcon(const Window& window, WPARAM which)
{
    switch (which) {
    case ICON_BIG: return window.bigIcon;
    case ICON_SMALL: return window.smallIcon;
    case ICON_SMALL2: return window.smallIcon ? window.smallIcon : window.bigIcon;
    default: return nullptr;
    }
}

bool HasCaptionIcon(const Window& window)
{
    return !(window.exStyle & WS_EX_DLGMODALFRAME) || window.smallIcon || window.bigIcon || window.windowClass->smallIcon
        || window.windowClass->icon;
}

HICON CaptionIcon(const Window& window)
{
    for (HICON icon : { window.smallIcon, window.windowClass->smallIcon, window.bigIcon, window.windowClass->icon })
        if (icon)
            return icon;
    return LoadIconW(nullptr, IDI_APPLICATION);
}

void PublishIcons(const Window& window)
{
    if (!window.native)
        return;
    bool own = window.smallIcon || window.bigIcon;
    HICON big = own ? window.bigIcon : window.windowClass->icon;
    HICON small = own ? window.smallIcon : window.windowClass->smallIcon;
    std::vector<NativeIcon> icons;
    for (HICON icon : { big, small })
        if (auto pixels = PixelsOf(icon); pixels && (icon != small || small != big))
            icons.push_back(std::move(*pixels));
    CurrentDisplay().SetNativeIcons(window.native, icons);
}

} // namespace fln::user
