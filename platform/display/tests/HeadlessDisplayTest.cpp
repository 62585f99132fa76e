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
