// A menu button on a real X server: an xdotool click drops its menu, and Down and Enter pick the
// first item, whose command reaches the dialog.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "commandbars/MenuButton.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <functional>
#include <vector>

using namespace divuzura::foundation;

namespace {

constexpr UINT IDM_BUTTON_MENU = 3200, IDD_BUTTONS = 3300, IDC_MENU_BUTTON = 3301, IDM_FIRST = 3401;

class MenuDialog : public CDialog {
public:
    MenuDialog() : CDialog(IDD_BUTTONS) {}
    std::vector<UINT> commands;
    SECMenuButton menuButton;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CMenu menu;
        menu.LoadMenu(MAKEINTRESOURCEW(IDM_BUTTON_MENU));
        HMENU popup = ::GetSubMenu(menu, 0);
        ::RemoveMenu(menu, 0, MF_BYPOSITION);
        EXPECT_TRUE(menuButton.AttachButton(IDC_MENU_BUTTON, this, popup));
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST(MenuButtonX11, AClickDropsTheMenuAndEnterSendsTheFirstCommand)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
    ASSERT_TRUE(x11) << server->Name();
    auto previous = SetCurrentDisplay(std::move(x11));
    {
        CWinApp app(L"MenuButtonX11Test");
        MenuDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_BUTTONS));
        app.m_pMainWnd = &dialog;
        dialog.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog.ShowWindow(SW_SHOW);
        dialog.UpdateWindow();
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        // The program's own pump: the application sees each message before the windows do.
        const auto programPump = [] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (AfxGetApp()->PreTranslateMessage(&message))
                    continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        };
        CRect button;
        dialog.menuButton.GetWindowRect(&button);
        XDisplay* reader = XOpenDisplay(server->Name().c_str());
        ASSERT_TRUE(reader);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, button.left + 3, button.top + 3) == face; }, programPump))
            << "the dialog shows";

        const std::string display = "DISPLAY=" + server->Name() + " ";
        // The menu's loop runs inside the click: the keys are typed once, while it waits.
        bool typed = false;
        SetModalLoopHook([&](HWND) {
            if (!typed)
                typed = RunCommand(display + xdotool + " key Down Return").status == 0;
        });
        const CPoint centre = button.CenterPoint();
        ASSERT_EQ(RunCommand(display + xdotool + " mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y) + " click 1").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dialog.commands.empty(); }, programPump));
        SetModalLoopHook({});
        EXPECT_EQ(dialog.commands, std::vector<UINT> { IDM_FIRST });
        EXPECT_FALSE(dialog.menuButton.IsTracking());

        app.m_pMainWnd = nullptr;
        dialog.DestroyWindow();
        XCloseDisplay(reader);
    }
    SetCurrentDisplay(std::move(previous));
}

} // namespace
