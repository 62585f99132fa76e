#include "UserTestSupport.h"

#include "platform/user/WindowTree.h"

#include <cstdio>
#include <filesystem>

namespace {

using Painting = UserTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints its client area in the colour it is given, and records each WM_PAINT's rectangle.
struct Painter {
    std::map<HWND, COLORREF> colors;
    std::vector<std::pair<HWND, RECT>> paints;

    void Install()
    {
        MessageLog::Instance().answer = [this](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT || !colors.contains(window))
                return std::nullopt;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            paints.emplace_back(window, paint.rcPaint);
            RECT client;
            GetClientRect(window, &client);
            HBRUSH brush = CreateSolidBrush(colors[window]);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(window, &paint);
            return 0;
        };
    }
};

TEST_F(Painting, InvalidRectanglesBecomeOneWmPaintWithTheirUnion)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 200, 100 });
    Painter painter;
    painter.colors[window] = kRed;
    painter.Install();
    Pump();
    painter.paints.clear();
    painter.colors[window] = kBlue;
    RECT a { 10, 10, 20, 20 }, b { 50, 30, 60, 40 };
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.bottom, 40);
    Pump();
    ASSERT_EQ(painter.paints.size(), 1u);
    EXPECT_EQ(painter.paints[0].second.left, 10);
    EXPECT_EQ(painter.paints[0].second.right, 60);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    // Only the invalid part was drawn: the paint DC is clipped to it.
    EXPECT_EQ(PixelAt(window, 15, 15), kBlue);
    EXPECT_EQ(PixelAt(window, 55, 35), kBlue);
    EXPECT_EQ(PixelAt(window, 35, 15), kRed);
}

TEST_F(Painting, UpdateRegionsKeepTheirShape)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 0, 0, 200, 200 });
    Pump();
    HRGN ellipse = CreateEllipticRgn(10, 10, 60, 60);
    InvalidateRgn(window, ellipse, FALSE);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(window, update, FALSE), COMPLEXREGION);
    EXPECT_TRUE(EqualRgn(update, ellipse)); // in client coordinates, whatever the frame
    HRGN half = CreateRectRgn(0, 0, 200, 35);
    ValidateRgn(window, half);
    GetUpdateRgn(window, update, FALSE);
    RECT box;
    GetRgnBox(update, &box);
    EXPECT_EQ(box.top, 35);
    EXPECT_EQ(box.bottom, 60);
    for (HRGN region : { ellipse, update, half })
        DeleteObject(region);
}

TEST_F(Painting, EraseIsAskedOnlyWhenTheInvalidationAskedForIt)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 50, 50 });
    Pump();
    MessageLog::Instance().entries.clear();
    InvalidateRect(window, nullptr, FALSE);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_ERASEBKGND), 0);
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_PAINT), 1);
    InvalidateRect(window, nullptr, TRUE);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_ERASEBKGND), 1);
    // The class background brush (COLOR_WINDOW) filled the client area.
    EXPECT_EQ(PixelAt(window, 25, 25), GetSysColor(COLOR_WINDOW));
}

TEST_F(Painting, ChildrenDrawIntoTheirTopLevelSurfaceClippedToTheirArea)
{
    HWND parent = TopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, { 0, 0, 200, 200 });
    HWND child = Child(parent, { 50, 50, 100, 100 });
    HWND overlapping = Child(parent, { 90, 90, 150, 150 }, 2, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    Painter painter;
    painter.colors = { { parent, kBlue }, { child, kRed }, { overlapping, RGB(0, 255, 0) } };
    painter.Install();
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), kBlue);
    EXPECT_EQ(ScreenPixel(60, 60), kRed); // the parent clips its children
    EXPECT_EQ(PixelAt(parent, 60, 60), CLR_INVALID);
    EXPECT_EQ(PixelAt(child, 0, 0), kRed);
    EXPECT_EQ(ScreenPixel(120, 120), RGB(0, 255, 0));
    // The child created first is on top; the sibling clips itself under it.
    EXPECT_EQ(ScreenPixel(95, 95), kRed);
    // Parents are painted before their children.
    ASSERT_GE(painter.paints.size(), 3u);
    EXPECT_EQ(painter.paints[0].first, parent);
}

