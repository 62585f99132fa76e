#pragma once
// A visible top-level window to put common controls in, and pixel checks against expected PNGs.

#include "platform/base/tests/Printers.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/user/tests/UserTestSupport.h"

#include <cairo.h>

#include <cstdlib>
#include <string>
#include <vector>

class CommonControlTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        InitCommonControls();
        static ATOM parentClass = [] {
            WNDCLASSEXW windowClass { sizeof windowClass };
            windowClass.lpfnWndProc = ParentProcedure;
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
            windowClass.lpszClassName = L"CommonControlParent";
            return RegisterClassExW(&windowClass);
        }();
        ASSERT_NE(parentClass, 0);
        Codes().clear();
        parent = CreateWindowExW(0, L"CommonControlParent", L"Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
            nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }

    HWND Control(LPCWSTR className, DWORD style, RECT r, int id = 100, LPCWSTR text = L"")
    {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    // The WM_NOTIFY codes the parent got, in order, since the log was last cleared.
    static std::vector<UINT> NotifyCodes() { return Codes(); }

    static void ClearLog()
    {
        MessageLog::Instance().entries.clear();
        Codes().clear();
    }

    static RECT ClientRect(HWND window)
    {
        RECT r;
        GetClientRect(window, &r);
        return r;
    }

    // The window's rectangle in its parent's client coordinates.
    static RECT RectInParent(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // Pumps, so that the window is painted, then compares it pixel by pixel with tests/data/<name>,
    // leaving out the text areas, whose glyphs may differ between machines; each of those must hold
    // some ink. With FLN_WRITE_EXPECTED=1 in the environment the picture is written instead.
    ::testing::AssertionResult LooksLike(HWND window, const std::string& name, const std::vector<RECT>& textAreas = {})
    {
        Pump();
        std::string expectedPath = std::string(FLN_TEST_DATA_DIR) + "/" + name;
        if (const char* write = std::getenv("FLN_WRITE_EXPECTED"); write && std::string(write) == "1") {
            WriteWindowPng(window, expectedPath.c_str());
            return ::testing::AssertionSuccess() << "written";
        }
        cairo_surface_t* expected = cairo_image_surface_create_from_png(expectedPath.c_str());
        if (cairo_surface_status(expected) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(expected);
            return ::testing::AssertionFailure() << "cannot read " << expectedPath;
        }
        RECT client = ClientRect(window);
        int width = cairo_image_surface_get_width(expected), height = cairo_image_surface_get_height(expected);
        if (width != client.right || height != client.bottom) {
            cairo_surface_destroy(expected);
            return ::testing::AssertionFailure() << name << " is " << width << " x " << height << ", the window "
                                                 << client.right << " x " << client.bottom;
        }
        auto inText = [&](POINT p) {
            for (const RECT& area : textAreas)
                if (PtInRect(&area, p))
                    return true;
            return false;
        };
        int differences = 0;
        std::string first;
        HDC dc = GetDC(window);
        const auto* data = cairo_image_surface_get_data(expected);
        int stride = cairo_image_surface_get_stride(expected);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (inText({ x, y }))
                    continue;
                uint32_t pixel = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
                COLORREF want = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
                COLORREF got = GetPixel(dc, x, y);
                if (got != want && differences++ == 0)
                    first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        std::string inkless;
        for (const RECT& area : textAreas) {
            if (!HasInk(dc, area))
                inkless += " [" + std::to_string(area.left) + "," + std::to_string(area.top) + "]";
        }
        ReleaseDC(window, dc);
        cairo_surface_destroy(expected);
        if (!differences && inkless.empty())
            return ::testing::AssertionSuccess();
        std::string actualPath = ::testing::TempDir() + name;
        WriteWindowPng(window, actualPath.c_str());
        return ::testing::AssertionFailure() << name << ": " << differences << " pixels differ, " << first
                                             << (inkless.empty() ? "" : "; no text in" + inkless) << "; drawn: " << actualPath;
    }

    // Text draws dark pixels on the face colour.
    static bool HasInk(HDC dc, const RECT& area)
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100)
                    return true;
            }
        return false;
    }

    HWND parent = nullptr;

private:
    static std::vector<UINT>& Codes()
    {
        static std::vector<UINT> codes;
        return codes;
    }

    // Logs like LoggingProcedure; the notification's code is kept, as its header lives only during the call.
    static LRESULT ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NOTIFY)
            Codes().push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
        return LoggingProcedure(window, message, wParam, lParam);
    }
};
