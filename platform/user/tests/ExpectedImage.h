#pragma once
// Compares a window's client area with a small expected PNG in tests/data. Text is checked loosely,
// since glyph rendering is still changing: each loose rectangle is magenta in the expected image
// (any pixel matches there) and must hold at least one dark pixel. With FLN_WRITE_EXPECTED set in
// the environment the comparison writes the expected image instead, for a person to look at.

#include "platform/gdi/Gdi.h"
#include "platform/user/WinUser.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace expected_image {

constexpr uint32_t kAnyPixel = 0xFF00FF;

inline std::string DataPath(const char* name) { return std::string(FLN_TEST_DATA_DIR) + "/" + name; }

// Ink: black text, or the shadow grey of embossed text.
inline bool IsDark(COLORREF colour) { return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) <= 3 * 128; }

inline bool InAny(const std::vector<RECT>& rects, int x, int y)
{
    for (const RECT& r : rects) {
        POINT point { x, y };
        if (PtInRect(&r, point))
            return true;
    }
    return false;
}

inline ::testing::AssertionResult WriteExpected(const std::vector<COLORREF>& pixels, int width, int height, const std::vector<RECT>& loose, const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * width + x];
            row[x] = InAny(loose, x, y) ? kAnyPixel : (uint32_t { GetRValue(c) } << 16) | (uint32_t { GetGValue(c) } << 8) | GetBValue(c);
        }
    }
    cairo_surface_mark_dirty(surface);
    bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "cannot write " << path;
}

// The client area of `window` as drawn, against tests/data/`name`.
inline ::testing::AssertionResult MatchesExpectedImage(HWND window, const char* name, const std::vector<RECT>& loose = {})
{
    RECT client;
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    HDC dc = GetDC(window);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = GetPixel(dc, x, y);
    ReleaseDC(window, dc);

    std::string path = DataPath(name);
    if (std::getenv("FLN_WRITE_EXPECTED"))
        return WriteExpected(pixels, width, height, loose, path);

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
                uint32_t want = row[x] & 0xFFFFFF;
                COLORREF got = pixels[static_cast<size_t>(y) * width + x];
                if (want == kAnyPixel)
                    continue;
                if (want != ((uint32_t { GetRValue(got) } << 16) | (uint32_t { GetGValue(got) } << 8) | GetBValue(got))) {
                    if (wrong++ == 0)
                        result = ::testing::AssertionFailure() << name << ": first difference at (" << x << ", " << y << ") expected #"
                                                               << std::hex << want << ", drawn #" << (GetRValue(got) << 16 | GetGValue(got) << 8 | GetBValue(got)) << std::dec;
                }
            }
        }
        if (wrong)
            result << " (" << wrong << " pixels differ)";
    }
    cairo_surface_destroy(expected);
    for (const RECT& r : loose) {
        bool inked = false;
        for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height) && !inked; ++y)
            for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width) && !inked; ++x)
                inked = IsDark(pixels[static_cast<size_t>(y) * width + x]);
        if (!inked)
            return ::testing::AssertionFailure() << name << ": no text in (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    }
    return result;
}

} // namespace expected_image