TEST_F(Painting, APaintPassReachesTheScreenInOneCopyWhileADCOutsideOneShowsAtOnce)
{
    HWND parent = TopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, { 0, 0, 200, 200 });
    HWND left = Child(parent, { 10, 10, 60, 60 });
    HWND right = Child(parent, { 140, 140, 190, 190 }, 2);
    Painter painter;
    painter.colors = { { parent, kBlue }, { left, kRed }, { right, kRed } };
    painter.Install();
    Pump();

    painter.colors[right] = RGB(0, 255, 0);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const int before = headless->PresentCount();
    UpdateWindow(parent);
    EXPECT_EQ(headless->PresentCount() - before, 1);
    EXPECT_EQ(ScreenPixel(5, 5), kBlue);
    EXPECT_EQ(ScreenPixel(20, 20), kRed);
    EXPECT_EQ(ScreenPixel(150, 150), RGB(0, 255, 0)) << "the copy covers every window the pass drew";

    HDC dc = GetDC(left);
    RECT area { 0, 0, 5, 5 };
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 0));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(left, dc);
    EXPECT_EQ(ScreenPixel(12, 12), RGB(255, 255, 0));
}

TEST_F(Painting, ANewCaptionOfAFrameNotYetPaintedWaitsForItsPaint)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 0, 0, 300, 200 });
    auto& log = MessageLog::Instance();
    const int before = headless->PresentCount();
    SetWindowTextW(window, L"Renamed");
    EXPECT_EQ(headless->PresentCount(), before) << "nothing of the window is drawn yet";
    UpdateWindow(window);
    EXPECT_EQ(log.Count(window, WM_NCPAINT), 1);
    EXPECT_EQ(headless->PresentCount() - before, 1);

    // Once painted, a caption changes on the screen at once.
    log.entries.clear();
    SetWindowTextW(window, L"Renamed again");
    EXPECT_EQ(headless->PresentCount() - before, 2);
    EXPECT_EQ(log.Count(window, WM_NCPAINT), 0);
}

TEST_F(Painting, RedrawWindowFlags)
{
    HWND parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 0, 0, 300, 200 });
    HWND child = Child(parent, { 10, 10, 50, 50 });
    Pump();
    auto& log = MessageLog::Instance();
    log.entries.clear();
    // RDW_FRAME repaints the non-client area; RDW_UPDATENOW paints before returning.
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(log.Count(parent, WM_NCPAINT), 1);
    EXPECT_EQ(log.Count(parent, WM_ERASEBKGND), 1);
    EXPECT_EQ(log.Count(parent, WM_PAINT), 1);
    EXPECT_EQ(log.Count(child, WM_PAINT), 1);
    log.entries.clear();
    // RDW_NOCHILDREN leaves the child alone even without WS_CLIPCHILDREN.
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(log.Count(parent, WM_PAINT), 1);
    EXPECT_EQ(log.Count(child, WM_PAINT), 0);
    // A plain InvalidateRect of a parent without WS_CLIPCHILDREN reaches the children it covers.
    InvalidateRect(parent, nullptr, TRUE);
    UpdateWindow(parent);
    EXPECT_EQ(log.Count(child, WM_PAINT), 1);
    // Validation removes pending work.
    InvalidateRect(parent, nullptr, TRUE);
    ValidateRect(parent, nullptr);
    ValidateRect(child, nullptr);
    log.entries.clear();
    Pump();
    EXPECT_EQ(log.Count(parent, WM_PAINT), 0);
    // RDW_INTERNALPAINT asks for a WM_PAINT with nothing invalid.
    RedrawWindow(parent, nullptr, nullptr, RDW_INTERNALPAINT);
    Pump();
    EXPECT_EQ(log.Count(parent, WM_PAINT), 1);
}

TEST_F(Painting, SetRedrawHoldsPaintingBack)
{
    HWND parent = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    HWND list = Child(parent, { 10, 10, 50, 50 });
    Pump();
    auto& log = MessageLog::Instance();
    log.entries.clear();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    EXPECT_EQ(log.Count(list, WM_PAINT), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    EXPECT_EQ(log.Count(list, WM_PAINT), 1);
}

TEST_F(Painting, AWindowThatIgnoresWmPaintIsNotAskedForever)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 0, 0, 100, 100 });
    MessageLog::Instance().answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_PAINT ? std::optional<LRESULT>(0) : std::nullopt;
    };
    Pump();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    MSG message;
    int paints = 0;
    while (paints < 10 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        paints += message.message == WM_PAINT;
        DispatchMessageW(&message);
    }
    EXPECT_EQ(paints, 1);
}

