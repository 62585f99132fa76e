#pragma once
// A headless display per test, a message log, and helpers that pump the queue and drive input.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/WinUser.h"
#include "platform/user/tests/HeadlessWindowTest.h"

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

class UserTest : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
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
        MessageLog::Instance().answer = {};
        HeadlessWindowTest::TearDown();
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
};
