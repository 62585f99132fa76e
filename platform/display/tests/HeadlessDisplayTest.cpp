#include "platform/display/HeadlessDisplay.h"

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

namespace {

TEST(HeadlessDisplay, MouseEventsGoToTheTopmostShapedWindowOrTheGrab)
{
    HeadlessDisplay display;
    NativeWindowId below = display.CreateNativeWindow({ { 0, 0, 100, 100 } });
    NativeWindowId above = display.CreateNativeWindow({ { 50, 50, 150, 150 }, true });
    display.ShowNativeWindow(below, true, true);
    display.ShowNativeWindow(above, true, false);
    display.SetNativeShape(above, { { 25, 25, 75, 75 } }); // only the middle of the window
    display.InjectMouseMove({ 60, 60 });
    EXPECT_EQ(display.NextEvent()->window, below); // outside the shape
    display.InjectMouseMove({ 100, 100 });
    EXPECT_EQ(display.NextEvent()->window, above);
    // A pressed button holds the pointer on its window until released.
    display.InjectButton(1, true, { 100, 100 });
    display.InjectMouseMove({ 10, 10 });
    display.InjectButton(1, false, { 10, 10 });
    display.InjectMouseMove({ 10, 10 });
    std::vector<NativeWindowId> targets;
    while (auto event = display.NextEvent())
        targets.push_back(event->window);
    EXPECT_EQ(targets, (std::vector<NativeWindowId> { above, above, above, below }));
    EXPECT_EQ(display.FocusedWindow(), below);
}

// A window presented after the one above it shows only where nothing above covers it; a shaped
// window above covers only its shape.
TEST(HeadlessDisplay, APresentShowsOnlyWhatNoWindowAboveCovers)
{
    HeadlessDisplay display;
    NativeWindowId below = display.CreateNativeWindow({ { 0, 0, 100, 200 } });
    NativeWindowId above = display.CreateNativeWindow({ { 50, 50, 150, 150 } });
    NativeWindowId ring = display.CreateNativeWindow({ { 0, 120, 40, 160 } });
    for (NativeWindowId window : { below, above, ring })
        display.ShowNativeWindow(window, true, false);
    display.SetNativeShape(ring, { { 0, 0, 40, 10 } });
    auto paint = [&](NativeWindowId window, int width, int height, double red, double green, double blue) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, red, green, blue);
        cairo_paint(cr);
        cairo_destroy(cr);
        display.Present(window, surface, { 0, 0, width, height });
        cairo_surface_destroy(surface);
    };
    paint(ring, 40, 40, 0, 0, 1);
    paint(above, 100, 100, 0, 1, 0);
    paint(below, 100, 200, 1, 0, 0); // the last, as when it repaints after the others
    cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 160, 170);
    ASSERT_TRUE(display.CaptureScreen({ 0, 0, 160, 170 }, screen));
    auto pixel = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(screen) + y * cairo_image_surface_get_stride(screen))[x] & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(10, 10), 0xFF0000u);
    EXPECT_EQ(pixel(75, 75), 0x00FF00u) << "the window above stays on top";
    EXPECT_EQ(pixel(20, 125), 0x0000FFu) << "inside the shape above";
    EXPECT_EQ(pixel(20, 140), 0xFF0000u) << "outside the shape above, the lower window shows";
    cairo_surface_destroy(screen);
}

TEST(HeadlessDisplay, WaitingMovesTheVirtualClockInsteadOfSleeping)
{
    HeadlessDisplay display;
    int wake = eventfd(0, EFD_NONBLOCK);
    std::uint32_t start = display.Now();
    display.Wait(wake, 5000);
    EXPECT_EQ(display.Now() - start, 5000u);
    // A wake-up ends the wait without moving the clock.
    std::uint64_t one = 1;
    ASSERT_EQ(write(wake, &one, sizeof one), static_cast<ssize_t>(sizeof one));
    display.Wait(wake, 5000);
    EXPECT_EQ(display.Now() - start, 5000u);
    display.Advance(20);
    EXPECT_EQ(display.Now() - start, 5020u);
    close(wake);
}

TEST(HeadlessDisplay, DestroyedWindowsLeaveNoEventsBehind)
{
    HeadlessDisplay display;
    NativeWindowId window = display.CreateNativeWindow({ { 0, 0, 10, 10 } });
    display.ShowNativeWindow(window, true, true);
    display.InjectKey(0x41, true, L"a");
    display.DestroyNativeWindow(window);
    EXPECT_FALSE(display.NextEvent());
    EXPECT_EQ(display.FocusedWindow(), 0u);
}

} // namespace
