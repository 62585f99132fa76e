// The window layer on the headless display: a round of 10,000 messages sent, posted and
// dispatched, and a full repaint of a 1280 x 1024 window with fills, lines and text.

#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/WinUser.h"

#include <benchmark/benchmark.h>

namespace {

LRESULT CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static LRESULT total = 0;
    if (message == WM_APP)
        return total += static_cast<LRESULT>(wParam);
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        for (int row = 0; row < client.bottom; row += 16) {
            RECT band { 0, row, client.right, row + 8 };
            FillRect(dc, &band, GetSysColorBrush(row % 32 ? COLOR_3DFACE : COLOR_INFOBK));
            MoveToEx(dc, 0, row + 12, nullptr);
            LineTo(dc, client.right, row + 12);
            TextOutW(dc, 4, row, L"sin(x)/x = 0.841470984807897 for x = 1", 38);
        }
        SelectObject(dc, oldFont);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(int width, int height)
{
    static ATOM atom = [] {
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.lpfnWndProc = CountingProcedure;
        windowClass.lpszClassName = L"BenchWindow";
        return RegisterClassExW(&windowClass);
    }();
    (void)atom;
    return CreateWindowExW(0, L"BenchWindow", L"Bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

void MessageRound(benchmark::State& state)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    HWND window = MakeWindow(100, 100);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    for (auto _ : state) {
        for (int i = 0; i < 5000; ++i)
            benchmark::DoNotOptimize(SendMessageW(window, WM_APP, 1, 0));
        for (int i = 0; i < 5000; ++i)
            PostMessageW(window, WM_APP, 1, 0);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    DestroyWindow(window);
}
BENCHMARK(MessageRound)->Unit(benchmark::kMillisecond);

void FullRepaint(benchmark::State& state)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    HWND window = MakeWindow(1280, 1024);
    UpdateWindow(window);
    for (auto _ : state) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    DestroyWindow(window);
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
