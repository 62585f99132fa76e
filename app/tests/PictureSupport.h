#pragma once
// Comparing a window's pixels with a picture kept in tests/data.

#include "platform/user/WinUser.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Whether two PNG files hold the same pixels.
inline bool SamePicture(const std::string& expectedPath, const std::string& actualPath)
{
    cairo_surface_t* expected = cairo_image_surface_create_from_png(expectedPath.c_str());
    cairo_surface_t* actual = cairo_image_surface_create_from_png(actualPath.c_str());
    bool same = cairo_surface_status(expected) == CAIRO_STATUS_SUCCESS && cairo_surface_status(actual) == CAIRO_STATUS_SUCCESS
        && cairo_image_surface_get_width(expected) == cairo_image_surface_get_width(actual)
        && cairo_image_surface_get_height(expected) == cairo_image_surface_get_height(actual);
    for (int y = 0; same && y < cairo_image_surface_get_height(expected); ++y) {
        const auto* want = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected));
        const auto* got = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(actual) + y * cairo_image_surface_get_stride(actual));
        for (int x = 0; same && x < cairo_image_surface_get_width(expected); ++x)
            same = (want[x] & 0xFFFFFF) == (got[x] & 0xFFFFFF);
    }
    cairo_surface_destroy(expected);
    cairo_surface_destroy(actual);
    return same;
}

// The window as it looks, pixel for pixel, against tests/data/<name>; FLN_WRITE_EXPECTED=1 writes
// the picture instead (look at it before you keep it).
inline void ExpectWindowPicture(HWND window, const std::string& name)
{
    const std::string expected = std::string(FLN_TEST_DATA_DIR) + "/" + name;
    if (const char* write = std::getenv("FLN_WRITE_EXPECTED"); write && std::string(write) == "1") {
        ASSERT_TRUE(WriteWindowPng(window, expected.c_str()));
    }
    // Named for this process: the same test may run in another build at the same moment.
    const std::string actual = ::testing::TempDir() + std::to_string(::getpid()) + "-" + name;
    ASSERT_TRUE(WriteWindowPng(window, actual.c_str()));
    EXPECT_TRUE(SamePicture(expected, actual)) << "compare " << actual << " with " << expected;
}
