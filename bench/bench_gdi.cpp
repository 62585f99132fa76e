// Drawing speed: a full repaint of a 1280 x 1024 window surface in the classic look, with fills,
// 3-D edges, lines, shapes and text, as a busy main window would be painted.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Surface.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

constexpr int Width = 1280, Height = 1024;

class WindowSurface {
public:
    WindowSurface()
        : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height))
        , dc(CreateSurfaceDC(surface, fln::gdi::Region(RECT { 0, 0, Width, Height }), POINT { 0, 0 }))
        , font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"))
    {
    }
    ~WindowSurface()
    {
        DeleteDC(dc);
        DeleteObject(font);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
    HDC dc;
    HFONT font;
};

void fillBackgroundAndEdges(HDC dc)
{
    RECT all { 0, 0, Width, Height };
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (int y = 0; y < Height; y += 32)
        for (int x = 0; x < Width; x += 160) {
            RECT button { x + 2, y + 2, x + 158, y + 30 };
            DrawEdge(dc, &button, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
}

void drawLinesAndShapes(HDC dc)
{
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int i = 0; i < 200; ++i) {
        MoveToEx(dc, 0, i * 5, nullptr);
        LineTo(dc, Width - 1, Height - 1 - i * 5);
    }
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 225));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    for (int i = 0; i < 50; ++i) {
        Rectangle(dc, 20 + i * 24, 600, 40 + i * 24, 640);
        Ellipse(dc, 20 + i * 24, 660, 42 + i * 24, 682);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void drawText(HDC dc, HFONT font)
{
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < 60; ++row) {
        RECT line { 8, row * 16 + 4, Width - 8, row * 16 + 20 };
        DrawTextW(dc, L"Sin(30) = 0.5   Hyperbolic cosine of 1 = 1.5430806348152437   Pi = 3.14159265358979", -1, &line,
            DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    }
    SelectObject(dc, oldFont);
}

void BM_FullRepaint(benchmark::State& state)
{
    WindowSurface window;
    for (auto _ : state) {
        fillBackgroundAndEdges(window.dc);
        drawLinesAndShapes(window.dc);
        drawText(window.dc, window.font);
    }
    benchmark::DoNotOptimize(cairo_image_surface_get_data(window.surface));
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_FillsAndEdges(benchmark::State& state)
{
    WindowSurface window;
    for (auto _ : state)
        fillBackgroundAndEdges(window.dc);
}
BENCHMARK(BM_FillsAndEdges)->Unit(benchmark::kMillisecond);

void BM_LinesAndShapes(benchmark::State& state)
{
    WindowSurface window;
    for (auto _ : state)
        drawLinesAndShapes(window.dc);
}
BENCHMARK(BM_LinesAndShapes)->Unit(benchmark::kMillisecond);

void BM_Text60Lines(benchmark::State& state)
{
    WindowSurface window;
    for (auto _ : state)
        drawText(window.dc, window.font);
}
BENCHMARK(BM_Text60Lines)->Unit(benchmark::kMillisecond);

void BM_CopyWholeSurface(benchmark::State& state)
{
    WindowSurface window;
    HDC memory = CreateCompatibleDC(window.dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window.dc, Width, Height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (auto _ : state)
        BitBlt(window.dc, 0, 0, Width, Height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}
BENCHMARK(BM_CopyWholeSurface)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
