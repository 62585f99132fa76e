// An MDI frame on a real X server: xdotool clicks the inactive one of two document frames, which
// becomes the active one, its caption drawn active. Screenshots before and after the click are
// written to the temporary folder.

#include "platform/mfc/Mdi.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <cairo.h>
#include <filesystem>
#include <functional>

namespace {

// The left end of a document frame's caption, on the screen.
CPoint CaptionStart(const CWnd& child)
{
    CRect r;
    child.GetWindowRect(&r);
    int frame = GetSystemMetrics(SM_CXFRAME);
    return { r.left + frame, r.top + frame + 2 };
}

class MdiX11 : public RealServerTest {};

TEST_F(MdiX11, XdotoolClicksTheInactiveChildWhichBecomesActive)
{
    {
        CWinApp app(L"MdiX11Test");
        auto* frame = new CMDIFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Workbench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 640, 440)));
        app.m_pMainWnd = frame;
        auto* left = new CMDIChildWnd;
        auto* right = new CMDIChildWnd;
        ASSERT_TRUE(left->Create(nullptr, L"Left", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(10, 10, 260, 210), frame));
        ASSERT_TRUE(right->Create(nullptr, L"Right", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(290, 10, 540, 210), frame));
        ::SetActiveWindow(frame->m_hWnd);
        frame->UpdateWindow();
        ASSERT_EQ(frame->MDIGetActive(), right);

        const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION), inactive = GetSysColor(COLOR_INACTIVECAPTION);
        CPoint leftCaption = CaptionStart(*left), rightCaption = CaptionStart(*right);
        ASSERT_TRUE(PumpUntil([&] {
            return ServerPixel(reader, leftCaption.x, leftCaption.y) == inactive && ServerPixel(reader, rightCaption.x, rightCaption.y) == active;
        })) << "the second child shows active";
        std::cout << "before: " << WriteServerScreenshot(reader, "fln-mdi-1-right-active", 700, 500) << "\n";

        CRect body;
        left->GetWindowRect(&body);
        const std::string display = "DISPLAY=" + server->Name() + " ";
        std::string click = display + xdotool + " mousemove " + std::to_string(body.CenterPoint().x) + " " + std::to_string(body.CenterPoint().y) + " click 1";
        ASSERT_EQ(RunCommand(click).status, 0);
        ASSERT_TRUE(PumpUntil([&] { return frame->MDIGetActive() == left; }));
        EXPECT_TRUE(PumpUntil([&] {
            return ServerPixel(reader, leftCaption.x, leftCaption.y) == active && ServerPixel(reader, rightCaption.x, rightCaption.y) == inactive;
        })) << "the clicked child shows active";
        std::cout << "after: " << WriteServerScreenshot(reader, "fln-mdi-2-left-active", 700, 500) << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
