// Tooltip mark-up speed: measuring and drawing a 20-line tip with a table and a picture, as a tip is
// prepared each time the cursor rests on a control.

#include "controls/HtmlDrawer.h"
#include "platform/display/HeadlessDisplay.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

class TipCanvas {
public:
    TipCanvas()
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), 260, -480, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        picture = CreateBitmap(32, 32, 1, 32, nullptr);
    }
    ~TipCanvas()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
        DeleteObject(picture);
    }
    HBITMAP bitmap;
    HDC dc;
    HBITMAP picture;
};

std::wstring TwentyLineTip(HBITMAP picture)
{
    std::wstring text = L"<h2>Sine</h2><br><bmp handle=" + std::to_wstring(reinterpret_cast<uintptr_t>(picture))
        + L"> <b>sin</b>(<i>x</i>) gives the ratio of the side opposite an angle to the hypotenuse.<br>";
    text += L"<table border=1 cellpadding=2 bgcolor=lightyellow><tr><td><b>x</b></td><td><b>sin x</b></td></tr>"
            L"<tr><td>0</td><td>0</td></tr><tr><td>pi/6</td><td>0.5</td></tr><tr><td>pi/2</td><td>1</td></tr></table>";
    for (int line = 0; line < 12; ++line)
        text += L"<font color=#404040>Line " + std::to_wstring(line) + L" of the explanation, with <u>some</u> words.</font><br>";
    text += L"<hr><a href=\"https://example.org/sine\">More about the sine</a>";
    return text;
}

void BM_MeasureAndDrawTip(benchmark::State& state)
{
    TipCanvas canvas;
    CPPHtmlDrawer drawer;
    drawer.SetMaxWidth(212);
    drawer.RegisterImage(canvas.picture);
    const std::wstring text = TwentyLineTip(canvas.picture);
    for (auto _ : state) {
        SIZE size {};
        drawer.MeasureText(canvas.dc, text, &size);
        drawer.DrawText(canvas.dc, { 0, 0, size.cx, size.cy });
        benchmark::DoNotOptimize(size);
    }
    state.counters["lines"] = static_cast<double>(drawer.Lines().size());
}
BENCHMARK(BM_MeasureAndDrawTip)->Unit(benchmark::kMicrosecond);

void BM_RedrawHoveredTip(benchmark::State& state)
{
    TipCanvas canvas;
    CPPHtmlDrawer drawer;
    drawer.SetMaxWidth(212);
    drawer.RegisterImage(canvas.picture);
    SIZE size {};
    drawer.MeasureText(canvas.dc, TwentyLineTip(canvas.picture), &size);
    for (auto _ : state)
        drawer.DrawText(canvas.dc, { 0, 0, size.cx, size.cy });
}
BENCHMARK(BM_RedrawHoveredTip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
