#pragma once
// A headless display per test, a message log, and helpers that pump the queue and drive input.

#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message a logging window gets, in order; a test may answer some of them itself.
class MessageLog {
public:
    static MessageLog& Instance()
    {
        static MessageLog log;
        return log;
    }
    std::vector<LoggedMessage> entries;
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

    std::vector<UINT> MessagesOf(HWND window, std::initializer_list<UINT> only = {}) const
    {
        std::vector<UINT> result;
        for (const auto& entry : entries) {
            if (entry.window != window)
                continue;
            if (only.size() && std::find(only.begin(), only.end(), entry.message) == only.end())
                continue;
            result.push_back(entry.message);
        }
        return result;
    }
    int Count(HWND window, UINT message) const
    {
        int count = 0;
        for (const auto& entry : entries)
            count += entry.window == window && entry.message == message;
        return count;
    }
};

// The height of a row in the system font, which controls use until they are given one.
inline int SystemFontRowHeight()
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

inline LRESULT LoggingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& log = MessageLog::Instance();
    log.entries.push_back({ window, message, wParam, lParam });
    if (log.answer) {
        if (auto result = log.answer(window, message, wParam, lParam))
            return *result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class UserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        MessageLog::Instance() = {};
        static ATOM atom = [] {
            WNDCLASSEXW windowClass { sizeof windowClass };
            windowClass.style = CS_DBLCLKS;
            windowClass.lpfnWndProc = LoggingProcedure;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
            windowClass.lpszClassName = L"LoggingWindow";
            return RegisterClassExW(&windowClass);
        }();
        ASSERT_NE(atom, 0);
    }

    void TearDown() override
    {
        SetModalLoopHook({});
        MessageLog::Instance().answer = {};
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        ReleaseCapture();
        Pump();
        MessageLog::Instance() = {};
    }

    HWND TopLevel(DWORD style = WS_OVERLAPPEDWINDOW, RECT r = { 100, 100, 400, 300 }, DWORD exStyle = 0)
    {
        return CreateWindowExW(exStyle, L"LoggingWindow", L"Test", style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    }

    HWND Child(HWND parent, RECT r, int id = 1, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        return CreateWindowExW(0, L"LoggingWindow", L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    // Dispatches everything that is waiting (WM_PAINT and due timers included); never waits.
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    static POINT ScreenPoint(HWND window, int x, int y)
    {
        POINT point { x, y };
        ClientToScreen(window, &point);
        return point;
    }

    void Click(POINT screen, int button = 1)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(button, true, screen);
        headless->InjectButton(button, false, screen);
        Pump();
    }

    void Key(unsigned virtualKey, std::wstring text = {})
    {
        headless->InjectKey(virtualKey, true, std::move(text));
        headless->InjectKey(virtualKey, false);
        Pump();
    }

    // The colour of a pixel of a window's client area as drawn on its surface.
    static COLORREF PixelAt(HWND window, int x, int y)
    {
        HDC dc = GetDC(window);
        COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }

    // A pixel of the headless screen, where presented windows show.
    COLORREF ScreenPixel(int x, int y) const
    {
        cairo_surface_t* screen = headless->Screen();
        cairo_surface_flush(screen);
        auto* row = cairo_image_surface_get_data(screen) + static_cast<size_t>(y) * cairo_image_surface_get_stride(screen);
        uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    HeadlessDisplay* headless = nullptr;
};