TEST_F(Painting, HiddenWindowsGetNoPaint)
{
    HWND window = TopLevel(WS_POPUP, { 0, 0, 50, 50 });
    InvalidateRect(window, nullptr, TRUE);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_PAINT), 0);
    ShowWindow(window, SW_SHOWNA);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_PAINT), 1);
}

// A start sizes its windows and measures text on them before it shows them: a window's surface
// is made once, at the size it has when it is first drawn, and a DC before then draws nothing.
TEST_F(Painting, ATopLevelWindowGetsItsSurfaceWhenFirstDrawn)
{
    HWND window = TopLevel(WS_POPUP, { 0, 0, 640, 480 });
    auto surface = [window] { return fln::user::WindowTree::Instance().Find(window)->surface; };
    SetWindowPos(window, nullptr, 0, 0, 960, 768, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC measuring = GetDC(window);
    SIZE extent {};
    EXPECT_TRUE(GetTextExtentPoint32W(measuring, L"Formula", 7, &extent));
    EXPECT_GT(extent.cx, 0);
    RECT all { 0, 0, 960, 768 };
    FillRect(measuring, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(window, measuring);
    EXPECT_EQ(surface(), nullptr);

    Painter painter;
    painter.colors[window] = kRed;
    painter.Install();
    SetWindowPos(window, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    ASSERT_NE(surface(), nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(surface()), 120);
    EXPECT_EQ(cairo_image_surface_get_height(surface()), 90);
    EXPECT_EQ(PixelAt(window, 119, 89), kRed);

    // Once drawn, a new size keeps what the surface holds.
    SetWindowPos(window, nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    EXPECT_EQ(cairo_image_surface_get_width(surface()), 150);
    EXPECT_EQ(PixelAt(window, 119, 89), kRed);
}

TEST_F(Painting, ScrollWindowExMovesPixelsAndReportsTheUncoveredStrip)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    Pump();
    HDC dc = GetDC(window);
    RECT top { 0, 0, 100, 10 };
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &top, red);
    DeleteObject(red);
    ReleaseDC(window, dc);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT updateRect;
    EXPECT_EQ(ScrollWindowEx(window, 0, 20, nullptr, nullptr, update, &updateRect, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(updateRect.top, 0);
    EXPECT_EQ(updateRect.bottom, 20);
    EXPECT_EQ(updateRect.right, 100);
    EXPECT_EQ(PixelAt(window, 50, 25), kRed);  // moved down by 20
    EXPECT_NE(PixelAt(window, 50, 35), kRed);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(window, &pending, FALSE));
    EXPECT_TRUE(EqualRect(&pending, &updateRect));
    DeleteObject(update);
}

// The caret is inverted pixels: a scroll of its window leaves them where the caret is, not
// where the blit took what lay under it.
TEST_F(Painting, ScrollWindowExLeavesTheCaretWhereItIs)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    Pump();
    const COLORREF background = PixelAt(window, 50, 50);
    ASSERT_TRUE(CreateCaret(window, nullptr, 4, 10));
    ASSERT_TRUE(SetCaretPos(40, 50));
    ASSERT_TRUE(ShowCaret(window));
    const COLORREF inverted = PixelAt(window, 41, 55);
    ASSERT_NE(inverted, background);
    struct Case {
        const char* name;
        int dx, dy;
        POINT left; // where the blit would have taken the caret's pixels
    };
    const Case cases[] = {
        { "up", 0, -20, { 41, 35 } },
        { "right", 30, 0, { 71, 55 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScrollWindowEx(window, c.dx, c.dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        EXPECT_EQ(PixelAt(window, c.left.x, c.left.y), background) << "no copy of the caret";
        EXPECT_EQ(PixelAt(window, 41, 55), inverted) << "the caret is shown where it is";
        HideCaret(window);
        EXPECT_EQ(PixelAt(window, 41, 55), background) << "and hiding it leaves the background";
        ShowCaret(window);
    }
    DestroyCaret();
}

TEST_F(Painting, PrintDrawsFrameBackgroundAndClientIntoAnyDC)
{
    HWND window = TopLevel(WS_POPUP | WS_BORDER | WS_VISIBLE, { 0, 0, 40, 40 });
    Pump();
    auto& log = MessageLog::Instance();
    log.entries.clear();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(memory), PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
    EXPECT_EQ(log.Count(window, WM_ERASEBKGND), 1);
    EXPECT_EQ(log.Count(window, WM_PRINTCLIENT), 1);
    EXPECT_EQ(GetPixel(memory, 0, 0), GetSysColor(COLOR_WINDOWFRAME)); // the border
    EXPECT_EQ(GetPixel(memory, 20, 20), GetSysColor(COLOR_WINDOW));    // the background
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(Painting, HugeWindowsAreDrawnWhereTheyCanBeSeen)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100000, 100000 });
    Painter painter;
    painter.colors[window] = kRed;
    painter.Install();
    Pump();
    EXPECT_EQ(PixelAt(window, 10, 10), kRed);
    EXPECT_EQ(PixelAt(window, 50000, 50000), CLR_INVALID);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right, 100000);
}

// A shape that shrinks shows what lay beneath the part it gave up, whether the window redraws or
// not: the top-level window below on the screen, the parent under a child. The part it keeps, a
// ring here as a drag outline has, stays its own.
TEST_F(Painting, AShrunkenShapeShowsWhatLayBeneathIt)
{
    constexpr COLORREF kGreen = RGB(0, 255, 0);
    Painter painter;
    painter.Install();
    HWND below = TopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, { 0, 0, 300, 200 });
    HWND child = Child(below, { 200, 50, 280, 130 });
    painter.colors = { { below, kBlue }, { child, kGreen } };
    Pump();
    HWND above = TopLevel(WS_POPUP | WS_VISIBLE, { 50, 50, 130, 130 });
    painter.colors[above] = kRed;
    auto ring = [] {
        HRGN outer = CreateRectRgn(0, 0, 80, 80), inner = CreateRectRgn(4, 4, 76, 76);
        CombineRgn(outer, outer, inner, RGN_DIFF);
        DeleteObject(inner);
        return outer;
    };
    struct Case {
        HWND window;
        POINT origin; // on the screen
        COLORREF own, beneath;
    };
    for (BOOL redraw : { FALSE, TRUE }) {
        for (const Case& c : { Case { above, { 50, 50 }, kRed, kBlue }, Case { child, { 200, 50 }, kGreen, kBlue } }) {
            SCOPED_TRACE(testing::Message() << "redraw " << redraw << ", " << (c.window == above ? "top-level" : "child"));
            SetWindowRgn(c.window, nullptr, TRUE);
            Pump();
            ASSERT_EQ(ScreenPixel(c.origin.x + 40, c.origin.y + 40), c.own);
            ASSERT_TRUE(SetWindowRgn(c.window, ring(), redraw));
            Pump();
            EXPECT_EQ(ScreenPixel(c.origin.x + 40, c.origin.y + 40), c.beneath) << "inside the ring";
            EXPECT_EQ(ScreenPixel(c.origin.x + 2, c.origin.y + 2), c.own) << "on the ring";
        }
    }
}

TEST_F(Painting, SnapshotsAreWrittenAsPng)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 30, 40, 80, 90 });
    Painter painter;
    painter.colors[window] = kRed;
    painter.Install();
    Pump();
    auto path = std::filesystem::temp_directory_path() / ("fln_user_snapshot_" + std::to_string(getpid()) + ".png");
    ASSERT_TRUE(WriteWindowPng(window, path.c_str()));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
    // The headless screen shows the window where it is.
    cairo_surface_t* screen = headless->Screen();
    cairo_surface_flush(screen);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(screen));
    int stride = cairo_image_surface_get_stride(screen) / 4;
    EXPECT_EQ(pixels[60 * stride + 50] & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(pixels[10 * stride + 10] & 0xFFFFFF, 0xFF0000u);
}

} // namespace
