// The date-time control on a real X server: xdotool clicks the day field, types a day and steps the
// month with the arrow key; the value follows and the current field shows in the highlight colour.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "commandbars/DateTimeCtrl.h"
#include "datecore/DateLocale.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

namespace {

TEST(DateTimeCtrlX11, TypingIntoTheDayFieldAndSteppingTheMonth)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
    ASSERT_TRUE(x11) << server->Name();
    auto previous = SetCurrentDisplay(std::move(x11));
    {
        ScopedDateLocale locale(DateLocale::Default());
        CWinApp app(L"DateTimeCtrlX11Test");
        auto* frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Date", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 500, 220)));
        app.m_pMainWnd = frame;
        SECDateTimeCtrl control;
        control.SetFormat(L"dd.MM.yyyy HH:mm");
        control.SetDate(COleDateTime(2024, 4, 15, 0, 0, 0));
        control.SetTime(COleDateTime(2024, 4, 15, 13, 5, 0));
        ASSERT_TRUE(control.Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SECDateTimeCtrl::DTCS_DROPDOWN,
            CRect(10, 10, 200, 30), frame, 1020));
        control.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        control.EnableFastEntry(TRUE);
        control.SizeToContent();
        frame->UpdateWindow();

        XDisplay* reader = XOpenDisplay(server->Name().c_str());
        ASSERT_TRUE(reader);
        CPoint day = control.FindGadget(SECDateTimeCtrl::Day)->GetRect().CenterPoint();
        control.ClientToScreen(&day);
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, day.x - 4, day.y - 5) == window; })) << "the control shows";

        const std::string display = "DISPLAY=" + server->Name() + " ";
        ASSERT_EQ(RunCommand(display + xdotool + " mousemove " + std::to_string(day.x) + " " + std::to_string(day.y) + " click 1").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, day.x - 4, day.y - 5) == GetSysColor(COLOR_HIGHLIGHT); }))
            << "the clicked field is the current one";
        ASSERT_EQ(RunCommand(display + xdotool + " type 22").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return control.GetDateTime().GetDay() == 22; }));
        EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Month) << "a full field moves on";
        ASSERT_EQ(RunCommand(display + xdotool + " key Up").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return control.GetDateTime().GetMonth() == 5; }));
        EXPECT_EQ(control.GetWindowText(), L"22.05.2024 13:05");

        control.DestroyWindow();
        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
        XCloseDisplay(reader);
    }
    SetCurrentDisplay(std::move(previous));
}

} // namespace
