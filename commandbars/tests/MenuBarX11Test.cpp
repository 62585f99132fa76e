// A frame with a menu bar on a real X server: xdotool opens the File menu with Alt+F, slides to
// the Edit menu with Right and picks its first item with Enter, whose command reaches the frame.

#include "MenuFrame.h"
#include "platform/base/tests/RunCommand.h"

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

namespace {

class MenuBarX11 : public RealServerTest {};

TEST_F(MenuBarX11, AltMnemonicRightAndEnterPickAnItemOfTheNextMenu)
{
    {
        CWinApp app(L"MenuBarX11Test");
        auto* frame = new MenuFrame;
        ASSERT_TRUE(frame->Create(nullptr, L"Menu bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
        frame->menuBar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&frame->menuBar);
        frame->RecalcLayout();
        frame->UpdateWindow();

        // The bar is on the screen once the title "File" is: its ink left of the button's middle.
        CRect file;
        frame->menuBar.GetItemRect(0, &file);
        frame->menuBar.ClientToScreen(&file);
        // The program's own pump: the menu bar hears keys before the windows do.
        const auto programPump = [&] { RunMessages(app); };
        ASSERT_TRUE(PumpUntil([&] {
            for (int x = file.left; x < file.right; ++x)
                if (ServerPixel(reader, x, file.CenterPoint().y) == RGB(0, 0, 0))
                    return true;
            return false;
        }, programPump));

        // Keys go where the pointer is: into the frame, away from the bar and the popups.
        const std::string display = "DISPLAY=" + server->Name() + " ";
        ASSERT_EQ(RunCommand(display + xdotool + " mousemove 600 400").status, 0);
        const std::vector<std::string> keys { "Right", "Return" };
        size_t sent = 0;
        SetModalLoopHook([&](HWND) {
            // Each key once the popup it goes to has opened: File first, then Edit.
            size_t step = frame->opened.size() - 1;
            if (step < keys.size() && sent == step) {
                ++sent;
                EXPECT_EQ(RunCommand(display + xdotool + " key " + keys[step]).status, 0);
            }
        });
        ASSERT_EQ(RunCommand(display + xdotool + " key alt+f").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return !frame->commands.empty(); }, programPump));
        SetModalLoopHook(nullptr);
        EXPECT_EQ(frame->commands, std::vector<UINT> { ID_MB_COPY });
        ASSERT_EQ(frame->opened.size(), 2u);
        wchar_t first[32] = {};
        GetMenuStringW(frame->opened[1], 0, first, 32, MF_BYPOSITION);
        EXPECT_STREQ(first, L"&Copy");

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
