#pragma once
// Pixel checks of controls: where a control put its ink, and a comparison of its client area,
// pixel for pixel, with a small expected PNG in tests/data (text
// is drawn crisply with the program's own fonts, so it is the same on every machine). With
// FLN_WRITE_EXPECTED set in the environment the comparison writes the expected image instead, for
// a person to look at before it is kept.

#include "platform/gdi/Gdi.h"
#include "platform/user/WinUser.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace pixel_checks {

inline std::string DataPath(const char* name) { return std::string(FLN_TEST_DATA_DIR) + "/" + name; }

// Ink: black text, or the shadow grey of embossed text.
inline bool IsDark(COLORREF colour) { return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) <= 3 * 128; }

// The bounds of the ink in `window`'s client area, or in `area` of it; empty when there is none.
inline RECT InkBounds(HWND window, std::optional<RECT> area = {})
{
    RECT client, ink { 0, 0, 0, 0 };
    GetClientRect(window, &client);
    if (area)
        IntersectRect(&client, &client, &*area);
    HDC dc = GetDC(window);
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            if (!IsDark(GetPixel(dc, x, y)))
                continue;
            RECT pixel { x, y, x + 1, y + 1 };
            UnionRect(&ink, &ink, &pixel);
        }
    }
    ReleaseDC(window, dc);
    return ink;
}

inline uint32_t Rgb24(COLORREF c) { return (uint32_t { GetRValue(c) } << 16) | (uint32_t { GetGValue(c) } << 8) | GetBValue(c); }

inline ::testing::AssertionResult WriteExpected(const std::vector<COLORREF>& pixels, int width, int height, const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            row[x] = Rgb24(pixels[static_cast<size_t>(y) * width + x]);
    }
    cairo_surface_mark_dirty(surface);
    bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "cannot write " << path;
}

// Pixels (rows of `width`), against tests/data/`name`.
inline ::testing::AssertionResult MatchesExpectedPixels(const std::vector<COLORREF>& pixels, int width, int height, const char* name)
{
    std::string path = DataPath(name);
    if (std::getenv("FLN_WRITE_EXPECTED"))
        return WriteExpected(pixels, width, height, path);

    cairo_surface_t* expected = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(expected) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(expected);
        return ::testing::AssertionFailure() << "cannot read " << path;
    }
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (cairo_image_surface_get_width(expected) != width || cairo_image_surface_get_height(expected) != height) {
        result = ::testing::AssertionFailure() << name << ": expected " << cairo_image_surface_get_width(expected) << " x "
                                               << cairo_image_surface_get_height(expected) << ", drawn " << width << " x " << height;
    } else {
        const auto* data = cairo_image_surface_get_data(expected);
        int stride = cairo_image_surface_get_stride(expected);
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = 0; x < width; ++x) {
                uint32_t want = row[x] & 0xFFFFFF, got = Rgb24(pixels[static_cast<size_t>(y) * width + x]);
                if (want != got && wrong++ == 0)
                    result = ::testing::AssertionFailure() << name << ": first difference at (" << x << ", " << y << "), expected #"
                                                           << std::hex << want << ", drawn #" << got << std::dec;
            }
        }
        if (wrong)
            result << " (" << wrong << " pixels differ)";
    }
    cairo_surface_destroy(expected);
    return result;
}

// The pixels of `area` as drawn on `dc`, row by row.
inline std::vector<COLORREF> PixelsOf(HDC dc, const RECT& area)
{
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(area.right - area.left) * (area.bottom - area.top));
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

// The client area of `window` as drawn, against tests/data/`name`.
inline ::testing::AssertionResult MatchesExpectedImage(HWND window, const char* name)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels = PixelsOf(dc, client);
    ReleaseDC(window, dc);
    return MatchesExpectedPixels(pixels, client.right, client.bottom, name);
}

// `area` of `window`'s whole window (window coordinates, the frame included) against tests/data/`name`.
inline ::testing::AssertionResult WindowAreaMatchesExpectedImage(HWND window, const RECT& area, const char* name)
{
    HDC dc = GetWindowDC(window);
    std::vector<COLORREF> pixels = PixelsOf(dc, area);
    ReleaseDC(window, dc);
    return MatchesExpectedPixels(pixels, area.right - area.left, area.bottom - area.top, name);
}

} // namespace pixel_checks
